// The engine's main run on pages with known truth: counts, areas, mean
// colours, border contact, area limits and rejected markers, two areas of
// interest, the form models, the steps not in this build, movement,
// progress - and the page given back bit for bit, also after an exception.

#include "analysis/analysisprogress.h"

#include "enginescene.h"
#include "inifiles_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <stdexcept>

using enginetest::CEngineScene;
using enginetest::sDisc;

namespace {

class CRecordingProgress : public IAnalysisProgress
{
public:
    void BeginProgress(int lower, int upper) override
    {
        ++m_begins;
        m_lower = lower;
        m_upper = upper;
    }
    void SetProgressPos(int position) override
    {
        m_positions.push_back(position);
        if (m_throwAt > 0 && static_cast<int>(m_positions.size()) == m_throwAt)
            throw CInvalidArgException();
    }
    void EndProgress() override { ++m_ends; }

    int m_begins = 0;
    int m_ends = 0;
    int m_lower = -1;
    int m_upper = -1;
    int m_throwAt = 0;
    std::vector<int> m_positions;
};

void SetAreaLimits(CFormThres& form, float minimum, float maximum)
{
    form.m_ObjectFilter.m_Min.m_dwFeatureFlags |= featureArea;
    form.m_ObjectFilter.m_Max.m_dwFeatureFlags |= featureArea;
    form.m_ObjectFilter.m_Min.m_fArea = minimum;
    form.m_ObjectFilter.m_Max.m_fArea = maximum;
}

} // namespace

TEST(EngineRun, SeparatedDiscsCountedAndMeasured)
{
    CEngineScene scene(760, 420);
    const std::vector<sDisc> discs = {
        {{20, 20}, 3, RGB(10, 20, 30)},    {{60, 25}, 6, RGB(70, 10, 40)},  {{110, 40}, 12, RGB(0, 0, 0)},
        {{170, 50}, 25, RGB(45, 80, 5)},   {{340, 200}, 150, RGB(30, 40, 50)},
        {{620, 260}, 120, RGB(80, 60, 20)}, {{80, 300}, 40, RGB(5, 5, 75)},
    };
    std::vector<int> counts;
    for (const sDisc& disc : discs)
        counts.push_back(scene.Draw(disc));
    scene.Form().m_Type |= featureColors;
    const std::vector<BYTE> before = tracetest::PixelBytes(scene.page);
    CAOI2 aoi = scene.WholePage();

    EXPECT_EQ(scene.Run(aoi), static_cast<int>(discs.size()));

    ASSERT_EQ(scene.results.GetObjectCount(), static_cast<int>(discs.size()));
    for (size_t i = 0; i < discs.size(); ++i) {
        SCOPED_TRACE(discs[i].radius);
        const CObjData* record = scene.RecordAt(discs[i].centre);
        ASSERT_NE(record, nullptr);
        // The contour runs through the centres of the outer pixels: the
        // enclosed area is the pixel count less half the contour and one.
        const double contour = static_cast<double>(record->m_Chain.GetSize());
        EXPECT_NEAR(record->GetArea(), counts[i] - contour / 2.0 - 1.0, 0.5);
        if (discs[i].radius >= 100) {
            EXPECT_NEAR(record->GetArea(), counts[i], 0.01 * counts[i]);
        }
        EXPECT_EQ(record->m_MeanColor, discs[i].color);
        EXPECT_EQ(record->m_bHitBoundary, 0);
        EXPECT_EQ(record->m_Link, 0u);
        EXPECT_EQ(record->m_Type & 0x8000F, 0x8000Fu);
    }
    EXPECT_EQ(tracetest::PixelBytes(scene.page), before);
    EXPECT_EQ(scene.engine.GetRunDiagnostics().GetSize(), 0);
}

