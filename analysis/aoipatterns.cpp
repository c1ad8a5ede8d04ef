#include "analysis/aoipatterns.h"

#include "analysis/aoiwalk.h"
#include "objectmodel/normstat.h"
#include "outside/pixmere/dib.h"
#include "platform/core/messagebox.h"

#include <cmath>
#include <cstdlib>

namespace {

long long PixelCount(const CDIB& page)
{
    return static_cast<long long>(page.GetWidth()) * page.GetHeight();
}

bool IsBorderPattern(const CAOI& aoi, const CDIB& pattern)
{
    return PixelCount(pattern) == 2LL * aoi.GetHeight();
}

// Pixel k of the pattern read row by row.
COLORREF PatternPixel(const CDIB& pattern, int k)
{
    return pattern.GetPixel(k % pattern.GetWidth(), k / pattern.GetWidth());
}

double Spread(const CNormStat& stat)
{
    return stat.GetVariance() == 0.0 ? 0.0 : std::sqrt(stat.GetVariance());
}

} // namespace

bool LearnBorderPattern(const CAOI& aoi, const Device& image, CDIB* pattern)
{
    if (pattern == nullptr || !pattern->InitDIB(2 * aoi.GetHeight(), 1, image.GetBitCount()))
        return false;
    for (int r = 0; r < aoi.GetHeight(); ++r) {
        const int y = aoi.GetTop() + r;
        pattern->SetPixel(2 * r, 0, image.GetPixel(aoi.GetRowLeft(y), y));
        pattern->SetPixel(2 * r + 1, 0, image.GetPixel(aoi.GetRowRight(y), y));
    }
    return true;
}

bool CompareBorderPattern(const CAOI& aoi, const CDIB* pattern, const Device& image, Color_Double& mean,
                          Color_Double& spread)
{
    if (pattern == nullptr || !IsBorderPattern(aoi, *pattern)) {
        AfxMessageBox("Template pattern size does not match to area border size!");
        return false;
    }
    CNormStat red;
    CNormStat green;
    CNormStat blue;
    int k = 0;
    for (int r = 0; r < aoi.GetHeight(); ++r) {
        const int y = aoi.GetTop() + r;
        for (const int x : {aoi.GetRowLeft(y), aoi.GetRowRight(y)}) {
            if (!kestrun::IsInImage(image, x, y))
                return false;
            const COLORREF a = image.GetPixel(x, y);
            const COLORREF b = PatternPixel(*pattern, k++);
            red.AddValue(std::abs(GetRValue(a) - GetRValue(b)));
            green.AddValue(std::abs(GetGValue(a) - GetGValue(b)));
            blue.AddValue(std::abs(GetBValue(a) - GetBValue(b)));
        }
    }
    red.Finish();
    green.Finish();
    blue.Finish();
    mean = Color_Double(red.GetMean(), green.GetMean(), blue.GetMean());
    spread = Color_Double(Spread(red), Spread(green), Spread(blue));
    return true;
}

bool PastePattern(const CAOI& aoi, const CDIB* pattern, Device& image)
{
    if (pattern == nullptr || PixelCount(*pattern) == 0)
        return false;
    if (IsBorderPattern(aoi, *pattern)) {
        for (int r = 0; r < aoi.GetHeight(); ++r) {
            const int y = aoi.GetTop() + r;
            image.SetPixel(aoi.GetRowLeft(y), y, PatternPixel(*pattern, 2 * r));
            image.SetPixel(aoi.GetRowRight(y), y, PatternPixel(*pattern, 2 * r + 1));
        }
        return true;
    }
    // Equal area alone is not enough: a pattern of another shape would be
    // read outside itself.
    if (pattern->GetWidth() != aoi.GetWidth() || pattern->GetHeight() != aoi.GetHeight())
        return false;
    kestrun::ForEachBorderPixel(aoi, [&](int x, int y) {
        image.SetPixel(x, y, pattern->GetPixel(x - aoi.GetLeft(), y - aoi.GetTop()));
    });
    return true;
}
