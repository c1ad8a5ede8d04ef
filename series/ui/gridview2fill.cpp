// CGridView2: building the table - columns, rows, summary rows and the
// row of a record.

#include "series/ui/gridview2.h"

#include "analysis/aoistat.h"
#include "analysis/objdata.h"
#include "analysis/objsegments.h"
#include "analysis/scopedvalue.h"
#include "objectmodel/dataarray.h"
#include "objectmodel/valueformat.h"
#include "platform/core/exceptions.h"
#include "platform/ui/inplaceedit.h"
#include "series/griddoc2.h"
#include "series/tabletext.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Record types the table treats apart beyond those of the document.
constexpr WORD kTypeSeries = 1;
constexpr WORD kTypeFilteredSeries = 9;

// Sums 0-9 of object tables and the columns that show them.
constexpr const char* kObjectSumTitles[CGridView2::kSumCount] = {
    "Area[Units]", "Form", "Length", "Width", "Roundness", "Red", "Green", "Blue", "Tips", "Nodes",
};
// Sums 0-2 of track tables: curvilinear, straight-line and average-path speed.
constexpr const char* kTrackSumTitles[] = {"Speed (VCL)", "Speed (VSL)", "Speed (VAP)"};

CString ColumnText(CBaseObj& record, int nColumn)
{
    try {
        return record.GetColumnValues(nColumn);
    } catch (const CInvalidArgException&) {
        // A record with other column flags than the first one has fewer columns.
        return {};
    }
}

CString FrameText(CBaseObj& record, int nFrame, int nColumn)
{
    try {
        return record.GetColumnValuesAt(nFrame, nColumn);
    } catch (const CInvalidArgException&) {
        return {};
    }
}

int TitleIndex(const CGridDoc2& doc, const char* lpszTitle)
{
    for (int c = 0; c < doc.GetColumnCount(); ++c) {
        if (doc.m_Titles[c] == lpszTitle)
            return c;
    }
    return -1;
}

// Records whose rows show their class colour.
bool ShowsClassColor(WORD type)
{
    switch (type) {
    case 2:
    case CGridDoc2::kTypeTrack:
    case 12:
    case CGridDoc2::kTypeContourSegment:
    case 14:
    case 15:
    case 16:
        return true;
    default:
        return false;
    }
}

// Columns of numbers fit their first values, unless the configuration
// gave them a width: the user's width stands.
void FitUnstoredColumns(CMyListCtrl& list, const CGridDoc2& doc, const std::vector<int>& shown)
{
    for (size_t k = 0; k < shown.size(); ++k) {
        const int column = shown[k];
        if (column < doc.m_arrWidths.GetSize() && doc.m_arrWidths[column] != CGridDoc2::DefaultColumnWidth(doc.m_Titles[column]))
            continue;
        list.FitNumericColumn(static_cast<int>(k));
    }
}

} // namespace

void CGridView2::OnUpdate(CView*, LPARAM lHint, CObject*)
{
    CGridDoc2* doc = GetGridDoc();
    if (doc == nullptr || m_list.m_hWnd == nullptr)
        return;
    // An open editor would write into a row that is gone.
    m_pCellEditor.reset();
    doc->SetTitle(doc->GetTitleText());
    m_list.ResetRows();
    if (doc->GetCount() == 0) {
        m_list.DeleteAllColumns();
        m_shownColumns.clear();
        m_shownTitles.clear();
        m_nClassColumn = -1;
        return;
    }
    if (lHint == 0) {
        // Widths the user gave the columns outlast reading the configuration again.
        try {
            if (TakeColumnWidths(*doc))
                doc->SaveColumnConfig();
        } catch (const CException& e) {
            e.ReportError();
        }
        doc->BuildTitles();
        doc->LoadColumnConfig();
    }
    if (doc->GetColumnCount() == 0)
        return;

    doc->CountVisibleColumns();
    const std::vector<int> shown = CollectShownColumns(*doc);
    std::vector<CString> titles;
    for (const int column : shown)
        titles.push_back(doc->m_Titles[column]);
    const bool newColumns = lHint != 0 || titles != m_shownTitles;
    if (newColumns)
        BuildColumns(*doc, shown);

    m_dSums.fill(0.0);
    if (doc->m_bSingleTrack) {
        FillSingleTrackRows(*doc);
    } else {
        FillRecordRows(*doc);
        const int current = doc->GetCurrentIndex();
        if (current >= 0 && !doc->IsSelected(current))
            SelectRowQuietly(FindRowOfNumber(doc->CountUnselectedBefore(current) + 1));
    }
    if (newColumns)
        FitUnstoredColumns(m_list, *doc, m_shownColumns);
    if (doc->CountUnselected() == 1)
        Invalidate();
}

