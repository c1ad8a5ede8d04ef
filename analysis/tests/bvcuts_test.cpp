// Conglomerate cutting: the cut searches on small contours, and the main
// run cutting seeded pairs of touching discs into one record per disc.

#include "analysis/cutlines.h"
#include "analysis/cvcontours.h"
#include "analysis/objectfilter.h"

#include "enginescene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <random>
#include <string>
#include <vector>

using enginetest::CEngineScene;
using enginetest::sDisc;

namespace cuttest {

// The 8-connected outline of the square (x0, y0)-(x1, y1), clockwise, closed.
CRPolygon Square(int x0, int y0, int x1, int y1)
{
    CRPolygon square;
    for (int x = x0; x < x1; ++x)
        square.Add(POINT{x, y0});
    for (int y = y0; y < y1; ++y)
        square.Add(POINT{x1, y});
    for (int x = x1; x > x0; --x)
        square.Add(POINT{x, y1});
    for (int y = y1; y >= y0; --y)
        square.Add(POINT{x0, y});
    square.m_bClosed = TRUE;
    return square;
}

// The outer outline of the mask's first object.
CRPolygon Outline(const cv::Mat& mask)
{
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(mask.clone(), contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
    CRPolygon polygon;
    for (const cv::Point& p : contours.at(0))
        polygon.Add(POINT{p.x, p.y});
    polygon.Add(polygon[0]);
    polygon.m_bClosed = TRUE;
    return polygon;
}

// A defect on the left side of the square (x = 10), opening to the left.
sConvexityDefect LeftDefect(int y, float depth, int opening = 10)
{
    return {5, y - opening / 2, 5, y - opening / 2 + opening, 10, y, depth};
}

struct sDefectCase
{
    const char* name;
    float sensitivity;
    std::vector<sConvexityDefect> defects;
    std::optional<POINT> from; // the cut's first point; none: no cut
    std::optional<POINT> to;
};

} // namespace cuttest

using namespace cuttest;

TEST(CutSearches, DefectCut)
{
    const CRPolygon square = Square(10, 10, 50, 50);
    const sConvexityDefect across{55, 26, 55, 22, 50, 24, 2.0F}; // right side, opening to the right
    const std::vector<sDefectCase> cases = {
        {"one shallow defect at 10", 10.0F, {LeftDefect(20, 0.6F)}, POINT{10, 20}, POINT{50, 20}},
        {"0.5 is not deeper than 0.5", 10.0F, {LeftDefect(20, 0.5F)}, std::nullopt, std::nullopt},
        {"first of equally deep", 10.0F, {LeftDefect(20, 3.0F), LeftDefect(40, 3.0F)}, POINT{10, 20}, POINT{50, 20}},
        {"deepest", 10.0F, {LeftDefect(20, 3.0F), LeftDefect(40, 4.0F)}, POINT{10, 40}, POINT{50, 40}},
        {"depth 50 over an opening of 3", 10.0F, {LeftDefect(20, 50.0F, 3)}, std::nullopt, std::nullopt},
        {"depth 30 over an opening of 3", 10.0F, {LeftDefect(20, 30.0F, 3)}, POINT{10, 20}, std::nullopt},
        {"sensitivity 0 needs more than 5", 0.0F, {LeftDefect(20, 4.9F)}, std::nullopt, std::nullopt},
        {"sensitivity 0, depth 5.1", 0.0F, {LeftDefect(20, 5.1F)}, POINT{10, 20}, POINT{50, 20}},
        {"sensitivity 4 needs more than 2.5", 4.9F, {LeftDefect(20, 2.4F)}, std::nullopt, std::nullopt},
        {"sensitivity 15 counts as 10", 15.0F, {LeftDefect(20, 0.6F)}, POINT{10, 20}, POINT{50, 20}},
        {"sensitivity -3 counts as 0", -3.0F, {LeftDefect(20, 0.6F)}, std::nullopt, std::nullopt},
        {"the defect across is the partner", 0.0F, {LeftDefect(20, 8.0F), across}, POINT{10, 20}, POINT{50, 24}},
        {"no defect", 10.0F, {}, std::nullopt, std::nullopt},
    };
    CBV engine;
    for (const sDefectCase& c : cases) {
        SCOPED_TRACE(c.name);
        engine.GetSettings().m_ObjectFilter.m_ConCutThres = c.sensitivity;
        CConvexityDefects defects;
        for (const sConvexityDefect& d : c.defects)
            defects.Add(d);
        CRPointArray cut;
        cut.Add(POINT{1, 1}); // emptied first
        engine.FindDefectCut(square, defects, cut);
        ASSERT_EQ(cut.IsEmpty(), !c.from.has_value());
        if (!c.from)
            continue;
        EXPECT_EQ(cut[0].x, c.from->x);
        EXPECT_EQ(cut[0].y, c.from->y);
        EXPECT_EQ(cut[cut.GetSize() - 1].x, c.to ? c.to->x : 50);
        if (c.to) {
            EXPECT_EQ(cut[cut.GetSize() - 1].y, c.to->y);
        }
        for (INT_PTR i = 1; i < cut.GetSize(); ++i)
            ASSERT_EQ(std::max(std::abs(cut[i].x - cut[i - 1].x), std::abs(cut[i].y - cut[i - 1].y)), 1);
    }
}

TEST(CutSearches, ShortContoursHoleJoinsAndWatershedCuts)
{
    CBV engine;
    engine.GetSettings().m_ObjectFilter.m_ConCutThres = 10.0F;
    CConvexityDefects defects;
    defects.Add(LeftDefect(20, 6.0F));
    const CRPolygon nearHole = Square(20, 15, 24, 19);
    const CRPolygon farHole = Square(30, 30, 34, 34);
    const CRPolygon distant = Square(1200, 1200, 1204, 1204);

    // 19 points: no search answers.
    CRPolygon nineteen = Square(10, 10, 14, 15);
    ASSERT_EQ(nineteen.GetSize(), 19);
    CRPointArray line;
    engine.FindDefectCut(nineteen, defects, line);
    EXPECT_TRUE(line.IsEmpty());
    EXPECT_EQ(CBV::FindHoleJoin(nineteen, defects, {&nearHole}, line), -1);
    EXPECT_TRUE(line.IsEmpty());
    CBV::FindWatershedCuts(nineteen, line, {});
    EXPECT_TRUE(line.IsEmpty());

    const CRPolygon square = Square(10, 10, 50, 50);
    struct sJoin
    {
        const char* name;
        std::vector<const CRPolygon*> holes;
        int index;
        POINT to;
    };
    for (const sJoin& c : std::vector<sJoin>{{"nearest of two", {&farHole, &nearHole}, 1, POINT{20, 19}},
                                             {"999 pixels or more away", {&distant}, -1, POINT{0, 0}},
                                             {"no holes", {}, -1, POINT{0, 0}}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CBV::FindHoleJoin(square, defects, c.holes, line), c.index);
        ASSERT_EQ(line.IsEmpty(), c.index < 0);
        if (c.index >= 0) {
            EXPECT_EQ(line[0].x, 10);
            EXPECT_EQ(line[0].y, 20);
            EXPECT_EQ(line[line.GetSize() - 1].x, c.to.x);
            EXPECT_EQ(line[line.GetSize() - 1].y, c.to.y);
        }
    }

    // One disc: no cut, also not from its right and bottom edge. Two
    // overlapping discs: one line from contour to contour, then (0, 0).
    cv::Mat one(80, 80, CV_8UC1, cv::Scalar(0));
    cv::circle(one, {40, 40}, 20, cv::Scalar(255), cv::FILLED);
    CBV::FindWatershedCuts(Outline(one), line, {});
    EXPECT_TRUE(line.IsEmpty());

    cv::Mat two(80, 110, CV_8UC1, cv::Scalar(0));
    cv::circle(two, {35, 40}, 20, cv::Scalar(255), cv::FILLED);
    cv::circle(two, {70, 40}, 20, cv::Scalar(255), cv::FILLED);
    const CRPolygon pair = Outline(two);
    CBV::FindWatershedCuts(pair, line, {});
    ASSERT_GE(line.GetSize(), 3);
    const POINT end = line[line.GetSize() - 1];
    EXPECT_TRUE(end.x == 0 && end.y == 0);
    EXPECT_GE(pair.FindPoint(line[0]), 0);
    EXPECT_GE(pair.FindPoint(line[line.GetSize() - 2]), 0);
    for (INT_PTR i = 0; i + 1 < line.GetSize(); ++i) {
        EXPECT_NE(line[i].x, 0);
        EXPECT_NEAR(line[i].x, 52.5, 2.0);
    }
}

TEST(CutSearches, AppendLinePointsJoinsLines)
{
    CRPointArray points;
    AppendLinePoints(0, 0, 3, 1, points);
    AppendLinePoints(3, 1, 3, 4, points);
    ASSERT_EQ(points.GetSize(), 7);
    EXPECT_EQ(points[3].x, 3);
    EXPECT_EQ(points[4].y, 2);
    AppendLinePoints(5, 5, 5, 5, points);
    EXPECT_EQ(points.GetSize(), 8);
}

namespace cuttest {

struct sScene
{
    std::string name;
    std::vector<sDisc> discs;
};

// Disc pairs at seeded orientations: equal and 2:1 radii, overlaps from
// 1.5 pixels to a third of the smaller radius; a chain of three and a
// disc with a hole touching another.
std::vector<sScene> TouchingDiscs()
{
    std::mt19937 random(28);
    std::uniform_real_distribution<double> angle(0.0, std::numbers::pi);
    std::vector<sScene> scenes;
    for (const auto& [r1, r2] : {std::pair{20, 20}, std::pair{24, 12}}) {
        for (const double overlap : {1.5, 3.0, std::min(r1, r2) / 3.0}) {
            const double a = angle(random);
            const double d = r1 + r2 - overlap;
            const cv::Point c1{100, 100};
            const cv::Point c2{100 + static_cast<int>(std::lround(d * std::cos(a))),
                               100 + static_cast<int>(std::lround(d * std::sin(a)))};
            scenes.push_back({"radii " + std::to_string(r1) + "/" + std::to_string(r2) + " overlap " +
                                  std::to_string(overlap) + " angle " + std::to_string(a),
                              {{c1, r1}, {c2, r2}}});
        }
    }
    scenes.push_back({"chain of three", {{{40, 100}, 18}, {{73, 100}, 18}, {{106, 100}, 18}}});
    scenes.push_back({"disc with a hole", {{{80, 100}, 24, enginetest::kDark, 4}, {{122, 100}, 20}}});
    return scenes;
}

// The area the run measures for the disc on its own.
double AloneArea(const sDisc& disc)
{
    CEngineScene scene(200, 200);
    scene.Form().m_Type |= featureHoleArea;
    scene.Draw(disc);
    CAOI2 aoi = scene.WholePage();
    scene.Run(aoi);
    return scene.Records().size() == 1 ? scene.Records().front()->GetArea() : 0.0;
}

} // namespace cuttest

TEST(ConglomerateCutting, OneRecordPerTouchingDisc)
{
    for (const int type : {CObjectFilter::conCutConvexDefects, CObjectFilter::conCutWatershed}) {
        for (const sScene& s : TouchingDiscs()) {
            SCOPED_TRACE(s.name + " type " + std::to_string(type));
            CEngineScene scene(200, 200);
            scene.engine.GetSettings().m_ObjectFilter.m_ConCutType = type;
            scene.engine.GetSettings().m_ObjectFilter.m_ConCutThres = 2.0F;
            scene.Form().m_Type |= featureHoleArea;
            std::vector<int> areas;
            for (const sDisc& disc : s.discs)
                areas.push_back(scene.Draw(disc));
            // Later discs overlap earlier ones: the truth of each is its
            // whole disc, less its hole, as the run measures it alone.
            CAOI2 aoi = scene.WholePage();
            scene.Run(aoi);
            ASSERT_EQ(scene.Records().size(), s.discs.size());
            EXPECT_EQ(scene.DiagnosticObjects("Conglomerate cutting"), -1);
            for (size_t i = 0; i < s.discs.size(); ++i) {
                const sDisc& disc = s.discs[i];
                const CObjData* record = scene.RecordAt(disc.centre);
                ASSERT_NE(record, nullptr) << "disc " << i;
                const double truth = AloneArea(disc);
                EXPECT_NEAR(record->GetArea(), truth, 0.1 * truth) << "disc " << i;
            }
        }
    }
}

TEST(ConglomerateCutting, ConvexObjectsAndOtherTypesStayWhole)
{
    const auto run = [](int type, const std::function<void(CEngineScene&)>& draw) {
        CEngineScene scene(200, 200);
        scene.engine.GetSettings().m_ObjectFilter.m_ConCutType = type;
        scene.engine.GetSettings().m_ObjectFilter.m_ConCutThres = 2.0F;
        draw(scene);
        CAOI2 aoi = scene.WholePage();
        scene.Run(aoi);
        return scene.Records().size();
    };
    const auto disc = [](CEngineScene& scene) { scene.Draw({{100, 100}, 30}); };
    const auto ellipse = [](CEngineScene& scene) {
        cv::ellipse(scene.page.GetMat(), {100, 100}, {40, 20}, 30.0, 0.0, 360.0, enginetest::ToBGR(enginetest::kDark),
                    cv::FILLED);
    };
    const auto pair = [](CEngineScene& scene) {
        scene.Draw({{80, 100}, 20});
        scene.Draw({{116, 100}, 20});
    };
    for (const int type : {CObjectFilter::conCutConvexDefects, CObjectFilter::conCutWatershed}) {
        EXPECT_EQ(run(type, disc), 1u) << type;
        EXPECT_EQ(run(type, ellipse), 1u) << type;
    }
    for (const int type : {static_cast<int>(CObjectFilter::conCutOff), 7, -1})
        EXPECT_EQ(run(type, pair), 1u) << type;
}

TEST(ConglomerateCutting, OutlinesThatTouchThemselvesEndTheCut)
{
    // Squares meeting at one corner pixel, and discs joined by a bridge
    // one pixel wide: their outlines pass the same pixels twice, where a
    // cut may split nothing. The run ends, and every object is counted.
    const auto corner = [](CEngineScene& scene) {
        cv::Mat pixels = scene.page.GetMat();
        const cv::Scalar dark = enginetest::ToBGR(enginetest::kDark);
        cv::rectangle(pixels, cv::Rect(40, 40, 30, 30), dark, cv::FILLED);
        cv::rectangle(pixels, cv::Rect(70, 70, 30, 30), dark, cv::FILLED);
    };
    const auto bridge = [](CEngineScene& scene) {
        scene.Draw({{60, 100}, 20});
        scene.Draw({{130, 100}, 20});
        cv::line(scene.page.GetMat(), {80, 100}, {110, 100}, enginetest::ToBGR(enginetest::kDark), 1);
    };
    for (const int type : {CObjectFilter::conCutConvexDefects, CObjectFilter::conCutWatershed}) {
        for (const auto& draw : {std::function<void(CEngineScene&)>(corner), std::function<void(CEngineScene&)>(bridge)}) {
            CEngineScene scene(200, 200);
            scene.engine.GetSettings().m_ObjectFilter.m_ConCutType = type;
            scene.engine.GetSettings().m_ObjectFilter.m_ConCutThres = 2.0F;
            draw(scene);
            CAOI2 aoi = scene.WholePage();
            scene.Run(aoi);
            // The defect search may leave the corner uncut; nothing is
            // made up.
            EXPECT_GE(scene.Records().size(), type == CObjectFilter::conCutWatershed ? 2u : 1u) << type;
            EXPECT_LE(scene.Records().size(), 2u) << type;
        }
    }
}

namespace cuttest {

// Outlines of touching discs: pairs, chains of three and four, a cross of
// five; each is cut, its parts cut again.
std::vector<sRunOutline> TouchingOutlines()
{
    std::vector<std::vector<sDisc>> groups;
    for (int k = 0; k < 6; ++k) {
        const int x = 40 + 60 * (k % 3);
        const int y = 40 + 110 * (k / 3);
        switch (k % 3) {
        case 0:
            groups.push_back({{{x, y}, 14}, {{x + 24, y + 3}, 12 - k}});
            break;
        case 1:
            groups.push_back({{{x, y}, 11}, {{x + 18, y + 4}, 11}, {{x + 36, y}, 11}, {{x + 50, y + 8}, 9}});
            break;
        default:
            groups.push_back({{{x, y + 30}, 12}, {{x + 20, y + 30}, 10}, {{x - 20, y + 30}, 10},
                              {{x, y + 10}, 10}, {{x, y + 50}, 10 + k}});
            break;
        }
    }
    std::vector<sRunOutline> outlines;
    for (const std::vector<sDisc>& group : groups) {
        cv::Mat mask = cv::Mat::zeros(260, 260, CV_8U);
        for (const sDisc& disc : group)
            cv::circle(mask, disc.centre, disc.radius, cv::Scalar(255), cv::FILLED);
        sRunOutline outline;
        outline.polygon = std::make_unique<CRPolygon>(Outline(mask));
        outline.polygon->m_nSpare = static_cast<int>(outlines.size());
        outlines.push_back(std::move(outline));
    }
    return outlines;
}

std::string PointsOf(const std::vector<sRunOutline>& outlines)
{
    std::string text;
    for (const sRunOutline& outline : outlines) {
        text += std::to_string(outline.polygon->m_nSpare) + ":";
        for (const POINT& p : *outline.polygon)
            text += " " + std::to_string(p.x) + "," + std::to_string(p.y);
        text += "\n";
    }
    return text;
}

} // namespace cuttest

TEST(ConglomerateCutting, OutlinesCutOnSeveralThreadsComeInTheOrderOfOneAfterTheOther)
{
    // A hole the outlines may take makes the cut go one outline after the
    // other; this one lies outside them all, so it changes nothing else.
    for (const int type : {CObjectFilter::conCutConvexDefects, CObjectFilter::conCutWatershed}) {
        SCOPED_TRACE(type);
        const auto cut = [type](int threads, bool farHole) {
            CBV engine;
            engine.GetSettings().m_ObjectFilter.m_ConCutType = type;
            engine.GetSettings().m_ObjectFilter.m_ConCutThres = 6.0F;
            engine.SetThreadCount(threads);
            std::vector<sRunOutline> outer = TouchingOutlines();
            std::vector<sRunOutline> holes;
            if (farHole)
                holes.emplace_back().polygon = std::make_unique<CRPolygon>(Square(250, 250, 255, 255));
            engine.CutConglomerates(outer, holes, farHole ? 1 : 0);
            EXPECT_EQ(holes.size(), farHole ? 1u : 0u);
            return PointsOf(outer);
        };
        const std::string alone = cut(1, true);
        ASSERT_NE(alone, PointsOf(TouchingOutlines())) << "nothing was cut";
        for (const int threads : {1, 3, 8}) {
            SCOPED_TRACE(threads);
            EXPECT_EQ(cut(threads, false), alone);
        }
    }
}

TEST(ConglomerateCutting, CuttingWhereTracedGivesTheRecordsOfCuttingTheWholeRun)
{
    // Without the hole feature each outline is cut as it is traced; with
    // it (and no hole on the page) the run cuts all its outlines after the
    // search. Both give the same parts in the same order: the defect
    // method's parts of later levels after all outlines.
    const auto geometry = [](int type, bool holeFeature, int threads) {
        CEngineScene scene(240, 200);
        for (int y = 20; y < 200; y += 45)
            for (int x = 20; x + 60 < 240; x += 75)
                for (int k = 0; k < 2 + (x / 75 + y / 45) % 3; ++k)
                    scene.Draw({{x + 13 * k, y + 4 * k}, 8 + k % 2});
        scene.engine.GetSettings().m_ObjectFilter.m_ConCutType = type;
        scene.engine.GetSettings().m_ObjectFilter.m_ConCutThres = 6.0F;
        if (holeFeature)
            scene.Form().m_Type |= featureHoleArea;
        scene.engine.SetThreadCount(threads);
        CAOI2 aoi = scene.WholePage();
        scene.Run(aoi);
        std::string text;
        for (const CObjData* record : scene.Records()) {
            text += std::to_string(record->m_lArea) + " " + std::to_string(record->m_ptCentroid.x) + "," +
                    std::to_string(record->m_ptCentroid.y) + ":";
            for (const POINT& p : record->m_Polygon)
                text += " " + std::to_string(p.x) + "," + std::to_string(p.y);
            text += "\n";
        }
        return std::make_pair(scene.Records().size(), text);
    };
    for (const int type : {CObjectFilter::conCutConvexDefects, CObjectFilter::conCutWatershed}) {
        SCOPED_TRACE(type);
        const auto whole = geometry(type, true, 1);
        ASSERT_GT(whole.first, geometry(0, false, 1).first) << "nothing was cut";
        for (const int threads : {1, 3})
            EXPECT_EQ(geometry(type, false, threads), whole) << threads << " threads";
    }
}
