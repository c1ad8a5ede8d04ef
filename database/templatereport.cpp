#include "database/templatereport.h"

#include "platform/core/exceptions.h"
#include "platform/core/file.h"
#include "platform/core/messagebox.h"

#include <new>

namespace {
const char kBeginTable[] = "BEGINTABLE";
const char kBeginColumn[] = "BEGINCOLUMN";
const char kEndColumn[] = "ENDCOLUMN";
const char kEndTable[] = "ENDTABLE";
} // namespace

struct CTemplateReport::CFillState
{
    CString rowTemplate;
    CString columnTemplate;
    bool inTable = false;
    bool inColumn = false;
    int table = 0;
};

bool RemoveToken(CString& text, const CString& token)
{
    if (token.IsEmpty())
        return false;
    return text.Replace(token, "") > 0;
}

CString EscapeHtml(const CString& text)
{
    CString escaped;
    for (int i = 0; i < text.GetLength(); ++i) {
        const char ch = text[i];
        switch (ch) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&#39;"; break;
        default: escaped += ch; break;
        }
    }
    return escaped;
}

CTemplateReport::CTemplateReport(BOOL bAppend) : m_strClose("}"), m_strOpen("{"), m_bAppend(bAppend) {}

int CTemplateReport::AddTable(const char* name, int columns)
{
    return static_cast<int>(m_arrTables.Add(CTemplateTableInfo(name, columns)));
}

CString CTemplateReport::BuildTag(const CString& name, const CString& argument) const
{
    CString tag = m_strOpen + name;
    if (!argument.IsEmpty())
        tag += " " + argument;
    return tag + m_strClose;
}

int CTemplateReport::ReplaceValues(const CMapStringToString& values, CString& text) const
{
    // One pass from left to right: an inserted value is not searched again,
    // so a value holding "{key}" text stays as it is.
    CString result;
    int replaced = 0;
    int pos = 0;
    while (pos < text.GetLength()) {
        const int open = text.Find(m_strOpen, pos);
        if (open < 0)
            break;
        const int nameStart = open + m_strOpen.GetLength();
        const int close = text.Find(m_strClose, nameStart);
        if (close < 0)
            break;
        CString value;
        if (values.Lookup(text.Mid(nameStart, close - nameStart), value)) {
            result += text.Mid(pos, open - pos);
            result += EscapeHtml(value);
            pos = close + m_strClose.GetLength();
            ++replaced;
        } else {
            result += text.Mid(pos, nameStart - pos);
            pos = nameStart;
        }
    }
    if (replaced > 0)
        text = result + text.Mid(pos);
    return replaced;
}

CString CTemplateReport::ExpandRows(const CString& rowTemplate, TEMPLATEROWPROC rowProc, int table, void* user) const
{
    CString rows;
    if (rowProc == nullptr || table < 0 || table >= m_arrTables.GetSize())
        return rows;
    const CString name = m_arrTables[table].m_strName;
    CMapStringToString map;
    int emit = 1;
    for (int row = 0; rowProc(name, &map, row, &emit, user) != 0; ++row) {
        if (emit == 0) {
            emit = 1;
            continue;
        }
        CString line = rowTemplate;
        ReplaceValues(map, line);
        rows += line + "\n";
    }
    return rows;
}

CString CTemplateReport::ReadTableStart(CString line, CFillState& state, const CMapStringToString& values) const
{
    if (line.Find(m_strOpen + kBeginTable) >= 0) {
        const CString asRead = line;
        for (int i = 0; i < m_arrTables.GetSize(); ++i) {
            if (RemoveToken(line, BuildTag(kBeginTable, m_arrTables[i].m_strName))) {
                state.table = i;
                state.inTable = true;
                break;
            }
        }
        if (!state.inTable)
            AfxMessageBox(CString("Invalid table in HTML template: ") + asRead, MB_OK);
    }
    ReplaceValues(values, line);
    return line + "\n";
}

void CTemplateReport::EndColumnTemplate(CFillState& state) const
{
    const int columns = m_arrTables[state.table].m_nColumns;
    for (int i = 0; i < columns; ++i) {
        CString number;
        number.Format("%d", i);
        CString copy = state.columnTemplate;
        copy.Replace("VALUE", CString("VALUE") + number);
        copy.Replace("COLOR", CString("COLOR") + number);
        state.rowTemplate += copy;
    }
    state.columnTemplate.Empty();
}

