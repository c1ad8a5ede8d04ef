#include "analysis/skeldata.h"

#include "analysis/columnset.h"
#include "objectmodel/valueformat.h"
#include "platform/core/dc.h"
#include "platform/core/exceptions.h"

#include <cmath>

IMPLEMENT_SERIAL(CSkelData, CObjData, 1)

namespace {

constexpr kestrun::CColumnSpec kColumns[CSkelData::columnCount] = {
    {"Index", 0},
    {"PosX", CObjData::colPosX},
    {"PosY", CObjData::colPosY},
    {"Length", CObjData::colLength},
    {"Tot.Length", CObjData::colTotLength},
    {"Width", CObjData::colWidth},
    {"Tips", CSkelData::colTipCount},
    {"Nodes", CSkelData::colNodes},
    {"Rect(width,height)", CObjData::colRect},
    {"Border", CObjData::colBorder},
    {"Class", CObjData::colClass},
};

// The object record's column that shows the same value (length and width
// through the skeleton's own measures); -1 for the skeleton's own columns.
constexpr int kObjectColumns[CSkelData::columnCount] = {
    CObjData::columnIndex, CObjData::columnPosX,   CObjData::columnPosY, CObjData::columnLength,
    -1,                    CObjData::columnWidth,  -1,                   -1,
    CObjData::columnRect,  CObjData::columnBorder, CObjData::columnClass,
};

void RequireColors(std::span<const COLORREF> colors, size_t count)
{
    if (colors.size() < count)
        AfxThrowInvalidArgException();
}

} // namespace

CSkelData::CSkelData()
{
    m_ID = 5;
    m_Type = colLength | colWidth | colTipCount | colNodes;
}

void CSkelData::Serialize(CArchive&)
{
}

int CSkelData::FixedColumn(int visible) const
{
    return kestrun::FixedColumnOf(kColumns, m_Type, visible);
}

void CSkelData::GetColumnTitles(CStringArray& titles, int)
{
    kestrun::ListColumnTitles(kColumns, m_Type, titles);
}

CString CSkelData::GetColumnValues(int column)
{
    const int fixed = FixedColumn(column);
    switch (fixed) {
    case columnTotLength:
        // Pixels: the total length is not calibrated.
        return FormatColumnValue(m_nTotLength);
    case columnTips:
        return FormatString("%d", GetTipCount());
    case columnNodes:
        return FormatString("%d", GetNodeCount());
    default:
        return ColumnText(kObjectColumns[fixed]);
    }
}

COleVariant CSkelData::GetColumnVariant(int column)
{
    const int fixed = FixedColumn(column);
    switch (fixed) {
    case columnTotLength:
        return COleVariant(static_cast<double>(m_nTotLength));
    case columnTips:
        return COleVariant(static_cast<short>(GetTipCount()));
    case columnNodes:
        return COleVariant(static_cast<short>(GetNodeCount()));
    case columnRect:
        return COleVariant(ColumnText(CObjData::columnRect));
    default:
        return ColumnVariant(kObjectColumns[fixed]);
    }
}

double CSkelData::GetLength() const
{
    return m_nSkelLength * SystemCalibration.m_dFactor;
}

double CSkelData::GetWidth() const
{
    return m_nSkelWidth * SystemCalibration.m_dFactor;
}

void CSkelData::Draw(CDC* pDC, int number, std::span<const COLORREF> colors, CTextLabel* label, DWORD flags)
{
    // The label and the pens take colours 0 to 2 whatever is drawn.
    RequireColors(colors, 3);
    const bool tips = (flags & drawTipCrosses) && !m_arrTips.IsEmpty();
    const bool nodes = (flags & drawNodeCrosses) && !m_arrNodes.IsEmpty();
    if (tips)
        RequireColors(colors, 4);
    if (nodes)
        RequireColors(colors, 5);

    DrawNumber(pDC, number, colors[2], label, m_ptCentroid, (flags & drawLabel) != 0);
    if (tips)
        DrawCrosses(pDC, m_arrTips, colors[3]);
    if (nodes)
        DrawCrosses(pDC, m_arrNodes, colors[4]);

    CPen pen0(PS_SOLID, 1, colors[0]);
    CPen pen1(PS_SOLID, 1, colors[1]);
    CPen* oldPen = pDC->SelectObject(&pen0);
    if (flags & drawContour)
        m_Chain.Draw(pDC);
    if (flags & drawMinRect) {
        pDC->SelectObject(&pen1);
        m_MinRect.Draw(pDC);
    }
    pDC->SelectObject(oldPen);
}

void CSkelData::AddNucleus(std::unique_ptr<CObjData>)
{
}

void CSkelData::SetSkelLength(double length)
{
    m_nSkelLength = static_cast<int>(std::lround(length));
}

void CSkelData::CopySkeleton(const CSkelData& other)
{
    if (&other == this)
        return;
    CopyFrom(other);
    m_nSkelLength = other.m_nSkelLength;
    m_nSkelWidth = other.m_nSkelWidth;
    m_arrTips.Copy(other.m_arrTips);
    m_arrNodes.Copy(other.m_arrNodes);
}

void CSkelData::SetSkeleton(const CChain8& chain, int length, int width)
{
    m_Chain = chain;
    m_nSkelLength = length;
    m_nSkelWidth = width;
}
