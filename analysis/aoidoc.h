#pragma once
// CAOIDoc: the areas of interest of the images the engine analyses - the
// list of AOIs in drawing order, which one is active, the page (colour
// channel) they are shown on, the rectangle of the whole image, a default
// AOI, the pens they are drawn with, and their ".AOI" file.
//
// The AOIs of the current page that are not excluded are the enabled ones;
// an AOI is excluded while it lies outside the image (CheckAOIsInImage).
// The document owns its AOIs.
//
// ".AOI" files are the binary object archive: a WORD version (15 when
// written), then the AOI list (count, then one object record per AOI).
// Versions 15 and 14 hold that list; version 12 four lists, one per page
// 0..3, and two further object arrays that are skipped; version 11 nothing
// that is still used. Any other version is refused.

#include "analysis/aoi.h"
#include "analysis/imageaxis.h"

#include <memory>
#include <vector>

class CDC;
class CTextLabel;

class CAOIDoc : public CObject
{
    DECLARE_SERIAL(CAOIDoc)

public:
    static constexpr WORD fileVersion = 15;
    static constexpr int pageCount = 12;

    CAOIDoc() = default;
    CAOIDoc(const CAOIDoc&) = delete;
    CAOIDoc& operator=(const CAOIDoc&) = delete;
    ~CAOIDoc() override = default;

    // List access. GetAOI answers null outside the list.
    int GetAOICount() const { return static_cast<int>(m_AOIs.size()); }
    CAOI* GetAOI(int index) const;
    // The active AOI when it is of the current page and enabled; else the
    // whole-image AOI (fallback) or null.
    CAOI* GetActiveAOI(bool fallback);
    int GetActiveIndex() const { return m_nActive; }
    // An index below the count becomes active and the count is answered;
    // any other makes the first AOI active and answers 0.
    int SetActiveAOI(int index);

    // Enabled AOIs of the current page; -1 when there is none.
    int GetFirstEnabledAOI() const;
    int GetLastEnabledAOI() const;
    // The first enabled AOI from index on (a negative index counts as 0),
    // else GetFirstEnabledAOI.
    int GetEnabledAOIFrom(int index) const;
    void SelectNextAOI();
    // Steps position to the next AOI that is not excluded, whatever its
    // page; at the end position becomes -1 and null is answered.
    CAOI* GetNextEnabledAOI(int& position) const;
    // The smallest enabled AOI of the current page that contains the point
    // becomes active; true when some AOI is active afterwards.
    bool FindAOIAtPoint(int x, int y);

    // Takes the AOI when it lies inside the image (a rectangle or a shape
    // derived from it is fitted into the image first) and makes the last
    // enabled AOI active: 1. Otherwise 0, and the AOI stays the caller's.
    // Before an image size is known every AOI is taken as it is.
    int AddAOI(std::unique_ptr<CAOI>& aoi);
    // A polygon AOI from more than two points; 1 when it was added.
    int AddPolygonAOI(const CRPolygon& polygon);
    // Ignored outside the list.
    void DeleteAOI(int index);
    // The active index stays as it is.
    void ClearAOIs();

    // The whole-image rectangle; AOIs are checked against a new size.
    void SetImageSize(int width, int height, bool quiet);
    // The default rectangle: that of aoi, or with none (or an empty one)
    // the middle half of the image.
    void SetDefaultAOI(const CAOI* aoi);
    // Excludes the AOIs outside the image (with a message per AOI unless
    // quiet) and enables those inside.
    void CheckAOIsInImage(bool quiet);

    // The AOIs of the current page (and of every page) in their pens, each
    // with its number; 0 when there are no AOIs.
    int DrawAOIs(CDC* pDC, CTextLabel& label) const;
    static void DrawArrow(CDC* pDC, int x1, int y1, int x2, int y2);

    // Loads the list of a ".AOI" file: false, and nothing changes, for a
    // missing or empty file. A damaged file raises the archive's exception,
    // one that cannot be opened the file's; the list then stays as it was.
    bool LoadAOIFile(const CString& path);
    // Writes the list when something changed, and also when path is not
    // the file the list was loaded from or last saved to (a profile saved
    // under a new name gets its own file). True when the file was written.
    bool SaveAOIFile(const CString& path);

    void Serialize(CArchive& ar) override;

    BOOL IsModified() const { return m_bModified; }
    void SetModifiedFlag(BOOL modified = TRUE) { m_bModified = modified; }

    // The page whose AOIs are shown and used; a value outside 0..11 reads
    // (and is stored back) as 0.
    int GetCurrentPage();
    void SetCurrentPage(int page) { m_nCurrentPage = page; }

    const CAOI2& GetImageAOI() const { return m_ImageAOI; }
    CRect GetImageRect() const { return m_ImageAOI.GetRect(); }
    const CAOI2& GetDefaultAOI() const { return m_DefaultAOI; }
    const CString& GetPathName() const { return m_strPathName; }

    BOOL m_bShowDefault = FALSE;
    COLORREF m_AOIColor = RGB(255, 0, 0);
    COLORREF m_ActiveColor = RGB(255, 0, 0);
    CImageAxis m_ImageAxis;
    // A row range marked beside the image; -1 when not set.
    int m_nMarkerFirst = -1;
    int m_nMarkerLast = -1;

private:
    // The current page as it reads, without storing it back.
    int Page() const;
    bool IsInsideImage(const CRect& rect) const;
    bool IsEnabledOnPage(const CAOI& aoi, int page) const;
    void ReadList(CArchive& ar, WORD version);

    std::vector<std::unique_ptr<CAOI>> m_AOIs;
    CAOI2 m_ImageAOI;
    CAOI2 m_DefaultAOI;
    int m_nActive = -1;
    int m_nCurrentPage = 0;
    BOOL m_bModified = FALSE;
    // The file the list was loaded from or last saved to.
    CString m_strPathName;
};