TEST(EngineRun, EightBitPage)
{
    CEngineScene scene(200, 120, 8);
    const int count = scene.Draw({{60, 60}, 30, RGB(0, 40, 0)});
    scene.Draw({{150, 50}, 10, RGB(0, 70, 0)});
    const std::vector<BYTE> before = tracetest::PixelBytes(scene.page);
    CAOI2 aoi = scene.WholePage();

    EXPECT_EQ(scene.Run(aoi), 2);
    const CObjData* record = scene.RecordAt({60, 60});
    ASSERT_NE(record, nullptr);
    EXPECT_NEAR(record->GetArea(), count - record->m_Chain.GetSize() / 2.0 - 1.0, 0.5);
    EXPECT_EQ(tracetest::PixelBytes(scene.page), before);
}

TEST(EngineRun, DiscWithHole)
{
    const sDisc ring{{230, 230}, 200, enginetest::kDark, 50};
    for (const bool holes : {true, false}) {
        SCOPED_TRACE(holes);
        CEngineScene scene(460, 460);
        const int ringPixels = scene.Draw(ring);
        cv::Mat holeMask(460, 460, CV_8U, cv::Scalar(0));
        cv::circle(holeMask, ring.centre, ring.holeRadius, cv::Scalar(255), cv::FILLED, cv::LINE_8);
        const int holePixels = cv::countNonZero(holeMask);
        if (holes)
            scene.Form().m_Type |= featureHoleArea;
        CAOI2 aoi = scene.WholePage();

        EXPECT_EQ(scene.Run(aoi), 1);
        ASSERT_EQ(scene.results.GetObjectCount(), 1);
        const CObjData& record = *scene.Records().front();
        if (holes) {
            EXPECT_EQ(record.GetHoleCount(), 1);
            ASSERT_EQ(scene.engine.m_arrHoleAreas.GetSize(), 1);
            EXPECT_EQ(record.m_lHoleArea, scene.engine.m_arrHoleAreas[0]);
            EXPECT_NEAR(record.GetArea(), ringPixels, 0.01 * ringPixels);
        } else {
            // A hole is never collected while its bit is off.
            EXPECT_EQ(record.GetHoleCount(), 0);
            EXPECT_EQ(scene.engine.m_arrHoleAreas.GetSize(), 0);
            EXPECT_NEAR(record.GetArea(), ringPixels + holePixels, 0.01 * (ringPixels + holePixels));
        }
    }
}

TEST(EngineRun, HoleOutsideTheHoleLimitsIsDropped)
{
    CEngineScene scene(200, 200);
    scene.Draw({{100, 100}, 60, enginetest::kDark, 10});
    scene.Form().m_Type |= featureHoleArea;
    scene.Form().m_ObjectFilter.m_Min.m_dwFeatureFlags |= featureHoleArea;
    scene.Form().m_ObjectFilter.m_Min.m_fHoleArea = 1000.0f;
    CAOI2 aoi = scene.WholePage();

    EXPECT_EQ(scene.Run(aoi), 1);
    EXPECT_EQ(scene.Records().front()->GetHoleCount(), 0);
    EXPECT_EQ(scene.engine.m_arrHoleAreas.GetSize(), 0);
}

TEST(EngineRun, DiscCutByTheAreasBorder)
{
    struct sCase
    {
        bool borderFilter;
        int keepRejected;
        int passed;
        int inDocument;
    };
    for (const sCase c : {sCase{false, 1, 2, 2}, sCase{true, 1, 1, 2}, sCase{true, 0, 1, 1}}) {
        SCOPED_TRACE(testing::Message() << c.borderFilter << " " << c.keepRejected);
        CEngineScene scene(400, 300);
        scene.Draw({{25, 100}, 15});   // cut by the area's left edge
        scene.Draw({{120, 120}, 15});  // inside
        scene.Draw({{300, 250}, 15});  // outside the area
        if (c.borderFilter)
            scene.Form().m_ObjectFilter.m_Filter |= featureBorderContact;
        scene.Form().m_bKeepRejected = c.keepRejected;
        CAOI2 aoi(CRect(20, 20, 220, 220));
        const std::vector<BYTE> before = tracetest::PixelBytes(scene.page);

        EXPECT_EQ(scene.Run(aoi), c.passed);
        EXPECT_EQ(scene.results.GetObjectCount(), c.inDocument);
        const CObjData* inside = scene.RecordAt({120, 120});
        ASSERT_NE(inside, nullptr);
        EXPECT_EQ(inside->m_bHitBoundary, 0);
        EXPECT_EQ(inside->m_Link, 0u);
        if (c.inDocument == 2) {
            const CObjData* cut = scene.Records()[0] == inside ? scene.Records()[1] : scene.Records()[0];
            EXPECT_EQ(cut->m_bHitBoundary, 1);
            EXPECT_EQ(cut->m_Link, c.borderFilter ? 1u : 0u);
            EXPECT_LE(cut->m_Rect.left, 20);
        }
        EXPECT_EQ(tracetest::PixelBytes(scene.page), before);
    }
}

