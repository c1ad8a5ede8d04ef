// The main run on several threads: the same records as on one thread, in
// the same order and the same bytes in the stored form, and the page as it
// was. The pages put objects across every stripe border, one over all
// stripes, on the area's border and inside each other's holes.

#include "analysis/bv.h"
#include "analysis/objdata.h"
#include "analysis/resultdocument.h"
#include "objectmodel/xmlarchive.h"
#include "platform/core/file.h"

#include "enginescene.h"
#include "tracepage.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using enginetest::CEngineScene;
using enginetest::sDisc;

constexpr int kStripePageWidth = 160;
constexpr int kStripePageHeight = 120;

// Every record as the result table stores it, then what the stored form
// leaves out: outline points, chain codes, holes, markers.
std::string ExportRecords(const CResultObjectList& results)
{
    CMemFile stream;
    CXMLArchive xml("records.xml", CArchive::store, &stream);
    xml.GetChildNode("Objects");
    for (int i = 0; i < results.GetObjectCount(); ++i)
        results.GetObjectAt(i)->Serialize(xml);
    xml.GetCurrentNode()->EndNode();
    xml.Close();
    std::ostringstream text;
    text.write(reinterpret_cast<const char*>(stream.Data().data()), static_cast<std::streamsize>(stream.Data().size()));
    for (int i = 0; i < results.GetObjectCount(); ++i) {
        const auto* record = dynamic_cast<const CObjData*>(results.GetObjectAt(i));
        if (record == nullptr)
            continue;
        text << "\n#" << i << " link " << record->m_Link << " border " << record->m_bHitBoundary << " moving "
             << record->m_nMoving << " holes " << record->GetHoleCount() << " chain "
             << record->m_Chain.m_nStartX << "," << record->m_Chain.m_nStartY << ":";
        for (const BYTE code : record->m_Chain)
            text << static_cast<int>(code);
        text << " points";
        for (const POINT& p : record->m_Polygon)
            text << ' ' << p.x << ',' << p.y;
    }
    return text.str();
}

// Seeded discs of random size anywhere on the page, some touching.
void DrawRandomDiscs(CEngineScene& scene, int count, int maxRadius, uint64_t seed)
{
    cv::RNG rng(seed);
    for (int i = 0; i < count; ++i)
        scene.Draw({{rng.uniform(0, kStripePageWidth), rng.uniform(0, kStripePageHeight)}, rng.uniform(1, maxRadius + 1)});
}

// Dark speckles on a quarter of the pixels: blobs of every shape, one
// pixel lines, diagonal contacts, holes in holes.
void DrawSpeckles(CEngineScene& scene, uint64_t seed)
{
    cv::Mat noise(kStripePageHeight, kStripePageWidth, CV_8U);
    cv::RNG(seed).fill(noise, cv::RNG::UNIFORM, 0, 4);
    scene.page.GetMat().setTo(enginetest::ToBGR(enginetest::kDark), noise == 0);
}

struct sStripeCase
{
    const char* name;
    std::function<void(CEngineScene&)> draw;
    // The areas run one after the other; a rectangle with sub-areas runs
    // cell by cell.
    std::function<std::vector<std::unique_ptr<CAOI>>()> areas;
    bool holes = false;
    bool smoothing = false;
    // Feature bits beyond the profile's.
    UINT features = 0;
    // Objects outside these areas fail the form thresholds; 0: no limit.
    float minArea = 0.0f;
    float maxArea = 0.0f;
    int bits = 24;
    // "ConCutType": touching objects cut apart before their records.
    int cut = 0;
};

std::vector<std::unique_ptr<CAOI>> StripeWholePage()
{
    std::vector<std::unique_ptr<CAOI>> areas;
    areas.push_back(std::make_unique<CAOI2>(CRect(0, 0, kStripePageWidth, kStripePageHeight)));
    return areas;
}

