#include "platform/ui/rangectrls.h"

#include "platform/ui/uitext.h"
#include "platform/ui/widgetbridge.h"

#include <QBoxLayout>
#include <QProgressBar>
#include <QSlider>
#include <QToolButton>

#include <algorithm>
#include <cstdlib>

IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)

namespace {

QSlider* sliderOf(const CWnd* wnd)
{
    return qobject_cast<QSlider*>(wnd->GetWidget());
}

QProgressBar* progressOf(const CWnd* wnd)
{
    return qobject_cast<QProgressBar*>(wnd->GetWidget());
}

} // namespace

// ---- CSliderCtrl -----------------------------------------------------------------

BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("msctls_trackbar32", nullptr, dwStyle, rect, pParentWnd, nID);
}

QWidget* CSliderCtrl::CreateWidget(QWidget* parent, const CREATESTRUCT& cs)
{
    const DWORD style = static_cast<DWORD>(cs.style);
    auto* slider = new QSlider((style & TBS_VERT) ? Qt::Vertical : Qt::Horizontal, parent);
    slider->setRange(0, 100);
    slider->setTickPosition((style & TBS_NOTICKS) ? QSlider::NoTicks : QSlider::TicksBelow);
    QObject::connect(slider, &QSlider::valueChanged, slider, [slider] {
        if (auto* self = kestrun::WindowOf<CSliderCtrl>(slider); self && !self->m_bQuiet)
            self->Report(slider->isSliderDown() ? TB_THUMBTRACK : TB_THUMBPOSITION);
    });
    QObject::connect(slider, &QSlider::sliderReleased, slider, [slider] {
        if (auto* self = kestrun::WindowOf<CSliderCtrl>(slider))
            self->Report(TB_ENDTRACK);
    });
    return slider;
}

void CSliderCtrl::Report(UINT code)
{
    CWnd* parent = GetParent();
    if (parent == nullptr || m_hWnd == nullptr)
        return;
    const UINT message = (GetStyle() & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    parent->SendMessage(message, MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(GetPos())),
                        reinterpret_cast<LPARAM>(m_hWnd));
}

void CSliderCtrl::SetRange(int nMin, int nMax, BOOL)
{
    if (QSlider* slider = sliderOf(this)) {
        const bool old = std::exchange(m_bQuiet, true);
        slider->setRange(nMin, std::max(nMin, nMax));
        m_bQuiet = old;
    }
}

void CSliderCtrl::SetRangeMin(int nMin, BOOL bRedraw)
{
    SetRange(nMin, GetRangeMax(), bRedraw);
}

void CSliderCtrl::SetRangeMax(int nMax, BOOL bRedraw)
{
    SetRange(GetRangeMin(), nMax, bRedraw);
}

void CSliderCtrl::GetRange(int& nMin, int& nMax) const
{
    nMin = GetRangeMin();
    nMax = GetRangeMax();
}

int CSliderCtrl::GetRangeMin() const
{
    const QSlider* slider = sliderOf(this);
    return slider ? slider->minimum() : 0;
}

int CSliderCtrl::GetRangeMax() const
{
    const QSlider* slider = sliderOf(this);
    return slider ? slider->maximum() : 0;
}

int CSliderCtrl::GetPos() const
{
    const QSlider* slider = sliderOf(this);
    return slider ? slider->value() : 0;
}

void CSliderCtrl::SetPos(int nPos)
{
    if (QSlider* slider = sliderOf(this)) {
        const bool old = std::exchange(m_bQuiet, true);
        slider->setValue(nPos);
        m_bQuiet = old;
    }
}

void CSliderCtrl::SetTicFreq(int nFreq)
{
    if (QSlider* slider = sliderOf(this))
        slider->setTickInterval(std::max(0, nFreq));
}

int CSliderCtrl::SetPageSize(int nSize)
{
    QSlider* slider = sliderOf(this);
    if (slider == nullptr)
        return 0;
    const int old = slider->pageStep();
    slider->setPageStep(nSize);
    return old;
}

int CSliderCtrl::GetPageSize() const
{
    const QSlider* slider = sliderOf(this);
    return slider ? slider->pageStep() : 0;
}

