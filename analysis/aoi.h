#pragma once
// Areas of interest: the regions of an image page inside which the engine
// searches, counts and measures. Every shape answers one row model: for
// each image row it covers, the x of its left and right border and the runs
// of inside pixels on that row (both ends inclusive). Statistics, filling,
// masks and the object search are written once against that model.
//
// Shapes: CAOI2 rectangle (type 2), CAOI3 parallelogram (3), CAOI4 polygon
// (4), CAOIEllipse (5), CAOIRing (6, an outer and an inner ellipse). An AOI
// owns its raster of cells and its pattern images; the AOI document owns
// the AOIs. Coordinates are image pixels, x to the right, y downwards.

#include "objectmodel/rowborders.h"
#include "objectmodel/rpolygon.h"
#include "objectmodel/rscanpolygon.h"
#include "platform/core/arrays.h"
#include "platform/core/geometry.h"
#include "platform/core/object.h"

#include <memory>
#include <vector>

class CAOIRaster;
class CDC;
class CDIB;
class CSegThres;
class CTextLabel;
class Device;

namespace kestrun {
class CMarkMask;
class CObjectPixelScan;
}

class CAOI : public CObject, public kestrun::CRowBorders
{
    DECLARE_DYNAMIC(CAOI)

public:
    enum Type
    {
        typeNone = 0,
        typeRectangle = 2,
        typeParallelogram = 3,
        typePolygon = 4,
        typeEllipse = 5,
        typeRing = 6,
    };

    // SetPosition flags: anchor in the low four bits.
    enum
    {
        anchorTopLeft = 0,
        anchorCenter = 1,
        anchorRightOfPoint = 2,
        setPosition = 16,
        setSize = 32,
        keepInImage = 64,
    };

    // The schema every shape stores.
    static constexpr UINT storeSchema = 6;

    ~CAOI() override;
    CAOI(const CAOI&) = delete;
    CAOI& operator=(const CAOI&) = delete;

    // Base part first (schema-dependent), then the shape's own fields.
    void Serialize(CArchive& ar) override;

    // Position, size, angle, progress, flag, step, channel, function and
    // excluded flag; not the raster, the modified flag or the patterns.
    virtual void CopyFrom(const CAOI& other);

    // Row model. Rows outside the AOI raise CInvalidArgException, except
    // for the rectangle, whose rows all look alike. IsOnBorder comes from
    // CRowBorders.
    int GetRowLeft(int y) const override = 0;
    int GetRowRight(int y) const override = 0;
    // Ends of run k of row y; false past the row's runs.
    virtual bool GetRunStart(int k, int y, int& x) const;
    virtual bool GetRunEnd(int k, int y, int& x) const;

    // Moves or resizes (flags above) within the image rectangle (right and
    // bottom exclusive). Returns 1, or with keepInImage the result of
    // FitIntoImage.
    virtual int SetPosition(int x, int y, int width, int height, int imageLeft, int imageTop, int imageRight,
                            int imageBottom, UINT flags);
    virtual void SetAngle(double angle);

    // Drawing in image coordinates of the device context.
    virtual void Draw(CDC* pDC) const;
    virtual void DrawColored(CDC* pDC, COLORREF color) const;
    // The outline written into the image's pixels.
    virtual void DrawIntoImage(Device& image, COLORREF color) const;
    virtual void DrawLabel(CDC* pDC, CTextLabel& label) const;
    virtual void GetOutline(CRPointArray& points) const;

    virtual bool Contains(int x, int y) const;
    // Pixels of the rows, left to right border.
    virtual int GetPixelCount() const;

    // Object search: GetFirstScanPoint, then FindNextObjectPixel while
    // m_nProgress (per mille) is below 1000; an answer of 0 only ends a row.
    // An object pixel counts only when no mark precedes it on its row
    // since the last background pixel. The marks are those of marks (the
    // image's size) when given, else the pixels of the mark colour. The
    // bottom row is not searched. Where the area hangs over the image's
    // edge there is only background.
    virtual bool GetFirstScanPoint(CPoint& point);
    virtual int FindNextObjectPixel(const Device& image, const CSegThres& threshold, CPoint& point,
                                    const kestrun::CMarkMask* marks = nullptr);
    // The same on the page of a row scan made once for a whole search.
    int ScanNextObjectPixel(kestrun::CObjectPixelScan& scan, CPoint& point);
    // The same over the bytes of an 8-bit page.
    virtual int FindNextObjectPixelGrey(const CDIB& image, const CSegThres& threshold, CPoint& point);
    // Steps of one pixel, no mark rule across pixels, bottom row included.
    virtual int FindObjectPixel(const CDIB& image, const CSegThres& threshold, CPoint& point);