std::vector<sStripeCase> StripeCases()
{
    std::vector<sStripeCase> cases;
    cases.push_back({"separated discs",
                     [](CEngineScene& s) {
                         for (int y = 8; y < kStripePageHeight; y += 18)
                             for (int x = 8; x < kStripePageWidth; x += 18)
                                 s.Draw({{x + (y % 5), y}, 3 + (x + y) % 5});
                     },
                     StripeWholePage});
    cases.push_back({"touching pairs",
                     [](CEngineScene& s) {
                         for (int y = 10; y < kStripePageHeight; y += 24)
                             for (int x = 10; x < kStripePageWidth; x += 30) {
                                 s.Draw({{x, y}, 6});
                                 s.Draw({{x + 12, y + (x % 3)}, 6});
                             }
                     },
                     StripeWholePage, false, false, featureLength | featureWidth | featureConvexity});
    cases.push_back({"rings with holes and discs inside",
                     [](CEngineScene& s) {
                         for (int x = 20; x < kStripePageWidth; x += 40) {
                             s.Draw({{x, 30}, 18, enginetest::kDark, 9});
                             s.Draw({{x, 30}, 4});
                             s.Draw({{x, 85}, 15, enginetest::kDark, 6});
                         }
                     },
                     StripeWholePage, true});
    cases.push_back({"objects across every stripe border",
                     [](CEngineScene& s) { DrawRandomDiscs(s, 60, 14, 7); }, StripeWholePage, false, false, 0, 40.0f,
                     300.0f});
    cases.push_back({"one object over all stripes",
                     [](CEngineScene& s) {
                         cv::Mat pixels = s.page.GetMat();
                         const cv::Scalar dark = enginetest::ToBGR(enginetest::kDark);
                         // A comb: a spine down the page with teeth, holes between them.
                         cv::rectangle(pixels, cv::Rect(70, 0, 6, kStripePageHeight), dark, cv::FILLED);
                         for (int y = 2; y < kStripePageHeight; y += 9)
                             cv::line(pixels, {40, y}, {120, y + 3}, dark);
                         cv::rectangle(pixels, cv::Rect(40, 0, 3, kStripePageHeight), dark, cv::FILLED);
                         s.Draw({{140, 60}, 50, enginetest::kDark, 40});
                         s.Draw({{140, 60}, 8});
                     },
                     StripeWholePage, true});
    cases.push_back({"speckles", [](CEngineScene& s) { DrawSpeckles(s, 11); }, StripeWholePage, true});
    cases.push_back({"speckles, no holes kept", [](CEngineScene& s) { DrawSpeckles(s, 13); }, StripeWholePage});
    cases.push_back({"speckles on an 8-bit page", [](CEngineScene& s) { DrawSpeckles(s, 14); }, StripeWholePage, true,
                     false, 0, 0.0f, 0.0f, 8});
    cases.push_back({"an area over the page's edges",
                     [](CEngineScene& s) { DrawRandomDiscs(s, 40, 12, 27); },
                     [] {
                         std::vector<std::unique_ptr<CAOI>> areas;
                         areas.push_back(std::make_unique<CAOI2>(
                             CRect(-10, -7, kStripePageWidth + 12, kStripePageHeight + 9)));
                         return areas;
                     }});
    cases.push_back({"speckles, smoothed", [](CEngineScene& s) { DrawSpeckles(s, 12); }, StripeWholePage, true, true});
    cases.push_back({"objects on the area's border",
                     [](CEngineScene& s) { DrawRandomDiscs(s, 40, 12, 21); },
                     [] {
                         std::vector<std::unique_ptr<CAOI>> areas;
                         areas.push_back(std::make_unique<CAOI2>(CRect(15, 9, 140, 100)));
                         return areas;
                     }});
    cases.push_back({"two areas of interest",
                     [](CEngineScene& s) { DrawRandomDiscs(s, 50, 10, 33); },
                     [] {
                         std::vector<std::unique_ptr<CAOI>> areas;
                         areas.push_back(std::make_unique<CAOI2>(CRect(0, 0, 80, kStripePageHeight)));
                         auto ellipse = std::make_unique<CAOIEllipse>();
                         ellipse->SetCenterAndRadii(110, 60, 45, 55);
                         areas.push_back(std::move(ellipse));
                         return areas;
                     }});
    cases.push_back({"sub-areas",
                     [](CEngineScene& s) { DrawRandomDiscs(s, 50, 12, 45); },
                     [] {
                         std::vector<std::unique_ptr<CAOI>> areas;
                         auto area = std::make_unique<CAOI2>(CRect(4, 4, kStripePageWidth - 4, kStripePageHeight - 4));
                         area->CreateRaster(2, 2, 0);
                         areas.push_back(std::move(area));
                         return areas;
                     }});
    // Conglomerate cutting: each outline is cut on its own, the parts in
    // the order of one thread.
    const auto touchingPairs = [](CEngineScene& s) {
        for (int y = 10; y < kStripePageHeight; y += 24)
            for (int x = 10; x < kStripePageWidth; x += 30) {
                s.Draw({{x, y}, 6 + x % 4});
                s.Draw({{x + 11, y + (x % 3)}, 6});
            }
    };
    const auto chains = [](CEngineScene& s) {
        // Rows of three and four overlapping discs, across stripe borders.
        for (int y = 12; y < kStripePageHeight; y += 26)
            for (int x = 8; x + 40 < kStripePageWidth; x += 50)
                for (int k = 0; k < 3 + (y / 26) % 2; ++k)
                    s.Draw({{x + 12 * k, y + 3 * k}, 7});
    };
    const auto ringsTouching = [](CEngineScene& s) {
        for (int x = 24; x < kStripePageWidth; x += 50) {
            s.Draw({{x, 30}, 16, enginetest::kDark, 5});
            s.Draw({{x + 19, 38}, 10});
            s.Draw({{x, 85}, 14});
            s.Draw({{x + 20, 88}, 11, enginetest::kDark, 4});
        }
    };
    for (const int cut : {1, 2}) {
        const bool defects = cut == 1;
        cases.push_back({defects ? "touching pairs, cut at defects" : "touching pairs, cut by watershed", touchingPairs,
                         StripeWholePage, false, false, featureLength | featureWidth | featureConvexity});
        cases.back().cut = cut;
        cases.push_back({defects ? "chains of discs, cut at defects" : "chains of discs, cut by watershed", chains,
                         StripeWholePage});
        cases.back().cut = cut;
        cases.push_back({defects ? "random touching discs, cut at defects" : "random touching discs, cut by watershed",
                         [](CEngineScene& s) { DrawRandomDiscs(s, 45, 11, 28); }, StripeWholePage, false, true});
        cases.back().cut = cut;
        cases.push_back({defects ? "rings touching discs, holes kept, cut at defects"
                                 : "rings touching discs, holes kept, cut by watershed",
                         ringsTouching, StripeWholePage, true});
        cases.back().cut = cut;
        // Dense speckles: blobs of every shape, touching in every way.
        cases.push_back({defects ? "dense speckles, cut at defects" : "dense speckles, cut by watershed",
                         [](CEngineScene& s) {
                             DrawSpeckles(s, 17);
                             DrawSpeckles(s, 18);
                         },
                         StripeWholePage});
        cases.back().cut = cut;
    }
    return cases;
}

