#pragma once
// CEllipsenObj: an ellipse fitted to the contour pieces of an object (and
// to extra points), with the colour measured inside it. The fit itself is
// the geometry library's; the record samples the points, keeps the result
// as area and axes, and draws the pieces until it is fitted.

#include "analysis/colordouble.h"
#include "analysis/objdatabase.h"
#include "analysis/objsegments.h"
#include "geometry/ellipse.h"

#include <functional>
#include <memory>
#include <vector>

class CSegThres;
class Device;

// Receives the pixels of a fitted ellipse; false refuses the pixel and
// ends the walk.
class CEllipsePixelTarget
{
public:
    virtual ~CEllipsePixelTarget() = default;
    virtual bool AddPixel(int x, int y) = 0;

protected:
    CEllipsePixelTarget() = default;
    CEllipsePixelTarget(const CEllipsePixelTarget&) = default;
    CEllipsePixelTarget& operator=(const CEllipsePixelTarget&) = default;
};

// What the colour measurement and the painting read and write: the page,
// the pixels the run admits (all when unset), the colour threshold and
// the image painted into.
struct CEllipseContext
{
    const Device* image = nullptr;
    const CSegThres* threshold = nullptr;
    Device* output = nullptr;
    std::function<bool(int x, int y)> admits;
    // Painting marks dark (0x010101) instead of bright.
    bool paintDark = false;
};

class CEllipsenObj : public CObjDataBase
{
    DECLARE_SERIAL(CEllipsenObj)

public:
    static constexpr WORD kind = 13;
    // Points handed to the fit at most.
    static constexpr int maxFitPoints = 200;

    CEllipsenObj();
    ~CEllipsenObj() override;

    // Base element, mean colour, rectangle, extra points and colour; the
    // ellipse is fitted anew after loading.
    void Serialize(CArchive& ar) override;
    void GetColumnTitles(CStringArray& titles, int selection) override;
    CString GetColumnValues(int column) override;
    double GetArea() const override;
    double GetFormFactor() const override;
    COLORREF GetMeanColor() const override { return m_MeanColor; }
    // Colours: 0 the ellipse's pen; fewer than three is an invalid
    // argument.
    void Draw(CDC* pDC, int number, std::span<const COLORREF> colors, CTextLabel* label, DWORD flags) override;

    // 1, or 0 when the target refused a pixel; fewer than 4 points leave
    // the record as it was.
    int FitEllipse(CEllipsePixelTarget* target = nullptr);
    // Share of object-coloured pixels among the visited ones inside the
    // ellipse; 0.0 while it is not fitted.
    double MeasureColor(const CEllipseContext& context, int step);
    void PaintInterior(const CEllipseContext& context, int step);

    void AddPiece(std::unique_ptr<CKonturSegment> piece);
    // The caller takes the piece over.
    std::unique_ptr<CKonturSegment> RemovePiece(int index);
    CKonturSegment& GetPiece(int index) const;
    int GetPieceCount() const { return static_cast<int>(m_Pieces.size()); }
    void AddPoint(POINT point);
    // Left x of the first, middle and last row and right x of the middle
    // row; rows outside the outline are an invalid argument.
    void AddRowPoints(int firstRow, int lastRow, std::span<const int> left, std::span<const int> right);

    bool IsFitted() const { return m_bFitted; }
    const CEllipse& GetEllipse() const { return m_Ellipse; }

    int m_nArea = 1;
    double m_dAxis1 = 1.0; // the larger
    double m_dAxis2 = 1.0;
    double m_dFitQuality = 1.0;
    CRect m_Rect{0, 0, 0, 0};
    COLORREF m_MeanColor = 0;
    Color_Double m_Color;
    CArray<POINT, POINT> m_arrPoints;

private:
    // Rows of the ellipse every step rows, each with its two x values.
    template <class Visit>
    void ForEachInside(int step, Visit visit) const;
    void SetRectFromBounds();

    CEllipse m_Ellipse;
    bool m_bFitted = false;
    std::vector<std::unique_ptr<CKonturSegment>> m_Pieces;
};
