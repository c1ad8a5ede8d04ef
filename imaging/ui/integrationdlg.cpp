#include "imaging/ui/integrationdlg.h"

#include "imaging/dibdoc.h"
#include "imaging/framebufferlock.h"

#include "outside/grabwell/fgboard.h"
#include "outside/pixmere/dib.h"
#include "outside/pixmere/dibext.h"
#include "platform/core/messagebox.h"
#include "platform/core/messages.h"
#include "platform/ui/controlbar.h"
#include "platform/ui/ddx.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/frame.h"
#include "platform/ui/rangectrls.h"
#include "platform/ui/winapp.h"

#include <cstdlib>
#include <mutex>

IMPLEMENT_DYNAMIC(CIntegrationDlg, CToolLoopDlg)

namespace {

void RegisterIntegrationTemplate()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using namespace kestrun;
        using Dlg = CIntegrationDlg;
        RegisterDialogTemplate(Dlg::IDD, {"Image integration",
                                          CRect(0, 0, 165, 129),
                                          {
                                              LText("Number of images", IDC_STATIC, 7, 9, 70, 8),
                                              EditText(Dlg::IDC_NUMBER, 80, 7, 50, 12),
                                              GroupBox("Method", IDC_STATIC, 7, 28, 151, 50),
                                              RadioButton("Average", Dlg::IDC_AVERAGE, 15, 42, 80, 10,
                                                          WS_GROUP),
                                              RadioButton("Addition", Dlg::IDC_ADDITION, 15, 58, 80, 10),
                                              PushButton("Start", Dlg::IDC_START, 7, 108, 50, 14),
                                              DefPushButton("OK", IDOK, 108, 108, 50, 14),
                                          }});
    });
}

} // namespace

BEGIN_MESSAGE_MAP(CIntegrationDlg, CToolLoopDlg)
    ON_BN_CLICKED(IDC_START, OnStart)
    ON_EN_CHANGE(IDC_NUMBER, OnNumberChanged)
END_MESSAGE_MAP()

CIntegrationDlg::CIntegrationDlg(CWnd* pOwner) : CToolLoopDlg((RegisterIntegrationTemplate(), IDD), pOwner)
{
    BuildMessageMap();
}

CIntegrationDlg::~CIntegrationDlg()
{
    DestroyHandleNow();
}

void CIntegrationDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_NUMBER, m_nImages);
    DDV_MinMaxInt(pDX, m_nImages, 1, kMaxImages);
    DDX_Radio(pDX, IDC_AVERAGE, m_nMethod);
}

void CIntegrationDlg::OnNumberChanged()
{
    // Taken as typed only when it reads as a number in range; Start
    // checks it and says what is wrong.
    CString text;
    GetDlgItemText(IDC_NUMBER, text);
    char* end = nullptr;
    const long number = std::strtol(text.GetString(), &end, 10);
    if (!text.IsEmpty() && end != nullptr && *end == '\0' && number >= 1 && number <= kMaxImages)
        m_nImages = static_cast<int>(number);
}

void CIntegrationDlg::OnStart()
{
    if (m_bBusy != 0 || m_pDoc == nullptr)
        return;
    if (!UpdateData(TRUE))
        return;
    m_bBusy = 1;
    m_bStop = false;
    if (!RunLoop([this] { return Integrate(); }))
        return; // the dialog is gone
    m_bBusy = 0;
}

bool CIntegrationDlg::Integrate()
{
    // One pass of RunLoop: the whole run, which checks for a stop after
    // every dispatch of messages.
    if (!GrabFrame())
        return false;
    const CDIB* first = m_pDoc->GetActiveDIB();
    CDIBExt sum;
    if (first == nullptr || !sum.InitDIB(first->GetWidth(), first->GetHeight(), first->GetBpp())) {
        AfxMessageBox("The image cannot be integrated.");
        return false;
    }
    sum.Add(*first);
    CreateProgressBar();
    // The number as the run started: typing meanwhile changes the next run.
    const int images = m_nImages;
    bool complete = true;
    for (int i = 1; i < images && complete; ++i)
        complete = AddFrame(sum, i, images);
    if (complete)
        WriteBack(sum);
    m_pProgress.reset();
    return false;
}

bool CIntegrationDlg::AddFrame(CDIBExt& sum, int nFrame, int nImages)
{
    // Messages between frames: the view may close meanwhile.
    kestrun::PumpMessages();
    if (m_bStop || m_pDoc == nullptr)
        return false;
    if (!GrabFrame())
        return false;
    const CDIB* page = m_pDoc->GetActiveDIB();
    if (page == nullptr || page->GetWidth() != sum.GetWidth() || page->GetHeight() != sum.GetHeight() ||
        page->GetBpp() != sum.GetBitCount()) {
        AfxMessageBox("The frames changed their size during the integration: it stopped.");
        return false;
    }
    sum.Add(*page);
    ShowProgress(100 * nFrame / nImages);
    return true;
}

void CIntegrationDlg::WriteBack(const CDIBExt& sum)
{
    CDIB* page = m_pDoc->GetActiveDIB();
    if (page == nullptr)
        return;
    {
        const CFrameBufferLock lock(m_pDoc->IsVideo() ? GetFG() : nullptr, page);
        sum.WriteBack(*page, m_nMethod == methodAddition ? CDIBExt::WriteSum : CDIBExt::WriteAverage);
    }
    m_pDoc->SetModifiedFlag();
    m_pDoc->UpdateAllViews(nullptr);
}

void CIntegrationDlg::CreateProgressBar()
{
    auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    auto* bar = frame != nullptr ? dynamic_cast<CStatusBar*>(frame->GetMessageBar()) : nullptr;
    if (bar == nullptr || bar->GetSafeHwnd() == nullptr)
        return;
    CRect pane;
    bar->GetItemRect(0, &pane);
    auto progress = std::make_unique<CProgressCtrl>();
    if (!progress->Create(WS_CHILD | WS_VISIBLE, pane, bar, 1))
        return;
    progress->SetRange(0, 100);
    m_pProgress = std::move(progress);
}

void CIntegrationDlg::ShowProgress(int nPercent)
{
    if (m_pProgress)
        m_pProgress->SetPos(nPercent);
}

void CIntegrationDlg::StopLoop()
{
    m_bStop = true;
}

void CIntegrationDlg::OnOK()
{
    if (m_bBusy != 0)
        return;
    DestroyWindow();
}

void CIntegrationDlg::OnCancel()
{
    OnOK();
}

void CIntegrationDlg::OnDestroy()
{
    CDialog::OnDestroy();
    PostCloseReport(1, kReportId);
}
