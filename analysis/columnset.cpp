#include "analysis/columnset.h"

#include "platform/core/exceptions.h"

namespace kestrun {

bool IsColumnShown(const CColumnSpec& column, DWORD flags)
{
    if (column.mask == 0)
        return true;
    return column.needsAll ? (flags & column.mask) == column.mask : (flags & column.mask) != 0;
}

void ListColumnTitles(std::span<const CColumnSpec> columns, DWORD flags, CStringArray& titles)
{
    titles.RemoveAll();
    for (const CColumnSpec& column : columns)
        if (IsColumnShown(column, flags))
            titles.Add(column.title);
}

int FixedColumnOf(std::span<const CColumnSpec> columns, DWORD flags, int visible)
{
    if (visible < 0)
        AfxThrowInvalidArgException();
    // Every hidden column before the wanted one moves it one further on.
    int target = visible;
    for (int fixed = 0; fixed < static_cast<int>(columns.size()); ++fixed) {
        if (!IsColumnShown(columns[static_cast<size_t>(fixed)], flags))
            ++target;
        else if (fixed == target)
            return fixed;
    }
    AfxThrowInvalidArgException();
}

} // namespace kestrun
