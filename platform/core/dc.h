#pragma once
// CDC: the drawing interface of all headless code. The base keeps the state
// every device shares (selected objects, colours, modes, current position,
// mapping, saved states) and maps logical coordinates to device pixels;
// implementations only draw device-space primitives through the protected
// Device* hooks. Each hook also receives the logical call it serves, for
// implementations that record or log; painters ignore it.

#include "platform/core/cstring.h"
#include "platform/core/gdi.h"
#include "platform/core/geometry.h"
#include "platform/core/object.h"

#include <span>
#include <vector>

// What an implementation tells about its device.
struct CDeviceInfo
{
    int width = 1000; // pixels
    int height = 1000;
    int dpiX = 96;
    int dpiY = 96;
    int bitsPerPixel = 24;
    int technology = DT_RASDISPLAY;
};

class CDC : public CObject
{
    DECLARE_DYNAMIC(CDC)

public:
    ~CDC() override;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // Drawing objects. Selecting returns the object selected before; an
    // object that is null or not created changes nothing and answers null.
    // The context keeps a copy of the description, so drawing never reads
    // the object again.
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CGdiObject* SelectObject(CGdiObject* object);
    CGdiObject* SelectStockObject(int index);
    CPen* GetCurrentPen() const;
    CBrush* GetCurrentBrush() const;
    CFont* GetCurrentFont() const;
    const LOGPEN& GetCurrentLogPen() const { return m_state.logPen; }
    const LOGBRUSH& GetCurrentLogBrush() const { return m_state.logBrush; }
    const LOGFONT& GetCurrentLogFont() const { return m_state.logFont; }

    // Colours and modes; each setter answers the previous value, and an
    // unknown mode answers 0 and changes nothing.
    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const { return m_state.textColor; }
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const { return m_state.bkColor; }
    int SetBkMode(int mode);
    int GetBkMode() const { return m_state.bkMode; }
    UINT SetTextAlign(UINT align);
    UINT GetTextAlign() const { return m_state.textAlign; }
    int SetROP2(int rop);
    int GetROP2() const { return m_state.rop2; }
    int SetPolyFillMode(int mode);
    int GetPolyFillMode() const { return m_state.polyFillMode; }

    // Mapping: device = (logical - window origin) * viewport extent /
    // window extent + viewport origin, per axis, rounded half away from
    // zero. The metric, English and twips modes derive their extents from
    // the device resolution and point y up; outside the two scalable modes
    // the extent setters change nothing and answer (0, 0).
    int SetMapMode(int mode);
    int GetMapMode() const { return m_state.mapMode; }
    CPoint SetWindowOrg(int x, int y);
    CPoint SetWindowOrg(POINT point) { return SetWindowOrg(point.x, point.y); }
    CPoint OffsetWindowOrg(int dx, int dy);
    CPoint GetWindowOrg() const { return m_state.windowOrg; }
    CSize SetWindowExt(int cx, int cy);
    CSize SetWindowExt(SIZE size) { return SetWindowExt(size.cx, size.cy); }
    CSize ScaleWindowExt(int xNum, int xDenom, int yNum, int yDenom);
    CSize GetWindowExt() const { return m_state.windowExt; }
    CPoint SetViewportOrg(int x, int y);
    CPoint SetViewportOrg(POINT point) { return SetViewportOrg(point.x, point.y); }
    CPoint OffsetViewportOrg(int dx, int dy);
    CPoint GetViewportOrg() const { return m_state.viewportOrg; }
    CSize SetViewportExt(int cx, int cy);
    CSize SetViewportExt(SIZE size) { return SetViewportExt(size.cx, size.cy); }
    CSize ScaleViewportExt(int xNum, int xDenom, int yNum, int yDenom);
    CSize GetViewportExt() const { return m_state.viewportExt; }

    void LPtoDP(POINT* points, int count = 1) const;
    void LPtoDP(RECT* rect) const;
    // Sizes scale by the extents' magnitudes and keep their own sign.
    void LPtoDP(SIZE* size) const;
    void DPtoLP(POINT* points, int count = 1) const;
    void DPtoLP(RECT* rect) const;
    void DPtoLP(SIZE* size) const;

