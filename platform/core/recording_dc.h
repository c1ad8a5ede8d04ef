#pragma once
// CRecordingDC: a device context that draws nothing and records every
// drawing call, in order, with its logical arguments, its device points and
// the state it was drawn with, so that tests can check what a piece of code
// drew. Pixels set with SetPixel are remembered for GetPixel.
//
// Text metric of the recording device, in device pixels: a line is as high
// as the current font's |lfHeight| mapped to the device (16 when lfHeight is
// 0), and each character (UTF-8 code point) is lfWidth wide when the font
// gives one, else half the height rounded up.

#include "platform/core/dc.h"

#include <iosfwd>
#include <map>
#include <utility>
#include <vector>

struct CDCRecord
{
    CString op;                 // "MoveTo", "LineTo", "Polyline", "FillSolidRect", ...
    std::vector<int> args;      // integer arguments as given: coordinates, point arrays flattened
    std::vector<CPoint> points; // device points: line ends, polyline points, or a rectangle's
                                // top-left and bottom-right (normalised)
    CString text;               // TextOut, DrawText
    UINT format = 0;            // DrawText format
    COLORREF color = 0;         // SetPixel, SetPixelV
    LOGPEN pen{};               // the selected pen
    LOGBRUSH brush{};           // the selected brush; for fills the brush filled with
    CString fontFace;           // the selected font
    LONG fontHeight = 0;        // its lfHeight, logical
    COLORREF textColor = 0;
    COLORREF bkColor = 0;
    int bkMode = 0;
    UINT textAlign = 0;
    int rop2 = 0;

    // One line for test failure messages.
    CString ToString() const;
};

std::ostream& operator<<(std::ostream& out, const CDCRecord& record);

class CRecordingDC : public CDC
{
    DECLARE_DYNAMIC(CRecordingDC)

public:
    CRecordingDC() = default;

    const std::vector<CDCRecord>& Records() const { return m_records; }
    // The operation names in order, for checking a sequence at a glance.
    std::vector<CString> Ops() const;
    // Forgets the records; remembered pixels stay.
    void Clear() { m_records.clear(); }

    // Device of 1000 x 1000 pixels at 96 dpi unless set otherwise; values
    // below 1 raise CInvalidArgException.
    void SetDeviceSize(int width, int height);
    void SetResolution(int dpiX, int dpiY);
    void SetTechnology(int technology) { m_device.technology = technology; }

protected:
    CDeviceInfo GetDeviceInfo() const override { return m_device; }
    void DeviceMoveTo(const CDrawCall& call, CPoint to) override;
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
    // Records the destination and the block's size, not its pixels.
    void DeviceStretchDIBits(const CDrawCall& call, const CRect& dest, const CPixelBlock& block) override;

private:
    // A record of the call with the current state, appended to the list.
    CDCRecord& Record(const CDrawCall& call, std::vector<CPoint> points);
    bool OnDevice(CPoint point) const;

    CDeviceInfo m_device;
    std::vector<CDCRecord> m_records;
    std::map<std::pair<int, int>, COLORREF> m_pixels;
};
