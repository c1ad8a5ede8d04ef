// CGridDoc2 as the script object "Tabelle": what the export script reads.

#include "series/griddoc2.h"

#include "platform/automation/dispatchmap.h"

#include <algorithm>
#include <climits>

namespace {

using Args = std::span<const COleVariant>;

short ToShort(int value)
{
    return static_cast<short>(std::clamp(value, SHRT_MIN, SHRT_MAX));
}

} // namespace

const kestrun::CDispatchMap& CGridDoc2::GetDispatchMap() const
{
    static const kestrun::CDispatchMap map =
        kestrun::CDispatchMapBuilder<CGridDoc2>("Tabelle", kTabelleClassId)
            .Method("Count", VT_I2, {}, [](CGridDoc2& doc, Args) { return doc.Count(); })
            .Method("Columns", VT_I2, {}, [](CGridDoc2& doc, Args) { return doc.Columns(); })
            .Method("Title", VT_BSTR, {VT_I2}, [](CGridDoc2& doc, Args args) { return doc.Title(args[0].iVal); })
            .Method("Value", VT_VARIANT, {VT_I2, VT_I2},
                    [](CGridDoc2& doc, Args args) { return doc.Value(args[0].iVal, args[1].iVal); })
            .Build();
    return map;
}

short CGridDoc2::Count() const
{
    if (m_bSingleTrack) {
        const CBaseObj* track = GetCurrentTrack();
        return track != nullptr && track->m_ID == kTypeTrack ? ToShort(track->GetRowCount()) : 0;
    }
    return ToShort(CountUnselected());
}

short CGridDoc2::Columns() const
{
    return ToShort(m_nVisibleColumns);
}

CString CGridDoc2::Title(short nColumn) const
{
    const std::vector<int> shown = GetShownColumns();
    if (nColumn > Columns() || nColumn < 1 || nColumn > static_cast<int>(shown.size()))
        return "NULL";
    return m_Titles[shown[static_cast<size_t>(nColumn - 1)]];
}

COleVariant CGridDoc2::Value(short nRow, short nColumn) const
{
    if (nRow > Count() || nColumn > Columns())
        return COleVariant("NULL");
    if (nColumn == 1)
        return COleVariant(nRow);
    return COleVariant(GetCellText(nRow - 1, nColumn - 1));
}
