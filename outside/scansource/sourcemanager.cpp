#include "outside/scansource/sourcemanager.h"

#include "outside/pixmere/packeddib.h"
#include "platform/core/messages.h"
#include "platform/ui/wnd.h"

#include <cstring>

namespace {

constexpr TW_UINT32 kFirstSourceId = 1;

CString TextOf(const TW_STR32& text)
{
    return CString(text, static_cast<int>(strnlen(text, sizeof(text))));
}

} // namespace

CSourceManager::CSourceManager(std::unique_ptr<ISourceUi> pUi) : m_pUi(std::move(pUi)) {}

CSourceManager::~CSourceManager() = default;

TW_UINT16 CSourceManager::Fail(TW_UINT16 condition)
{
    m_nCondition = condition;
    return TWRC_FAILURE;
}

TW_UINT16 CSourceManager::Succeed()
{
    m_nCondition = TWCC_SUCCESS;
    return TWRC_SUCCESS;
}

TW_UINT16 CSourceManager::Entry(TW_IDENTITY* pOrigin, TW_IDENTITY* /*pDest*/, TW_UINT32 dg, TW_UINT16 dat,
                                TW_UINT16 msg, TW_MEMREF pData)
{
    if (pOrigin == nullptr)
        return Fail(TWCC_BADPROTOCOL);
    if (dg == DG_CONTROL && dat == DAT_STATUS) {
        if (msg != MSG_GET || pData == nullptr)
            return Fail(TWCC_BADPROTOCOL);
        // Reading the condition leaves it.
        *static_cast<TW_STATUS*>(pData) = TW_STATUS{m_nCondition, 0};
        return TWRC_SUCCESS;
    }
    if (pData == nullptr)
        return Fail(TWCC_BADVALUE);
    if (dg == DG_CONTROL && dat == DAT_PARENT)
        return OnParent(msg, pData);
    if (!m_bOpen)
        return Fail(TWCC_SEQERROR);
    if (dg == DG_CONTROL) {
        switch (dat) {
        case DAT_IDENTITY:
            return OnIdentity(msg, static_cast<TW_IDENTITY*>(pData));
        case DAT_CAPABILITY:
            return OnCapability(msg, static_cast<TW_CAPABILITY*>(pData));
        case DAT_USERINTERFACE:
            return OnUserInterface(msg, static_cast<TW_USERINTERFACE*>(pData));
        case DAT_EVENT:
            return msg == MSG_PROCESSEVENT ? OnEvent(static_cast<TW_EVENT*>(pData)) : Fail(TWCC_BADPROTOCOL);
        case DAT_PENDINGXFERS:
            return OnPendingTransfers(msg, static_cast<TW_PENDINGXFERS*>(pData));
        default:
            return Fail(TWCC_BADPROTOCOL);
        }
    }
    if (dg == DG_IMAGE && msg == MSG_GET) {
        if (dat == DAT_IMAGEINFO)
            return OnImageInfo(static_cast<TW_IMAGEINFO*>(pData));
        if (dat == DAT_IMAGENATIVEXFER)
            return OnNativeTransfer(static_cast<TW_HANDLE*>(pData));
    }
    return Fail(TWCC_BADPROTOCOL);
}

TW_UINT16 CSourceManager::OnParent(TW_UINT16 msg, TW_MEMREF pData)
{
    switch (msg) {
    case MSG_OPENDSM:
        if (m_bOpen)
            return Fail(TWCC_SEQERROR);
        m_nDefault = 0;
        m_hParent = *static_cast<HWND*>(pData);
        m_bOpen = true;
        return Succeed();
    case MSG_CLOSEDSM:
        if (!m_bOpen || m_nSource)
            return Fail(TWCC_SEQERROR);
        m_bOpen = false;
        m_hParent = nullptr;
        m_devices.clear();
        m_pScanner.reset();
        return Succeed();
    default:
        return Fail(TWCC_BADPROTOCOL);
    }
}

void CSourceManager::FillIdentity(std::size_t index, TW_IDENTITY& identity) const
{
    const CSaneDeviceInfo& device = m_devices[index];
    identity = MakeIdentity(kFirstSourceId + static_cast<TW_UINT32>(index), 1, 0, "SANE", device.vendor, device.type,
                            device.name);
}

