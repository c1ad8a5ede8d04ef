#pragma once
// VBScript, the default script language, on our own interpreter.

#include "scripthost/scriptlanguage.h"
#include "scripthost/vbscript/vbsinterpreter.h"

class CVBScriptLanguage final : public CScriptLanguage
{
protected:
    void Reset() override;
    void Bind(const CString& name, std::shared_ptr<kestrun::CDispatchable> object) override;
    std::optional<CFailure> Run(const CString& code, ULONG startingLine) override;
    std::optional<CFailure> DefineHandler(const CString& name, const CString& code, ULONG startingLine) override;

private:
    static CFailure Failure(const kestrun::vbs::CVbsFault& fault);

    std::unique_ptr<kestrun::vbs::CVbsInterpreter> m_pInterpreter = std::make_unique<kestrun::vbs::CVbsInterpreter>();
};
