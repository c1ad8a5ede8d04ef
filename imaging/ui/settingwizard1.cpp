// CSettingWizard1: brightness and contrast against the reference image, and
// the live worker.

#include "imaging/ui/settingwizard.h"

#include "imaging/dibdoc.h"
#include "imaging/framebufferlock.h"

#include "analysis/aoidoc.h"
#include "analysis/aoistatistics.h"
#include "outside/grabwell/fgboard.h"
#include "platform/core/messagebox.h"
#include "platform/core/messages.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/windowdc.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <mutex>

IMPLEMENT_DYNCREATE(CSettingWizard1, CPropertyPage)

namespace {

constexpr int kGreyChannel = 3;
// Where the reference image and the sign go, in dialog units.
const CRect kReferenceFrame(185, 20, 293, 100);
const CRect kSignPlace(70, 82, 94, 106);

void RegisterWizardPage1()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using namespace kestrun;
        using Page = CSettingWizard1;
        RegisterDialogTemplate(Page::IDD,
                               {"Setup Microscope Illumination",
                                CRect(0, 0, 300, 130),
                                {
                                    LText("Current", IDC_STATIC, 70, 7, 50, 8),
                                    LText("Reference", IDC_STATIC, 125, 7, 50, 8),
                                    LText("Brightness (0-255):", IDC_STATIC, 7, 24, 62, 8),
                                    EditText(Page::IDC_CURRENT_BRIGHTNESS, 70, 22, 50, 12, ES_READONLY),
                                    EditText(Page::IDC_REFERENCE_BRIGHTNESS, 125, 22, 50, 12, ES_READONLY),
                                    LText("Contrast:", IDC_STATIC, 7, 42, 62, 8),
                                    EditText(Page::IDC_CURRENT_CONTRAST, 70, 40, 50, 12, ES_READONLY),
                                    EditText(Page::IDC_REFERENCE_CONTRAST, 125, 40, 50, 12, ES_READONLY),
                                    PushButton("Start Live Video", Page::IDC_LIVE_VIDEO, 7, 60, 113, 14),
                                    PushButton("GO", Page::IDC_SIGN, kSignPlace.left, kSignPlace.top,
                                               kSignPlace.Width(), kSignPlace.Height()),
                                    LText("Reference Image:", IDC_STATIC, kReferenceFrame.left, 7, 80, 8),
                                    LText("", Page::IDC_REFERENCE_FRAME, kReferenceFrame.left, kReferenceFrame.top,
                                          kReferenceFrame.Width(), kReferenceFrame.Height(), SS_ETCHEDFRAME),
                                    PushButton("Save Reference Image", Page::IDC_SAVE_REFERENCE,
                                               kReferenceFrame.left, 106, kReferenceFrame.Width(), 14),
                                }});
    });
}

kestrun::sIllumination MeasureWholeImage(const CDIB& image)
{
    const CAOI2 whole(CRect(0, 0, image.GetWidth(), image.GetHeight()));
    return kestrun::MeasureIllumination(image, whole);
}

} // namespace

kestrun::sIllumination kestrun::MeasureIllumination(const Device& image, const CAOI& area)
{
    sIllumination values;
    ComputeColorStatistics(area, image, values.mean, values.deviation);
    ComputeTexture(area, image, kGreyChannel, &values.texture[0], &values.texture[1], &values.texture[2],
                   &values.texture[3], 1);
    return values;
}

BEGIN_MESSAGE_MAP(CSettingWizard1, CPropertyPage)
    ON_BN_CLICKED(IDC_LIVE_VIDEO, OnLiveVideo)
    ON_BN_CLICKED(IDC_SAVE_REFERENCE, OnSaveReference)
    ON_REGISTERED_MESSAGE(LiveValuesMessage(), OnLiveValues)
END_MESSAGE_MAP()

CSettingWizard1::CSettingWizard1() : CPropertyPage((RegisterWizardPage1(), IDD))
{
    BuildMessageMap();
}

CSettingWizard1::~CSettingWizard1()
{
    StopLiveThread();
    DestroyHandleNow();
}

UINT CSettingWizard1::LiveValuesMessage()
{
    static const UINT message = RegisterWindowMessage("WIZARD_LIVE_VALUES");
    return message;
}

bool CSettingWizard1::IsGo(double dLiveBrightness, double dReferenceBrightness)
{
    const double d = std::fabs(dLiveBrightness - dReferenceBrightness) / 255.0 * 100.0;
    // A hair of tolerance: the video weights of the grey value leave the
    // last bit of a brightness to chance.
    return d <= kGoLimit + 1e-9;
}

