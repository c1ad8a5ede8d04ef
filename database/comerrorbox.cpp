#include "database/comerrorbox.h"

#include "platform/core/messagebox.h"

CString ComErrorText(const _com_error& e)
{
    return FormatString("Error\nCode = %08lx\nCode meaning = %s\nSource = %s\nDescription = %s\n",
                        static_cast<unsigned long>(static_cast<std::uint32_t>(e.Error())),
                        e.ErrorMessage().GetString(), e.Source().GetString(), e.Description().GetString());
}

void DumpComError(const _com_error& e)
{
    AfxMessageBox(ComErrorText(e));
}

CString DumpAdoErrors(const _ConnectionPtr& conn)
{
    CString text;
    if (!conn)
        return text;
    for (const CAdoError& error : conn->GetErrors())
        text.AppendFormat("Error number: %x\t%s\n", static_cast<unsigned>(error.number), error.description.GetString());
    return text;
}