    // The whole state above, current position included. SaveDC answers the
    // new level (1 for the first save); RestoreDC takes a level or a
    // negative count back from the last (-1), drops the saves from that
    // level on, and answers FALSE for a level that was never saved.
    int SaveDC();
    BOOL RestoreDC(int savedDC);

    // Device values: resolution and size from the implementation, the
    // physical size in millimetres derived from them; 0 for an unknown index.
    int GetDeviceCaps(int index) const;
    // The device area in logical coordinates.
    int GetClipBox(RECT* rect) const;
    BOOL IsPrinting() const { return m_bPrinting; }

    // The current pen's width in device pixels (at least 1).
    int GetDevicePenWidth() const;
    // The current font's lfHeight in device pixels, sign kept.
    int GetDeviceFontHeight() const;

    // Drawing, in logical coordinates.
    CPoint GetCurrentPosition() const { return m_state.position; }
    virtual CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
    virtual BOOL LineTo(int x, int y);
    BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
    // FALSE, and nothing drawn, for fewer than two points.
    virtual BOOL Polyline(const POINT* points, int count);
    virtual BOOL Polygon(const POINT* points, int count);
    virtual BOOL Rectangle(int left, int top, int right, int bottom);
    BOOL Rectangle(const RECT& rect) { return Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
    BOOL Rectangle(const RECT* rect);
    virtual BOOL Ellipse(int left, int top, int right, int bottom);
    BOOL Ellipse(const RECT& rect) { return Ellipse(rect.left, rect.top, rect.right, rect.bottom); }
    BOOL Ellipse(const RECT* rect);
    virtual void FillRect(const RECT* rect, CBrush* brush);
    void FillRect(const RECT& rect, CBrush* brush) { FillRect(&rect, brush); }
    virtual void FillSolidRect(const RECT* rect, COLORREF color);
    void FillSolidRect(const RECT& rect, COLORREF color) { FillSolidRect(&rect, color); }
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    // A border one logical unit wide, drawn as four fills.
    virtual void FrameRect(const RECT* rect, CBrush* brush);
    void FrameRect(const RECT& rect, CBrush* brush) { FrameRect(&rect, brush); }
    virtual void InvertRect(const RECT* rect);
    void InvertRect(const RECT& rect) { InvertRect(&rect); }
    // Top and left edges in one colour, right and bottom in the other, each
    // one logical unit wide, drawn as four fills.
    virtual void Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight);
    void Draw3dRect(const RECT& rect, COLORREF topLeft, COLORREF bottomRight) { Draw3dRect(&rect, topLeft, bottomRight); }
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
    // The colour actually set, or CLR_INVALID when the point is off the device.
    virtual COLORREF SetPixel(int x, int y, COLORREF color);
    COLORREF SetPixel(POINT point, COLORREF color) { return SetPixel(point.x, point.y, color); }
    virtual BOOL SetPixelV(int x, int y, COLORREF color);
    BOOL SetPixelV(POINT point, COLORREF color) { return SetPixelV(point.x, point.y, color); }
    virtual COLORREF GetPixel(int x, int y) const;
    COLORREF GetPixel(POINT point) const { return GetPixel(point.x, point.y); }
    // With TA_UPDATECP the text starts at the current position, which then
    // moves past it.
    virtual BOOL TextOut(int x, int y, const CString& text);
    BOOL TextOut(int x, int y, const char* text, int count);
    // Lines break at '\n' unless DT_SINGLELINE. DT_CALCRECT only sets the
    // rectangle's right and bottom to fit the text. Answers the text height
    // in logical units; with DT_SINGLELINE and DT_VCENTER or DT_BOTTOM the
    // distance from the rectangle's top to the text's bottom.
    virtual int DrawText(const CString& text, RECT* rect, UINT format);
    int DrawText(const CString& text, RECT& rect, UINT format) { return DrawText(text, &rect, format); }
    int DrawText(const char* text, int count, RECT* rect, UINT format);
    // Logical units, positive.
    CSize GetTextExtent(const CString& text) const;
    CSize GetTextExtent(const char* text, int count) const;
    // A block of pixels stretched into a logical rectangle. Rows run top
    // down, stride bytes apart; 24 bits per pixel are blue, green, red and
    // 8 bits index the palette (1 to 256 colour words). A block that does
    // not add up raises CInvalidArgException; an empty destination draws
    // nothing and answers FALSE.
    BOOL StretchDIBits(const RECT& dest, int width, int height, const void* bits, int stride, int bitsPerPixel,
                       std::span<const COLORREF> palette = {});