TEST(EngineRun, DiscsInTwoAreasOfInterest)
{
    CEngineScene scene(400, 200);
    scene.Draw({{100, 100}, 30});
    scene.Draw({{300, 100}, 30});
    scene.Draw({{320, 170}, 10});
    const std::vector<BYTE> before = tracetest::PixelBytes(scene.page);
    CAOI2 left(CRect(0, 0, 200, 200));
    CAOIEllipse right;
    right.SetCenterAndRadii(300, 100, 95, 95);

    EXPECT_EQ(scene.Run(left), 1);
    EXPECT_NE(scene.RecordAt({100, 100}), nullptr);
    EXPECT_EQ(tracetest::PixelBytes(scene.page), before);

    scene.results.RemoveAll();
    EXPECT_EQ(scene.Run(right), 2);
    EXPECT_NE(scene.RecordAt({300, 100}), nullptr);
    EXPECT_NE(scene.RecordAt({320, 170}), nullptr);
    EXPECT_EQ(tracetest::PixelBytes(scene.page), before);
}

TEST(EngineRun, ObjectsBelowAndAboveTheAreaLimits)
{
    for (const int keepRejected : {1, 0}) {
        SCOPED_TRACE(keepRejected);
        CEngineScene scene(300, 100);
        scene.Draw({{30, 50}, 4});   // about 50 pixels
        scene.Draw({{100, 50}, 10}); // about 300
        scene.Draw({{200, 50}, 20}); // about 1250
        SetAreaLimits(scene.Form(), 150.0f, 600.0f);
        scene.Form().m_bKeepRejected = keepRejected;
        CAOI2 aoi = scene.WholePage();

        EXPECT_EQ(scene.Run(aoi), 1);
        const CObjData* medium = scene.RecordAt({100, 50});
        ASSERT_NE(medium, nullptr);
        EXPECT_EQ(medium->m_Link, 0u);
        if (keepRejected == 1) {
            ASSERT_EQ(scene.results.GetObjectCount(), 3);
            EXPECT_EQ(scene.RecordAt({30, 50})->m_Link, 1u);
            EXPECT_EQ(scene.RecordAt({200, 50})->m_Link, 1u);
        } else {
            EXPECT_EQ(scene.results.GetObjectCount(), 1);
        }
    }
}

TEST(EngineRun, WithoutDocumentStillCounts)
{
    CEngineScene scene(200, 100);
    scene.Draw({{50, 50}, 10});
    scene.Draw({{150, 50}, 20});
    SetAreaLimits(scene.Form(), 100.0f, 600.0f);
    CAOI2 aoi = scene.WholePage();

    EXPECT_EQ(scene.engine.Analyse(&scene.page, &aoi, nullptr, 0), 1);
}

TEST(EngineRun, NothingToFind)
{
    CEngineScene scene(64, 64);
    CAOI2 aoi = scene.WholePage();
    EXPECT_EQ(scene.Run(aoi), 0);
    EXPECT_EQ(scene.results.GetObjectCount(), 0);
}

