#pragma once
// "Excel.Application" for report scripts: Application, Workbooks,
// Workbook, Worksheets, Worksheet and Range with the members report
// scripts use. Workbooks are .xlsx files edited in place by CXlsxWorkbook,
// so a template keeps its layout; nothing is shown and nothing asks.
//
// Errors (a missing workbook, one that is not a workbook, a sheet or cell
// out of range, a closed workbook) reach the script as run-time errors.

#include "database/workbook/xlsxworkbook.h"

#include "platform/automation/dispatchable.h"

#include <memory>
#include <vector>

namespace kestrun {

class CExcelWorkbook;

class CExcelWorkbooks : public CDispatchable
{
public:
    const CDispatchMap& GetDispatchMap() const override;

    std::shared_ptr<CExcelWorkbook> Open(const CString& path);
    std::shared_ptr<CExcelWorkbook> Add(const COleVariant& templatePath);
    // By 1-based number or by name; throws CWorkbookException.
    std::shared_ptr<CExcelWorkbook> Item(const COleVariant& index) const;
    long GetCount() const { return static_cast<long>(m_books.size()); }
    // Closes every workbook without saving.
    void CloseAll();
    void Forget(const CExcelWorkbook* book);

private:
    std::vector<std::shared_ptr<CExcelWorkbook>> m_books;
    int m_nNewBooks = 0;
};

class CExcelApplication : public CDispatchable
{
public:
    CExcelApplication();
    const CDispatchMap& GetDispatchMap() const override;

    CExcelWorkbooks& GetWorkbooks() { return *m_workbooks; }

private:
    std::shared_ptr<CExcelWorkbooks> m_workbooks;
    bool m_bVisible = false;
    bool m_bDisplayAlerts = true;
};

class CExcelWorkbook : public CDispatchable, public std::enable_shared_from_this<CExcelWorkbook>
{
public:
    CExcelWorkbook(CExcelWorkbooks* owner, const CString& path, const CString& name);
    const CDispatchMap& GetDispatchMap() const override;

    // The workbook's cells; throws CWorkbookException once it is closed.
    CXlsxWorkbook& Book();
    const CString& GetName() const { return m_strName; }
    const CString& GetPath() const { return m_strPath; }

    void Save();
    void SaveAs(const CString& path);
    void Close(bool save);
    // 1-based number or sheet name; throws CWorkbookException.
    int SheetIndex(const COleVariant& index);

private:
    CExcelWorkbooks* m_pOwner; // null once closed
    CXlsxWorkbook m_book;
    CString m_strPath; // empty for a new workbook not saved yet
    CString m_strName;
};

// The worksheets of a workbook.
class CExcelWorksheets : public CDispatchable
{
public:
    explicit CExcelWorksheets(std::shared_ptr<CExcelWorkbook> book) : m_book(std::move(book)) {}
    const CDispatchMap& GetDispatchMap() const override;
    std::shared_ptr<CExcelWorkbook> m_book;
};

class CExcelWorksheet : public CDispatchable
{
public:
    CExcelWorksheet(std::shared_ptr<CExcelWorkbook> book, int index) : m_book(std::move(book)), m_nIndex(index) {}
    const CDispatchMap& GetDispatchMap() const override;
    std::shared_ptr<CExcelWorkbook> m_book;
    int m_nIndex;
};

// One cell.
class CExcelRange : public CDispatchable
{
public:
    CExcelRange(std::shared_ptr<CExcelWorkbook> book, int sheet, long row, long column)
        : m_book(std::move(book)), m_nSheet(sheet), m_nRow(row), m_nColumn(column)
    {
    }
    const CDispatchMap& GetDispatchMap() const override;
    std::shared_ptr<CExcelWorkbook> m_book;
    int m_nSheet;
    long m_nRow;
    long m_nColumn;
};

// Makes "Excel.Application" known to the scripts' CreateObject.
void RegisterWorkbookObjects();

} // namespace kestrun
