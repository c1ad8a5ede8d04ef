// The time marks of a measurement run in their archive form: damaged bytes
// raise the archive's exception and leave the list as it was; a list that
// loads is stored and loads again with the same marks.

#include "fuzz/fuzzsupport.h"
#include "platform/core/archive.h"
#include "platform/core/exceptions.h"
#include "platform/core/file.h"
#include "series/timemark.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kestrun::fuzz::Quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CTimeCtrlI marks;
    marks.AddMark("Keep", 1, 2);
    try {
        CMemFile file(data, static_cast<UINT>(size));
        CArchive ar(&file, CArchive::load);
        marks.Serialize(ar);
    } catch (const CException&) {
        if (marks.GetCount() != 1 || marks.GetNextDue() != 1)
            std::abort(); // a refused list changed what was there
        return 0;
    }
    CTimeCtrlI again;
    kestrun::fuzz::StoreAndReload(marks, again);
    if (again.GetCount() != marks.GetCount() || again.GetNextDue() != marks.GetNextDue() ||
        again.GetMinInterval() != marks.GetMinInterval())
        std::abort();
    return 0;
}
