#include "cameraplugins/eos/ui/evfpicturebox.h"

#include "cameraplugins/eos/edsdklibrary.h"
#include "cameraplugins/eos/evfcommands.h"
#include "cameraplugins/eos/ui/controlmessages.h"

#include "outside/pixmere/dib.h"

#include "platform/core/dc.h"
#include "platform/core/gdi.h"
#include "platform/core/messages.h"
#include "platform/ui/windowdc.h"

#include <algorithm>

namespace {

constexpr COLORREF kInFocus = RGB(0, 255, 0);
constexpr COLORREF kFrame = RGB(255, 255, 255);
constexpr COLORREF kNotSelected = RGB(128, 128, 128);
// No live frame is larger than the stream it comes in.
constexpr EdsUInt64 kMaxFrameBytes = 0x200000;

void FrameRectangle(CDC& dc, const CRect& rect, COLORREF color)
{
    CPen pen;
    pen.CreatePen(PS_SOLID, 1, color);
    CPen* oldPen = dc.SelectObject(&pen);
    CGdiObject* oldBrush = dc.SelectStockObject(NULL_BRUSH);
    dc.Rectangle(rect);
    dc.SelectObject(oldPen);
    if (oldBrush != nullptr)
        dc.SelectObject(oldBrush);
}

} // namespace

void CEVFPictureBox::update(Observable*, CameraEvent* event)
{
    const std::string& name = event->name;
    if (name == "EvfDataChanged") {
        KeepFrame(*static_cast<const EvfDataSet*>(event->arg));
        if (!m_bRepaintPosted.exchange(true))
            ::PostMessage(m_hWnd, kMsgPropertyChanged, 0, 0);
        EdsPropertyID focus = kEdsPropID_FocusInfo;
        fireEvent("get_Property", &focus);
        fireEvent();
        return;
    }
    if (name != "PropertyChanged" || m_model == nullptr)
        return;
    switch (*static_cast<const EdsPropertyID*>(event->arg)) {
    case kEdsPropID_Evf_OutputDevice:
        OnOutputDevice();
        break;
    case kEdsPropID_FocusInfo: {
        const EdsFocusInfo info = m_model->getFocusInfo();
        std::lock_guard lock(m_mutex);
        m_focusInfo = info;
        break;
    }
    case kEdsPropID_Evf_AFMode:
        m_bZoomFrame = m_model->getPropertyUInt32(kEdsPropID_Evf_AFMode) != 2;
        break;
    default:
        break;
    }
}

void CEVFPictureBox::OnOutputDevice()
{
    const bool computer = (m_model->getPropertyUInt32(kEdsPropID_Evf_OutputDevice) & kEdsEvfOutputDevice_PC) != 0;
    if (computer && !m_bLiveView.exchange(true))
        fireEvent();
    else if (!computer)
        m_bLiveView = false;
}

void CEVFPictureBox::KeepFrame(const EvfDataSet& data)
{
    void* bytes = nullptr;
    EdsUInt64 length = 0;
    Edsdk().GetPointer(data.stream, &bytes);
    Edsdk().GetLength(data.stream, &length);
    std::lock_guard lock(m_mutex);
    if (bytes != nullptr && length > 0 && length <= kMaxFrameBytes) {
        const auto* first = static_cast<const std::uint8_t*>(bytes);
        m_jpeg.assign(first, first + length);
    } else {
        m_jpeg.clear();
    }
    m_zoom = data.zoom;
    m_zoomPosition = data.zoomPosition;
    m_fullSize = data.sizeJpegLarge;
}

bool CEVFPictureBox::HasFrame() const
{
    std::lock_guard lock(m_mutex);
    return !m_jpeg.empty();
}

LRESULT CEVFPictureBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kMsgPropertyChanged) {
        m_bRepaintPosted = false;
        Invalidate(FALSE);
        return 0;
    }
    return CStatic::WindowProc(message, wParam, lParam);
}

void CEVFPictureBox::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    PaintFrame(dc, client);
}

void CEVFPictureBox::PaintFrame(CDC& dc, const CRect& client)
{
    std::vector<std::uint8_t> jpeg;
    EdsUInt32 zoom = 0;
    EdsPoint zoomPosition{};
    EdsSize fullSize{};
    EdsFocusInfo focus{};
    {
        std::lock_guard lock(m_mutex);
        if (m_jpeg.empty())
            return;
        jpeg = m_jpeg;
        zoom = m_zoom;
        zoomPosition = m_zoomPosition;
        fullSize = m_fullSize;
        focus = m_focusInfo;
    }
    CDIB picture;
    // A frame that does not decode is not drawn; the next one comes.
    if (!picture.Decode(jpeg.data(), jpeg.size(), CxImage::FormatJpg))
        return;
    picture.StretchDIB(&dc, client);
    const int width = client.Width();
    const int height = client.Height();
    if (zoom == 1 && fullSize.width > 0 && fullSize.height > 0 && m_bZoomFrame) {
        const int left = client.left + static_cast<int>(static_cast<long long>(zoomPosition.x) * width / fullSize.width);
        const int top = client.top + static_cast<int>(static_cast<long long>(zoomPosition.y) * height / fullSize.height);
        FrameRectangle(dc, CRect(left, top, left + width / 5, top + height / 5), kFrame);
    }
    const EdsRect& image = focus.imageRect;
    if (image.size.width <= 0 || image.size.height <= 0)
        return;
    const auto scaleX = [&](EdsInt32 x) {
        return client.left + static_cast<int>(static_cast<long long>(x) * width / image.size.width);
    };
    const auto scaleY = [&](EdsInt32 y) {
        return client.top + static_cast<int>(static_cast<long long>(y) * height / image.size.height);
    };
    const EdsUInt32 points = std::min<EdsUInt32>(focus.pointNumber, kEdsMaxFocusPoints);
    for (EdsUInt32 i = 0; i < points; ++i) {
        const EdsFocusPoint& point = focus.focusPoint[i];
        if (point.valid == 0)
            continue;
        COLORREF color = (point.justFocus & 1) != 0 ? kInFocus : kFrame;
        if (point.selected == 0)
            color = kNotSelected;
        const EdsRect& r = point.rect;
        FrameRectangle(dc, CRect(scaleX(r.point.x), scaleY(r.point.y), scaleX(r.point.x + r.size.width),
                                 scaleY(r.point.y + r.size.height)),
                       color);
    }
}
