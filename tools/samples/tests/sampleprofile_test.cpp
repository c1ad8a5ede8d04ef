// The prepared profile as the program meets it: the files kestrun_samples
// writes, read back through the engine's own classes, count the sample
// plate as its layout says; the classes tell the two kinds apart; the
// application starts with "Samples" selected; and the program leaves an
// existing data root alone.

#include "tools/samples/samplechamber.h"
#include "tools/samples/sampledataroot.h"
#include "tools/samples/sampleplate.h"
#include "tools/samples/sampleprofile.h"

#include "app/kestrunapp.h"
#include "app/mainfrm.h"

#include "analysis/bv.h"
#include "imaging/dibdocex.h"
#include "analysis/objdata.h"
#include "analysis/resultdocument.h"
#include "outside/pixmere/dib.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <numbers>
#include <stdexcept>
#include <string>
#include <sys/wait.h>

namespace kestrun::samples {
namespace {

namespace fs = std::filesystem;

constexpr unsigned kSeed = 18;
constexpr double kCentreTolerance = 3.0;

fs::path TestFolder(const char* name)
{
    const fs::path folder = fs::path(std::getenv("KESTRUN_DATA_ROOT")) / name;
    fs::remove_all(folder);
    return folder;
}

// The engine with the profile, area and classes read from the data root,
// as the application selects them.
class CPreparedEngine
{
public:
    explicit CPreparedEngine(const fs::path& root)
    {
        const CString folder = root.c_str();
        m_engine.InitProfileFile(folder);
        m_engine.LoadSettingsProfiles();
        m_bSelected = m_engine.SelectProfile(CSampleProfile::kName);
        m_bAreasRead = m_engine.m_AOIDoc.LoadAOIFile((root / CSampleProfile::kAreaFile).c_str());
        m_bClassesRead = m_engine.m_Classes.LoadFile((root / CSampleProfile::kClassesFile).c_str());
    }

    // The records of a count of the picture inside the profile's area.
    int Count(const fs::path& picture, CResultObjectList& records)
    {
        CDIB page;
        if (!page.Read(picture.c_str()))
            throw std::runtime_error(page.GetLastError().GetString());
        m_engine.m_AOIDoc.SetImageSize(page.GetWidth(), page.GetHeight(), true);
        CAOI* area = m_engine.m_AOIDoc.GetActiveAOI(false);
        if (area == nullptr)
            throw std::runtime_error("the profile has no active area");
        return m_engine.Analyse(&page, area, &records, 0);
    }

    CBV m_engine;
    bool m_bSelected = false;
    bool m_bAreasRead = false;
    bool m_bClassesRead = false;
};

class SampleProfileTest : public ::testing::Test
{
protected:
    // One data root for the suite: making it is the slow part.
    static void SetUpTestSuite()
    {
        s_root = TestFolder("samples");
        CSampleDataRoot(s_root).Write(kSeed);
    }

    static const fs::path& Root() { return s_root; }

    static const CObjData& Record(const CResultObjectList& records, int index)
    {
        return dynamic_cast<const CObjData&>(*records.GetObjectAt(index));
    }
    static cv::Point2d Centroid(const CObjData& record)
    {
        return {static_cast<double>(record.GetCentroid().x), static_cast<double>(record.GetCentroid().y)};
    }

