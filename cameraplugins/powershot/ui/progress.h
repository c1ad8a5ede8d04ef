#pragma once
// CProgress: the "USB image transfer" window (template 129) that runs on the
// host thread while its worker receives the picture. The worker only posts:
// the percentage and, at its end, "Information of a thread end"; the window
// waits for the worker before it closes and cannot be closed before.

#include "cameraplugins/powershot/fgpavick.h"

#include "platform/ui/dialog.h"

#include <thread>

class CProgress : public CDialog
{
public:
    explicit CProgress(CWnd* pParentWnd = nullptr);
    ~CProgress() override;

    // True when the window ended normally (the worker ran to its end).
    bool Run(CPictureTransfer& transfer);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    LRESULT OnTransferProgress(WPARAM wParam, LPARAM lParam);
    LRESULT OnThreadEnd(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    UINT m_nThreadEndMessage = 0;
    UINT m_nProgressMessage = 0;
    CPictureTransfer* m_pTransfer = nullptr;
    std::thread m_worker;
};
