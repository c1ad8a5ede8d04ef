// CGridDoc2: the table as text - CSV and text exports, and the chart.

#include "series/griddoc2.h"

#include "platform/core/atomicfile.h"
#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"
#include "platform/ui/cmdtarget.h"
#include "platform/ui/commondialogs.h"
#include "series/tabletext.h"

#include <memory>
#include <ostream>
#include <sstream>
#include <string>

namespace {

// Exported files end their lines as the program always wrote them.
constexpr const char* kEndOfLine = "\r\n";

void WriteField(std::ostream& stream, const CString& text, char separator)
{
    stream << kestrun::QuoteTableField(text, separator).view();
}

} // namespace

void CGridDoc2::WriteTable(std::ostream& stream, char separator)
{
    const std::vector<int> shown = GetShownColumns();
    for (size_t k = 0; k < shown.size(); ++k) {
        if (k > 0)
            stream << separator;
        WriteField(stream, m_Titles[shown[k]], separator);
    }
    stream << kEndOfLine;

    const bool perRecord = m_bSingleTrack == 0 || (GetCount() > 0 && GetAt(0)->m_ID == kTypeFlat);
    if (perRecord)
        WriteRecordRows(stream, separator, shown);
    else
        WriteTrackRows(stream, separator, shown);
}

void CGridDoc2::WriteRecordRows(std::ostream& stream, char separator, const std::vector<int>& shown)
{
    for (int i = 0; i < GetCount(); ++i) {
        CBaseObj& record = *GetAt(i);
        for (size_t k = 0; k < shown.size(); ++k) {
            if (k > 0)
                stream << separator;
            const int column = shown[k];
            WriteField(stream, column == 0 ? FormatString("%d", i) : ColumnText(record, column), separator);
        }
        stream << kEndOfLine;
    }
}

void CGridDoc2::WriteTrackRows(std::ostream& stream, char separator, const std::vector<int>& shown)
{
    CBaseObj* track = GetCurrentTrack();
    if (track == nullptr)
        return;
    for (int f = 0; f < track->GetRowCount(); ++f) {
        for (const int column : shown) {
            WriteField(stream, column == 0 ? FormatString("%d", f) : FrameText(*track, f, column), separator);
            stream << separator;
        }
        stream << kEndOfLine;
    }
}

CString CGridDoc2::DefaultExportName(LPCTSTR lpszExtension) const
{
    CString name = GetPathName();
    if (name.Find('.') >= 0)
        name = name.Left(name.GetLength() - 3) + lpszExtension;
    return name;
}

void CGridDoc2::ExportTable(LPCTSTR lpszExtension, LPCTSTR lpszDefaultExtension, LPCTSTR lpszFilter, char separator)
{
    if (GetCount() == 0) {
        AfxMessageBox("No objects available !");
        return;
    }
    CFileDialog dialog(FALSE, lpszDefaultExtension, DefaultExportName(lpszExtension),
                       OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, lpszFilter);
    dialog.m_ofn.lpstrTitle = "Create File";
    if (dialog.DoModal() != IDOK)
        return;

    const CString path = dialog.GetPathName();
    std::ostringstream text;
    {
        CWaitCursor wait;
        WriteTable(text, separator);
    }
    // Through a temporary file, so that a failed export leaves an older file whole.
    std::unique_ptr<kestrun::CAtomicFileWriter> writer;
    try {
        writer = std::make_unique<kestrun::CAtomicFileWriter>(path);
    } catch (const CFileException&) {
        AfxMessageBox("Cannot open file!!");
        return;
    }
    try {
        const std::string bytes = std::move(text).str();
        writer->Write(bytes.data(), bytes.size());
        writer->Commit();
    } catch (const CFileException& e) {
        e.ReportError();
    }
}

void CGridDoc2::OnExportCsv()
{
    ExportTable("csv", "CSV", "Comma-separated Files (*.csv) |*.csv||", ',');
}

void CGridDoc2::OnExportText()
{
    // The text export separates its values by carriage returns.
    ExportTable("txt", "txt", "ASCII File (*.txt) |*.txt||", '\r');
}
