// The object search over a page's rows gives the answers of the search
// through Device::GetPixel and the threshold's virtual tests: on seeded
// random pages of runs (object, background and mark colours), 8 and 24
// bits, every threshold mode, a threshold class of its own, areas that
// hang over the page's edges, search steps of 1 to 3, and marks of the
// page's colour or of a mark mask. Also the row walk of the segmentation
// objects (CSegObj::ScanRow).

#include "analysis/aoi.h"
#include "analysis/markmask.h"
#include "analysis/segobj.h"
#include "analysis/segthres.h"
#include "outside/pixmere/dib.h"

#include "tracepage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// The page seen only through the pixel interface: the search reads it the
// slow way.
class CDeviceView : public Device
{
public:
    explicit CDeviceView(const CDIB& page) : m_page(page) {}
    int GetWidth() const override { return m_page.GetWidth(); }
    int GetHeight() const override { return m_page.GetHeight(); }
    int GetBitCount() const override { return m_page.GetBitCount(); }
    CDIB* GetDIB() override { return nullptr; }
    COLORREF GetPalEntry(int index) const override { return m_page.GetPalEntry(index); }
    COLORREF GetPixel(int x, int y) const override { return m_page.GetPixel(x, y); }
    void SetPixel(int, int, COLORREF) override {}

private:
    const CDIB& m_page;
};

// Object colours: more red than 128, whatever the limits say.
class CRedThreshold : public CSegThres
{
public:
    BOOL IsObjectColor(COLORREF color) const override { return GetRValue(color) > 128 ? TRUE : FALSE; }
};

struct sAnswer
{
    int result;
    int x;
    int y;
    int progress;
    bool operator==(const sAnswer&) const = default;
};

// Every answer of the search protocol; a found pixel is stepped over (the
// engine would trace and mark it).
std::vector<sAnswer> Search(CAOI& aoi, const Device& image, const CSegThres& threshold,
                           const kestrun::CMarkMask* marks = nullptr)
{
    std::vector<sAnswer> answers;
    CPoint position;
    if (!aoi.GetFirstScanPoint(position))
        return answers;
    while (aoi.m_nProgress < 1000) {
        const int result = aoi.FindNextObjectPixel(image, threshold, position, marks);
        answers.push_back({result, position.x, position.y, aoi.m_nProgress});
        if (result == 1)
            position.x += 1;
    }
    return answers;
}

// Runs of 1 to 40 pixels, each in one of the colours; for an 8-bit page
// the colours are grey levels.
CDIB RandomPage(int width, int height, int bits, const std::vector<COLORREF>& colors, std::mt19937& random)
{
    CDIB page;
    page.InitDIB(width, height, bits);
    std::uniform_int_distribution<size_t> pick(0, colors.size() - 1);
    std::uniform_int_distribution<int> length(1, 40);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width;) {
            const COLORREF color = colors[pick(random)];
            for (int end = std::min(width, x + length(random)); x < end; ++x)
                page.SetPixel(x, y, color);
        }
    }
    return page;
}

// Three object colours, three others and the mark colour of the threshold.
std::vector<COLORREF> SceneColors(const CSegThres& threshold, int bits, std::mt19937& random)
{
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<COLORREF> objects;
    std::vector<COLORREF> others;
    for (int tries = 0; tries < 20000 && (objects.size() < 3 || others.size() < 3); ++tries) {
        const int grey = byte(random);
        const COLORREF color = bits == 8 ? RGB(grey, grey, grey) : RGB(grey, byte(random), byte(random));
        if (color == threshold.m_MarkColor)
            continue;
        auto& list = threshold.IsObjectColor(color) ? objects : others;
        if (list.size() < 3)
            list.push_back(color);
    }
    std::vector<COLORREF> colors = objects;
    colors.insert(colors.end(), others.begin(), others.end());
    const BYTE markGrey = GetGValue(threshold.m_MarkColor);
    colors.push_back(bits == 8 ? RGB(markGrey, markGrey, markGrey) : threshold.m_MarkColor);
    return colors;
}