    // Rectangle helpers.
    void SetRectFromCorners(int x1, int y1, int x2, int y2);
    // (left, top, left + width, top + height).
    CRect GetRect() const { return CRect(m_nLeft, m_nTop, m_nLeft + m_nWidth, m_nTop + m_nHeight); }
    CPoint GetCenter() const { return CPoint(m_nLeft + m_nWidth / 2, m_nTop + m_nHeight / 2); }
    CPoint ClampPoint(int x, int y) const;
    // Moves the AOI (and the frame of its raster) into the image rectangle,
    // shrinking it where it is larger. 0 when it was inside already.
    int FitIntoImage(int imageLeft, int imageTop, int imageRight, int imageBottom);

    // Raster of cells: columns and rows both non-zero lay it (again),
    // otherwise it is removed.
    void CreateRaster(int columns, int rows, int frame);
    CAOIRaster* GetRaster() const { return m_pRaster.get(); }

    // Pattern images (learned from the AOI's border), each with its word.
    int GetPatternCount() const { return static_cast<int>(m_Patterns.size()); }
    CDIB* GetPattern(int index) const;
    WORD GetPatternWord(int index) const { return m_PatternWords[index]; }
    void AddPattern(std::unique_ptr<CDIB> pattern, WORD word);
    void RemovePatterns();

    int GetType() const { return m_nType; }
    int GetLeft() const { return m_nLeft; }
    int GetTop() const override { return m_nTop; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const override { return m_nHeight; }
    int GetRight() const { return m_nLeft + m_nWidth - 1; }
    int GetBottom() const { return m_nTop + m_nHeight - 1; }
    double GetAngle() const { return m_dAngle; }

    int m_nFlag = 1;
    BOOL m_bModified = FALSE;
    // Image page (colour channel) of the AOI; -1: every page.
    int m_nChannel = 0;
    int m_nFunction = -1;
    // Lies outside the image and is deactivated.
    BOOL m_bExcluded = FALSE;
    int m_nProgress = 1000;
    int m_nStep = 1;

protected:
    explicit CAOI(int type);

    // The shape's own fields after the base part; schema is the base part's.
    virtual void SerializeShape(CArchive& ar, UINT schema);
    // Called when SetPosition or FitIntoImage moved or resized the
    // rectangle, so that a shape can follow with its outline.
    virtual void OnRectChanged(int oldLeft, int oldTop, int oldWidth, int oldHeight);
    // The pixels of the straight line from a to b, both included: one per
    // step along the longer axis, the other coordinate stepped in 16.16
    // fixed point starting at one half.
    static std::vector<POINT> EdgePixels(POINT a, POINT b);
    // Called after position or size changed (raster, modified flag).
    void AfterPositionChange();
    // Image units per screen pixel: window extent / viewport extent.
    static void GetExtentRatios(const CDC* pDC, double& rx, double& ry);

    int m_nType;
    int m_nLeft = 0;
    int m_nTop = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    double m_dAngle = 0.0;
    std::unique_ptr<CAOIRaster> m_pRaster;
    std::vector<std::unique_ptr<CDIB>> m_Patterns;
    CWordArray m_PatternWords;

private:
    void SerializeBase(CArchive& ar, UINT& schema);
    void StorePatterns(CArchive& ar) const;
    void LoadPatterns(CArchive& ar, std::vector<std::unique_ptr<CDIB>>& patterns) const;
    static void DropOldObjectList(CArchive& ar);
    void SetPositionFromAnchor(int x, int y, UINT anchor);
    // FitIntoImage without telling the shape.
    int FitRect(int imageLeft, int imageTop, int imageRight, int imageBottom);
};

// Rectangle: every row runs from left to left + width - 1.
class CAOI2 : public CAOI
{
    DECLARE_SERIAL(CAOI2)

public:
    CAOI2();
    // left/top from the rectangle, width = right - left, height = bottom - top.
    explicit CAOI2(const RECT& rect);
    CAOI2(const CAOI2& other);
    CAOI2& operator=(const CAOI2& other);
    ~CAOI2() override = default;

    int GetRowLeft(int y) const override;
    int GetRowRight(int y) const override;

protected:
    explicit CAOI2(int type) : CAOI(type) {}
};

// Parallelogram through three corners; rows from a table built from the
// pixels of its edges.
class CAOI3 : public CAOI
{
    DECLARE_SERIAL(CAOI3)

public:
    CAOI3();
    ~CAOI3() override = default;

    void CopyFrom(const CAOI& other) override;
    int GetRowLeft(int y) const override;
    int GetRowRight(int y) const override;
    void Draw(CDC* pDC) const override;
    // Nothing: the parallelogram is not written into images.
    void DrawIntoImage(Device& image, COLORREF color) const override;

    // Corners A, B, C and the fourth C - B + A.
    void SetFromPoints(POINT a, POINT b, POINT c);
    // Scan line n across the parallelogram (absolute coordinates); returns
    // the number of scan lines.
    int GetScanLine(int n, CPoint& start, CPoint& end) const;
    // Corner i (0..3), absolute.
    CPoint GetCorner(int index) const;

protected:
    void SerializeShape(CArchive& ar, UINT schema) override;

private:
    // x relative to left.
    struct CRowEntry
    {
        int left;
        int right;
    };