// Smoothing values at the ends of their range, as a damaged profile brings
// them: a grade below 1 and a turn limit beyond any contour smooth nothing.
TEST(EngineRun, SmoothingValuesAtTheEndsOfTheirRange)
{
    CEngineScene scene(120, 80);
    scene.Draw({{60, 40}, 20});
    CObjectFilter& filter = scene.engine.GetSettings().m_ObjectFilter;
    filter.m_Smoothing = 1;
    filter.m_SmoothGrade[0] = INT_MIN;
    filter.m_SmoothGrade[1] = 3;
    filter.m_SmoothMaxTurns[1] = INT_MAX;
    CAOI2 aoi = scene.WholePage();
    EXPECT_EQ(scene.Run(aoi), 1);
}

TEST(EngineRun, MissingOrUnreadableInputIsRefused)
{
    CEngineScene scene(64, 64);
    CAOI2 aoi = scene.WholePage();
    CDIB empty;
    EXPECT_THROW(scene.engine.Analyse(nullptr, &aoi, &scene.results, 0), CInvalidArgException);
    EXPECT_THROW(scene.engine.Analyse(&scene.page, nullptr, &scene.results, 0), CInvalidArgException);
    EXPECT_THROW(scene.engine.Analyse(&empty, &aoi, &scene.results, 0), CInvalidArgException);
    EXPECT_THROW(scene.results.GetObjectAt(0), CInvalidArgException);
}

TEST(EngineRun, FormModels)
{
    // The edge object is not measured by the main run: no record is shown
    // or passed as if it were measured. The ellipse model shows one ellipse
    // per disc; the segment model lists segments only when the contours are
    // segmented. (Skeletons have tests of their own.)
    struct sCase
    {
        UINT model;
        const char* diagnostic; // null: none
        int notes;
        int rows;
    };
    const sCase cases[] = {
        {CFormThres::modelEdgeObject, nullptr, 0, 0},
        {CFormThres::modelEllipse, nullptr, 0, 2},
        {CFormThres::modelContourSegment, nullptr, 0, 0},
    };
    for (const sCase& c : cases) {
        SCOPED_TRACE(c.model);
        CEngineScene scene(200, 100);
        scene.Draw({{50, 50}, 10});
        scene.Draw({{150, 50}, 20});
        scene.Form().m_Model = c.model;
        const std::vector<BYTE> before = tracetest::PixelBytes(scene.page);
        CAOI2 aoi = scene.WholePage();

        EXPECT_EQ(scene.Run(aoi), 0);
        EXPECT_EQ(scene.results.GetObjectCount(), c.rows);
        EXPECT_EQ(scene.engine.GetRunDiagnostics().GetSize(), c.notes);
        if (c.diagnostic) {
            EXPECT_EQ(scene.DiagnosticObjects(c.diagnostic), 2);
        }
        EXPECT_EQ(tracetest::PixelBytes(scene.page), before);
    }
}

TEST(EngineRun, EveryStepTheProfileAsksForIsDone)
{
    // Length, curvature peaks, the deepest defect, clustering and cutting:
    // all in this build, so five separate discs give five records, each
    // with its scan-ray result, and no note.
    CEngineScene scene(300, 100);
    for (int x = 30; x < 300; x += 60)
        scene.Draw({{x, 50}, 15});
    CFormThres& form = scene.Form();
    form.m_Type |= featureLength;
    form.m_Parameter |= 0x2 | 0x4 | 0x20;
    scene.engine.GetSettings().m_ObjectFilter.m_ConCutType = CObjectFilter::conCutConvexDefects;
    CAOI2 aoi = scene.WholePage();

    EXPECT_EQ(scene.Run(aoi), 5);
    EXPECT_EQ(scene.engine.GetRunDiagnostics().GetSize(), 0);
    ASSERT_EQ(scene.Records().size(), 5u);
    for (const CObjData* record : scene.Records()) {
        EXPECT_EQ(record->GetResultCount(), 1);
        EXPECT_EQ(record->m_Link, 0u);
    }
}