// Marks on about one pixel in twelve, in runs as traced outlines leave them.
void MarkRandomly(kestrun::CMarkMask& marks, std::mt19937& random)
{
    std::uniform_int_distribution<int> chance(0, 11);
    for (int y = 0; y < marks.GetHeight(); ++y)
        for (int x = 0; x < marks.GetWidth(); ++x)
            if (chance(random) == 0)
                for (int k = 0; k < 1 + x % 3; ++k)
                    marks.Mark(x + k, y);
}

std::vector<std::unique_ptr<CSegThres>> Thresholds()
{
    std::vector<std::unique_ptr<CSegThres>> thresholds;
    thresholds.push_back(std::make_unique<CSegThres>(RGB(90, 100, 110), RGB(240, 240, 240), CSegThres::modeDark));
    thresholds.push_back(std::make_unique<CSegThres>(RGB(10, 10, 10), RGB(150, 140, 160), CSegThres::modeBright));
    thresholds.push_back(std::make_unique<CSegThres>(RGB(40, 60, 80), RGB(200, 180, 160), CSegThres::modeBand));
    thresholds.push_back(std::make_unique<CSegThres>(RGB(40, 60, 80), RGB(200, 180, 160), CSegThres::modeOutside));
    // A band without room in one channel takes no colour at all.
    thresholds.push_back(std::make_unique<CSegThres>(RGB(40, 200, 80), RGB(200, 100, 160), CSegThres::modeBand));
    auto red = std::make_unique<CRedThreshold>();
    red->m_MarkColor = RGB(3, 250, 7);
    thresholds.push_back(std::move(red));
    return thresholds;
}

std::vector<std::unique_ptr<CAOI>> Areas(int width, int height)
{
    std::vector<std::unique_ptr<CAOI>> areas;
    areas.push_back(std::make_unique<CAOI2>(CRect(0, 0, width, height)));
    // Over the left and the top edge.
    areas.push_back(std::make_unique<CAOI2>(CRect(-7, -3, width - 20, height - 5)));
    // Over the right edge.
    areas.push_back(std::make_unique<CAOI2>(CRect(13, 2, width + 9, height)));
    auto ellipse = std::make_unique<CAOIEllipse>();
    ellipse->SetCenterAndRadii(width / 2, height / 2, width / 2 + 4, height / 2 - 2);
    areas.push_back(std::move(ellipse));
    return areas;
}

} // namespace

TEST(ObjectPixelScan, SameAnswersAsThePixelInterface)
{
    std::mt19937 random(20240611);
    constexpr int kWidth = 157;
    constexpr int kHeight = 23;
    for (const int bits : {24, 8}) {
        for (const auto& threshold : Thresholds()) {
            const std::vector<COLORREF> colors = SceneColors(*threshold, bits, random);
            const CDIB page = RandomPage(kWidth, kHeight, bits, colors, random);
            const CDeviceView view(page);
            kestrun::CMarkMask mask;
            mask.Cover(kWidth, kHeight);
            MarkRandomly(mask, random);
            const auto areas = Areas(kWidth, kHeight);
            const auto twins = Areas(kWidth, kHeight);
            for (size_t a = 0; a < areas.size(); ++a) {
                for (const int step : {1, 2, 3}) {
                    SCOPED_TRACE(testing::Message() << bits << " bits, mode " << threshold->m_Mode << ", area " << a
                                                    << ", step " << step);
                    areas[a]->m_nStep = step;
                    twins[a]->m_nStep = step;
                    EXPECT_EQ(Search(*areas[a], page, *threshold, &mask), Search(*twins[a], view, *threshold, &mask));
                    const std::vector<sAnswer> fast = Search(*areas[a], page, *threshold);
                    EXPECT_EQ(fast, Search(*twins[a], view, *threshold));
                    // Every scene but that of the empty band has objects to find.
                    const auto found =
                        std::count_if(fast.begin(), fast.end(), [](const sAnswer& s) { return s.result == 1; });
                    EXPECT_EQ(found > 0, threshold->GetLower() != RGB(40, 200, 80));
                }
            }
        }
    }
}

