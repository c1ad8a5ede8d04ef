#pragma once
// CPerspectiveTransform: the perspective correction of an analysis
// profile. The four corners of the tilted field in the image (front left,
// front right, back left, back right) and the size of the straightened
// field are stored; the transformation matrix is computed from them and
// never stored. Pages are top-down, as the corners are: no flips.

#include "platform/core/geometry.h"
#include "platform/core/object.h"

#include <opencv2/core/mat.hpp>

class CDIB;

class CPerspectiveTransform : public CObject
{
    DECLARE_SERIAL(CPerspectiveTransform)

public:
    CPerspectiveTransform() = default;
    // Copying the object copies everything, a copy of the matrix too.
    CPerspectiveTransform(const CPerspectiveTransform& other);
    CPerspectiveTransform& operator=(const CPerspectiveTransform& other);
    ~CPerspectiveTransform() override = default;

    // XML form: element "CPerspectiveTransform" with "FL", "FR", "BL", "BR"
    // ("x,y") and "Width", "Height". Loading drops the matrix: it belongs to
    // the corners it was computed from.
    void Serialize(CArchive& ar) override;
    // The profile copy: corners and size; the matrix is dropped for the
    // same reason.
    void CopyGeometry(const CPerspectiveTransform& other);

    // Stores the corners and the real size and drops the matrix; TRUE
    // exactly when the front corners lie on one row.
    BOOL Set(const CPoint& fl, const CPoint& fr, const CPoint& bl, const CPoint& br, double width, double height);
    void Get(CPoint& fl, CPoint& fr, CPoint& bl, CPoint& br, double& width, double& height) const;
    // The matrix that maps the marked quadrilateral onto an upright
    // rectangle of the real proportions standing on the front row. FALSE,
    // without a matrix, for front corners off one row or coinciding, a
    // size <= 0, or three corners on one line.
    BOOL Calculate();
    // Straightens the source page into the target page (bilinear, 0
    // outside the source), computing the matrix first when needed. The
    // target grows in height when the straightened field is taller than
    // the page. FALSE, target untouched, when there is no matrix or the
    // result would exceed kMaxOutputPixels.
    BOOL Apply(const CDIB& source, CDIB& target);
    // The height of the straightened page for a page height; 0 when the
    // corners give no field.
    int OutputHeight(int pageHeight) const;

    static constexpr double kMaxOutputPixels = 100e6;

    // The matrix computed from the corners; empty when there is none.
    const cv::Mat& GetMatrix() const { return m_Matrix; }
    bool HasMatrix() const { return !m_Matrix.empty(); }
    void SetMatrix(const cv::Mat& matrix) { m_Matrix = matrix.clone(); }
    void ReleaseMatrix() { m_Matrix.release(); }

    CPoint m_FL;
    CPoint m_FR;
    CPoint m_BL;
    CPoint m_BR;
    double m_Width = 0.0;
    double m_Height = 0.0;

private:
    // The field's height in pixels: the front side's length scaled by the
    // real proportions; 0 when there is none.
    int FieldHeight() const;

    cv::Mat m_Matrix;
};