// ---- columns -------------------------------------------------------------------------------------

std::vector<int> CGridView2::CollectShownColumns(const CGridDoc2& doc) const
{
    std::vector<int> shown;
    for (int c = 0; c < doc.GetColumnCount() && static_cast<int>(shown.size()) < CMyListCtrl::MaxColumns; ++c) {
        if (c == 0 || doc.IsColumnVisible(c))
            shown.push_back(c);
    }
    return shown;
}

void CGridView2::BuildColumns(const CGridDoc2& doc, const std::vector<int>& shown)
{
    m_list.DeleteAllColumns();
    m_list.SetColumnCount(static_cast<int>(shown.size()));
    m_shownColumns = shown;
    m_shownTitles.clear();
    for (size_t k = 0; k < shown.size(); ++k) {
        const int column = shown[k];
        const CString& title = doc.m_Titles[column];
        m_shownTitles.push_back(title);
        CString heading = title;
        ReplaceUnitsTag(heading);
        const int width = column < doc.m_arrWidths.GetSize() ? doc.m_arrWidths[column] : CGridDoc2::DefaultColumnWidth(title);
        m_list.InsertColumn(static_cast<int>(k), heading, LVCFMT_LEFT, width);
    }
    m_nClassColumn = ShownPositionOf("Class");
    m_list.SetColorColumn(m_nClassColumn);
}

int CGridView2::ShownPositionOf(const char* lpszTitle) const
{
    const auto it = std::find(m_shownTitles.begin(), m_shownTitles.end(), lpszTitle);
    return it == m_shownTitles.end() ? -1 : static_cast<int>(it - m_shownTitles.begin());
}

bool CGridView2::TakeColumnWidths(CGridDoc2& doc)
{
    bool changed = false;
    const int columns = std::min(m_list.GetColumnCount(), static_cast<int>(m_shownTitles.size()));
    for (int k = 0; k < columns; ++k) {
        const int column = TitleIndex(doc, m_shownTitles[static_cast<size_t>(k)]);
        if (column < 0 || column >= doc.m_arrWidths.GetSize())
            continue;
        const auto width = static_cast<WORD>(m_list.GetColumnWidth(k));
        if (doc.m_arrWidths[column] != width) {
            doc.m_arrWidths[column] = width;
            changed = true;
        }
    }
    return changed;
}

// ---- rows ---------------------------------------------------------------------------------------------

void CGridView2::WriteCell(int nRow, int nColumn, const CString& text)
{
    m_list.SetCursor(nRow, nColumn);
    m_list.SetCursorText(kestrun::CutCellText(text));
}

