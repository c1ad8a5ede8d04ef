#pragma once
// CQtDC: the drawing interface over a QPainter, for any paint device: an
// image, a widget in its paint event, a printer page.
//
// Raster operations: on devices that Qt paints with its raster engine
// (images, widgets with a raster backing store) every R2_ code is done by
// the matching QPainter raster-op composition mode, so drawing a figure
// twice with an inverting operation restores the pixels exactly. Lines
// and polylines leave out their last pixel, as the operations expect. Other devices (printers, PDF) cannot combine with
// what is already there; they get the colour the operation would give on
// white paper, drawn as a copy. Fills, pixels and text ignore the raster
// operation. Drawing on a widget outside its paint event goes through
// COverlayDC (qtdc_overlay.h).
//
// Pixel blocks are stretched by nearest pixels, as a copy, mirrored when
// the destination's corners are swapped.
//
// Fonts: the faces of the original system are drawn with Debian's free
// faces ("Arial" and "MS Sans Serif" with Liberation Sans or DejaVu Sans,
// "Courier New" with Liberation Mono or DejaVu Sans Mono, ...).

#include "platform/core/dc.h"

#include <memory>

class QFont;
class QImage;
class QPainter;
class QPen;
class QBrush;
class QColor;
class QPainterPath;
class QRect;

class CQtDC : public CDC
{
    DECLARE_DYNAMIC(CQtDC)

public:
    // Draws into an image with a painter of its own; pixels read back.
    // CInvalidArgException for a null image or a painter not active.
    explicit CQtDC(QImage& image);
    // Draws through a painter already active on its device. The painter's
    // transformation stays the device's coordinate system; the painter is
    // handed back in the state it came in. Pixels read back only when the
    // device is an image.
    explicit CQtDC(QPainter& painter);
    ~CQtDC() override;

    QPainter& Painter() { return *m_painter; }
    // Whether the device combines raster operations with what it holds.
    bool HasRasterOps() const { return m_rasterOps; }
    // Ends the painting of a context that opened its own painter, so that
    // the image may be used on its own; nothing draws afterwards.
    void End();

protected:
    CDeviceInfo GetDeviceInfo() const override { return m_device; }
    void DeviceLine(const CDrawCall& call, CPoint from, CPoint to) override;
    void DevicePolyline(const CDrawCall& call, std::span<const CPoint> points) override;
    void DevicePolygon(const CDrawCall& call, std::span<const CPoint> points) override;
    void DeviceRectangle(const CDrawCall& call, const CRect& rect) override;
    void DeviceEllipse(const CDrawCall& call, const CRect& rect) override;
    void DeviceFillRect(const CDrawCall& call, const CRect& rect, const LOGBRUSH& brush) override;
    void DeviceInvertRect(const CDrawCall& call, const CRect& rect) override;
    COLORREF DeviceSetPixel(const CDrawCall& call, CPoint point, COLORREF color) override;
    COLORREF DeviceGetPixel(CPoint point) const override;
    void DeviceTextOut(const CDrawCall& call, CPoint point, const CString& text) override;
    void DeviceDrawText(const CDrawCall& call, const CString& text, const CRect& rect, UINT format) override;
    CSize DeviceTextExtent(const CString& text) const override;
    void DeviceStretchDIBits(const CDrawCall& call, const CRect& dest, const CPixelBlock& block) override;

private:
    void Init();
    // Sets pen, brush and composition for a line or shape under the current
    // raster operation; false when the operation draws nothing.
    bool PrepareShape(bool withBrush);
    void StrokePath(std::span<const CPoint> points);
    QColor RopColor(COLORREF color) const;
    QPen MakePen() const;
    QBrush MakeBrush(const LOGBRUSH& brush, const QColor& color) const;
    QFont CurrentFont() const;
    // The image pixel under a device point, or false when there is none.
    bool ImagePoint(CPoint point, int& x, int& y) const;
    // Fills the rectangle with the background colour when the mode is opaque.
    void FillBackground(const QRect& rect);
    void FillHatchBackground(const QPainterPath& area);

    std::unique_ptr<QPainter> m_ownPainter;
    QPainter* m_painter = nullptr;
    QImage* m_image = nullptr;
    bool m_rasterOps = false;
    CDeviceInfo m_device;
};

namespace kestrun {

// The Qt font for a description at a height in device pixels (lfHeight
// already mapped: negative for the character height, positive for the cell
// height, 0 for the default), with the free-face fallbacks.
QFont QtFont(const LOGFONT& font, int deviceHeight);

} // namespace kestrun