TEST(EngineRun, LengthWidthAndConvexity)
{
    CEngineScene scene(200, 100);
    cv::rectangle(scene.page.GetMat(), cv::Rect(20, 30, 81, 21), cv::Scalar::all(20), cv::FILLED);
    scene.Form().m_Type |= featureLength | featureWidth | featureConvexity;
    CAOI2 aoi = scene.WholePage();

    EXPECT_EQ(scene.Run(aoi), 1);
    const CObjData& record = *scene.Records().front();
    // The contour through the outer pixel centres: 80 x 20.
    EXPECT_NEAR(record.GetLength(), 80.0, 0.5);
    EXPECT_NEAR(record.GetWidth(), 20.0, 0.5);
    EXPECT_NEAR(record.m_fOrientation, 0.0, 1e-3);
    EXPECT_NEAR(record.GetConvexity(), 1.0, 1e-9);
    EXPECT_EQ(record.m_Type & (CObjData::colLength | CObjData::colWidth | CObjData::colConvexity),
              CObjData::colLength | CObjData::colWidth | CObjData::colConvexity);
    EXPECT_FALSE(scene.HasDiagnostic("Length along scan rays"));
}

TEST(EngineRun, MovementAgainstThePreviousPositions)
{
    struct sCase
    {
        int offset;    // of the stored position from the centroid
        int threshold; // MovementDetection
        int moving;
    };
    for (const sCase c : {sCase{3, 3, 2}, sCase{2, 3, 1}, sCase{0, 0, 1}, sCase{1, 0, 2}, sCase{1, -5, 2}}) {
        SCOPED_TRACE(testing::Message() << c.offset << " " << c.threshold);
        CEngineScene scene(100, 100);
        scene.Draw({{50, 50}, 10});
        CAOI2 aoi = scene.WholePage();
        scene.Run(aoi);
        const CPoint centroid = scene.Records().front()->m_ptCentroid;
        EXPECT_EQ(scene.Records().front()->m_nMoving, 0);

        scene.results.RemoveAll();
        scene.Form().m_MovementDetection = c.threshold;
        scene.Form().m_Type |= featureTailOrMovement;
        scene.engine.m_arrPrevPositions = {sObjectPosition{centroid.x + c.offset, centroid.y}, sObjectPosition{0, 0}};
        scene.Run(aoi);
        const CObjData& record = *scene.Records().front();
        EXPECT_EQ(record.m_nMoving, c.moving);
        // A moving object has its tail without the search; a resting disc
        // is searched and has none.
        EXPECT_EQ(record.m_bTail, c.moving == 2 ? 1 : 0);
        EXPECT_NE(record.m_Type & CObjData::colTail, 0u);
        EXPECT_EQ(scene.DiagnosticObjects("Tail search"), -1);
        EXPECT_TRUE(scene.engine.m_arrPrevPositions.empty());
    }
}

TEST(EngineRun, ProgressShowsTheRun)
{
    CEngineScene scene(100, 100);
    scene.Draw({{50, 50}, 10});
    CRecordingProgress progress;
    scene.engine.SetProgressDisplay(&progress);
    CAOI2 aoi = scene.WholePage();

    scene.Run(aoi, 0);
    EXPECT_EQ(progress.m_begins, 0);
    EXPECT_TRUE(progress.m_positions.empty());

    scene.Run(aoi, 1);
    EXPECT_EQ(progress.m_begins, 1);
    EXPECT_EQ(progress.m_ends, 1);
    EXPECT_EQ(progress.m_lower, 0);
    EXPECT_EQ(progress.m_upper, 100);
    ASSERT_FALSE(progress.m_positions.empty());
    EXPECT_TRUE(std::is_sorted(progress.m_positions.begin(), progress.m_positions.end()));
    EXPECT_EQ(progress.m_positions.back(), 100);
}

TEST(EngineRun, AnExceptionLeavesThePageAsItWas)
{
    CEngineScene scene(300, 300);
    for (int y = 20; y < 300; y += 40)
        for (int x = 20; x < 300; x += 40)
            scene.Draw({{x, y}, 12});
    scene.Form().m_Type |= featureNuclei;
    const std::vector<BYTE> before = tracetest::PixelBytes(scene.page);
    CRecordingProgress progress;
    progress.m_throwAt = 150; // half-way down the page
    scene.engine.SetProgressDisplay(&progress);
    CAOI2 aoi = scene.WholePage();

    EXPECT_THROW(scene.Run(aoi, 1), CInvalidArgException);
    EXPECT_EQ(progress.m_ends, 1);
    EXPECT_EQ(tracetest::PixelBytes(scene.page), before);

    // The engine is ready for the next run.
    progress.m_throwAt = 0;
    EXPECT_EQ(scene.Run(aoi, 1), 49);
    EXPECT_EQ(tracetest::PixelBytes(scene.page), before);
}