int CSliderCtrl::SetLineSize(int nSize)
{
    QSlider* slider = sliderOf(this);
    if (slider == nullptr)
        return 0;
    const int old = slider->singleStep();
    slider->setSingleStep(nSize);
    return old;
}

int CSliderCtrl::GetLineSize() const
{
    const QSlider* slider = sliderOf(this);
    return slider ? slider->singleStep() : 0;
}

// ---- CSpinButtonCtrl ----------------------------------------------------------------

BOOL CSpinButtonCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("msctls_updown32", nullptr, dwStyle, rect, pParentWnd, nID);
}

QWidget* CSpinButtonCtrl::CreateWidget(QWidget* parent, const CREATESTRUCT& cs)
{
    const bool horizontal = (static_cast<DWORD>(cs.style) & UDS_HORZ) != 0;
    auto* box = new QWidget(parent);
    auto* layout = new QBoxLayout(horizontal ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom, box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* up = new QToolButton(box);
    auto* down = new QToolButton(box);
    up->setArrowType(horizontal ? Qt::RightArrow : Qt::UpArrow);
    down->setArrowType(horizontal ? Qt::LeftArrow : Qt::DownArrow);
    up->setAutoRepeat(true);
    down->setAutoRepeat(true);
    up->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    down->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    if (horizontal) {
        layout->addWidget(down);
        layout->addWidget(up);
    } else {
        layout->addWidget(up);
        layout->addWidget(down);
    }
    QObject::connect(up, &QToolButton::clicked, box, [box] {
        if (auto* self = kestrun::WindowOf<CSpinButtonCtrl>(box))
            self->Step(+1);
    });
    QObject::connect(down, &QToolButton::clicked, box, [box] {
        if (auto* self = kestrun::WindowOf<CSpinButtonCtrl>(box))
            self->Step(-1);
    });
    return box;
}

int CSpinButtonCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    // The window created just before becomes the buddy.
    if (GetStyle() & UDS_AUTOBUDDY)
        SetBuddy(GetWindow(GW_HWNDPREV));
    return 0;
}

void CSpinButtonCtrl::TakeOverFrom(CWnd& other)
{
    CWnd::TakeOverFrom(other);
    if (auto* spin = DYNAMIC_DOWNCAST(CSpinButtonCtrl, &other)) {
        m_nLower = spin->m_nLower;
        m_nUpper = spin->m_nUpper;
        m_nPos = spin->m_nPos;
        m_nBase = spin->m_nBase;
        m_pBuddy = spin->m_pBuddy;
    }
}

void CSpinButtonCtrl::SetRange32(int nLower, int nUpper)
{
    m_nLower = nLower;
    m_nUpper = nUpper;
    SetPos(m_nPos);
}

void CSpinButtonCtrl::GetRange(int& nLower, int& nUpper) const
{
    nLower = m_nLower;
    nUpper = m_nUpper;
}

int CSpinButtonCtrl::GetPos() const
{
    return GetPos32(nullptr);
}

int CSpinButtonCtrl::GetPos32(LPBOOL lpbError) const
{
    if (lpbError)
        *lpbError = FALSE;
    if (m_pBuddy && (GetStyle() & UDS_SETBUDDYINT)) {
        CString text;
        m_pBuddy->GetWindowText(text);
        char* end = nullptr;
        const long value = std::strtol(text, &end, m_nBase == 16 ? 16 : 10);
        if (!text.IsEmpty() && end && *end == '\0')
            return static_cast<int>(value);
        if (lpbError)
            *lpbError = TRUE;
    }
    return m_nPos;
}

int CSpinButtonCtrl::SetPos(int nPos)
{
    const int old = m_nPos;
    const int low = std::min(m_nLower, m_nUpper);
    const int high = std::max(m_nLower, m_nUpper);
    m_nPos = std::clamp(nPos, low, high);
    WriteBuddy();
    return old;
}

CWnd* CSpinButtonCtrl::SetBuddy(CWnd* pWndBuddy)
{
    CWnd* old = m_pBuddy;
    m_pBuddy = pWndBuddy;
    WriteBuddy();
    return old;
}

