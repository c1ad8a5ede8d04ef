#include "database/workbook/excelobjects.h"

#include "platform/automation/dispatchmap.h"
#include "platform/automation/objectregistry.h"

#include <algorithm>
#include <cstring>

namespace kestrun {

namespace {

using Args = std::span<const COleVariant>;

template <class T>
T& Self(CDispatchable& object)
{
    return dynamic_cast<T&>(object);
}

// A member the builder cannot make: index arguments on a settable
// property, or arguments a script may leave out.
CDispatchMember Member(const char* name, WORD kinds, VARTYPE result, std::vector<VARTYPE> params,
                       CDispatchMember::Reader read, CDispatchMember::Writer write = {}, size_t optional = 0)
{
    CDispatchMember member;
    member.m_strName = name;
    member.m_wKinds = kinds;
    member.m_vtResult = result;
    member.m_params = std::move(params);
    member.m_nOptional = optional;
    member.m_read = std::move(read);
    member.m_write = std::move(write);
    return member;
}

bool IsMissing(const COleVariant& value)
{
    const COleVariant& v = value.Deref();
    return v.vt == VT_EMPTY;
}

CString Text(const COleVariant& value)
{
    COleVariant v = value.Deref();
    v.ChangeType(VT_BSTR);
    return v.bstrVal;
}

long Number(const COleVariant& value)
{
    COleVariant v = value.Deref();
    v.ChangeType(VT_I4);
    return v.lVal;
}

CString FileName(const CString& path)
{
    const int slash = std::max(path.ReverseFind('/'), path.ReverseFind('\\'));
    return path.Mid(slash + 1);
}

bool EndsWithNoCase(const CString& text, const char* end)
{
    const int length = static_cast<int>(std::strlen(end));
    return text.GetLength() >= length && text.Right(length).CompareNoCase(end) == 0;
}

COleVariant SheetObject(const std::shared_ptr<CExcelWorkbook>& book, const COleVariant& index)
{
    return COleVariant::Dispatch(std::make_shared<CExcelWorksheet>(book, book->SheetIndex(index)));
}

COleVariant CellObject(CExcelWorksheet& sheet, long row, long column)
{
    if (row < 1 || row > CXlsxWorkbook::kMaxRows || column < 1 || column > CXlsxWorkbook::kMaxColumns)
        throw CWorkbookException(FormatString("The cell (%ld, %ld) is outside the sheet.", row, column));
    return COleVariant::Dispatch(std::make_shared<CExcelRange>(sheet.m_book, sheet.m_nIndex, row, column));
}

void ReferenceOf(const COleVariant& reference, long& row, long& column)
{
    const CString text = Text(reference);
    if (!CXlsxWorkbook::ParseReference(text, row, column))
        throw CWorkbookException(FormatString("\"%s\" is not a single cell such as \"A1\".", text.GetString()));
}

} // namespace

// ---- Application ------------------------------------------------------------------------------

CExcelApplication::CExcelApplication() : m_workbooks(std::make_shared<CExcelWorkbooks>()) {}

const CDispatchMap& CExcelApplication::GetDispatchMap() const
{
    static const CDispatchMap map =
        CDispatchMapBuilder<CExcelApplication>("Application", "{00024500-0000-0000-C000-000000000046}")
            .Property(
                "Visible", VT_BOOL, [](CExcelApplication& a, Args) { return COleVariant(short(a.m_bVisible), VT_BOOL); },
                [](CExcelApplication& a, Args, const COleVariant& v) { a.m_bVisible = v.boolVal != VARIANT_FALSE; })
            .Property(
                "DisplayAlerts", VT_BOOL,
                [](CExcelApplication& a, Args) { return COleVariant(short(a.m_bDisplayAlerts), VT_BOOL); },
                [](CExcelApplication& a, Args, const COleVariant& v) {
                    a.m_bDisplayAlerts = v.boolVal != VARIANT_FALSE;
                })
            .ReadOnlyProperty("Workbooks", VT_DISPATCH,
                              [](CExcelApplication& a, Args) { return COleVariant::Dispatch(a.m_workbooks); })
            .Method("Quit", VT_EMPTY, {}, [](CExcelApplication& a, Args) { a.m_workbooks->CloseAll(); })
            .Build();
    return map;
}

// ---- Workbooks --------------------------------------------------------------------------------

const CDispatchMap& CExcelWorkbooks::GetDispatchMap() const
{
    static const CDispatchMap map = [] {
        CDispatchMap m = CDispatchMapBuilder<CExcelWorkbooks>("Workbooks", "{000208DB-0000-0000-C000-000000000046}")
                             .Method("Open", VT_DISPATCH, {VT_BSTR},
                                     [](CExcelWorkbooks& w, Args args) {
                                         return COleVariant::Dispatch(w.Open(args[0].bstrVal));
                                     })
                             .ReadOnlyProperty("Count", VT_I4, [](CExcelWorkbooks& w, Args) { return w.GetCount(); })
                             .Method("Item", VT_DISPATCH, {VT_VARIANT},
                                     [](CExcelWorkbooks& w, Args args) { return COleVariant::Dispatch(w.Item(args[0])); })
                             .Build();
        m.Add(Member(
            "Add", DISPATCH_METHOD, VT_DISPATCH, {VT_VARIANT},
            [](CDispatchable& o, Args args) { return COleVariant::Dispatch(Self<CExcelWorkbooks>(o).Add(args[0])); }, {},
            1));
        return m;
    }();
    return map;
}

std::shared_ptr<CExcelWorkbook> CExcelWorkbooks::Open(const CString& path)
{
    auto book = std::make_shared<CExcelWorkbook>(this, path, FileName(path));
    book->Book().Open(path);
    m_books.push_back(book);
    return book;
}

std::shared_ptr<CExcelWorkbook> CExcelWorkbooks::Add(const COleVariant& templatePath)
{
    // A workbook made from a template has no file of its own until SaveAs.
    auto book = std::make_shared<CExcelWorkbook>(this, CString(), FormatString("Book%d", ++m_nNewBooks));
    if (IsMissing(templatePath))
        book->Book().New();
    else
        book->Book().Open(Text(templatePath));
    m_books.push_back(book);
    return book;
}

std::shared_ptr<CExcelWorkbook> CExcelWorkbooks::Item(const COleVariant& index) const
{
    const COleVariant& v = index.Deref();
    if (v.vt == VT_BSTR) {
        for (const auto& book : m_books)
            if (book->GetName().CompareNoCase(v.bstrVal) == 0)
                return book;
        throw CWorkbookException(FormatString("No open workbook is called %s.", v.bstrVal.GetString()));
    }
    const long number = Number(v);
    if (number < 1 || number > GetCount())
        throw CWorkbookException(FormatString("There is no open workbook %ld.", number));
    return m_books[static_cast<size_t>(number - 1)];
}

void CExcelWorkbooks::CloseAll()
{
    // Close takes each out of the list.
    while (!m_books.empty()) {
        const std::shared_ptr<CExcelWorkbook> book = m_books.back();
        book->Close(false);
    }
}

void CExcelWorkbooks::Forget(const CExcelWorkbook* book)
{
    std::erase_if(m_books, [book](const auto& b) { return b.get() == book; });
}

// ---- Workbook ---------------------------------------------------------------------------------

CExcelWorkbook::CExcelWorkbook(CExcelWorkbooks* owner, const CString& path, const CString& name)
    : m_pOwner(owner), m_strPath(path), m_strName(name)
{
}

const CDispatchMap& CExcelWorkbook::GetDispatchMap() const
{
    static const CDispatchMap map = [] {
        CDispatchMap m =
            CDispatchMapBuilder<CExcelWorkbook>("Workbook", "{00020819-0000-0000-C000-000000000046}")
                .ReadOnlyProperty("Name", VT_BSTR, [](CExcelWorkbook& b, Args) { return b.GetName(); })
                .ReadOnlyProperty("FullName", VT_BSTR,
                                  [](CExcelWorkbook& b, Args) { return b.m_strPath.IsEmpty() ? b.m_strName : b.m_strPath; })
                .Method("Save", VT_EMPTY, {}, [](CExcelWorkbook& b, Args) { b.Save(); })
                .Method("SaveAs", VT_EMPTY, {VT_BSTR}, [](CExcelWorkbook& b, Args args) { b.SaveAs(args[0].bstrVal); })
                .Build();
        const auto sheets = [](CDispatchable& o, Args args) {
            auto& book = Self<CExcelWorkbook>(o);
            book.Book();
            if (IsMissing(args[0]))
                return COleVariant::Dispatch(std::make_shared<CExcelWorksheets>(book.shared_from_this()));
            return SheetObject(book.shared_from_this(), args[0]);
        };
        m.Add(Member("Worksheets", DISPATCH_PROPERTYGET, VT_DISPATCH, {VT_VARIANT}, sheets, {}, 1));
        m.Add(Member("Sheets", DISPATCH_PROPERTYGET, VT_DISPATCH, {VT_VARIANT}, sheets, {}, 1));
        m.Add(Member(
            "Close", DISPATCH_METHOD, VT_EMPTY, {VT_VARIANT},
            [](CDispatchable& o, Args args) {
                COleVariant save = args[0].Deref();
                if (!IsMissing(save))
                    save.ChangeType(VT_BOOL);
                Self<CExcelWorkbook>(o).Close(!IsMissing(save) && save.boolVal != VARIANT_FALSE);
                return COleVariant();
            },
            {}, 1));
        return m;
    }();
    return map;
}

CXlsxWorkbook& CExcelWorkbook::Book()
{
    if (m_pOwner == nullptr)
        throw CWorkbookException(FormatString("The workbook %s is closed.", m_strName.GetString()));
    return m_book;
}

void CExcelWorkbook::Save()
{
    if (m_strPath.IsEmpty())
        throw CWorkbookException(FormatString("The workbook %s has no file yet: use SaveAs.", m_strName.GetString()));
    Book().SaveAs(m_strPath);
}

void CExcelWorkbook::SaveAs(const CString& path)
{
    if (EndsWithNoCase(path, ".xls"))
        throw CWorkbookException(FormatString("%s: workbooks are saved as .xlsx, not as 97-2003 .xls files.",
                                              path.GetString()));
    Book().SaveAs(path);
    m_strPath = path;
    m_strName = FileName(path);
}

void CExcelWorkbook::Close(bool save)
{
    if (m_pOwner == nullptr)
        return;
    if (save)
        Save();
    CExcelWorkbooks* owner = m_pOwner;
    m_pOwner = nullptr;
    owner->Forget(this); // may release this object: nothing follows
}

int CExcelWorkbook::SheetIndex(const COleVariant& index)
{
    const COleVariant& v = index.Deref();
    CXlsxWorkbook& book = Book();
    if (v.vt == VT_BSTR) {
        const int found = book.FindSheet(v.bstrVal);
        if (found < 0)
            throw CWorkbookException(FormatString("%s has no sheet %s.", m_strName.GetString(), v.bstrVal.GetString()));
        return found;
    }
    const long number = Number(v);
    if (number < 1 || number > book.GetSheetCount())
        throw CWorkbookException(FormatString("%s has no sheet %ld.", m_strName.GetString(), number));
    return static_cast<int>(number - 1);
}

// ---- Worksheets, Worksheet, Range -------------------------------------------------------------

const CDispatchMap& CExcelWorksheets::GetDispatchMap() const
{
    static const CDispatchMap map =
        CDispatchMapBuilder<CExcelWorksheets>("Sheets", "{000208D7-0000-0000-C000-000000000046}")
            .ReadOnlyProperty("Count", VT_I4,
                              [](CExcelWorksheets& s, Args) { return static_cast<long>(s.m_book->Book().GetSheetCount()); })
            .Method("Item", VT_DISPATCH, {VT_VARIANT},
                    [](CExcelWorksheets& s, Args args) { return SheetObject(s.m_book, args[0]); })
            .Build();
    return map;
}

const CDispatchMap& CExcelWorksheet::GetDispatchMap() const
{
    static const CDispatchMap map = [] {
        CDispatchMap m =
            CDispatchMapBuilder<CExcelWorksheet>("Worksheet", "{00020820-0000-0000-C000-000000000046}")
                .ReadOnlyProperty("Name", VT_BSTR,
                                  [](CExcelWorksheet& s, Args) { return s.m_book->Book().GetSheetName(s.m_nIndex); })
                .Build();
        // Cells(r, c) and Range("A1") give the cell; set, they set its value.
        m.Add(Member(
            "Cells", DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT, VT_VARIANT, {VT_I4, VT_I4},
            [](CDispatchable& o, Args args) { return CellObject(Self<CExcelWorksheet>(o), args[0].lVal, args[1].lVal); },
            [](CDispatchable& o, Args args, const COleVariant& value) {
                auto& sheet = Self<CExcelWorksheet>(o);
                sheet.m_book->Book().SetCell(sheet.m_nIndex, args[0].lVal, args[1].lVal, value);
            }));
        m.Add(Member(
            "Range", DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT, VT_VARIANT, {VT_BSTR},
            [](CDispatchable& o, Args args) {
                long row = 0, column = 0;
                ReferenceOf(args[0], row, column);
                return CellObject(Self<CExcelWorksheet>(o), row, column);
            },
            [](CDispatchable& o, Args args, const COleVariant& value) {
                auto& sheet = Self<CExcelWorksheet>(o);
                long row = 0, column = 0;
                ReferenceOf(args[0], row, column);
                sheet.m_book->Book().SetCell(sheet.m_nIndex, row, column, value);
            }));
        return m;
    }();
    return map;
}

const CDispatchMap& CExcelRange::GetDispatchMap() const
{
    static const CDispatchMap map =
        CDispatchMapBuilder<CExcelRange>("Range", "{00020846-0000-0000-C000-000000000046}")
            .Property(
                "Value", VT_VARIANT,
                [](CExcelRange& r, Args) { return r.m_book->Book().GetCell(r.m_nSheet, r.m_nRow, r.m_nColumn); },
                [](CExcelRange& r, Args, const COleVariant& v) {
                    r.m_book->Book().SetCell(r.m_nSheet, r.m_nRow, r.m_nColumn, v);
                })
            .ReadOnlyProperty("Row", VT_I4, [](CExcelRange& r, Args) { return r.m_nRow; })
            .ReadOnlyProperty("Column", VT_I4, [](CExcelRange& r, Args) { return r.m_nColumn; })
            .Build();
    return map;
}

void RegisterWorkbookObjects()
{
    RegisterObjectFactory("Excel.Application", [] { return std::make_shared<CExcelApplication>(); });
}

} // namespace kestrun