// The count, the records and the page after running every area of the
// case with the given threads.
struct sRunResult
{
    int passed = 0;
    std::string records;
    // What the run tells of steps not done for every object.
    std::string notes;
    std::vector<BYTE> page;
};

sRunResult RunCase(const sStripeCase& c, int threads)
{
    CEngineScene scene(kStripePageWidth, kStripePageHeight, c.bits);
    c.draw(scene);
    if (c.holes)
        scene.Form().m_Type |= featureHoleArea;
    scene.Form().m_Type |= c.features;
    if (c.maxArea > 0.0f) {
        CClassVector& filter = scene.Form().m_ObjectFilter;
        filter.m_Min.m_dwFeatureFlags |= featureArea;
        filter.m_Max.m_dwFeatureFlags |= featureArea;
        filter.m_Min.m_fArea = c.minArea;
        filter.m_Max.m_fArea = c.maxArea;
    }
    scene.engine.GetSettings().m_ObjectFilter.m_Smoothing = c.smoothing ? 1 : 0;
    scene.engine.GetSettings().m_ObjectFilter.m_ConCutType = c.cut;
    // Shallow necks are cut too: more cuts, more parts cut again.
    scene.engine.GetSettings().m_ObjectFilter.m_ConCutThres = 6.0f;
    scene.engine.SetThreadCount(threads);
    sRunResult result;
    for (const std::unique_ptr<CAOI>& area : c.areas()) {
        if (area->GetRaster() != nullptr)
            result.passed += scene.engine.AnalyseSubAreas(&scene.page, area.get(), &scene.results);
        else
            result.passed += scene.Run(*area);
        result.notes += static_cast<const char*>(scene.engine.GetRunDiagnostics().FormatMessage());
    }
    result.records = ExportRecords(scene.results);
    result.page = tracetest::PixelBytes(scene.page);
    return result;
}

TEST(EngineStripes, EveryThreadCountGivesTheRecordsOfOneThread)
{
    for (const sStripeCase& c : StripeCases()) {
        SCOPED_TRACE(c.name);
        const sRunResult single = RunCase(c, 1);
        ASSERT_GT(single.passed, 0);
        CEngineScene drawn(kStripePageWidth, kStripePageHeight, c.bits);
        c.draw(drawn);
        EXPECT_EQ(single.page, tracetest::PixelBytes(drawn.page));
        if (c.cut != 0) {
            // The cut is there to be compared.
            sStripeCase plain = c;
            plain.cut = 0;
            EXPECT_NE(RunCase(plain, 1).records, single.records);
        }
        for (const int threads : {2, 3, 8}) {
            SCOPED_TRACE(threads);
            const sRunResult several = RunCase(c, threads);
            EXPECT_EQ(several.passed, single.passed);
            EXPECT_EQ(several.records, single.records);
            EXPECT_EQ(several.notes, single.notes);
            EXPECT_EQ(several.page, single.page);
        }
    }
}

} // namespace