std::optional<std::size_t> CSourceManager::FindDevice(const TW_IDENTITY& identity) const
{
    if (m_devices.empty())
        return std::nullopt;
    const CString name = TextOf(identity.ProductName);
    if (name.IsEmpty())
        return identity.Id == 0 && m_nDefault < m_devices.size() ? std::optional<std::size_t>(m_nDefault) : std::nullopt;
    for (std::size_t i = 0; i < m_devices.size(); ++i) {
        TW_IDENTITY candidate{};
        FillIdentity(i, candidate);
        if (TextOf(candidate.ProductName) == name)
            return i;
    }
    return std::nullopt;
}

bool CSourceManager::StartScanner()
{
    if (!m_pScanner) {
        m_pScanner = std::make_unique<CSaneScanner>();
        if (!m_pScanner->IsReady()) {
            m_pScanner.reset();
            return false;
        }
        m_devices = m_pScanner->Devices();
    }
    return true;
}

TW_UINT16 CSourceManager::OnIdentity(TW_UINT16 msg, TW_IDENTITY* pIdentity)
{
    // SANE starts when a source is first asked for: asking it for its
    // devices may take a while.
    if (msg != MSG_CLOSEDS && !StartScanner())
        return Fail(TWCC_BUMMER);
    switch (msg) {
    case MSG_GETDEFAULT:
        if (m_devices.empty())
            return Fail(TWCC_NODS);
        FillIdentity(m_nDefault < m_devices.size() ? m_nDefault : 0, *pIdentity);
        return Succeed();
    case MSG_USERSELECT: {
        m_devices = m_pScanner->Devices();
        if (m_devices.empty()) {
            m_pUi->ShowError("No scanner was found.");
            return Fail(TWCC_NODS);
        }
        const std::optional<std::size_t> current = FindDevice(*pIdentity);
        const int chosen = m_pUi->ChooseSource(m_devices, current ? static_cast<int>(*current) : 0);
        if (chosen < 0 || static_cast<std::size_t>(chosen) >= m_devices.size()) {
            m_nCondition = TWCC_SUCCESS;
            return TWRC_CANCEL;
        }
        m_nDefault = static_cast<std::size_t>(chosen);
        FillIdentity(m_nDefault, *pIdentity);
        return Succeed();
    }
    case MSG_OPENDS: {
        if (m_nSource)
            return Fail(TWCC_SEQERROR);
        const std::optional<std::size_t> device = FindDevice(*pIdentity);
        if (!device)
            return Fail(TWCC_NODS);
        FillIdentity(*device, *pIdentity);
        m_nSource = device;
        m_nTransferCount = -1;
        return Succeed();
    }
    case MSG_CLOSEDS:
        if (!m_nSource || m_bEnabled)
            return Fail(TWCC_SEQERROR);
        DropPage();
        m_nSource.reset();
        return Succeed();
    default:
        return Fail(TWCC_BADPROTOCOL);
    }
}

TW_UINT16 CSourceManager::OnCapability(TW_UINT16 msg, TW_CAPABILITY* pCapability)
{
    if (!m_nSource)
        return Fail(TWCC_SEQERROR);
    if (pCapability->Cap != CAP_XFERCOUNT)
        return Fail(TWCC_BADCAP);
    if (msg == MSG_GET) {
        HGLOBAL container = GlobalAlloc(GHND, sizeof(TW_ONEVALUE));
        auto* value = static_cast<TW_ONEVALUE*>(GlobalLock(container));
        if (value == nullptr)
            return Fail(TWCC_LOWMEMORY);
        value->ItemType = TWTY_INT16;
        value->Item = static_cast<TW_UINT16>(m_nTransferCount);
        GlobalUnlock(container);
        pCapability->ConType = TWON_ONEVALUE;
        pCapability->hContainer = container;
        return Succeed();
    }
    if (msg != MSG_SET)
        return Fail(TWCC_BADPROTOCOL);
    if (pCapability->ConType != TWON_ONEVALUE || GlobalSize(pCapability->hContainer) < sizeof(TW_ONEVALUE))
        return Fail(TWCC_BADVALUE);
    TW_ONEVALUE value{};
    std::memcpy(&value, GlobalLock(pCapability->hContainer), sizeof(value));
    GlobalUnlock(pCapability->hContainer);
    if (value.ItemType != TWTY_INT16 && value.ItemType != TWTY_UINT16)
        return Fail(TWCC_BADVALUE);
    // Any number of images (-1) or a positive count.
    const auto count = static_cast<TW_INT16>(value.Item & 0xFFFF);
    if (count == 0 || count < -1)
        return Fail(TWCC_BADVALUE);
    m_nTransferCount = count;
    return Succeed();
}