TEST(EngineRun, AnExceptionFromTheDocument)
{
    CEngineScene scene(300, 100);
    for (int x = 30; x < 300; x += 60)
        scene.Draw({{x, 50}, 15});
    scene.Form().m_Type |= featureNuclei | featureColors;
    const std::vector<BYTE> before = tracetest::PixelBytes(scene.page);
    enginetest::CThrowingDocument document;
    CAOI2 aoi = scene.WholePage();

    EXPECT_THROW(scene.engine.Analyse(&scene.page, &aoi, &document, 0), std::runtime_error);
    EXPECT_EQ(tracetest::PixelBytes(scene.page), before);
}

TEST(EngineRun, ScanStepOfTheArea)
{
    // Every second row and pixel is searched: a one-pixel-high line on an
    // odd row is not found, objects of any size otherwise are.
    CEngineScene scene(100, 60);
    scene.Draw({{30, 30}, 8});
    cv::line(scene.page.GetMat(), {60, 41}, {90, 41}, cv::Scalar::all(20));
    CAOI2 aoi = scene.WholePage();
    aoi.m_nStep = 2;

    EXPECT_EQ(scene.Run(aoi), 1);
    EXPECT_NE(scene.RecordAt({30, 30}), nullptr);
}

class EngineProfilesTest : public IniFilesTest
{
};

TEST_F(EngineProfilesTest, ProfilesAndFieldModeGoThroughTheEngine)
{
    CBV engine;
    engine.InitProfileFile((m_folder / "profiles").c_str());
    std::filesystem::create_directories(m_folder / "profiles");
    WriteProfileInt("Image", "FieldMode", 2);
    EXPECT_EQ(engine.LoadSettingsProfiles(), 2);
    EXPECT_EQ(engine.m_nFieldMode, 2);

    engine.GetSettings().m_FormThres.m_Type = 0x1234;
    engine.StoreProfile("Cells");
    engine.GetSettings().m_FormThres.m_Type = 0;
    EXPECT_FALSE(engine.SelectProfile("Plants"));
    EXPECT_TRUE(engine.SelectProfile("Cells"));
    EXPECT_EQ(engine.GetSettings().m_FormThres.m_Type, 0x1234u);

    engine.m_nFieldMode = 1;
    engine.SaveSettingsProfiles();
    EXPECT_EQ(GetProfileInt("Image", "FieldMode", -1), 1u);
    CBV reloaded;
    reloaded.InitProfileFile((m_folder / "profiles").c_str());
    EXPECT_EQ(reloaded.LoadSettingsProfiles(), 1);
    EXPECT_TRUE(reloaded.SelectProfile("Cells"));
    EXPECT_EQ(reloaded.GetSettings().m_FormThres.m_Type, 0x1234u);
}

TEST(RunNotes, CellsMergePerStepAndTheTextsNameEachStep)
{
    CRunDiagnostics first;
    first.Note("Conglomerate cutting", "cutting stopped", 2);
    CRunDiagnostics second;
    second.Note("Skeleton thinning", "not in the table", 1);
    second.Note("Conglomerate cutting", "cutting stopped", 1);
    first.Merge(second);

    ASSERT_EQ(first.GetSize(), 2);
    EXPECT_EQ(first.Find("Conglomerate cutting")->objects, 3);
    EXPECT_EQ(first.FormatShort(), "Not done for every object: Conglomerate cutting (3 objects), Skeleton thinning "
                                   "(1 object)");
    EXPECT_NE(first.FormatMessage().Find("- Skeleton thinning: 1 object - not in the table"), -1);
}
