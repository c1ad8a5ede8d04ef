#include "scripthost/vbscriptlanguage.h"

#include "platform/automation/dispatchable.h"

#include <limits>

void CVBScriptLanguage::Reset()
{
    m_pInterpreter = std::make_unique<kestrun::vbs::CVbsInterpreter>();
}

void CVBScriptLanguage::Bind(const CString& name, std::shared_ptr<kestrun::CDispatchable> object)
{
    m_pInterpreter->AddItem(std::string(name.view()), COleVariant::Dispatch(std::move(object)));
}

CScriptLanguage::CFailure CVBScriptLanguage::Failure(const kestrun::vbs::CVbsFault& fault)
{
    CFailure failure;
    failure.m_nLine = static_cast<ULONG>(std::max(fault.m_pos.m_nLine, 0));
    failure.m_nColumn = fault.m_pos.m_nColumn;
    failure.m_strDescription = fault.m_strDescription;
    failure.m_strSourceText = fault.m_strSourceText;
    return failure;
}

namespace {

int LineNumber(ULONG startingLine)
{
    return static_cast<int>(std::min<ULONG>(startingLine, std::numeric_limits<int>::max() / 2));
}

} // namespace

std::optional<CScriptLanguage::CFailure> CVBScriptLanguage::Run(const CString& code, ULONG startingLine)
{
    if (const auto fault = m_pInterpreter->Execute(code.view(), LineNumber(startingLine)))
        return Failure(*fault);
    return std::nullopt;
}

std::optional<CScriptLanguage::CFailure> CVBScriptLanguage::DefineHandler(const CString& name, const CString& code,
                                                                          ULONG startingLine)
{
    if (const auto fault = m_pInterpreter->AddHandler(std::string(name.view()), code.view(), LineNumber(startingLine)))
        return Failure(*fault);
    return std::nullopt;
}
