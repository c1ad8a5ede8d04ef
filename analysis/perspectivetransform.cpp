#include "analysis/perspectivetransform.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "outside/pixmere/dib.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

IMPLEMENT_SERIAL(CPerspectiveTransform, CObject, 1)

CPerspectiveTransform::CPerspectiveTransform(const CPerspectiveTransform& other)
    : CObject(other), m_FL(other.m_FL), m_FR(other.m_FR), m_BL(other.m_BL), m_BR(other.m_BR),
      m_Width(other.m_Width), m_Height(other.m_Height), m_Matrix(other.m_Matrix.clone())
{
}

CPerspectiveTransform& CPerspectiveTransform::operator=(const CPerspectiveTransform& other)
{
    if (this != &other) {
        CopyGeometry(other);
        m_Matrix = other.m_Matrix.clone();
    }
    return *this;
}

void CPerspectiveTransform::Serialize(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    if (xml.GetChildNode(RUNTIME_CLASS(CPerspectiveTransform)->m_lpszClassName) == nullptr)
        return;
    if (CXMLArchiveNode* node = xml.GetCurrentNode()) {
        node->SerializePoint("FL", m_FL);
        node->SerializePoint("FR", m_FR);
        node->SerializePoint("BL", m_BL);
        node->SerializePoint("BR", m_BR);
        node->SerializeDouble("Width", m_Width);
        node->SerializeDouble("Height", m_Height);
    }
    xml.GetCurrentNode()->EndNode();
    if (ar.IsLoading())
        ReleaseMatrix();
}

void CPerspectiveTransform::CopyGeometry(const CPerspectiveTransform& other)
{
    m_FL = other.m_FL;
    m_FR = other.m_FR;
    m_BL = other.m_BL;
    m_BR = other.m_BR;
    m_Width = other.m_Width;
    m_Height = other.m_Height;
    if (this != &other)
        ReleaseMatrix();
}

BOOL CPerspectiveTransform::Set(const CPoint& fl, const CPoint& fr, const CPoint& bl, const CPoint& br, double width,
                                double height)
{
    m_FL = fl;
    m_FR = fr;
    m_BL = bl;
    m_BR = br;
    m_Width = width;
    m_Height = height;
    ReleaseMatrix();
    return fl.y == fr.y ? TRUE : FALSE;
}

void CPerspectiveTransform::Get(CPoint& fl, CPoint& fr, CPoint& bl, CPoint& br, double& width, double& height) const
{
    fl = m_FL;
    fr = m_FR;
    bl = m_BL;
    br = m_BR;
    width = m_Width;
    height = m_Height;
}

int CPerspectiveTransform::FieldHeight() const
{
    if (m_FL.y != m_FR.y || !(m_Width > 0.0) || !(m_Height > 0.0))
        return 0;
    const double length = std::hypot(double(m_FR.x - m_FL.x), double(m_FR.y - m_FL.y));
    const double height = length / m_Width * m_Height;
    // Beyond any page: refused rather than overflowing.
    if (!(length > 0.0) || !(height < double(std::numeric_limits<int>::max())))
        return 0;
    return static_cast<int>(height);
}

int CPerspectiveTransform::OutputHeight(int pageHeight) const
{
    const int field = FieldHeight();
    if (field <= 0)
        return 0;
    if (field <= pageHeight)
        return pageHeight;
    const double grown = double(field) - m_FL.y + pageHeight;
    return grown < double(std::numeric_limits<int>::max()) ? static_cast<int>(grown) : 0;
}

BOOL CPerspectiveTransform::Calculate()
{
    ReleaseMatrix();
    const int field = FieldHeight();
    if (field <= 0)
        return FALSE;
    const std::array<cv::Point2f, 4> source{cv::Point2f(float(m_FL.x), float(m_FL.y)),
                                            cv::Point2f(float(m_FR.x), float(m_FR.y)),
                                            cv::Point2f(float(m_BL.x), float(m_BL.y)),
                                            cv::Point2f(float(m_BR.x), float(m_BR.y))};
    // Three corners on one line (a repeated corner among them) leave the
    // homography undetermined.
    for (size_t skip = 0; skip < source.size(); ++skip) {
        std::array<cv::Point2f, 3> corner;
        for (size_t i = 0, n = 0; i < source.size(); ++i)
            if (i != skip)
                corner[n++] = source[i];
        const cv::Point2f a = corner[1] - corner[0];
        const cv::Point2f b = corner[2] - corner[0];
        if (std::abs(a.cross(b)) < 1.0f)
            return FALSE;
    }
    // The field stays inside the picture at the top.
    const float y = float(std::max(m_FL.y, field));
    const float top = y - float(field);
    const std::array<cv::Point2f, 4> target{cv::Point2f(float(m_FL.x), y), cv::Point2f(float(m_FR.x), y),
                                            cv::Point2f(float(m_FL.x), top), cv::Point2f(float(m_FR.x), top)};
    cv::Mat matrix = cv::getPerspectiveTransform(source.data(), target.data());
    if (matrix.empty() || !cv::checkRange(matrix) || std::abs(cv::determinant(matrix)) < 1e-12)
        return FALSE;
    m_Matrix = std::move(matrix);
    return TRUE;
}

BOOL CPerspectiveTransform::Apply(const CDIB& source, CDIB& target)
{
    if (!HasMatrix() && !Calculate())
        return FALSE;
    const cv::Mat pixels = source.GetMat();
    if (pixels.empty())
        return FALSE;
    const int width = pixels.cols;
    const int height = OutputHeight(pixels.rows);
    if (height <= 0 || double(width) * height > kMaxOutputPixels)
        return FALSE;
    cv::Mat straight;
    cv::warpPerspective(pixels, straight, m_Matrix, cv::Size(width, height), cv::INTER_LINEAR, cv::BORDER_CONSTANT,
                        cv::Scalar::all(0));
    // The target takes the source's depth and palette; source and target
    // may be one page.
    const int bits = source.GetBitCount();
    const std::vector<COLORREF> palette(source.GetPalette().begin(), source.GetPalette().end());
    if (!target.Create(width, height, bits))
        return FALSE;
    for (size_t i = 0; i < palette.size(); ++i)
        target.SetPaletteColor(static_cast<BYTE>(i), palette[i]);
    straight.copyTo(target.GetMat());
    return TRUE;
}
