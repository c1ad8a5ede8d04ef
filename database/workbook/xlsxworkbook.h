#pragma once
// An Office Open XML workbook (.xlsx) opened for editing cell values. Only
// the cells that are written change: styles, formulas elsewhere, charts,
// drawings and every other part are written back as they were read, and
// the workbook asks to be recalculated when it is next opened.
//
// Cells are addressed by 1-based row and column. A value read is a number,
// a text, a truth value or empty.

#include "database/workbook/xlsxpackage.h"

#include "platform/core/variant.h"

#include <memory>
#include <string>
#include <vector>

namespace pugi {
class xml_document;
class xml_node;
} // namespace pugi

namespace kestrun {

class CXlsxWorkbook
{
public:
    static constexpr long kMaxRows = 1048576;
    static constexpr long kMaxColumns = 16384;

    CXlsxWorkbook();
    ~CXlsxWorkbook();
    CXlsxWorkbook(const CXlsxWorkbook&) = delete;
    CXlsxWorkbook& operator=(const CXlsxWorkbook&) = delete;

    // Throws CWorkbookException: a file that is missing, a 97-2003
    // workbook (which asks for .xlsx), or no readable workbook.
    void Open(const CString& path);
    // From bytes in memory (the same checks); source names it in errors.
    void Load(const void* data, std::size_t size, const CString& source);
    // A new workbook with one empty sheet "Sheet1".
    void New();
    // Writes the workbook through a temporary file; throws
    // CWorkbookException.
    void SaveAs(const CString& path);

    int GetSheetCount() const { return static_cast<int>(m_sheets.size()); }
    CString GetSheetName(int index) const;
    // -1 when no sheet has the name (case ignored).
    int FindSheet(const CString& name) const;

    // Throws CWorkbookException for a sheet or cell out of range.
    COleVariant GetCell(int sheet, long row, long column);
    void SetCell(int sheet, long row, long column, const COleVariant& value);

    // "B3" as row 3, column 2; false for anything else.
    static bool ParseReference(const CString& text, long& row, long& column);
    static CString MakeReference(long row, long column);

private:
    struct CSheet
    {
        CString m_strName;
        std::string m_part;
        std::unique_ptr<pugi::xml_document> m_document; // parsed when first used
        bool m_bChanged = false;
    };

    void ReadStructure(const CString& source);
    void ReadSharedStrings(const CString& source);
    CSheet& Sheet(int index);
    pugi::xml_document& SheetDocument(CSheet& sheet);
    pugi::xml_node FindCell(CSheet& sheet, long row, long column, bool create);
    void ForgetCalculationChain();
    void AskForRecalculation();
    static void CheckCell(long row, long column);

    CXlsxPackage m_package;
    CString m_strSource;
    std::string m_workbookPart;
    std::vector<CSheet> m_sheets;
    std::vector<std::string> m_sharedStrings;
    bool m_bFormulaReplaced = false;
};

} // namespace kestrun
