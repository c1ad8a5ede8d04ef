// .xlsx workbooks: any bytes as a workbook package; a package that loads
// is read and written cell by cell and packed again; nothing crashes.

#include "database/workbook/xlsxworkbook.h"
#include "fuzz/fuzzsupport.h"

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kestrun::fuzz::Quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    kestrun::CXlsxWorkbook book;
    try {
        book.Load(data, size, "fuzz.xlsx");
        for (int sheet = 0; sheet < book.GetSheetCount() && sheet < 4; ++sheet) {
            for (long row = 1; row <= 3; ++row)
                for (long column = 1; column <= 3; ++column)
                    book.GetCell(sheet, row, column);
            book.SetCell(sheet, 2, 2, COleVariant("text"));
            book.SetCell(sheet, 1, 5, COleVariant(2.5));
        }
    } catch (const kestrun::CWorkbookException&) {
        // A damaged workbook says so; that is all it may do.
    }
    return 0;
}
