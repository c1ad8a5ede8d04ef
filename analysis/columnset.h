#pragma once
// The fixed column lists of the measured-object records: each column shows
// when its bits of the record's flag word are set, and a visible column
// number (counting only the columns shown) maps back to its fixed column.

#include "platform/core/arrays.h"

#include <span>

namespace kestrun {

struct CColumnSpec
{
    const char* title;
    DWORD mask;             // 0: always shown
    bool needsAll = false;  // every bit of the mask, not any of them
};

bool IsColumnShown(const CColumnSpec& column, DWORD flags);
// The titles of the shown columns, in order, replacing the array's content.
void ListColumnTitles(std::span<const CColumnSpec> columns, DWORD flags, CStringArray& titles);
// The fixed column of a visible column; a column that is negative or
// beyond the shown ones is an invalid argument.
int FixedColumnOf(std::span<const CColumnSpec> columns, DWORD flags, int visible);

} // namespace kestrun
