// The main run never takes page pixels for its own marks, and no outline
// is too long: pages whose pixels have the mark colour (as background, as
// noise beside objects, or as the objects' own colour) give the records of
// the same objects on a neutral page, an outline far longer than the
// tracer's first store is one object, and the page is the same bit for
// bit after every run.

#include "enginescene.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <tuple>
#include <vector>

using enginetest::CEngineScene;

namespace {

// What a run measured of one object.
struct sMeasured
{
    LONG area = 0;
    CRect box = CRect(0, 0, 0, 0);
    CPoint centroid;
    COLORREF meanColour = 0;
    float formFactor = 0.0f;
    INT_PTR steps = 0;
    int holes = 0;
    int nuclei = 0;

    bool operator==(const sMeasured&) const = default;
};

void PrintTo(const sMeasured& m, std::ostream* out)
{
    *out << "area " << m.area << " box (" << m.box.left << "," << m.box.top << ")-(" << m.box.right << ","
         << m.box.bottom << ") centroid (" << m.centroid.x << "," << m.centroid.y << ") steps " << m.steps
         << " holes " << m.holes << " nuclei " << m.nuclei;
}

// One run over the whole page; the page must come back unchanged.
std::vector<sMeasured> Count(CEngineScene& scene)
{
    const std::vector<BYTE> before = tracetest::PixelBytes(scene.page);
    scene.results.RemoveAll();
    CAOI2 aoi = scene.WholePage();
    scene.Run(aoi);
    EXPECT_EQ(tracetest::PixelBytes(scene.page), before) << "the run changed the page";
    std::vector<sMeasured> records;
    for (const CObjData* record : scene.Records())
        records.push_back({record->m_lArea, record->m_Rect, record->m_ptCentroid, record->m_MeanColor,
                           record->m_FF, record->m_Chain.GetSize(), record->GetHoleCount(), record->m_nNuclei});
    return records;
}

cv::Scalar Grey(int value)
{
    return cv::Scalar::all(value);
}

// A grid of discs, 60 pixels apart, radii 5 to 14.
void DrawDiscs(cv::Mat& pixels, int columns, int rows, const cv::Scalar& colour)
{
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            cv::circle(pixels, cv::Point(40 + 60 * column, 40 + 60 * row), 5 + (row * columns + column) % 10, colour,
                       cv::FILLED, cv::LINE_8);
}

// 2 x 2 cells: rings with a nucleus in the hole.
void DrawCells(cv::Mat& pixels, const cv::Scalar& colour, const cv::Scalar& hole)
{
    for (const cv::Point centre : {cv::Point(75, 75), cv::Point(225, 75), cv::Point(75, 225), cv::Point(225, 225)}) {
        cv::circle(pixels, centre, 40, colour, cv::FILLED, cv::LINE_8);
        cv::circle(pixels, centre, 20, hole, cv::FILLED, cv::LINE_8);
        cv::circle(pixels, centre, 6, colour, cv::FILLED, cv::LINE_8);
    }
}

// A comb: a back 2 rows high from x 10 to 987 at y 10, and 245 teeth 2
// pixels wide and 100 long below it, 2 pixels apart.
constexpr int kTeeth = 245;
constexpr int kToothLength = 100;

void DrawComb(cv::Mat& pixels, const cv::Scalar& colour)
{
    cv::rectangle(pixels, cv::Rect(10, 10, 4 * kTeeth - 2, 2), colour, cv::FILLED);
    for (int tooth = 0; tooth < kTeeth; ++tooth)
        cv::rectangle(pixels, cv::Rect(10 + 4 * tooth, 12, 2, kToothLength), colour, cv::FILLED);
}

// Every pixel of the background value, with the given chance, becomes the
// noise value.
void Salt(cv::Mat& pixels, const cv::Scalar& background, const cv::Scalar& noise, double chance)
{
    std::mt19937 random(20240611);
    std::bernoulli_distribution hit(chance);
    cv::Mat isBackground;
    cv::inRange(pixels, background, background, isBackground);
    for (int y = 0; y < pixels.rows; ++y)
        for (int x = 0; x < pixels.cols; ++x)
            if (isBackground.at<BYTE>(y, x) && hit(random))
                pixels(cv::Rect(x, y, 1, 1)).setTo(noise);
}

struct sTruthCase
{
    const char* name;
    int width;
    int height;
    int bits;
    CSegThres threshold;
    int background;
    // The objects, drawn on the page.
    std::function<void(cv::Mat&)> objects;
    // Pixels of the mark colour that the threshold takes for background;
    // none on the twin page.
    std::function<void(cv::Mat&)> noise;
    // The background of the twin page, which holds no mark colour.
    int twinBackground;
    int count;
    // Feature bits of the profile besides the default ones.
    DWORD features = 0;
    // Of the first record when not 0: its area, its box, and a chain
    // longer than this.
    LONG area = 0;
    CRect box = CRect(0, 0, 0, 0);
    INT_PTR longerThan = 0;
};

std::vector<sTruthCase> TruthCases()
{
    const CSegThres bright(RGB(0, 0, 0), RGB(128, 128, 128), CSegThres::modeBright);
    const CSegThres dark(RGB(128, 128, 128), RGB(240, 240, 240), CSegThres::modeDark);
    const CSegThres darkDiscs = tracetest::DarkThreshold();
    // As a profile may hold it: the objects' own colour.
    CSegThres markedObjects = darkDiscs;
    markedObjects.m_MarkColor = enginetest::kDark;
    const auto discs = [](int columns, int rows) {
        return [=](cv::Mat& p) { DrawDiscs(p, columns, rows, enginetest::ToBGR(enginetest::kDark)); };
    };
    const auto none = [](cv::Mat&) {};
    return {
        {"0/255 mask, bright objects", 300, 300, 8, bright, 0, [](cv::Mat& p) { DrawDiscs(p, 4, 4, Grey(255)); },
         none, 60, 16},
        {"0/255 mask, dark objects", 300, 300, 8, dark, 255, [](cv::Mat& p) { DrawDiscs(p, 4, 4, Grey(0)); }, none,
         200, 16},
        {"dark discs on white", 300, 300, 24, darkDiscs, 255, discs(4, 4), none, 200, 16},
        {"objects in the mark colour", 300, 300, 24, markedObjects, 200, discs(4, 4), none, 200, 16},
        {"salted field", 620, 500, 24, darkDiscs, 200, discs(10, 8),
         [](cv::Mat& p) { Salt(p, Grey(200), Grey(255), 0.01); }, 200, 80},
        // The area is that of the polygon through the outline pixels' centres.
        // The nuclei are searched inside each record's outline again.
        {"cells with holes and nuclei on white", 300, 300, 24, darkDiscs, 255,
         [](cv::Mat& p) { DrawCells(p, enginetest::ToBGR(enginetest::kDark), Grey(200)); }, none, 200, 8,
         featureNuclei | featureHoleArea},
        {"mark colour beside a square", 60, 60, 24, darkDiscs, 200,
         [](cv::Mat& p) { cv::rectangle(p, cv::Rect(20, 20, 10, 10), Grey(20), cv::FILLED); },
         [](cv::Mat& p) { p(cv::Rect(30, 25, 1, 1)).setTo(Grey(255)); }, 200, 1, 0, 9 * 9, CRect(20, 20, 29, 29)},
        // The comb's polygon: the back (977 x 1 between the centres of its
        // end columns and rows), the teeth (1 x 100 each, down to the centre
        // of the last row) and, at each gap, the two inner corners, which
        // the outline cuts by half a pixel each.
        {"comb longer than the first store", 1000, 1000, 24, darkDiscs, 200,
         [](cv::Mat& p) { DrawComb(p, Grey(20)); }, none, 200, 1, 0,
         977 * 1 + kTeeth * 1 * kToothLength + (kTeeth - 1) * 2 / 2,
         CRect(10, 10, 987, 111), 30000},
    };
}

} // namespace

