#pragma once
// HTML reports from a template written by the user. The template is copied
// line by line; "{key}" placeholders take values from a string map, and a
// table block ("{BEGINTABLE name}" ... "{ENDTABLE}") becomes one line per
// row, its values asked of a row callback. Inside a table block a column
// template ("{BEGINCOLUMN}" ... "{ENDCOLUMN}") is repeated once per column,
// its words "VALUE" and "COLOR" numbered by the column.
//
// Values are HTML-escaped as they go in; the template's own text is not.
// A value is never searched for placeholders again.

#include "platform/core/arrays.h"
#include "platform/core/cstring.h"
#include "platform/core/maps.h"

// Asked for the values of each row of a table: (table name, row map, row
// from 0, emit flag, user pointer). Returns nonzero when it delivered a row,
// 0 when the table has no more; an emit flag set to 0 skips the row.
using TEMPLATEROWPROC = int (*)(const char* table, CMapStringToString* values, int row, int* emit, void* user);

class CTemplateTableInfo
{
public:
    CTemplateTableInfo() = default;
    CTemplateTableInfo(const CString& name, int columns) : m_strName(name), m_nColumns(columns) {}

    CString m_strName;
    int m_nColumns = 0;
};

class CTemplateReport
{
public:
    // Results of Fill.
    static constexpr int kDone = 0;
    static constexpr int kNoTemplatePath = -1;
    static constexpr int kNoOutputPath = -2;
    static constexpr int kTemplateNotOpened = -3;
    static constexpr int kOutputFailed = -4;
    static constexpr int kOutputNotAppendable = -5;
    // A table block runs to the end of the template: its rows were never
    // written, so the report is incomplete.
    static constexpr int kUnterminatedTable = -6;

    // bAppend: FALSE recreates the output file, TRUE appends to it.
    explicit CTemplateReport(BOOL bAppend = FALSE);
    virtual ~CTemplateReport() = default;

    void SetTemplatePath(const CString& path) { m_strTemplatePath = path; }
    void SetOutputPath(const CString& path) { m_strOutputPath = path; }
    const CString& GetTemplatePath() const { return m_strTemplatePath; }
    const CString& GetOutputPath() const { return m_strOutputPath; }

    // Registers a table and returns its index.
    int AddTable(const char* name, int columns);
    const CArray<CTemplateTableInfo, const CTemplateTableInfo&>& GetTables() const { return m_arrTables; }

    // Writes the output file from the template; kDone or a negative result
    // above. A null callback copies the template with its placeholders
    // replaced and leaves table tags alone. An invalid table line is shown
    // ("Invalid table in HTML template: ...") and written as ordinary text.
    int Fill(const CMapStringToString& values, TEMPLATEROWPROC rowProc, void* user);

    // Replaces every "{key}" of the map in text by its escaped value and
    // returns the number of replacements.
    int ReplaceValues(const CMapStringToString& values, CString& text) const;

    // The generated rows of one table, each ended by "\n".
    CString ExpandRows(const CString& rowTemplate, TEMPLATEROWPROC rowProc, int table, void* user) const;

    // "{name}" or "{name argument}".
    CString BuildTag(const CString& name, const CString& argument = CString()) const;

private:
    struct CFillState;
    // Handles one template line; returns the text it gives the output.
    CString FillLine(CString line, CFillState& state, const CMapStringToString& values, TEMPLATEROWPROC rowProc,
                     void* user) const;
    CString ReadTableStart(CString line, CFillState& state, const CMapStringToString& values) const;
    void EndColumnTemplate(CFillState& state) const;
    CString TestEndTable(CString line, CFillState& state, TEMPLATEROWPROC rowProc, void* user) const;

    CString m_strClose;
    CString m_strOpen;
    BOOL m_bAppend = FALSE;
    CString m_strTemplatePath;
    CString m_strOutputPath;
    CArray<CTemplateTableInfo, const CTemplateTableInfo&> m_arrTables;
};

// Removes every occurrence of token from text; true when there was one.
bool RemoveToken(CString& text, const CString& token);

// text with &, <, >, " and ' written as HTML character references.
CString EscapeHtml(const CString& text);

// The report's table "RESULTVALUES" from cells in rows of columns cells
// (a short last row is left out): the table is added to report, which is
// then filled with values; the result of Fill. Row r's cells go in as
// "VALUE0", "VALUE1", ...; no "COLOR" values are given.
int FillResultTable(CTemplateReport& report, const CMapStringToString& values, int columns, const CStringArray* cells);
// The cell at columns * row + column, empty outside the cells.
CString GetResultCell(const CStringArray* cells, int columns, int row, int column);
