#include "database/traysidefile.h"

#include "database/traybarcode.h"
#include "database/traysettings.h"

#include "platform/core/paths.h"

#include <fstream>
#include <string>
#include <string_view>

namespace kestrun::tray {

namespace {

constexpr int kMaxAoiIndex = 3;

// The value behind the key when the line starts with it.
bool ValueOf(const std::string& line, std::string_view key, CString& value)
{
    if (line.compare(0, key.size(), key) != 0)
        return false;
    value = CString(line.substr(key.size()));
    return true;
}

bool ReadInt(CString text, int& value)
{
    std::int64_t number = 0;
    text.Trim();
    if (!ReadWholeNumber(text, true, number))
        return false;
    // Both limits lie inside 0..4: anything beyond stands as -1, out of range.
    value = number < -1 || number > kMaxBatch ? -1 : static_cast<int>(number);
    return true;
}

// Stored profile names carry '_' where the form shows '/'.
bool IsUsableProfile(const CString& text)
{
    CString stored = text;
    stored.Replace('/', '_');
    return IsPlainFileName(stored.GetString());
}

void TakeLine(const std::string& line, CSideFileRead& read)
{
    CSideFile& side = read.values;
    CString value;
    int number = 0;
    if (ValueOf(line, "Profile:", value)) {
        // Empty when the tray form ran without a current profile: the
        // record then keeps none.
        if (value.IsEmpty() || IsUsableProfile(value))
            side.strProfile = value;
        else
            read.bDamaged = true;
    } else if (ValueOf(line, "Image:", value)) {
        if (value.IsEmpty() || IsPlainFileName(value.GetString()))
            side.strImage = value;
        else
            read.bDamaged = true;
    } else if (ValueOf(line, "Raster:", value)) {
        if (IsUsableTrayType(value))
            side.strTray = value;
        else
            read.bDamaged = true;
    } else if (ValueOf(line, "Batch:", value)) {
        if (!ReadInt(value, number))
            read.bDamaged = true;
        else
            side.nBatch = number >= 1 && number <= kMaxBatch ? number : 1;
    } else if (ValueOf(line, "IndexAOI:", value)) {
        if (!ReadInt(value, number))
            read.bDamaged = true;
        else if (number >= 0 && number <= kMaxAoiIndex)
            side.nIndexAOI = number;
    }
}

} // namespace

CString SideFileNameOf(const CString& strDataFile)
{
    const int dot = strDataFile.ReverseFind('.');
    return (dot < 0 ? strDataFile : strDataFile.Left(dot)) + ".txt";
}

CSideFileRead ParseSideFile(std::istream& in, int nCurrentAoi)
{
    CSideFileRead read;
    read.bOpened = true;
    read.values.strProfile = kSideFileProfile;
    read.values.strTray = kDefaultTrayType;
    read.values.nBatch = 1;
    read.values.nIndexAOI = nCurrentAoi;
    std::string line;
    while (std::getline(in, line)) {
        // Written on Windows, the lines end in "\r\n".
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        TakeLine(line, read);
    }
    return read;
}

CSideFileRead ReadSideFile(const CString& strPath, int nCurrentAoi)
{
    std::ifstream in(strPath.GetString(), std::ios::binary);
    if (!in) {
        CSideFileRead read = ParseSideFile(in, nCurrentAoi);
        read.bOpened = false;
        return read;
    }
    return ParseSideFile(in, nCurrentAoi);
}

} // namespace kestrun::tray