    const CSamplePlate m_plate{kSeed};

private:
    static inline fs::path s_root;
};

TEST_F(SampleProfileTest, ThePlateCountsAsItsLayoutSays)
{
    CPreparedEngine prepared(Root());
    ASSERT_TRUE(prepared.m_bSelected);
    ASSERT_TRUE(prepared.m_bAreasRead);
    CResultObjectList records;
    const int passed = prepared.Count(CSampleDataRoot(Root()).GetPlatePath(), records);

    // Touching colonies are cut apart: one row per colony, nothing
    // rejected, no specks of noise.
    const int colonies = static_cast<int>(m_plate.GetColonies().size());
    EXPECT_EQ(passed, colonies);
    EXPECT_EQ(records.GetObjectCount(), passed);

    std::vector<int> found(m_plate.GetColonies().size(), 0);
    for (int i = 0; i < records.GetObjectCount(); ++i) {
        const CObjData& record = Record(records, i);
        EXPECT_EQ(record.m_Link, 0u) << "rejected record " << i;
        const sColony* colony = m_plate.FindColonyAt(Centroid(record), kCentreTolerance);
        ASSERT_NE(colony, nullptr) << "object at " << Centroid(record) << " is no colony";
        ++found[colony - m_plate.GetColonies().data()];
        const double area = std::numbers::pi * colony->radius * colony->radius;
        // A cut colony gives up part of the overlap to its partner.
        EXPECT_NEAR(record.GetArea(), area, (colony->partner < 0 ? 0.15 : 0.25) * area)
            << "colony at " << colony->centre;
    }
    for (size_t i = 0; i < found.size(); ++i)
        EXPECT_EQ(found[i], 1) << "colony at " << m_plate.GetColonies()[i].centre;
}

TEST_F(SampleProfileTest, TheClassesTellTheTwoKindsApart)
{
    CPreparedEngine prepared(Root());
    ASSERT_TRUE(prepared.m_bClassesRead);
    const CClasses& classes = prepared.m_engine.m_Classes;
    ASSERT_EQ(classes.GetCount(), 2);
    EXPECT_EQ(classes[0].m_nClass, CSampleProfile::kRedClass);
    EXPECT_EQ(classes[1].m_nClass, CSampleProfile::kBlueClass);

    CResultObjectList records;
    prepared.Count(CSampleDataRoot(Root()).GetPlatePath(), records);
    // Within a class every feature lies inside three standard deviations.
    const auto within = [&](const CVectorNormal& vector, const CObjData& record) {
        const double values[] = {record.GetArea(), static_cast<double>(GetRValue(record.GetMeanColor())),
                                 static_cast<double>(GetBValue(record.GetMeanColor()))};
        EXPECT_EQ(vector.GetFeatureCount(), 3);
        for (int f = 0; f < vector.GetFeatureCount(); ++f) {
            if (vector.GetFeatureDistance(values[f], f) >= 1.0)
                return false;
        }
        return true;
    };
    int checked = 0;
    for (int i = 0; i < records.GetObjectCount(); ++i) {
        const CObjData& record = Record(records, i);
        const sColony* colony = m_plate.FindColonyAt(Centroid(record), kCentreTolerance);
        if (colony == nullptr || colony->partner >= 0)
            continue;
        const CVectorNormal& own = classes[colony->kind - 1];
        const CVectorNormal& other = classes[2 - colony->kind];
        EXPECT_TRUE(within(own, record)) << own.m_strName << " at " << colony->centre;
        EXPECT_FALSE(within(other, record)) << other.m_strName << " at " << colony->centre;
        ++checked;
    }
    EXPECT_EQ(checked, static_cast<int>(m_plate.GetColonies().size()) - 2 * m_plate.GetTouchingPairs());
}

TEST_F(SampleProfileTest, TheChamberCountsOnlyTheStainedCellsInsideTheArea)
{
    CPreparedEngine prepared(Root());
    CResultObjectList records;
    const int passed = prepared.Count(CSampleDataRoot(Root()).GetChamberPath(), records);

    // Cells cut by the area's edge touch its border and are rejected (and
    // kept, marked); those within a pixel or two of it may go either way.
    const CSampleChamber chamber(kSeed);
    const cv::Point2d centre(m_plate.GetDishCentre());
    const double edge = m_plate.GetSearchRadius();
    int surelyInside = 0;
    int maybeInside = 0;
    for (const sCell& cell : chamber.GetCells()) {
        const double reach = cv::norm(cell.centre - centre) + cell.radius;
        surelyInside += cell.stained && reach < edge - 3.0 ? 1 : 0;
        maybeInside += cell.stained && reach < edge + 3.0 ? 1 : 0;
    }
    EXPECT_GE(passed, surelyInside);
    EXPECT_LE(passed, maybeInside);
    // Neither the grid nor an unstained cell is an object.
    for (int i = 0; i < records.GetObjectCount(); ++i) {
        const CObjData& record = Record(records, i);
        EXPECT_EQ(record.m_Link != 0, record.GetHitBoundary() == 1);
        const cv::Point2d at = Centroid(record);
        const bool stainedCell = std::ranges::any_of(chamber.GetCells(), [&](const sCell& cell) {
            return cell.stained && cv::norm(at - cell.centre) <= cell.radius;
        });
        EXPECT_TRUE(stainedCell) << "object at " << at;
    }
}

// The application's data root, set for the life of the object.
class CDataRootScope
{
public:
    explicit CDataRootScope(const fs::path& folder) : m_previous(std::getenv("KESTRUN_DATA_ROOT"))
    {
        ::setenv("KESTRUN_DATA_ROOT", folder.c_str(), 1);
    }
    ~CDataRootScope() { ::setenv("KESTRUN_DATA_ROOT", m_previous.c_str(), 1); }
    CDataRootScope(const CDataRootScope&) = delete;
    CDataRootScope& operator=(const CDataRootScope&) = delete;

private:
    std::string m_previous;
};

// The program started on a data root that kestrun_samples made; at the
// end it is closed and must have said nothing.
class SampleStartTest : public ::testing::Test
{
protected:
    SampleStartTest()
        : m_folder(TestFolder(::testing::UnitTest::GetInstance()->current_test_info()->name())),
          m_data(m_folder / "Tarvex AV" / "Halvorn"), m_root((m_data.Write(kSeed), m_folder))
    {
        fs::create_directories(m_folder / "program");
        app.m_strProgramFolder = (m_folder / "program").c_str();
        app.m_strTablonLibrary = "absent";
        app.m_arguments = {"kestrun"};
    }

