#pragma once
// CPerspectiveTransform: the perspective correction of an analysis
// profile. The four corners of the tilted field in the image (front left,
// front right, back left, back right) and the size of the straightened
// field are stored; the transformation matrix is computed from them by the
// perspective tool and never stored.

#include "platform/core/geometry.h"
#include "platform/core/object.h"

#include <opencv2/core/mat.hpp>

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
    cv::Mat m_Matrix;
};
