#include "imaging/twain.h"

#include "platform/core/library.h"
#include "platform/core/messages.h"
#include "platform/ui/wnd.h"

#include <cstring>
#include <memory>

CTwain::CTwain(HWND hWnd, const char* lpszLibrary) : m_strLibrary(lpszLibrary)
{
    if (hWnd != nullptr)
        LoadSourceManager(hWnd);
}

CTwain::~CTwain()
{
    UnloadSourceManager();
}

void CTwain::FillAppIdentity()
{
    m_AppId = MakeIdentity(0, 3, 5, "3.5", "Tarvex AV", "Generic", "Twain Test");
}

// ------------------------------------------------------------ requests

TW_IDENTITY* CTwain::Destination(TW_UINT16 dat)
{
    return dat == DAT_PARENT || dat == DAT_IDENTITY ? nullptr : &m_Source;
}

TW_UINT16 CTwain::Call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF pData)
{
    if (m_hModule == nullptr || m_pEntry == nullptr)
        return m_nLastResult = TWRC_FAILURE;
    return m_nLastResult = m_pEntry(&m_AppId, Destination(dat), dg, dat, msg, pData);
}

BOOL CTwain::CallDSM(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF pData)
{
    // Call refuses without a manager; the status request goes straight to
    // the entry so that the last result stays the request's own.
    const TW_UINT16 result = Call(dg, dat, msg, pData);
    if (result != TWRC_SUCCESS && m_pEntry != nullptr) {
        m_Status = TW_STATUS{};
        m_pEntry(&m_AppId, Destination(dat), DG_CONTROL, DAT_STATUS, MSG_GET, &m_Status);
    }
    return result == TWRC_SUCCESS;
}

// ------------------------------------------------------------ manager

BOOL CTwain::LoadSourceManager(HWND hWnd)
{
    if (m_hModule != nullptr)
        return TRUE;
    m_AppId = TW_IDENTITY{};
    if (!IsWindow(hWnd))
        return FALSE;
    m_hWnd = hWnd;
    m_hModule = LoadLibrary(m_strLibrary);
    if (m_hModule == nullptr)
        return FALSE;
    m_pEntry = reinterpret_cast<DSMENTRYPROC>(GetProcAddress(m_hModule, kDsmEntryName));
    if (m_pEntry == nullptr) {
        FreeLibrary(m_hModule);
        m_hModule = nullptr;
        return FALSE;
    }
    FillAppIdentity();
    OpenSourceManager();
    return TRUE;
}

BOOL CTwain::OpenSourceManager()
{
    HWND parent = m_hWnd;
    m_bManagerOpen = CallDSM(DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &parent);
    return m_bManagerOpen;
}

BOOL CTwain::CloseSourceManager()
{
    CloseSource();
    if (!m_bManagerOpen)
        return FALSE;
    HWND parent = m_hWnd;
    const BOOL closed = CallDSM(DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parent);
    m_bManagerOpen = FALSE;
    return closed;
}

void CTwain::UnloadSourceManager()
{
    CloseSourceManager();
    if (m_hModule != nullptr)
        FreeLibrary(m_hModule);
    m_hModule = nullptr;
    m_pEntry = nullptr;
}

// ------------------------------------------------------------ sources

BOOL CTwain::GetDefaultSource()
{
    m_bHaveSource = CallDSM(DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &m_Source);
    return m_bHaveSource;
}

BOOL CTwain::SelectSource()
{
    // A cancelled choice keeps the source we had.
    const TW_IDENTITY previous = m_Source;
    m_Source = TW_IDENTITY{};
    if (!m_bHaveSource)
        GetDefaultSource();
    if (!CallDSM(DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT, &m_Source)) {
        m_Source = previous;
        return FALSE;
    }
    m_bHaveSource = TRUE;
    return TRUE;
}

BOOL CTwain::OpenSource(const TW_IDENTITY* pSource)
{
    if (pSource != nullptr) {
        m_Source = *pSource;
        m_bHaveSource = TRUE;
    }
    if (!m_bManagerOpen)
        return FALSE;
    if (!m_bHaveSource && !GetDefaultSource())
        return FALSE;
    m_bSourceOpen = CallDSM(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &m_Source);
    return m_bSourceOpen;
}

BOOL CTwain::CloseSource()
{
    DisableSource();
    if (!m_bSourceOpen)
        return FALSE;
    const BOOL closed = CallDSM(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &m_Source);
    m_bSourceOpen = FALSE;
    m_bSourceEnabled = FALSE;
    return closed;
}

