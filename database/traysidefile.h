#pragma once
// The side file beside a tray result table ("<base>.txt"), as Import reads
// it back: five "Key:value" lines that the tray form wrote. A line is read
// whole, however long, so the rest of a long line never counts as a line
// of its own. Values that could not select an area file or an area fall
// back as the tray-scan form's own fields do.

#include "database/trayoutput.h"
#include "platform/core/cstring.h"

#include <istream>

namespace kestrun::tray {

inline constexpr const char* kSideFileProfile = "30/20";

struct CSideFileRead
{
    CSideFile values;
    // False when the file could not be opened: the defaults stand.
    bool bOpened = false;
    // A value that names no usable profile, image, tray or number; its
    // default stands.
    bool bDamaged = false;
};

// "<base>.txt" for a data file name.
CString SideFileNameOf(const CString& strDataFile);

// Defaults: profile "30/20", no image, tray "72", batch 1 and the area the
// form has now. A batch outside 1..4 is 1; an area index outside 0..3
// keeps nCurrentAoi.
CSideFileRead ParseSideFile(std::istream& in, int nCurrentAoi);
CSideFileRead ReadSideFile(const CString& strPath, int nCurrentAoi);

} // namespace kestrun::tray