void CGridView2::FillRecordRows(CGridDoc2& doc)
{
    const int shownRecords = doc.CountUnselected();
    m_list.GrowRows(shownRecords);
    bool objectSummary = false;
    bool trackSummary = false;
    int row = 0;
    int shownNumber = 0;
    // One row per learned class, then the area's own class in red; the
    // first cell stays empty, so the rows name no record.
    const auto fillClassRows = [this](int nRow, CAOIStat& areaStat) {
        for (int k = 0; k <= areaStat.GetClassCount(); ++k, ++nRow) {
            m_list.GrowRows(nRow + 1);
            for (size_t c = 1; c < m_shownColumns.size(); ++c)
                WriteCell(nRow, static_cast<int>(c), FrameText(areaStat, k, m_shownColumns[c]));
            m_list.SetRowData(nRow, k == areaStat.GetClassCount() ? COLORREF(255) : areaStat.GetClassColor(k));
        }
        return nRow;
    };
    for (int i = 0; i < doc.GetCount(); ++i) {
        if (doc.IsSelected(i))
            continue;
        CBaseObj& record = *doc.GetAt(i);
        m_list.GrowRows(row + 1); // sub-rows move the later records down
        FillRecordRow(row, record);
        // Rows after sub-rows keep the number of their record.
        WriteCell(row, 0, FormatString("%d", ++shownNumber));
        // Defects and frequencies leave their cells to the table.
        if (const auto* defect = dynamic_cast<const CDefect*>(&record)) {
            const std::pair<const char*, CString> cells[] = {
                {"PosX", FormatString("%d", static_cast<int>(defect->m_ptPos.x))},
                {"PosY", FormatString("%d", static_cast<int>(defect->m_ptPos.y))},
                {"Intensity", FormatString("%.2f", defect->m_dIntensity)},
            };
            for (const auto& [title, text] : cells)
                if (const int column = ShownPositionOf(title); column >= 0)
                    WriteCell(row, column, text);
        } else if (const auto* frequency = dynamic_cast<const CFrequencyData*>(&record)) {
            WriteCell(row, 1, frequency->m_strFileName);
            WriteCell(row, 2, FormatString("%.2f", frequency->m_dFrequency));
        }
        ++row;
        if (auto* areaStat = dynamic_cast<CAOIStat*>(&record))
            row = fillClassRows(row, *areaStat);
        AddToSums(doc, record);
        switch (record.m_ID) {
        case CGridDoc2::kTypeObjectArea:
        case CGridDoc2::kTypeObject:
        case CGridDoc2::kTypeContourSegment:
            objectSummary = true;
            break;
        case CGridDoc2::kTypeTrack:
            trackSummary = true;
            break;
        default:
            break;
        }
    }
    if (trackSummary)
        WriteTrackSummary(row, shownRecords);
    else if (objectSummary)
        WriteObjectSummary(row, shownRecords);
    // Sorting leaves the summary at the end.
    m_list.SetFixedLastRow(trackSummary || objectSummary);
}

void CGridView2::FillRecordRow(int nRow, CBaseObj& record)
{
    WriteCell(nRow, 0, FormatString("%d", nRow + 1));
    for (size_t k = 1; k < m_shownColumns.size(); ++k)
        WriteCell(nRow, static_cast<int>(k), ColumnText(record, m_shownColumns[k]));
    if (ShowsClassColor(record.m_ID))
        m_list.SetRowData(nRow, record.m_ClassColor);
}

void CGridView2::AddToSums(const CGridDoc2& doc, CBaseObj& record)
{
    switch (record.m_ID) {
    case CGridDoc2::kTypeObjectArea:
    case CGridDoc2::kTypeObject:
        if (const auto* object = dynamic_cast<const CObjData*>(&record)) {
            const COLORREF color = object->GetMeanColor();
            const double values[kSumCount] = {
                object->GetArea(),
                object->GetFormFactor(),
                object->GetLength(),
                object->GetWidth(),
                object->GetRoundness(),
                static_cast<double>(GetRValue(color)),
                static_cast<double>(GetGValue(color)),
                static_cast<double>(GetBValue(color)),
                static_cast<double>(object->GetTipCount()),
                static_cast<double>(object->GetNodeCount()),
            };
            for (int s = 0; s < kSumCount; ++s)
                m_dSums[static_cast<size_t>(s)] += values[s];
        }
        break;
    case CGridDoc2::kTypeContourSegment:
        if (const auto* segment = dynamic_cast<const CObjDataBase*>(&record)) {
            const COLORREF color = segment->GetMeanColor();
            m_dSums[0] += segment->GetArea();
            m_dSums[5] += GetRValue(color);
            m_dSums[6] += GetGValue(color);
            m_dSums[7] += GetBValue(color);
        }
        break;
    case CGridDoc2::kTypeTrack:
        // The speeds as the track's columns show them.
        for (size_t s = 0; s < std::size(kTrackSumTitles); ++s) {
            const int column = TitleIndex(doc, kTrackSumTitles[s]);
            if (column >= 0)
                m_dSums[s] += std::atof(ColumnText(record, column));
        }
        break;
    default:
        break;
    }
}