    void TearDown() override
    {
        if (app.m_pMainWnd)
            app.m_pMainWnd->SendMessage(WM_CLOSE);
        app.ExitInstance();
        for (const CString& text : m_boxes->Texts())
            ADD_FAILURE() << "message: " << text.GetString();
    }

    const fs::path m_folder;
    const CSampleDataRoot m_data;
    const CDataRootScope m_root;
    kestrun::testing::ScopedMessageBoxes m_boxes;
    CKestrunApp app;
};

TEST_F(SampleStartTest, TheApplicationStartsWithTheSamplesProfileSelected)
{
    const BOOL started = app.InitInstance();
    EXPECT_TRUE(started);
    if (started) {
        EXPECT_EQ(app.GetCurrentProfileName(), CSampleProfile::kName);
        EXPECT_EQ(app.GetProfiles().m_strROIProfile, CSampleProfile::kAreaFile);
        EXPECT_EQ(app.GetProfiles().m_strClassesProfile, CSampleProfile::kClassesFile);
        CBV& engine = *app.GetEngine();
        const CBVSettings* stored = engine.m_Profiles.GetProfile(CSampleProfile::kName);
        EXPECT_EQ(engine.m_Profiles.GetCurrentProfileName(), CSampleProfile::kName);
        EXPECT_TRUE(stored != nullptr && engine.GetSettings().m_SegThres == stored->m_SegThres &&
                    stored->m_SegThres != CSegThres());
        EXPECT_EQ(engine.m_Classes.GetCount(), 2);
        EXPECT_EQ(engine.m_AOIDoc.GetAOICount(), 1);
    }
}

// The user's way: the plate opened and counted with "Count and measure
// objects".
TEST_F(SampleStartTest, CountingThePlateGivesEveryColonyARowInItsClass)
{
    ASSERT_TRUE(app.InitInstance());
}

std::string Contents(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The program's exit status; -1 when it did not end normally.
int RunSamplesProgram(const std::string& arguments)
{
    const std::string command = std::string("'") + KESTRUN_SAMPLES_PROGRAM + "' " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SampleProgramTest, AnExistingDataRootIsLeftAloneUnlessForced)
{
    const fs::path root = TestFolder("program") / "data root";
    const std::string quoted = "'" + root.string() + "'";
    const fs::path plate = CSampleDataRoot(root).GetPlatePath();
    ASSERT_EQ(RunSamplesProgram("--seed 3 " + quoted), 0);
    for (const fs::path& file : CSampleDataRoot(root).GetFiles())
        EXPECT_TRUE(fs::exists(file)) << file;
    const std::string first = Contents(plate);

    // Only the plate is missing: the profile beside it is still the user's.
    fs::remove(plate);
    EXPECT_EQ(RunSamplesProgram("--seed 4 " + quoted), 1);
    EXPECT_FALSE(fs::exists(plate));

    EXPECT_EQ(RunSamplesProgram("--force --seed 4 " + quoted), 0);
    EXPECT_NE(Contents(plate), first);
    EXPECT_EQ(RunSamplesProgram("--seed x " + quoted), 2);
}

} // namespace
} // namespace kestrun::samples