BOOL CTwain::EnableSource(BOOL bShowUI)
{
    if (!m_bSourceOpen || m_bSourceEnabled)
        return FALSE;
    TW_USERINTERFACE ui{};
    ui.ShowUI = bShowUI ? 1 : 0;
    ui.hParent = m_hWnd;
    m_bSourceEnabled = CallDSM(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
    m_nModalUI = m_bSourceEnabled ? ui.ModalUI : 1;
    return m_bSourceEnabled;
}

BOOL CTwain::DisableSource()
{
    if (!m_bSourceEnabled)
        return FALSE;
    TW_USERINTERFACE ui{};
    ui.hParent = m_hWnd;
    if (!CallDSM(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui))
        return FALSE;
    m_bSourceEnabled = FALSE;
    return TRUE;
}

BOOL CTwain::OnCloseRequest() { return TRUE; }

int CTwain::ShouldTransfer(const TW_IMAGEINFO&) { return transferImage; }

BOOL CTwain::Acquire(int nImages)
{
    if (!m_bSourceOpen && !OpenSource())
        return FALSE;
    SetImageCount(static_cast<TW_INT16>(nImages));
    return EnableSource(TRUE);
}

// ------------------------------------------------------------ capabilities

BOOL CTwain::GetCapability(TW_UINT16 nCapability, TW_UINT32& value)
{
    TW_CAPABILITY capability{nCapability, TWON_DONTCARE16, nullptr};
    if (!CallDSM(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &capability))
        return FALSE;
    // The container comes from the source: it must hold at least one value.
    BOOL read = FALSE;
    if (GlobalSize(capability.hContainer) >= sizeof(TW_ONEVALUE)) {
        TW_ONEVALUE one{};
        std::memcpy(&one, GlobalLock(capability.hContainer), sizeof(one));
        GlobalUnlock(capability.hContainer);
        value = one.Item;
        read = TRUE;
    }
    GlobalFree(capability.hContainer);
    return read;
}

BOOL CTwain::SetCapability(TW_CAPABILITY& capability)
{
    return CallDSM(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &capability);
}

BOOL CTwain::SetOneValue(TW_UINT16 nCapability, TW_UINT32 value, BOOL bSigned)
{
    TW_CAPABILITY capability{nCapability, TWON_ONEVALUE, GlobalAlloc(GHND, sizeof(TW_ONEVALUE))};
    auto* one = static_cast<TW_ONEVALUE*>(GlobalLock(capability.hContainer));
    if (one == nullptr)
        return FALSE;
    one->ItemType = bSigned ? TWTY_INT16 : TWTY_UINT16;
    one->Item = value;
    GlobalUnlock(capability.hContainer);
    const BOOL set = SetCapability(capability);
    GlobalFree(capability.hContainer);
    return set;
}

BOOL CTwain::SetImageCount(TW_INT16 nCount)
{
    TW_INT16 count = nCount;
    BOOL set = SetOneValue(CAP_XFERCOUNT, static_cast<TW_UINT16>(count), TRUE);
    if (!set && m_nLastResult == TWRC_CHECKSTATUS) {
        TW_UINT32 current = 0;
        if (GetCapability(CAP_XFERCOUNT, current)) {
            count = static_cast<TW_INT16>(current & 0xFFFF);
            set = SetOneValue(CAP_XFERCOUNT, static_cast<TW_UINT16>(count), FALSE);
        }
    }
    m_nImageCount = count;
    return set;
}

// ------------------------------------------------------------ events and transfers

BOOL CTwain::ProcessMessage(const MSG& msg)
{
    if (!m_bSourceEnabled)
        return FALSE;
    MSG copy = msg;
    TW_EVENT event{&copy, MSG_NULL};
    const TW_UINT16 result = Call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
    HandleSourceEvent(event.TWMessage);
    return result == TWRC_DSEVENT;
}

void CTwain::HandleSourceEvent(TW_UINT16 msg)
{
    switch (msg) {
    case MSG_XFERREADY:
        TransferImages();
        break;
    case MSG_CLOSEDSREQ:
        if (OnCloseRequest())
            CloseSource();
        break;
    default:
        break;
    }
}

void CTwain::TransferImages()
{
    BOOL pending = TRUE;
    while (pending && m_bSourceEnabled) {
        TW_IMAGEINFO info{};
        // A source that cannot describe its image will not send it either.
        if (!GetImageInfo(info)) {
            ResetTransfers();
            return;
        }
        switch (ShouldTransfer(info)) {
        case transferImage:
            pending = NativeTransfer(info);
            break;
        case skipImage:
            pending = EndTransfer();
            break;
        default:
            ResetTransfers();
            return;
        }
    }
}

BOOL CTwain::GetImageInfo(TW_IMAGEINFO& info)
{
    if (!m_bSourceEnabled)
        return FALSE;
    return CallDSM(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info);
}

BOOL CTwain::NativeTransfer(const TW_IMAGEINFO& info)
{
    TW_HANDLE bitmap = nullptr;
    CallDSM(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &bitmap);
    const TW_UINT16 result = m_nLastResult;
    if (result == TWRC_FAILURE) {
        ResetTransfers();
        return FALSE;
    }
    if (result == TWRC_XFERDONE && bitmap != nullptr) {
        // Freed however OnImage leaves.
        const std::unique_ptr<HGLOBAL__, decltype(&GlobalFree)> owned(bitmap, &GlobalFree);
        OnImage(bitmap, info);
    }
    return EndTransfer();
}

BOOL CTwain::EndTransfer()
{
    TW_PENDINGXFERS pending{};
    if (!CallDSM(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending))
        return FALSE;
    return pending.Count != 0;
}

void CTwain::ResetTransfers()
{
    TW_PENDINGXFERS pending{};
    CallDSM(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
}