TW_UINT16 CSourceManager::OnUserInterface(TW_UINT16 msg, TW_USERINTERFACE* pUi)
{
    if (!m_nSource)
        return Fail(TWCC_SEQERROR);
    if (msg == MSG_DISABLEDS) {
        if (!m_bEnabled)
            return Fail(TWCC_SEQERROR);
        m_bEnabled = false;
        DropPage();
        return Succeed();
    }
    if (msg != MSG_ENABLEDS)
        return Fail(TWCC_BADPROTOCOL);
    if (m_bEnabled)
        return Fail(TWCC_SEQERROR);
    m_bEnabled = true;
    pUi->ModalUI = TRUE;
    // The events are posted, so the program hears of them once it is back
    // in its message loop with the source enabled.
    if (pUi->ShowUI != 0 && !m_pUi->ConfirmScan(m_devices[*m_nSource])) {
        PostEvent(MSG_CLOSEDSREQ);
        return Succeed();
    }
    Scan();
    return Succeed();
}

void CSourceManager::Scan()
{
    CxImage page;
    CString error;
    if (!m_pScanner->Scan(m_devices[*m_nSource].name, page, error)) {
        m_pUi->ShowError(error);
        PostEvent(MSG_CLOSEDSREQ);
        return;
    }
    m_page = std::move(page);
    PostEvent(MSG_XFERREADY);
}

void CSourceManager::PostEvent(TW_UINT16 msg) const
{
    PostMessage(m_hParent, RegisterWindowMessage(kSourceEventMessage), msg, 0);
}

void CSourceManager::DropPage() { m_page.reset(); }

TW_UINT16 CSourceManager::OnEvent(TW_EVENT* pEvent)
{
    const auto* message = static_cast<const MSG*>(pEvent->pEvent);
    pEvent->TWMessage = MSG_NULL;
    if (!m_bEnabled || message == nullptr || message->message != RegisterWindowMessage(kSourceEventMessage) ||
        message->hwnd != m_hParent) {
        m_nCondition = TWCC_SUCCESS;
        return TWRC_NOTDSEVENT;
    }
    pEvent->TWMessage = static_cast<TW_UINT16>(message->wParam);
    m_nCondition = TWCC_SUCCESS;
    return TWRC_DSEVENT;
}

TW_UINT16 CSourceManager::OnPendingTransfers(TW_UINT16 msg, TW_PENDINGXFERS* pPending)
{
    if (!m_bEnabled)
        return Fail(TWCC_SEQERROR);
    if (msg != MSG_ENDXFER && msg != MSG_RESET)
        return Fail(TWCC_BADPROTOCOL);
    // One page per scan: after it nothing is pending, and the source asks
    // to be closed.
    const bool hadPage = m_page.has_value();
    DropPage();
    pPending->Count = 0;
    if (hadPage)
        PostEvent(MSG_CLOSEDSREQ);
    return Succeed();
}

TW_UINT16 CSourceManager::OnImageInfo(TW_IMAGEINFO* pInfo)
{
    if (!m_bEnabled || !m_page)
        return Fail(TWCC_SEQERROR);
    const bool colour = m_page->GetBpp() == 24;
    *pInfo = TW_IMAGEINFO{};
    pInfo->XResolution.Whole = pInfo->YResolution.Whole = static_cast<TW_INT16>(m_page->GetYRes());
    pInfo->ImageWidth = m_page->GetWidth();
    pInfo->ImageLength = m_page->GetHeight();
    pInfo->SamplesPerPixel = colour ? 3 : 1;
    for (int i = 0; i < pInfo->SamplesPerPixel; ++i)
        pInfo->BitsPerSample[i] = 8;
    pInfo->BitsPerPixel = colour ? 24 : 8;
    pInfo->PixelType = colour ? TWPT_RGB : TWPT_GRAY;
    return Succeed();
}

TW_UINT16 CSourceManager::OnNativeTransfer(TW_HANDLE* pHandle)
{
    if (!m_bEnabled || !m_page)
        return Fail(TWCC_SEQERROR);
    *pHandle = kestrun::PackPage(*m_page);
    if (*pHandle == nullptr)
        return Fail(TWCC_LOWMEMORY);
    m_nCondition = TWCC_SUCCESS;
    return TWRC_XFERDONE;
}