TEST(EngineTruth, PagePixelsAreNeverMarksAndNoOutlineIsTooLong)
{
    for (const sTruthCase& truth : TruthCases()) {
        SCOPED_TRACE(truth.name);
        CEngineScene scene(truth.width, truth.height, truth.bits);
        scene.engine.GetSettings().m_SegThres = truth.threshold;
        scene.Form().m_Type |= truth.features;

        cv::Mat pixels = scene.page.GetMat();
        pixels.setTo(Grey(truth.twinBackground));
        truth.objects(pixels);
        const std::vector<sMeasured> clean = Count(scene);

        cv::Mat background;
        cv::inRange(pixels, Grey(truth.twinBackground), Grey(truth.twinBackground), background);
        pixels.setTo(Grey(truth.background), background);
        truth.noise(pixels);
        const std::vector<sMeasured> found = Count(scene);
        EXPECT_EQ(static_cast<int>(found.size()), truth.count);
        EXPECT_EQ(found, clean);
        if (truth.area != 0 && !found.empty()) {
            EXPECT_EQ(found[0].area, truth.area);
            EXPECT_EQ(found[0].box, truth.box);
            EXPECT_GT(found[0].steps, truth.longerThan);
        }
    }
}

TEST(EngineTruth, CentreMeasuresIgnoreTheMarkColour)
{
    const auto measure = [](int background) {
        CEngineScene scene(300, 200);
        scene.engine.m_AOIDoc.SetImageSize(300, 200, true);
        cv::Mat pixels = scene.page.GetMat();
        pixels.setTo(Grey(background));
        DrawDiscs(pixels, 4, 3, enginetest::ToBGR(enginetest::kDark));
        const std::vector<BYTE> before = tracetest::PixelBytes(scene.page);
        float offset = -1.0f;
        scene.engine.GetCentreOffset(&scene.page, offset);
        POINT centre{0, 0};
        CRPolygon polygon;
        scene.engine.FindCentralObject(centre, &scene.page, nullptr, polygon);
        EXPECT_EQ(tracetest::PixelBytes(scene.page), before);
        return std::make_tuple(offset, centre.x, centre.y, polygon.GetSize());
    };
    const auto neutral = measure(200);
    EXPECT_GT(std::get<3>(neutral), 0);
    EXPECT_EQ(measure(255), neutral);
}