int CSpinButtonCtrl::SetBase(int nBase)
{
    if (nBase != 10 && nBase != 16)
        return 0;
    const int old = m_nBase;
    m_nBase = nBase;
    WriteBuddy();
    return old;
}

void CSpinButtonCtrl::WriteBuddy()
{
    if (m_pBuddy == nullptr || !(GetStyle() & UDS_SETBUDDYINT))
        return;
    CString text;
    if (m_nBase == 16)
        text.Format("0x%04X", static_cast<unsigned>(m_nPos));
    else
        text.Format("%d", m_nPos);
    m_pBuddy->SetWindowText(text);
}

void CSpinButtonCtrl::Step(int nDelta)
{
    if (m_hWnd == nullptr)
        return;
    // A range given upside down counts the other way.
    const int direction = m_nLower <= m_nUpper ? 1 : -1;
    const int current = GetPos32(nullptr);
    NMUPDOWN info{};
    info.hdr.code = UDN_DELTAPOS;
    info.iPos = current;
    info.iDelta = nDelta * direction;
    if (NotifyParent(info.hdr) != 0)
        return;
    const int low = std::min(m_nLower, m_nUpper);
    const int high = std::max(m_nLower, m_nUpper);
    int next = current + info.iDelta;
    if (next < low || next > high) {
        if (GetStyle() & UDS_WRAP)
            next = next < low ? high : low;
        else
            next = std::clamp(next, low, high);
    }
    m_nPos = next;
    WriteBuddy();
    if (CWnd* parent = GetParent()) {
        const UINT message = (GetStyle() & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
        parent->SendMessage(message, MAKEWPARAM(static_cast<WORD>(SB_THUMBPOSITION), static_cast<WORD>(m_nPos)),
                            reinterpret_cast<LPARAM>(m_hWnd));
    }
}

// ---- CProgressCtrl -------------------------------------------------------------------

BOOL CProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("msctls_progress32", nullptr, dwStyle, rect, pParentWnd, nID);
}

QWidget* CProgressCtrl::CreateWidget(QWidget* parent, const CREATESTRUCT& cs)
{
    auto* bar = new QProgressBar(parent);
    bar->setOrientation((static_cast<DWORD>(cs.style) & PBS_VERTICAL) ? Qt::Vertical : Qt::Horizontal);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

void CProgressCtrl::TakeOverFrom(CWnd& other)
{
    CWnd::TakeOverFrom(other);
    if (auto* progress = DYNAMIC_DOWNCAST(CProgressCtrl, &other))
        m_nStep = progress->m_nStep;
}

void CProgressCtrl::SetRange32(int nLower, int nUpper)
{
    if (QProgressBar* bar = progressOf(this)) {
        bar->setRange(nLower, std::max(nLower, nUpper));
        bar->setValue(std::clamp(bar->value(), bar->minimum(), bar->maximum()));
    }
}

void CProgressCtrl::GetRange(int& nLower, int& nUpper) const
{
    const QProgressBar* bar = progressOf(this);
    nLower = bar ? bar->minimum() : 0;
    nUpper = bar ? bar->maximum() : 0;
}

int CProgressCtrl::SetPos(int nPos)
{
    QProgressBar* bar = progressOf(this);
    if (bar == nullptr)
        return 0;
    const int old = GetPos();
    bar->setValue(std::clamp(nPos, bar->minimum(), bar->maximum()));
    return old;
}

int CProgressCtrl::GetPos() const
{
    const QProgressBar* bar = progressOf(this);
    // A bar that was never moved reports its minimum.
    return bar ? std::max(bar->value(), bar->minimum()) : 0;
}

int CProgressCtrl::OffsetPos(int nPos)
{
    return SetPos(GetPos() + nPos);
}

int CProgressCtrl::SetStep(int nStep)
{
    const int old = m_nStep;
    m_nStep = nStep;
    return old;
}

int CProgressCtrl::StepIt()
{
    QProgressBar* bar = progressOf(this);
    if (bar == nullptr)
        return 0;
    const int old = GetPos();
    int next = old + m_nStep;
    // Stepping past the end starts again from the beginning.
    if (next > bar->maximum())
        next = bar->minimum() + (next - bar->maximum());
    bar->setValue(std::clamp(next, bar->minimum(), bar->maximum()));
    return old;
}
