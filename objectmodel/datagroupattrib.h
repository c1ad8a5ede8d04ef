#pragma once
// The display attributes of a chart of measurement series: the group
// (CDataGroupAttrib) names and ranges its x axis, its value axis and a
// second, two-state axis; one item (CDataItemAttrib) per curve gives the
// curve's name, colour, group, channel, whether it is shown and its style
// words. Both are stored with versionable schemas and read older layouts.
// The engine builds its measurement channels from them, so they live
// below the series.

#include "platform/core/arrays.h"
#include "platform/core/object.h"
#include "platform/core/cstring.h"

#include <memory>
#include <vector>

class CArchive;

class CDataItemAttrib : public CObject
{
    DECLARE_SERIAL(CDataItemAttrib)

public:
    CDataItemAttrib() = default;
    CDataItemAttrib(const CDataItemAttrib& other) = default;
    CDataItemAttrib& operator=(const CDataItemAttrib& other) = default;
    CDataItemAttrib(const CString& name, COLORREF color, WORD group, WORD channel, int shown, WORD flags);
    ~CDataItemAttrib() override = default;

    // Schema 3: class record, name, colour, group, channel, shown, style
    // words 3, 5, 2, 4, flag word. Loads schemas 2 and 3 and the records
    // written without a class record.
    void Serialize(CArchive& ar) override;

    CString m_strName = "Undefined";
    WORD m_nGroup = 0;
    WORD m_nChannel = 0;
    int m_bShown = 1;
    COLORREF m_Color = 255;
    WORD m_wStyle1 = 1; // not stored
    WORD m_wStyle2 = 1;
    WORD m_wStyle3 = 0;
    WORD m_wStyle4 = 0;
    WORD m_wStyle5 = 0;
    WORD m_wFlags = 0;
    WORD m_wStyle6 = 0; // not stored
};

class CDataGroupAttrib : public CObject
{
    DECLARE_SERIAL(CDataGroupAttrib)

public:
    using ItemList = std::vector<std::unique_ptr<CDataItemAttrib>>;

    CDataGroupAttrib() = default;
    CDataGroupAttrib(const CString& xName, int xKind, const CString& yName, int yKind, float yMin, float yMax);
    CDataGroupAttrib(const CDataGroupAttrib&) = delete;
    CDataGroupAttrib& operator=(const CDataGroupAttrib&) = delete;
    ~CDataGroupAttrib() override = default;

    // Schema 5 when storing; loads schemas 2 to 5, the layout without a
    // class record and, for any other schema, the items alone.
    void Serialize(CArchive& ar) override;

    // Copies.
    void AddItemAttrib(const CDataItemAttrib& item);
    void AddSecondItemAttrib(const CDataItemAttrib& item);
    // Only the items at these indices are shown; an index past the items
    // is an invalid argument; none: all hidden.
    void SetShown(const CWordArray* indices);
    // The names and the items.
    void ClearItems();
    // The second label and the second items.
    void ClearSecondItems();
    // Everything of other, the axis kinds brought to 0, 1, 2 or 4.
    void AssignNormalized(const CDataGroupAttrib& other);
    // Names, kinds, ranges, second-axis fields and the items of other; the
    // second items stay.
    void Assign(const CDataGroupAttrib& other);

    int GetItemCount() const { return static_cast<int>(m_Items.size()); }
    // Checked access (invalid argument outside).
    CDataItemAttrib& GetItem(int index) const;
    const ItemList& GetItems() const { return m_Items; }
    const ItemList& GetSecondItems() const { return m_SecondItems; }

    CString m_strXName = "Undefined";
    int m_nXKind = 2;
    CString m_strYName = "Undefined";
    int m_nYKind = 0;
    double m_dYMin = 0.0;
    double m_dYMax = 10.0;
    CString m_strSecondName = "Undefined";
    int m_nSecondKind = 0;
    double m_dSecondMin = 0.0;
    double m_dSecondMax = 20.0;
    CString m_strSecondLabel = "Binary";
    int m_nSecondFlag = 0;

private:
    void StoreItems(CArchive& ar) const;
    void LoadItems(CArchive& ar);
    // Names and kinds of schemas 2 and 3.
    void LoadOldAxes(CArchive& ar);
    // The layouts of schemas 3 and older from the y range on: schema 2
    // has n item records; schema 3 and the layout without class record
    // the items as a list when n is 0, else one item record followed by
    // the names and colours of the others.
    void LoadOldRangeAndItems(CArchive& ar, bool countFirstThenArray);
    void CopyNamedFields(const CDataGroupAttrib& other);

    ItemList m_Items;
    ItemList m_SecondItems;
};