CString CTemplateReport::TestEndTable(CString line, CFillState& state, TEMPLATEROWPROC rowProc, void* user) const
{
    if (!RemoveToken(line, BuildTag(kEndTable))) {
        state.rowTemplate += line;
        return CString();
    }
    state.inTable = false;
    // A column template left open on this line ends with its table, so that
    // the next table starts outside one.
    state.inColumn = false;
    CString text = line + ExpandRows(state.rowTemplate, rowProc, state.table, user);
    state.rowTemplate.Empty();
    state.columnTemplate.Empty();
    return text;
}

CString CTemplateReport::FillLine(CString line, CFillState& state, const CMapStringToString& values,
                                  TEMPLATEROWPROC rowProc, void* user) const
{
    if (rowProc == nullptr) {
        ReplaceValues(values, line);
        return line + "\n";
    }
    if (!state.inTable)
        return ReadTableStart(line, state, values);
    if (!state.inColumn) {
        if (RemoveToken(line, BuildTag(kBeginColumn)))
            state.inColumn = true;
        return TestEndTable(line, state, rowProc, user);
    }
    if (RemoveToken(line, BuildTag(kEndColumn))) {
        state.inColumn = false;
        EndColumnTemplate(state);
        return TestEndTable(line, state, rowProc, user);
    }
    state.columnTemplate += line;
    return CString();
}

int CTemplateReport::Fill(const CMapStringToString& values, TEMPLATEROWPROC rowProc, void* user)
{
    if (m_strTemplatePath.IsEmpty())
        return kNoTemplatePath;
    if (m_strOutputPath.IsEmpty())
        return kNoOutputPath;

    CStdioFile input;
    if (!input.Open(m_strTemplatePath, CFile::modeRead | CFile::typeText))
        return kTemplateNotOpened;
    CStdioFile output;
    if (!m_bAppend) {
        if (!output.Open(m_strOutputPath, CFile::modeCreate | CFile::modeWrite | CFile::typeText))
            return kOutputFailed;
    } else if (!output.Open(m_strOutputPath, CFile::modeWrite | CFile::modeNoTruncate | CFile::typeText)) {
        return kOutputNotAppendable;
    }

    CFillState state;
    try {
        if (m_bAppend)
            output.SeekToEnd();
        CString line;
        while (input.ReadString(line)) {
            const CString text = FillLine(line, state, values, rowProc, user);
            if (!text.IsEmpty())
                output.WriteString(text);
        }
        output.Close();
    } catch (const CException&) {
        output.Abort();
        return kOutputFailed;
    } catch (const std::bad_alloc&) {
        output.Abort();
        return kOutputFailed;
    }
    return state.inTable ? kUnterminatedTable : kDone;
}

namespace {
struct CResultCells
{
    const CStringArray* cells;
    int columns;
};

int FillResultRow(const char* /*table*/, CMapStringToString* values, int row, int* /*emit*/, void* user)
{
    const auto* result = static_cast<const CResultCells*>(user);
    if (result == nullptr || values == nullptr || result->cells == nullptr || result->columns <= 0)
        return 0;
    if (row >= static_cast<int>(result->cells->GetSize()) / result->columns)
        return 0;
    for (int i = 0; i < result->columns; ++i) {
        CString key;
        key.Format("VALUE%d", i);
        values->SetAt(key, GetResultCell(result->cells, result->columns, row, i));
    }
    return 1;
}
} // namespace

CString GetResultCell(const CStringArray* cells, int columns, int row, int column)
{
    if (cells == nullptr)
        return CString();
    const long long index = static_cast<long long>(columns) * row + column;
    if (index < 0 || index >= cells->GetSize())
        return CString();
    return cells->GetAt(static_cast<INT_PTR>(index));
}

int FillResultTable(CTemplateReport& report, const CMapStringToString& values, int columns, const CStringArray* cells)
{
    report.AddTable("RESULTVALUES", columns);
    CResultCells result{cells, columns};
    return report.Fill(values, FillResultRow, &result);
}
