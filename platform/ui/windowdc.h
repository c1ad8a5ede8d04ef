#pragma once
// Device contexts of a window: CPaintDC inside OnPaint, CClientDC for
// drawing on the client area at any other time (through the widget's
// overlay, see qtdc_overlay.h).

#include "platform/ui/qtdc.h"
#include "platform/ui/qtdc_overlay.h"

#include <memory>

class CWnd;

struct PAINTSTRUCT
{
    CDC* hdc;
    BOOL fErase;
    RECT rcPaint;
};

namespace kestrun::detail {
// Holds the painter of a paint context, so that it exists before the
// drawing context is made over it.
struct CPaintPainter
{
    explicit CPaintPainter(CWnd* pWnd);
    ~CPaintPainter();
    std::unique_ptr<QPainter> m_ownPaintPainter;
};
} // namespace kestrun::detail

// Valid only while the window handles WM_PAINT (in OnPaint).
class CPaintDC : private kestrun::detail::CPaintPainter, public CQtDC
{
    DECLARE_DYNAMIC(CPaintDC)

public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};
    CWnd* m_pWnd;
};

class CClientDC : public COverlayDC
{
    DECLARE_DYNAMIC(CClientDC)

public:
    // Throws CInvalidArgException for a window without a widget.
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

    CWnd* m_pWnd;
};
