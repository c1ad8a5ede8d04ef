#include "database/ui/reportroutes.h"

#include "database/ui/reportdlg.h"
#include "imaging/src.h"
#include "objectmodel/baseobjii.h"
#include "platform/core/errors.h"
#include "platform/core/folders.h"
#include "platform/core/messagebox.h"
#include "platform/ui/appservices.h"
#include "platform/ui/cmdtarget.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/frame.h"
#include "platform/ui/winapp.h"
#include "series/griddoc2.h"

#include <QDate>
#include <QLocale>

#include <algorithm>
#include <memory>

namespace kestrun::dbui {

namespace {

// The series name as a file name: no folder parts, no control characters.
CString WorkbookName(const CString& seriesName)
{
    CString name = seriesName;
    for (int i = 0; i < name.GetLength(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c == 0x7F || c == '/' || c == '\\')
            name.SetAt(i, '_');
    }
    if (name == "." || name == "..")
        name = "_";
    return name;
}

CString Extension(const CString& path)
{
    const int slash = std::max(path.ReverseFind('/'), path.ReverseFind('\\'));
    const int dot = path.ReverseFind('.');
    return dot > slash ? path.Mid(dot) : CString();
}

CString FolderOf(const CString& path)
{
    const int slash = std::max(path.ReverseFind('/'), path.ReverseFind('\\'));
    return slash >= 0 ? path.Left(slash + 1) : CString();
}

// Today in the user's short date form.
CString TodayText()
{
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toUtf8().constData();
}

// The application's table template; null (said) without one.
CMultiDocTemplate* TableTemplate()
{
    CAppServices* services = kestrun::AppServices();
    CSRC* templates = services != nullptr ? services->GetTemplates() : nullptr;
    CMultiDocTemplate* tables = templates != nullptr ? templates->GetTemplate(CSRC::kGridTemplate) : nullptr;
    if (tables == nullptr)
        AfxMessageBox("There is no table to show the measurements in.", MB_ICONINFORMATION);
    return tables;
}

bool CopyFailed(const CString& templatePath, const CString& target)
{
    AfxMessageBox(FormatString("Error: the report template %s could not be copied to %s", templatePath.GetString(),
                               target.GetString()));
    return false;
}

// The copy beside the template; false when the command ends.
bool CopyWorkbook(const CString& templatePath, const CString& target)
{
    if (CopyFile(templatePath, target, TRUE))
        return true;
    if (GetLastError() != ERROR_FILE_EXISTS)
        return CopyFailed(templatePath, target);
    if (AfxMessageBox(FormatString("Error: %s exists - Overwrite(Y/N)", target.GetString()), MB_YESNO) != IDYES)
        return false;
    // A workbook left as it was must not be filled as if it were new.
    if (!CopyFile(templatePath, target, FALSE))
        return CopyFailed(templatePath, target);
    return true;
}

} // namespace

bool IsWorkbookTemplate(const CString& templatePath)
{
    const CString extension = Extension(templatePath);
    return extension == ".xls" || extension == ".xlsx";
}

void RunWorkbookReport(CCmdTarget& form, const CString& templatePath, const CString& seriesName, CString& workbook)
{
    const CString name = seriesName.IsEmpty() ? CString("Report") : WorkbookName(seriesName);
    const CString target = FolderOf(templatePath) + name + Extension(templatePath);
    if (!CopyWorkbook(templatePath, target))
        return;
    workbook = target;
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessage(RegisterWindowMessage("Message RunMacro "), 0, reinterpret_cast<LPARAM>(&form));
}

void RunHtmlReport(CWnd* parent, const CString& templatePath, const CString& seriesName, const CString& sample,
                   int nColumns, const std::vector<CString>& cells)
{
    CStringArray table;
    for (const CString& cell : cells)
        table.Add(cell);
    CReportDlg dlg(parent);
    dlg.SetTemplatePath(templatePath);
    const CString output = FolderOf(templatePath) + "report_temp.html";
    dlg.SetOutputPath(output);
    CMapStringToString placeholders;
    placeholders.SetAt("datum", TodayText());
    placeholders.SetAt("messreihe", seriesName);
    placeholders.SetAt("probe", sample);
    if (dlg.SetResultTable(placeholders, nColumns, &table) < 0) {
        AfxMessageBox("Error in report");
        return;
    }
    dlg.DoModal();
    DeleteFile(output);
}

void ShowRecordTable(const std::vector<CString>& titles, std::vector<std::vector<CString>>& rows, int nTableMode)
{
    CMultiDocTemplate* tables = TableTemplate();
    if (tables == nullptr)
        return;
    CDocument* made = tables->CreateNewDocument();
    auto* table = dynamic_cast<CGridDoc2*>(made);
    if (table == nullptr || !made->OnNewDocument()) {
        if (made != nullptr)
            made->OnCloseDocument();
        return;
    }
    if (nTableMode != 0)
        table->m_nTableMode = nTableMode;
    CBaseObjII::SharedTitles.RemoveAll();
    for (const CString& title : titles)
        CBaseObjII::SharedTitles.Add(title);
    for (std::vector<CString>& cells : rows) {
        auto row = std::make_unique<CBaseObjII>();
        for (CString& cell : cells)
            row->m_Values.Add(cell);
        table->AddObject(row.release());
    }
    tables->SetDefaultTitle(made);
    CFrameWnd* frame = tables->CreateNewFrame(made, nullptr);
    if (frame == nullptr) {
        made->OnCloseDocument();
        return;
    }
    tables->InitialUpdateFrame(frame, made, TRUE);
}

} // namespace kestrun::dbui