BOOL CSettingWizard1::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    if (m_pDoc == nullptr)
        return TRUE;
    m_Sign.SubclassDlgItem(IDC_SIGN, this);
    m_Sign.LoadBitmaps("GO", nullptr, nullptr, "STOP");
    m_Sign.SizeToContent();
    if (m_pDoc->IsVideo())
        m_pDoc->Grab(FALSE);
    if (const CDIB* page = m_pDoc->GetActiveDIB())
        m_Live = MeasureWholeImage(*page);
    LoadReference();
    UpdateValues();
    return TRUE;
}

void CSettingWizard1::LoadReference()
{
    // The first time there is none; a file that does not read is told and
    // the reference values stay 0.
    std::error_code error;
    if (m_strReferencePath.IsEmpty() || !std::filesystem::exists(m_strReferencePath.GetString(), error))
        return;
    CDIB loaded;
    if (!loaded.JPEG2DIB(m_strReferencePath)) {
        AfxMessageBox(FormatString("The reference image %s cannot be read.", m_strReferencePath.GetString()));
        return;
    }
    TakeReference(loaded);
}

void CSettingWizard1::TakeReference(const CDIB& page)
{
    m_Reference = page;
    m_RefValues = MeasureWholeImage(m_Reference);
}

BOOL CSettingWizard1::OnSetActive()
{
    if (CPropertySheet* sheet = GetSheet())
        sheet->SetWizardButtons(PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
}

LRESULT CSettingWizard1::OnWizardNext()
{
    if (IsLive()) {
        StopLiveThread();
        SetLiveButtonText("Live Video On");
    }
    return CPropertyPage::OnWizardNext();
}

void CSettingWizard1::OnCancel()
{
    if (m_pOwnerView != nullptr && m_pOwnerView->GetSafeHwnd() != nullptr)
        m_pOwnerView->PostMessage(kCloseReport, 0, kReportId);
    CPropertyPage::OnCancel();
}

void CSettingWizard1::OnDestroy()
{
    StopLiveThread();
    CPropertyPage::OnDestroy();
}

void CSettingWizard1::UpdateValues()
{
    if (GetSafeHwnd() == nullptr)
        return;
    auto show = [this](int id, double value) {
        CString text;
        text.Format("%.2lf", value);
        SetDlgItemText(id, text);
    };
    show(IDC_CURRENT_BRIGHTNESS, m_Live.Brightness());
    show(IDC_CURRENT_CONTRAST, m_Live.Contrast());
    show(IDC_REFERENCE_BRIGHTNESS, m_RefValues.Brightness());
    show(IDC_REFERENCE_CONTRAST, m_RefValues.Contrast());
    const bool go = IsGo(m_Live.Brightness(), m_RefValues.Brightness());
    if (m_Sign.GetSafeHwnd() != nullptr) {
        m_Sign.SetWindowText(go ? "GO" : "STOP");
        m_Sign.EnableWindow(go ? TRUE : FALSE);
    }
}

void CSettingWizard1::SetLiveButtonText(LPCTSTR text)
{
    if (CWnd* button = GetDlgItem(IDC_LIVE_VIDEO))
        button->SetWindowText(text);
}

void CSettingWizard1::OnLiveVideo()
{
    if (!IsLive()) {
        SetLiveButtonText("Live Video Off");
        StartLiveThread();
        if (!IsLive())
            SetLiveButtonText("Live Video On");
    } else {
        SetLiveButtonText("Live Video On");
        StopLiveThread();
    }
}

void CSettingWizard1::OnSaveReference()
{
    if (m_pDoc == nullptr)
        return;
    if (m_Reference.GetWidth() > 0 &&
        AfxMessageBox("Reference Image already exits - Overwrite?", MB_OKCANCEL) != IDOK)
        return;
    const CDIB* page = m_pDoc->GetActiveDIB();
    if (page == nullptr)
        return;
    // A reference that did not reach the disk would be gone next time.
    if (!m_pDoc->OnSaveDocument(m_strReferencePath))
        return;
    TakeReference(*page);
    UpdateValues();
    Invalidate(TRUE);
}

void CSettingWizard1::RefreshArea()
{
    PublishArea();
    if (IsLive() || m_pDoc == nullptr || GetSafeHwnd() == nullptr)
        return;
    const CDIB* page = m_pDoc->GetActiveDIB();
    CAOIDoc* areas = m_pDoc->GetDataDoc();
    CAOI* area = areas != nullptr ? areas->GetActiveAOI(true) : nullptr;
    if (page == nullptr || area == nullptr)
        return;
    m_Live = kestrun::MeasureIllumination(*page, *area);
    UpdateValues();
}

void CSettingWizard1::OnPaint()
{
    CPaintDC dc(this);
    if (m_Reference.GetWidth() > 0)
        m_Reference.StretchDIB(&dc, kestrun::DialogUnitsToPixels(kReferenceFrame));
}

// ---- the worker ---------------------------------------------------------------------------------

void CSettingWizard1::PublishArea()
{
    CAOIDoc* areas = m_pDoc != nullptr ? m_pDoc->GetDataDoc() : nullptr;
    CAOI* area = areas != nullptr ? areas->GetActiveAOI(true) : nullptr;
    const std::lock_guard lock(m_liveMutex);
    m_liveArea = area != nullptr ? area->GetRect() : CRect();
}

void CSettingWizard1::StartLiveThread()
{
    if (IsLive())
        return;
    FGBoard* board = GetFG();
    if (board == nullptr || GetSafeHwnd() == nullptr) {
        AfxMessageBox("No live video for this image");
        return;
    }
    PublishArea();
    {
        const std::lock_guard lock(m_liveMutex);
        m_bPosted = false;
        m_bEnded = false;
    }
    m_bLive = 1;
    m_worker = std::thread([this, board, page = GetSafeHwnd()] { LiveThreadProc(board, page); });
}

void CSettingWizard1::StopLiveThread()
{
    {
        const std::lock_guard lock(m_liveMutex);
        m_bLive = 0;
    }
    m_liveWake.notify_all();
    // The worker waits on nothing of this thread: a plain join ends.
    if (m_worker.joinable())
        m_worker.join();
    const std::lock_guard lock(m_liveMutex);
    m_bPosted = false;
    m_liveFrame = CDIB();
}

void CSettingWizard1::LiveThreadProc(FGBoard* board, HWND page)
{
    // Lowest priority: the user-interface thread comes first.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
    CDIB frame;
    while (m_bLive != 0) {
        if (board->GrabFrame(0) == 0.0)
            break; // the board reported it
        bool copied = false;
        if (board->LockBuffer(INFINITE)) {
            if (const CDIB* buffer = board->GetDIB())
                frame = *buffer;
            copied = true;
            board->UnlockBuffer();
        }
        if (!copied)
            break;
        CRect area;
        {
            const std::lock_guard lock(m_liveMutex);
            area = m_liveArea;
        }
        kestrun::sIllumination values;
        if (frame.GetWidth() > 0 && frame.GetHeight() > 0) {
            if (area.IsRectEmpty())
                area = CRect(0, 0, frame.GetWidth(), frame.GetHeight());
            values = kestrun::MeasureIllumination(frame, CAOI2(area));
        }
        std::unique_lock lock(m_liveMutex);
        m_liveValues = values;
        m_liveFrame = frame;
        m_bPosted = true;
        if (!::PostMessage(page, LiveValuesMessage(), 0, 0))
            break;
        // One frame at a time: the next after the page took this one.
        m_liveWake.wait(lock, [this] { return !m_bPosted || m_bLive == 0; });
    }
    const std::lock_guard lock(m_liveMutex);
    if (m_bLive != 0) {
        m_bEnded = true;
        ::PostMessage(page, LiveValuesMessage(), 1, 0);
    }
}

LRESULT CSettingWizard1::OnLiveValues(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    CDIB frame;
    bool ended = false;
    bool fresh = false;
    {
        const std::lock_guard lock(m_liveMutex);
        fresh = m_bPosted;
        if (fresh) {
            m_Live = m_liveValues;
            frame = std::move(m_liveFrame);
            m_liveFrame = CDIB();
            m_bPosted = false;
        }
        ended = m_bEnded;
    }
    m_liveWake.notify_all();
    if (fresh) {
        ++m_nLiveFrames;
        UpdateValues();
        // The view shows the frame measured, when the board did not write
        // it into the page itself.
        CDIB* target = m_pDoc != nullptr ? m_pDoc->GetActiveDIB() : nullptr;
        FGBoard* board = GetFG();
        if (target != nullptr && frame.GetWidth() > 0 && (board == nullptr || board->GetDIB() != target)) {
            const bool sameSize = target->GetWidth() == frame.GetWidth() && target->GetHeight() == frame.GetHeight();
            *target = std::move(frame);
            if (sameSize)
                m_pDoc->RedrawImage(FALSE);
            else
                m_pDoc->UpdateImageViews();
        } else if (m_pDoc != nullptr) {
            m_pDoc->RedrawImage(FALSE);
        }
    }
    if (ended && IsLive()) {
        StopLiveThread();
        SetLiveButtonText("Live Video On");
    }
    return 0;
}