void CGridView2::WriteObjectSummary(int nRow, int nShown)
{
    m_list.GrowRows(nRow + 1);
    const double divisor = m_nSummaryMode == kSumRow ? 1.0 : static_cast<double>(nShown);
    if (const int index = ShownPositionOf("Index"); index >= 0)
        WriteCell(nRow, index, m_nSummaryMode == kSumRow ? "Sum" : "Mean");
    for (int s = 0; s < kSumCount; ++s) {
        if (const int column = ShownPositionOf(kObjectSumTitles[s]); column >= 0)
            WriteCell(nRow, column, FormatColumnValue(m_dSums[static_cast<size_t>(s)] / divisor));
    }
}

void CGridView2::WriteTrackSummary(int nRow, int nShown)
{
    m_list.GrowRows(nRow + 1);
    m_nSummaryMode = kMeanRow;
    if (const int index = ShownPositionOf("Index"); index >= 0)
        WriteCell(nRow, index, "Mean");
    for (size_t s = 0; s < std::size(kTrackSumTitles); ++s) {
        if (const int column = ShownPositionOf(kTrackSumTitles[s]); column >= 0)
            WriteCell(nRow, column, FormatColumnValue(m_dSums[s] / nShown));
    }
}

void CGridView2::FillSingleTrackRows(CGridDoc2& doc)
{
    CBaseObj& record = *doc.GetAt(std::max(doc.GetCurrentIndex(), 0));
    const int columns = static_cast<int>(m_shownColumns.size());
    auto* series = dynamic_cast<CDataArray*>(&record);
    if (series != nullptr && (record.m_ID == kTypeSeries || record.m_ID == kTypeFilteredSeries)) {
        // Exactly the values written: the series reads its last value again past them.
        const int rows = series->GetUsedCount();
        m_list.GrowRows(rows);
        for (int i = 0; i < rows; ++i) {
            WriteCell(i, 0, FormatString("%d", i + 1));
            if (columns > 1)
                WriteCell(i, 1, FormatString("%d", static_cast<int>(series->GetXAt(i))));
            if (columns > 2)
                WriteCell(i, 2, FormatString("%.3f", series->GetAt(i)));
        }
        return;
    }
    const int frames = record.GetRowCount();
    m_list.GrowRows(frames);
    for (int f = 0; f < frames; ++f) {
        WriteCell(f, 0, FormatString("%d", f + 1));
        for (int k = 1; k < columns; ++k)
            WriteCell(f, k, FrameText(record, f, m_shownColumns[static_cast<size_t>(k)]));
    }
}

// ---- rows and records -------------------------------------------------------------------------------------

int CGridView2::FindRowOfNumber(int nNumber) const
{
    const CString text = FormatString("%d", nNumber);
    for (int row = 0; row < m_list.GetRowCount(); ++row) {
        if (m_list.GetCellText(row, 0) == text)
            return row;
    }
    return -1;
}

int CGridView2::RecordIndexOfRow(const CGridDoc2& doc, int nRow) const
{
    if (doc.m_bSingleTrack)
        return -1;
    const CString first = m_list.GetCellText(nRow, 0);
    if (first.IsEmpty() || first[0] < '0' || first[0] > '9')
        return -1;
    const int number = std::atoi(first);
    if (number < 1 || number > doc.CountUnselected())
        return -1;
    return doc.FindNthUnselected(number - 1);
}

void CGridView2::SelectRowQuietly(int nRow)
{
    if (nRow < 0)
        return;
    {
        const kestrun::CScopedValue quiet(m_bQuiet, true);
        m_list.SelectItem(nRow);
    }
    m_list.EnsureVisible(nRow, FALSE);
}
