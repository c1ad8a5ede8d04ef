#include "imaging/tests/scripteddsm.h"

#include "outside/pixmere/packeddib.h"

#include <cstring>

extern "C" CScriptedDsm* ScriptedDsm()
{
    static CScriptedDsm manager;
    return &manager;
}

extern "C" TW_UINT16 DSM_Entry(TW_IDENTITY* pOrigin, TW_IDENTITY* pDest, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG,
                               TW_MEMREF pData)
{
    return ScriptedDsm()->Entry(pOrigin, pDest, DG, DAT, MSG, pData);
}

TW_UINT16 CScriptedDsm::Entry(TW_IDENTITY* pOrigin, TW_IDENTITY*, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                              TW_MEMREF pData)
{
    if (dg == DG_CONTROL && dat == DAT_STATUS) {
        static_cast<TW_STATUS*>(pData)->ConditionCode = m_nCondition;
        return TWRC_SUCCESS;
    }
    m_lastOrigin = *pOrigin;
    const CScriptedDsmCall call{dg, dat, msg};
    m_calls.push_back(call);
    for (auto answer = m_answers.begin(); answer != m_answers.end(); ++answer) {
        if (answer->call == call) {
            const TW_UINT16 result = answer->result;
            m_nCondition = answer->condition;
            m_answers.erase(answer);
            return result;
        }
    }
    m_nCondition = TWCC_SUCCESS;

    switch (dat) {
    case DAT_IDENTITY:
        if (msg == MSG_GETDEFAULT || msg == MSG_USERSELECT) {
            auto* identity = static_cast<TW_IDENTITY*>(pData);
            identity->Id = 7;
            std::strcpy(identity->ProductName, "Scripted");
        }
        return TWRC_SUCCESS;
    case DAT_CAPABILITY: {
        auto* capability = static_cast<TW_CAPABILITY*>(pData);
        if (msg == MSG_GET) {
            capability->hContainer = GlobalAlloc(GHND, sizeof(TW_ONEVALUE));
            const TW_ONEVALUE value{TWTY_INT16, m_nCurrentCount};
            std::memcpy(GlobalLock(capability->hContainer), &value, sizeof(value));
            GlobalUnlock(capability->hContainer);
        } else {
            TW_ONEVALUE value{};
            std::memcpy(&value, GlobalLock(capability->hContainer), sizeof(value));
            GlobalUnlock(capability->hContainer);
            m_setValues.push_back(value);
        }
        return TWRC_SUCCESS;
    }
    case DAT_USERINTERFACE:
        m_lastUi = *static_cast<TW_USERINTERFACE*>(pData);
        static_cast<TW_USERINTERFACE*>(pData)->ModalUI = m_nModalUI;
        return TWRC_SUCCESS;
    case DAT_EVENT: {
        auto* event = static_cast<TW_EVENT*>(pData);
        event->TWMessage = m_nEventMessage;
        m_nEventMessage = MSG_NULL;
        return event->TWMessage != MSG_NULL ? TWRC_DSEVENT : TWRC_NOTDSEVENT;
    }
    case DAT_IMAGEINFO: {
        auto* info = static_cast<TW_IMAGEINFO*>(pData);
        info->ImageWidth = 4;
        info->ImageLength = 3;
        info->BitsPerPixel = 8;
        return TWRC_SUCCESS;
    }
    case DAT_IMAGENATIVEXFER: {
        CxImage page;
        page.Create(4, 3, 8);
        page.Clear(static_cast<BYTE>(10 * m_images.size() + 10));
        *static_cast<TW_HANDLE*>(pData) = kestrun::PackPage(page);
        m_images.push_back(*static_cast<TW_HANDLE*>(pData));
        return TWRC_XFERDONE;
    }
    case DAT_PENDINGXFERS: {
        m_nPending = msg == MSG_RESET ? 0 : std::max(m_nPending - 1, 0);
        static_cast<TW_PENDINGXFERS*>(pData)->Count = static_cast<TW_UINT16>(m_nPending);
        return TWRC_SUCCESS;
    }
    default:
        return TWRC_SUCCESS;
    }
}