    BOOL m_bPrinting = FALSE;

protected:
    CDC();

    // The logical call a device hook serves: its name, its integer
    // arguments as given, and its point array as given.
    struct CDrawCall
    {
        const char* op;
        std::span<const int> args;
        std::span<const POINT> points = {};
    };

    virtual CDeviceInfo GetDeviceInfo() const = 0;
    // Rectangles arrive normalised (left <= right, top <= bottom).
    virtual void DeviceMoveTo(const CDrawCall& /*call*/, CPoint /*to*/) {}
    virtual void DeviceLine(const CDrawCall& call, CPoint from, CPoint to) = 0;
    virtual void DevicePolyline(const CDrawCall& call, std::span<const CPoint> points) = 0;
    virtual void DevicePolygon(const CDrawCall& call, std::span<const CPoint> points) = 0;
    virtual void DeviceRectangle(const CDrawCall& call, const CRect& rect) = 0;
    virtual void DeviceEllipse(const CDrawCall& call, const CRect& rect) = 0;
    virtual void DeviceFillRect(const CDrawCall& call, const CRect& rect, const LOGBRUSH& brush) = 0;
    virtual void DeviceInvertRect(const CDrawCall& call, const CRect& rect) = 0;
    virtual COLORREF DeviceSetPixel(const CDrawCall& call, CPoint point, COLORREF color) = 0;
    virtual COLORREF DeviceGetPixel(CPoint point) const = 0;
    // The point is the reference point of the text alignment (GetTextAlign).
    virtual void DeviceTextOut(const CDrawCall& call, CPoint point, const CString& text) = 0;
    virtual void DeviceDrawText(const CDrawCall& call, const CString& text, const CRect& rect, UINT format) = 0;
    // Device pixels of one line of text in the current font.
    virtual CSize DeviceTextExtent(const CString& text) const = 0;
    // A pixel block as StretchDIBits checked it.
    struct CPixelBlock
    {
        int width;
        int height;
        const BYTE* bits;
        int stride;
        int bitsPerPixel;
        std::span<const COLORREF> palette;
    };
    // Unlike the other hooks the destination is not normalised: its corners
    // keep the order of the logical rectangle, so a mirrored mapping mirrors
    // the picture.
    virtual void DeviceStretchDIBits(const CDrawCall& call, const CRect& dest, const CPixelBlock& block) = 0;

private:
    struct CState
    {
        CPen* pen = nullptr;
        CBrush* brush = nullptr;
        CFont* font = nullptr;
        LOGPEN logPen{};
        LOGBRUSH logBrush{};
        LOGFONT logFont{};
        COLORREF textColor = RGB(0, 0, 0);
        COLORREF bkColor = RGB(255, 255, 255);
        int bkMode = OPAQUE;
        UINT textAlign = TA_LEFT | TA_TOP | TA_NOUPDATECP;
        int rop2 = R2_COPYPEN;
        int polyFillMode = ALTERNATE;
        CPoint position;
        int mapMode = MM_TEXT;
        CPoint windowOrg;
        CSize windowExt{1, 1};
        CPoint viewportOrg;
        CSize viewportExt{1, 1};
    };

    bool IsScalableMode() const { return m_state.mapMode == MM_ISOTROPIC || m_state.mapMode == MM_ANISOTROPIC; }
    void AdjustIsotropic();
    CPoint ToDevice(int x, int y) const;
    CRect ToDeviceRect(int left, int top, int right, int bottom) const;
    // Device pixels of one logical unit, at least 1 per axis.
    CSize UnitThickness() const;
    std::vector<CString> SplitLines(const CString& text, UINT format) const;

    CState m_state;
    std::vector<CState> m_saved;
};
