#pragma once
// CSkelData: the record of an object measured through its skeleton: the
// skeleton path as the chain, its length, the object's width, the
// skeleton's total length, its tips and its branch nodes. It shows columns
// of its own and stores nothing in object files.

#include "analysis/objdata.h"

class CSkelData : public CObjData
{
    DECLARE_SERIAL(CSkelData)

public:
    enum : DWORD
    {
        colTipCount = 0x200000,
        colNodes = 0x400000,
    };

    enum Column
    {
        columnIndex,
        columnPosX,
        columnPosY,
        columnLength,
        columnTotLength,
        columnWidth,
        columnTips,
        columnNodes,
        columnRect,
        columnBorder,
        columnClass,
        columnCount
    };

    // Draw flags of their own (the rest as CObjData's).
    enum : DWORD
    {
        drawTipCrosses = 0x40,
        drawNodeCrosses = 0x80,
    };

    CSkelData();
    ~CSkelData() override = default;

    // Nothing is archived for a skeleton record.
    void Serialize(CArchive& ar) override;

    void GetColumnTitles(CStringArray& titles, int selection) override;
    CString GetColumnValues(int column) override;
    COleVariant GetColumnVariant(int column) override;

    double GetLength() const override;
    double GetWidth() const override;
    int GetTipCount() const override { return static_cast<int>(m_arrTips.GetSize()); }
    int GetNodeCount() const override { return static_cast<int>(m_arrNodes.GetSize()); }
    // Colours: 0 skeleton, 1 rectangle, 2 label, 3 tips, 4 nodes; too few
    // for what is drawn is an invalid argument.
    void Draw(CDC* pDC, int number, std::span<const COLORREF> colors, CTextLabel* label, DWORD flags) override;
    // A skeleton keeps no nuclei: the nucleus is dropped.
    void AddNucleus(std::unique_ptr<CObjData> nucleus) override;

    // Rounded to the nearest pixel.
    virtual void SetSkelLength(double length);
    // CopyFrom, then length, width, tips and nodes.
    virtual void CopySkeleton(const CSkelData& other);
    void SetSkeleton(const CChain8& chain, int length, int width);

    int m_nSkelLength = 0;
    int m_nSkelWidth = 0;
    int m_nTotLength = 0;
    CArray<POINT, POINT> m_arrTips;
    CArray<POINT, POINT> m_arrNodes;

private:
    int FixedColumn(int visible) const;
};