    // Corner order and row table from the corners.
    void Build();
    void OrderCorners();
    void BuildRowTable();
    const CRowEntry& RowEntry(int y) const;
    // The pixels of the edge from corner i to corner j, relative.
    std::vector<POINT> Edge(int i, int j) const;

    POINT m_Corners[4] = {};
    std::vector<CRowEntry> m_RowTable;
};

// Polygon: the outline and its scan form, both relative to left/top.
class CAOI4 : public CAOI
{
    DECLARE_SERIAL(CAOI4)

public:
    CAOI4();
    ~CAOI4() override = default;

    void CopyFrom(const CAOI& other) override;
    int GetRowLeft(int y) const override;
    int GetRowRight(int y) const override;
    bool GetRunStart(int k, int y, int& x) const override;
    bool GetRunEnd(int k, int y, int& x) const override;
    void Draw(CDC* pDC) const override;
    void DrawIntoImage(Device& image, COLORREF color) const override;
    bool Contains(int x, int y) const override;
    // The pixels of the runs (a concave row has gaps); also kept in the
    // area cache.
    int GetPixelCount() const override;

    // False for an empty polygon; else whether the scan form has points.
    bool SetPolygon(const CRPolygon& polygon);
    const CRPolygon& GetPolygon() const { return m_Polygon; }
    const CRScanPolygon& GetScanPolygon() const { return m_ScanPolygon; }
    int GetAreaCache() const { return m_nAreaCache; }

protected:
    void SerializeShape(CArchive& ar, UINT schema) override;

private:
    bool BuildScanForm();

    mutable int m_nAreaCache = 0;
    CRPolygon m_Polygon;
    CRScanPolygon m_ScanPolygon;
};

// Ellipse inside its bounding rectangle; the outline holds two points per
// row (left x, right x, relative to left/top).
class CAOIEllipse : public CAOI2
{
    DECLARE_SERIAL(CAOIEllipse)

public:
    CAOIEllipse();
    CAOIEllipse(const CAOIEllipse& other);
    CAOIEllipse& operator=(const CAOIEllipse& other);
    ~CAOIEllipse() override = default;

    int GetRowLeft(int y) const override;
    int GetRowRight(int y) const override;
    // Rotates the outline about the axes' centre; the bounding rectangle
    // becomes that of the rotated outline.
    void SetAngle(double angle) override;
    void Draw(CDC* pDC) const override;
    void DrawIntoImage(Device& image, COLORREF color) const override;
    void GetOutline(CRPointArray& points) const override;
    bool Contains(int x, int y) const override;

    // Axes from the corners when both sides exceed 2, else an empty ellipse.
    void SetFromCorners(int x1, int y1, int x2, int y2);
    void SetCenterAndRadii(int cx, int cy, int rx, int ry);
    // CopyFrom, the axes, then the outline rebuilt.
    void Assign(const CAOIEllipse& other);

    int GetAxisWidth() const { return m_nAxisWidth; }
    int GetAxisHeight() const { return m_nAxisHeight; }
    const CRPointArray& GetOutlinePoints() const { return m_Outline; }

protected:
    void SerializeShape(CArchive& ar, UINT schema) override;
    void OnRectChanged(int oldLeft, int oldTop, int oldWidth, int oldHeight) override;

private:
    // Unrotated outline from the axes.
    void BuildOutline();
    // The outline for the axes and the current angle.
    void Rebuild();
    int OutlineIndex(int y) const;

    CRPointArray m_Outline;
    int m_nAxisWidth = 0;
    int m_nAxisHeight = 0;
};

// Ring between an outer and an inner ellipse, laid concentric from the
// ring's rectangle and width. Row borders, the inside test and the pixel
// count are the outer ellipse's; rows through the hole have two runs, which
// keep the hole's border pixels.
class CAOIRing : public CAOI2
{
    DECLARE_SERIAL(CAOIRing)

public:
    CAOIRing();
    ~CAOIRing() override = default;

    int GetRowLeft(int y) const override;
    int GetRowRight(int y) const override;
    bool GetRunStart(int k, int y, int& x) const override;
    bool GetRunEnd(int k, int y, int& x) const override;
    // A ring is not rotated.
    void SetAngle(double angle) override;
    void Draw(CDC* pDC) const override;
    void DrawIntoImage(Device& image, COLORREF color) const override;
    bool Contains(int x, int y) const override;

    void SetFromCorners(int x1, int y1, int x2, int y2);

    const CAOIEllipse& GetOuter() const { return m_Outer; }
    const CAOIEllipse& GetInner() const { return m_Inner; }
    int GetRingWidth() const { return m_nRingWidth; }
    void SetRingWidth(int width) { m_nRingWidth = width; }

protected:
    void SerializeShape(CArchive& ar, UINT schema) override;
    void OnRectChanged(int oldLeft, int oldTop, int oldWidth, int oldHeight) override;

private:
    bool RowCrossesHole(int y) const;
    // Both ellipses from the ring's rectangle and ring width.
    void LayEllipses();

    CAOIEllipse m_Inner;
    CAOIEllipse m_Outer;
    int m_nRingWidth = 4;
};
