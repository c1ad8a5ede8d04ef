#pragma once
// A scripted source manager for the acquisition tests, built as a library
// of its own that exports the manager's entry. Every request is recorded;
// one queued for a request answers it, else the manager plays a source
// with m_nPending images of 4 x 3 grey pixels.

#include "outside/scansource/twainprotocol.h"

#include <deque>
#include <vector>

struct CScriptedDsmCall
{
    TW_UINT32 dg;
    TW_UINT16 dat;
    TW_UINT16 msg;
    bool operator==(const CScriptedDsmCall&) const = default;
};

struct CScriptedDsmAnswer
{
    CScriptedDsmCall call;
    TW_UINT16 result;
    TW_UINT16 condition;
};

class CScriptedDsm
{
public:
    void Reset() { *this = CScriptedDsm(); }
    // The next request of this triplet gets this result and condition and
    // does nothing else.
    void Queue(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_UINT16 result, TW_UINT16 condition = TWCC_SUCCESS)
    {
        m_answers.push_back({{dg, dat, msg}, result, condition});
    }

    TW_UINT16 Entry(TW_IDENTITY* pOrigin, TW_IDENTITY* pDest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                    TW_MEMREF pData);

    std::vector<CScriptedDsmCall> m_calls; // status requests left out
    std::deque<CScriptedDsmAnswer> m_answers;
    TW_IDENTITY m_lastOrigin{};
    int m_nPending = 1;
    TW_UINT16 m_nEventMessage = MSG_NULL; // what the next event is
    TW_UINT16 m_nCurrentCount = 0xFFFF;   // the transfer count the source reports
    TW_BOOL m_nModalUI = 0;
    TW_USERINTERFACE m_lastUi{};
    std::vector<TW_ONEVALUE> m_setValues;
    std::vector<TW_HANDLE> m_images; // handed out
    TW_UINT16 m_nCondition = TWCC_SUCCESS;
};

// The library's one manager.
extern "C" CScriptedDsm* ScriptedDsm();
