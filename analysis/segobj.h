#pragma once
// CSegObj: base of the objects that work on an image page inside an area of
// interest with a colour threshold: the contour tracer, the region filler
// and the line tester. The caller hands the three in together and keeps
// them alive; none is owned here.

#include "objectmodel/baseobj.h"
#include "platform/core/geometry.h"

class CAOI;
class CDIB;
class CSegThres;

class CSegObj : public CBaseObj
{
    DECLARE_DYNAMIC(CSegObj)

public:
    CSegObj() = default;
    CSegObj(CDIB* image, CAOI* aoi, CSegThres* threshold);
    CSegObj(const CSegObj& other) = default;
    CSegObj& operator=(const CSegObj& other) = default;
    ~CSegObj() override = default;

    void SetImage(CDIB* image, CAOI* aoi, CSegThres* threshold);
    CDIB* GetImage() const { return m_pImage; }
    CAOI* GetAOI() const { return m_pAOI; }
    CSegThres* GetThreshold() const { return m_pThres; }

    // Writes the first byte of the 3 x 3 pixels around (x, y) to a text
    // file: rows y + 1, y, y - 1, each as x + 1, x, x - 1 with the separator
    // between the values and a line end after the row. Pixels outside the
    // page read 0. Raises CFileException when the file cannot be written.
    virtual void DumpNeighbourhood(const CString& fileName, const CString& separator, int x, int y) const;

    // Moves position along its row, step pixels at a time (negative:
    // leftwards), to the edge of an object in the bound page, with the
    // bound area's point test and the bound threshold's tests. Mode 0 stops
    // on the last object pixel before one that is not; mode 1 on an object
    // pixel whose next one is not object colour or outside the area; mode
    // 2 the same, also after background. Every mode stops at the area's
    // end. Returns 0 when modes 0 and 1 meet a mark pixel first, else 1. A
    // position outside the area has negative coordinates raised to 0 and
    // answers 1. A step of 0 is an invalid argument: it would never end.
    virtual int ScanRow(CPoint& position, int step, int mode);

protected:
    // The bound page, area and threshold; CInvalidArgException when one of
    // them is missing.
    CDIB& BoundImage() const;
    CAOI& BoundAOI() const;
    CSegThres& BoundThreshold() const;

    CDIB* m_pImage = nullptr;
    CAOI* m_pAOI = nullptr;
    CSegThres* m_pThres = nullptr;
};
