#include "analysis/segobj.h"

#include "analysis/aoi.h"
#include "analysis/segthres.h"
#include "outside/pixmere/dib.h"
#include "platform/core/atomicfile.h"

#include <algorithm>
#include <string>

IMPLEMENT_DYNAMIC(CSegObj, CBaseObj)

CSegObj::CSegObj(CDIB* image, CAOI* aoi, CSegThres* threshold)
{
    SetImage(image, aoi, threshold);
}

void CSegObj::SetImage(CDIB* image, CAOI* aoi, CSegThres* threshold)
{
    m_pImage = image;
    m_pAOI = aoi;
    m_pThres = threshold;
}

CDIB& CSegObj::BoundImage() const
{
    if (m_pImage == nullptr)
        AfxThrowInvalidArgException();
    return *m_pImage;
}

CAOI& CSegObj::BoundAOI() const
{
    if (m_pAOI == nullptr)
        AfxThrowInvalidArgException();
    return *m_pAOI;
}

CSegThres& CSegObj::BoundThreshold() const
{
    if (m_pThres == nullptr)
        AfxThrowInvalidArgException();
    return *m_pThres;
}

void CSegObj::DumpNeighbourhood(const CString& fileName, const CString& separator, int x, int y) const
{
    const CDIB& image = BoundImage();
    const auto firstByte = [&image](int px, int py) -> int {
        if (px < 0 || py < 0 || px >= image.GetWidth() || py >= image.GetHeight())
            return 0;
        return image.GetRow(py)[static_cast<size_t>(px) * static_cast<size_t>(image.GetBytes())];
    };
    std::string text;
    for (int row = y + 1; row >= y - 1; --row) {
        for (int column = x + 1; column >= x - 1; --column) {
            text += std::to_string(firstByte(column, row));
            if (column > x - 1)
                text += separator.GetString();
        }
        text += '\n';
    }
    kestrun::CAtomicFileWriter writer(fileName);
    writer.Write(text.data(), text.size());
    writer.Commit();
}

int CSegObj::ScanRow(CPoint& position, int step, int mode)
{
    if (step == 0)
        AfxThrowInvalidArgException();
    const CDIB& image = BoundImage();
    const CAOI& aoi = BoundAOI();
    const CSegThres& threshold = BoundThreshold();
    const int y = position.y;
    if (!aoi.Contains(position.x, y)) {
        position.x = std::max(position.x, 0);
        position.y = std::max(position.y, 0);
        return 1;
    }
    if (!aoi.Contains(position.x + step, y))
        return 1;
    const auto isObject = [&](int x) { return threshold.IsObjectColor(image.GetPixel(x, y)) != FALSE; };
    for (;;) {
        position.x += step;
        const COLORREF color = image.GetPixel(position.x, y);
        const int next = position.x + step;
        const bool nextInside = aoi.Contains(next, y);
        switch (mode) {
        case 0:
            if (threshold.IsMarkColor(color))
                return 0;
            if (!threshold.IsObjectColor(color)) {
                position.x -= step;
                return 1;
            }
            break;
        case 1:
            if (threshold.IsMarkColor(color))
                return 0;
            if (!nextInside || !isObject(next))
                return 1;
            break;
        case 2:
            if (threshold.IsObjectColor(color) && (!nextInside || !isObject(next)))
                return 1;
            break;
        default:
            break;
        }
        if (!nextInside)
            return 1;
    }
}
