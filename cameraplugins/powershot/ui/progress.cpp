#include "cameraplugins/powershot/ui/progress.h"

#include "cameraplugins/powershot/ui/pavickresources.h"

#include "platform/core/messages.h"
#include "platform/ui/rangectrls.h"

using namespace kestrun::pavick;

BEGIN_MESSAGE_MAP(CProgress, CDialog)
    ON_REGISTERED_MESSAGE(m_nThreadEndMessage, OnThreadEnd)
    ON_REGISTERED_MESSAGE(m_nProgressMessage, OnTransferProgress)
END_MESSAGE_MAP()

CProgress::CProgress(CWnd* pParentWnd)
    : CDialog(IDD_PROGRESS, pParentWnd),
      m_nThreadEndMessage(::RegisterWindowMessage("Information of a thread end")),
      m_nProgressMessage(::RegisterWindowMessage("Pavick transfer progress"))
{
    RegisterPavickResources();
    BuildMessageMap();
}

CProgress::~CProgress()
{
    if (m_worker.joinable())
        m_worker.join();
}

bool CProgress::Run(CPictureTransfer& transfer)
{
    if (m_nThreadEndMessage == 0)
        return false;
    m_pTransfer = &transfer;
    const INT_PTR result = DoModal();
    // Also when the window could not be made: the worker must be done.
    if (m_worker.joinable())
        m_worker.join();
    m_pTransfer = nullptr;
    return result == 1;
}

BOOL CProgress::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (auto* bar = static_cast<CProgressCtrl*>(GetDlgItem(IDC_TRANSFER_PROGRESS))) {
        bar->SetRange32(0, 100);
        bar->SetPos(0);
    }
    const HWND hWnd = GetSafeHwnd();
    const UINT progressMessage = m_nProgressMessage;
    const UINT endMessage = m_nThreadEndMessage;
    CPictureTransfer* transfer = m_pTransfer;
    m_worker = std::thread([hWnd, progressMessage, endMessage, transfer] {
        if (transfer != nullptr)
            transfer->RunWorker(
                [hWnd, progressMessage](int percent) { ::PostMessage(hWnd, progressMessage, percent, 0); });
        ::PostMessage(hWnd, endMessage, 0, 0);
    });
    return TRUE;
}

LRESULT CProgress::OnTransferProgress(WPARAM wParam, LPARAM)
{
    if (auto* bar = static_cast<CProgressCtrl*>(GetDlgItem(IDC_TRANSFER_PROGRESS)))
        bar->SetPos(static_cast<int>(wParam));
    return 0;
}

LRESULT CProgress::OnThreadEnd(WPARAM, LPARAM)
{
    if (m_worker.joinable())
        m_worker.join();
    EndDialog(1);
    return 0;
}
