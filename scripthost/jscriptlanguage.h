#pragma once
// JScript on Duktape. Named items and created objects are proxies over
// the objects' member tables; new ActiveXObject creates through the same
// registry of program ids as VBScript's CreateObject. Duktape tells the
// line of an error only, so the column is always 0.

#include "scripthost/scriptlanguage.h"

struct duk_hthread;

class CJScriptLanguage final : public CScriptLanguage
{
public:
    CJScriptLanguage();
    ~CJScriptLanguage() override;
    CJScriptLanguage(const CJScriptLanguage&) = delete;
    CJScriptLanguage& operator=(const CJScriptLanguage&) = delete;

    // What the Duktape callbacks reach through the heap.
    void KeepAlive(std::shared_ptr<kestrun::CDispatchable> object);
    void BlameLine(long line) { m_nBlamedLine = line; }

protected:
    void Reset() override;
    void Bind(const CString& name, std::shared_ptr<kestrun::CDispatchable> object) override;
    std::optional<CFailure> Run(const CString& code, ULONG startingLine) override;
    std::optional<CFailure> DefineHandler(const CString& name, const CString& code, ULONG startingLine) override;

private:
    void CreateHeap();
    void DestroyHeap();
    std::optional<CFailure> Evaluate(const CString& code, ULONG startingLine);

    duk_hthread* m_ctx = nullptr;
    std::vector<std::shared_ptr<kestrun::CDispatchable>> m_objects;
    long m_nBlamedLine = 0;
};
