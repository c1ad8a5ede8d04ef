#pragma once
// CGridDoc2: the table document. Over the record list of CDataDoc it keeps
// the column titles (from the first record), which columns are shown and
// how wide they are (per title in "GridConfig.ini"), exports the table as
// CSV or text, and is the script object "Tabelle" that the export script
// reads the shown table through.
//
// The shown table: one row per unselected record (in single-track mode one
// row per frame of the current track); its columns are the visible ones in
// title order, and the column titled first ("Index") holds the 1-based row
// number.

#include "platform/automation/dispatchable.h"
#include "series/datadoc.h"

#include <iosfwd>
#include <vector>

class CCmdUI;
class CMultiDocTemplate;

class CGridDoc2 : public CDataDoc, public kestrun::CDispatchable
{
    DECLARE_DYNCREATE(CGridDoc2)

public:
    // Record types the table treats apart.
    static constexpr WORD kTypeObjectArea = 4;
    static constexpr WORD kTypeObject = 5;
    static constexpr WORD kTypeTrack = 7;
    static constexpr WORD kTypeFlat = 10;
    static constexpr WORD kTypeContourSegment = 13;

    CGridDoc2();
    // Tells the main window ("DELETE_DOCUMENT") before the records go.
    ~CGridDoc2() override;

    using CDataDoc::AddObject;
    // Also remembers the type of the first record of an empty list.
    void AddObject(CBaseObj* pObj) override;
    // Empties titles, visible flags and widths, then the records.
    void DeleteContents() override;
    // Element "CGridDoc2": "m_Titles", then the CDataDoc element.
    void Serialize(CArchive& ar) override;

    // ---- columns ------------------------------------------------------------
    // The first record's column titles; without records nothing changes.
    void BuildTitles();
    // Visible flag and width of every title from "GridConfig.ini": section
    // "SegObj" ("Tracks" for a table of tracks, "TracksSingle" in
    // single-track mode), keys the title (default 1) and the title followed
    // by "Width" (default 10 per character). Without records the flags and
    // widths stay empty.
    void LoadColumnConfig();
    // Writes the same keys back.
    void SaveColumnConfig();
    // Recounts m_nVisibleColumns from the visible flags and returns it.
    int CountVisibleColumns();
    int GetColumnCount() const { return static_cast<int>(m_Titles.GetSize()); }
    // A column's width when the configuration stores none.
    static int DefaultColumnWidth(const CString& title) { return 10 * title.GetLength(); }
    BOOL IsColumnVisible(int nColumn) const;
    // The title indices of the visible columns, in order.
    std::vector<int> GetShownColumns() const;

    // ---- the shown table ----------------------------------------------------------
    // The text of a cell of the shown table (at most 31 bytes); "NULL" for a
    // row or column outside it (a table shows at most 25 columns).
    CString GetCellText(int nRow, int nColumn) const;
    // The frame title by the table mode.
    CString GetTitleText() const;

    // The table as text: the visible titles, then one line per record
    // (column 0 its array index) or, in single-track mode, one line per
    // frame of the current track, each value followed by the separator.
    // Fields that hold the separator, a quote or a line break are quoted.
    virtual void WriteTable(std::ostream& stream, char separator);

    // ---- notices ------------------------------------------------------------------
    // "DataChanged" to every window below the main window.
    void NotifyDataChanged();
    // The image view's delete and exclude: a contour segment's rectangle is
    // returned and the segment deleted; an object's rectangle is returned
    // and the object selected (no longer shown). 0 without records or
    // without a current record, else 1.
    int ExcludeCurrentObject(CRect& rect);
    // The view's add and include: an object is shown again; only a contour
    // segment's rectangle is returned.
    int IncludeCurrentObject(CRect& rect);

    // ---- the script object "Tabelle" -------------------------------------------------
    static constexpr const char* kTabelleClassId = "{8BC6CEE3-C874-11d3-A1B4-00C0A8403DF2}";
    const kestrun::CDispatchMap& GetDispatchMap() const override;
    // Rows: the unselected records, or the frames of the current track.
    short Count() const;
    // The visible column count as last counted.
    short Columns() const;
    // The title of the column-th visible column (from 1); "NULL" past them.
    CString Title(short nColumn) const;
    // "NULL" past the rows or columns; column 1 is the row number, the
    // others the shown cell (row - 1, column - 1) as text.
    COleVariant Value(short nRow, short nColumn) const;

    // ---- commands -------------------------------------------------------------------
    void OnExportCsv();
    void OnExportText();
    // "Message RunMacro " to the main window: the script engine takes the
    // table as "Tabelle".
    void OnExportExcel();
    void OnShowChart();
    // "Show Chart" opens its chart through the chart template the image
    // document hands over.
    void AttachSources(CMultiDocTemplate* pChartTemplate, CMultiDocTemplate* pTableTemplate, CBV* pEngine) override;

    CStringArray m_Titles;
    CArray<BYTE, BYTE> m_arrVisible;
    CArray<WORD, WORD> m_arrWidths;
    CString m_strConfigPath;
    int m_nTableMode = 0;      // chooses the frame title
    int m_nVisibleColumns = 0; // recounted from the visible flags
    int m_nFirstType = 0;      // record type of the first record of an empty list
    CMultiDocTemplate* m_pChartTemplate = nullptr; // not owned
    WORD m_wReserved = 0;

protected:
    // The record whose frames the single-track table shows; null without one.
    CBaseObj* GetCurrentTrack() const;
    // The section of the column configuration.
    CString GetConfigSection() const;
    // The bounding rectangle of an object or segment record; false for
    // records that have none.
    static bool GetRecordRect(const CBaseObj& record, CRect& rect);
    // A record's column text; empty for a column the record does not have.
    static CString ColumnText(CBaseObj& record, int nColumn);
    static CString FrameText(CBaseObj& record, int nFrame, int nColumn);

    void OnUpdateShowChart(CCmdUI* pCmdUI);

    DECLARE_MESSAGE_MAP()

private:
    void ExportTable(LPCTSTR lpszExtension, LPCTSTR lpszDefaultExtension, LPCTSTR lpszFilter, char separator);
    CString DefaultExportName(LPCTSTR lpszExtension) const;
    void WriteRecordRows(std::ostream& stream, char separator, const std::vector<int>& shown);
    void WriteTrackRows(std::ostream& stream, char separator, const std::vector<int>& shown);
};
