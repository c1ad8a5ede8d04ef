// The display attributes of a chart (group with its items), stored in a
// series file in any of their layouts: damaged bytes raise the archive's
// exception and leave the group; a group that loads is stored and loads
// again with the same items.

#include "fuzz/fuzzsupport.h"
#include "objectmodel/datagroupattrib.h"
#include "platform/core/archive.h"
#include "platform/core/exceptions.h"
#include "platform/core/file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kestrun::fuzz::Quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CDataGroupAttrib group;
    try {
        CMemFile file(data, static_cast<UINT>(size));
        CArchive ar(&file, CArchive::load);
        group.Serialize(ar);
    } catch (const CException&) {
        return 0;
    }
    CDataGroupAttrib again;
    kestrun::fuzz::StoreAndReload(group, again);
    if (again.GetItemCount() != group.GetItemCount() || again.m_strYName != group.m_strYName)
        std::abort();
    return 0;
}