TEST(ObjectPixelScan, MarkedObjectsAreSkipped)
{
    // Object pixels behind a mark count only after background.
    const std::string row = "..M###..#M.###........................................##M####.##..";
    const CDIB page = tracetest::MakePage({row, std::string(row.size(), '.')});
    CAOI2 aoi = tracetest::WholePage(page);
    const CSegThres threshold = tracetest::DarkThreshold();
    std::vector<int> found;
    for (const sAnswer& answer : Search(aoi, page, threshold))
        if (answer.result == 1)
            found.push_back(answer.x);
    EXPECT_EQ(found, (std::vector<int>{8, 11, 12, 13, 54, 55, 62, 63}));

    // With a mask its marks count and the page's mark colour is background.
    const auto foundWith = [&](const kestrun::CMarkMask& marks) {
        std::vector<int> xs;
        for (const sAnswer& answer : Search(aoi, page, threshold, &marks))
            if (answer.result == 1)
                xs.push_back(answer.x);
        return xs;
    };
    kestrun::CMarkMask marks;
    marks.Cover(page.GetWidth(), page.GetHeight());
    std::vector<int> objects;
    for (int x = 0; x < static_cast<int>(row.size()); ++x) {
        if (row[static_cast<size_t>(x)] == 'M')
            marks.Mark(x, 0);
        if (row[static_cast<size_t>(x)] == '#')
            objects.push_back(x);
    }
    EXPECT_EQ(foundWith(marks), found);
    marks.Clear();
    EXPECT_EQ(foundWith(marks), objects);

    kestrun::CMarkMask smaller;
    smaller.Cover(page.GetWidth() - 1, page.GetHeight());
    CPoint position;
    aoi.GetFirstScanPoint(position);
    EXPECT_THROW(aoi.FindNextObjectPixel(page, threshold, position, &smaller), CInvalidArgException);
}

TEST(SegObjScanRow, MovesToTheEdgeOfTheObject)
{
    CDIB page = tracetest::MakePage({"..###.M##..#####"});
    CAOI2 aoi = tracetest::WholePage(page);
    CSegThres threshold = tracetest::DarkThreshold();
    CSegObj object(&page, &aoi, &threshold);
    struct sCase
    {
        int x;
        int step;
        int mode;
        int result;
        int endX;
    };
    const sCase cases[] = {
        {2, 1, 0, 1, 4},   {5, 1, 0, 0, 6},   {11, 1, 0, 1, 15}, {4, -1, 0, 1, 2},  {2, 1, 1, 1, 4},
        {5, 1, 1, 0, 6},   {0, 1, 1, 1, 4},   {0, 1, 2, 1, 4},   {5, 1, 2, 1, 8},   {12, 1, 2, 1, 15},
        {15, 1, 0, 1, 15}, {15, 1, 2, 1, 15}, {9, -1, 2, 1, 7},  {0, 2, 2, 1, 4},   {1, 5, 7, 1, 11},
    };
    for (const sCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << " step " << c.step << " mode " << c.mode);
        CPoint position(c.x, 0);
        EXPECT_EQ(object.ScanRow(position, c.step, c.mode), c.result);
        EXPECT_EQ(position, CPoint(c.endX, 0));
    }
}

TEST(SegObjScanRow, OutsideTheAreaAndStepZero)
{
    CDIB page = tracetest::MakePage({"..###.M##..#####"});
    CAOI2 aoi = tracetest::WholePage(page);
    CSegThres threshold = tracetest::DarkThreshold();
    CSegObj object(&page, &aoi, &threshold);

    CPoint position(-3, -2);
    EXPECT_EQ(object.ScanRow(position, 1, 0), 1);
    EXPECT_EQ(position, CPoint(0, 0));
    position = CPoint(20, 0);
    EXPECT_EQ(object.ScanRow(position, 1, 0), 1);
    EXPECT_EQ(position, CPoint(20, 0));
    position = CPoint(2, 0);
    EXPECT_THROW(object.ScanRow(position, 0, 0), CInvalidArgException);
}
