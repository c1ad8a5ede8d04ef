#pragma once
// CSourceManager: our source manager. It answers the acquisition protocol's
// requests for the scanners SANE lists: opening and closing, the default
// source and the user's choice, the transfer count, enabling a source (the
// scan itself), image information, native transfers and pending
// transfers. Events reach the program as the registered message
// "TWAIN_SOURCE_EVENT" posted to the parent window, which hands it back
// through the event request. One source is open at a time; an enabled
// source scans one page, then asks to be closed.

#include "outside/scansource/sanescanner.h"
#include "outside/scansource/twainprotocol.h"

#include <memory>
#include <optional>
#include <vector>

// What the source manager asks the user.
class ISourceUi
{
public:
    virtual ~ISourceUi() = default;
    // The device to use, -1 when the user cancels.
    virtual int ChooseSource(const std::vector<CSaneDeviceInfo>& devices, int nCurrent) = 0;
    // TRUE when the user wants the scan.
    virtual bool ConfirmScan(const CSaneDeviceInfo& device) = 0;
    virtual void ShowError(const CString& strText) = 0;
};

class CSourceManager
{
public:
    explicit CSourceManager(std::unique_ptr<ISourceUi> pUi);
    ~CSourceManager();
    CSourceManager(const CSourceManager&) = delete;
    CSourceManager& operator=(const CSourceManager&) = delete;

    TW_UINT16 Entry(TW_IDENTITY* pOrigin, TW_IDENTITY* pDest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                    TW_MEMREF pData);

private:
    TW_UINT16 Fail(TW_UINT16 condition);
    TW_UINT16 Succeed();

    TW_UINT16 OnParent(TW_UINT16 msg, TW_MEMREF pData);
    TW_UINT16 OnIdentity(TW_UINT16 msg, TW_IDENTITY* pIdentity);
    TW_UINT16 OnCapability(TW_UINT16 msg, TW_CAPABILITY* pCapability);
    TW_UINT16 OnUserInterface(TW_UINT16 msg, TW_USERINTERFACE* pUi);
    TW_UINT16 OnEvent(TW_EVENT* pEvent);
    TW_UINT16 OnPendingTransfers(TW_UINT16 msg, TW_PENDINGXFERS* pPending);
    TW_UINT16 OnImageInfo(TW_IMAGEINFO* pInfo);
    TW_UINT16 OnNativeTransfer(TW_HANDLE* pHandle);

    // SANE and its devices, the first time; false when SANE cannot start.
    bool StartScanner();
    void FillIdentity(std::size_t index, TW_IDENTITY& identity) const;
    // The device an identity names: by its id, else by its product name;
    // the first device for a cleared identity.
    std::optional<std::size_t> FindDevice(const TW_IDENTITY& identity) const;
    // Scans a page, or says why not; then tells the program what follows.
    void Scan();
    void PostEvent(TW_UINT16 msg) const;
    void DropPage();

    std::unique_ptr<ISourceUi> m_pUi;
    std::unique_ptr<CSaneScanner> m_pScanner;
    std::vector<CSaneDeviceInfo> m_devices;
    std::size_t m_nDefault = 0;
    HWND m_hParent = nullptr;
    TW_UINT16 m_nCondition = TWCC_SUCCESS;
    bool m_bOpen = false;
    std::optional<std::size_t> m_nSource; // the open source
    bool m_bEnabled = false;
    TW_INT16 m_nTransferCount = -1;
    std::optional<CxImage> m_page; // the scanned page waiting for its transfer
};
