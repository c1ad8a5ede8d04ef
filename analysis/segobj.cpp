#include "analysis/segobj.h"

#include "outside/pixmere/dib.h"
#include "platform/core/atomicfile.h"

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
