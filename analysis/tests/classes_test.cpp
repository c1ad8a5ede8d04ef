#include "analysis/classes.h"

#include "analysis/kontur8.h"
#include "analysis/tests/tracepage.h"
#include "platform/core/exceptions.h"
#include "platform/core/tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

// Little-endian bytes of the class file, written by hand from its layout.
class CBytes
{
public:
    CBytes& Word(WORD v) { return Raw(&v, sizeof v); }
    CBytes& Dword(DWORD v) { return Raw(&v, sizeof v); }
    CBytes& Int(std::int32_t v) { return Raw(&v, sizeof v); }
    CBytes& Double(double v) { return Raw(&v, sizeof v); }
    // A string with its one-byte length.
    CBytes& Str(const char* s)
    {
        const auto length = static_cast<BYTE>(std::strlen(s));
        Raw(&length, 1);
        return Raw(s, length);
    }
    // A new class record: tag, schema, name length, name.
    CBytes& NewClass(WORD schema, const char* name)
    {
        Word(0xFFFF).Word(schema).Word(static_cast<WORD>(std::strlen(name)));
        return Raw(name, std::strlen(name));
    }
    // A statistic of the values 10, 12, 14 after Finish.
    CBytes& Stat()
    {
        Int(3).Double(36.0).Double(440.0).Double(8.0).Double(12.0).Double(4.0).Double(10.0).Int(0);
        return Double(14.0).Int(2).Word(1);
    }
    const std::string& Get() const { return m_bytes; }

private:
    CBytes& Raw(const void* data, size_t size)
    {
        m_bytes.append(static_cast<const char*>(data), size);
        return *this;
    }
    std::string m_bytes;
};

// Two classes: "Small" (area) and "Large" (area, green). Class records get
// indices 1 (CClasses), 2 (CVectorNormal), 3 (CNormStat); the second class
// refers back to them.
std::string GoldenFile()
{
    CBytes b;
    b.NewClass(4, "CClasses").Dword(2);
    b.NewClass(9, "CVectorNormal").Int(1).Str("Small").Dword(0x0000FF).Dword(1);
    b.NewClass(1, "CNormStat").Stat();
    b.Word(1).Str("Area").Word(1).Dword(4);
    b.Word(0x8002).Int(2).Str("Large").Dword(0x00FF00).Dword(2);
    b.Word(0x8003).Stat().Word(0x8003).Stat();
    b.Word(2).Str("Area").Str("Green").Word(2).Dword(4).Dword(64);
    return b.Get();
}

// Offsets into the golden file.
constexpr size_t kClassCountOffset = 14;                                // after the CClasses record
constexpr size_t kFirstFeatureCountOffset = kClassCountOffset + 4 + 19 + 4 + 6 + 4; // count, record, id, name, colour

class ClassesTest : public ::testing::Test
{
protected:
    std::string PathOf(const char* name) const { return m_folder / name; }
    std::string Write(const char* name, const std::string& bytes) const
    {
        WriteBytes(PathOf(name), bytes);
        return PathOf(name);
    }
    // A list that a failed load must leave alone.
    static CClasses Kept()
    {
        CClasses kept;
        kept.AddClass("Kept");
        return kept;
    }

    CScratchFolder m_folder;
};

TEST_F(ClassesTest, GoldenFileLoadsAndSavesByteForByte)
{
    CClasses classes;
    ASSERT_TRUE(classes.LoadFile(Write("golden.classes", GoldenFile()).c_str()));
    ASSERT_EQ(classes.GetCount(), 2);
    const CVectorNormal& small = classes[0];
    EXPECT_EQ(small.m_nClass, 1);
    EXPECT_EQ(small.m_strName, "Small");
    EXPECT_EQ(small.m_Color, 0x0000FFu);
    ASSERT_EQ(small.GetFeatureCount(), 1);
    EXPECT_EQ(small.GetFeatureName(0), "Area");
    EXPECT_EQ(small.GetFeature(0).m_nType, 4);
    EXPECT_EQ(small.GetFeature(0).GetCount(), 3);
    EXPECT_DOUBLE_EQ(small.GetFeatureStat(0, CVectorNormal::statMean), 12.0);
    EXPECT_DOUBLE_EQ(small.GetFeatureStat(0, CVectorNormal::statDeviation), 2.0);
    EXPECT_DOUBLE_EQ(small.GetFeatureStat(0, CVectorNormal::statMin), 10.0);
    EXPECT_DOUBLE_EQ(small.GetFeatureStat(0, CVectorNormal::statMax), 14.0);
    EXPECT_EQ(small.GetFeatureStat(0, 9), 0.0);
    const CVectorNormal& large = classes[1];
    EXPECT_EQ(large.m_strName, "Large");
    ASSERT_EQ(large.GetFeatureCount(), 2);
    EXPECT_EQ(large.GetFeature(1).m_strName, "Green");
    EXPECT_EQ(large.GetFeature(1).m_nType, 64);
    EXPECT_TRUE(large.GetFeature(1).IsFinished());

    classes.SaveFile(PathOf("saved.classes").c_str());
    EXPECT_EQ(ReadBytes(PathOf("saved.classes")), GoldenFile());
    EXPECT_FALSE(CNormFeature::IsBinaryArchive());
}

TEST_F(ClassesTest, XmlFormRoundTripsToTheSameClasses)
{
    CClasses classes;
    classes.LoadFile(Write("golden.classes", GoldenFile()).c_str());
    classes.SaveFile(PathOf("xml.classes").c_str(), CClasses::formatXML);
    const std::string xml = ReadBytes(PathOf("xml.classes"));
    EXPECT_EQ(xml.find("<CClasses><CVectorNormal><Class>1</Class><Name>Small</Name><Color>255</Color><FeatureVector>"
                       "<CNormFeature><Name>Area</Name><Type>4</Type><N>3</N><Sum>"),
              0u);
    EXPECT_NE(xml.find("<Max>14"), std::string::npos);
    EXPECT_NE(xml.find("<PosMax>2</PosMax><Calculation>1</Calculation></CNormFeature>"), std::string::npos);

    CClasses loaded = Kept();
    ASSERT_TRUE(loaded.LoadFile(PathOf("xml.classes").c_str()));
    ASSERT_EQ(loaded.GetCount(), 2);
    loaded.SaveFile(PathOf("again.classes").c_str());
    EXPECT_EQ(ReadBytes(PathOf("again.classes")), GoldenFile());
}

TEST_F(ClassesTest, OnlyAMissingFileGivesAnEmptyList)
{
    CClasses classes = Kept();
    EXPECT_TRUE(classes.LoadFile(PathOf("none.classes").c_str()));
    EXPECT_EQ(classes.GetCount(), 0);

    // A file that is there but holds no class list is refused, so that it
    // is not saved over as an empty one.
    std::filesystem::create_directories(PathOf("folder.classes"));
    const struct
    {
        std::string path;
        bool archive; // else the file's own exception
    } refused[] = {
        {Write("empty.classes", ""), true},
        {Write("other.classes", "<CSettings><Name>x</Name></CSettings>"), true},
        {PathOf("folder.classes"), false},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.path);
        CClasses kept = Kept();
        if (r.archive)
            EXPECT_THROW(kept.LoadFile(r.path.c_str()), CArchiveException);
        else
            EXPECT_THROW(kept.LoadFile(r.path.c_str()), CFileException);
        ASSERT_EQ(kept.GetCount(), 1);
        EXPECT_EQ(kept[0].m_strName, "Kept");
    }
}

TEST_F(ClassesTest, OlderSchemasReadWhatTheyHold)
{
    CClasses classes = Kept();
    classes.LoadFile(Write("old.classes", CBytes().NewClass(3, "CClasses").Dword(5).Get()).c_str());
    EXPECT_EQ(classes.GetCount(), 0);

    // A class of schema 8 stops after its class record.
    classes.LoadFile(Write("old.classes", CBytes().NewClass(4, "CClasses").Dword(1).NewClass(8, "CVectorNormal").Get()).c_str());
    ASSERT_EQ(classes.GetCount(), 1);
    EXPECT_EQ(classes[0].m_nClass, 1);
    EXPECT_EQ(classes[0].m_Color, 0xFF0000u);
    EXPECT_EQ(classes[0].GetFeatureCount(), 0);
}

TEST_F(ClassesTest, DamagedFilesAreRefusedAndChangeNothing)
{
    struct Damage
    {
        const char* name;
        std::string bytes;
    };
    std::string hugeClasses = GoldenFile();
    const DWORD many = 0x10000000;
    std::memcpy(hugeClasses.data() + kClassCountOffset, &many, sizeof many);
    std::string hugeFeatures = GoldenFile();
    std::memcpy(hugeFeatures.data() + kFirstFeatureCountOffset, &many, sizeof many);
    const std::string golden = GoldenFile();
    const std::vector<Damage> damages = {
        {"class count beyond the file", hugeClasses},
        {"feature count beyond the file", hugeFeatures},
        {"cut inside the statistics", golden.substr(0, kFirstFeatureCountOffset + 4 + 20)},
        {"cut at the end", golden.substr(0, golden.size() - 3)},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        CClasses classes = Kept();
        EXPECT_THROW(classes.LoadFile(Write("bad.classes", damage.bytes).c_str()), CArchiveException);
        ASSERT_EQ(classes.GetCount(), 1);
        EXPECT_EQ(classes[0].m_strName, "Kept");
        EXPECT_FALSE(CNormFeature::IsBinaryArchive());
    }
}

TEST_F(ClassesTest, SaveThatCannotWriteReportsAndKeepsTheOldFile)
{
    CClasses classes;
    classes.LoadFile(Write("golden.classes", GoldenFile()).c_str());
    EXPECT_THROW(classes.SaveFile(PathOf("missing/x.classes").c_str()), CFileException);
    EXPECT_EQ(classes.GetCount(), 2);

    // A failed write leaves the previous file as it was.
    const std::string previous = Write("kept.classes", "previous");
    std::filesystem::permissions(m_folder.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (::access(m_folder.Path().c_str(), W_OK) != 0) { // root writes anyway
        EXPECT_THROW(classes.SaveFile(previous.c_str()), CFileException);
        EXPECT_EQ(ReadBytes(previous), "previous");
    }
    std::filesystem::permissions(m_folder.Path(), std::filesystem::perms::owner_all);
}

TEST(ClassListTest, AddClassNumbersAfterTheLargestId)
{
    CClasses classes;
    for (const char* name : {"a", "b", "c"})
        EXPECT_TRUE(classes.AddClass(name));
    EXPECT_EQ(classes[0].m_nClass, 1);
    EXPECT_EQ(classes[2].m_nClass, 3);
    EXPECT_EQ(classes.GetLastIndex(), 2);
    EXPECT_FALSE(classes.AddClass("b"));
    EXPECT_EQ(classes.GetCount(), 3);

    CClasses sparse;
    CVectorNormal seven(7, "seven");
    CVectorNormal two(2, "two");
    sparse.Add(seven);
    sparse.Add(two);
    sparse.AddClass("next");
    EXPECT_EQ(sparse[2].m_nClass, 8);
    EXPECT_EQ(sparse[2].m_Color, 0xFF0000u);
}

// A class with one feature learned from the values.
CVectorNormal Learned(int id, int type, std::initializer_list<double> values)
{
    CVectorNormal vector(id, "class");
    vector.AddFeature("feature", type, 0.0, 1.0);
    vector.ResetFeatures();
    for (const double value : values)
        vector.AddSample(value, 0);
    return vector;
}

TEST(ClassListTest, FeatureDistanceIsInThreeDeviations)
{
    const CVectorNormal flat = Learned(1, 4, {5.0, 5.0});
    EXPECT_DOUBLE_EQ(flat.GetFeatureDistance(5.0, 0), 0.0);
    EXPECT_DOUBLE_EQ(flat.GetFeatureDistance(5.5, 0), 0.5 / 1e-8);

    const CVectorNormal spread = Learned(1, 4, {9.0, 10.0, 11.0}); // mean 10, variance 1
    EXPECT_DOUBLE_EQ(spread.GetFeatureDistance(13.0, 0), 1.0);
    EXPECT_DOUBLE_EQ(spread.GetFeatureDistance(8.5, 0), 0.5);
    EXPECT_THROW(spread.GetFeatureDistance(1.0, 1), CInvalidArgException);
    EXPECT_THROW(spread.GetFeatureStat(-1, 1), CInvalidArgException);

    CVectorNormal ranged(1, "r");
    ranged.AddFeature("area", 4, 10.0, 40.0);
    EXPECT_EQ(ranged.FindFeature(4), 0);
    EXPECT_EQ(ranged.FindFeature(8), -1);
    EXPECT_NEAR(ranged.GetFeatureStat(0, CVectorNormal::statDeviation), 5.0, 1e-6);
    ranged.SetFeatureRange(0, 0.0, 60.0);
    EXPECT_NEAR(ranged.GetFeatureStat(0, CVectorNormal::statMean), 30.0, 1e-9);
    ranged.RemoveFeature(0);
    EXPECT_EQ(ranged.GetFeatureCount(), 0);
}

TEST(ClassListTest, ClassifyValuePicksTheNearestClassWithinOne)
{
    CClasses classes;
    for (CVectorNormal vector : {Learned(3, 4, {9.0, 10.0, 11.0}), Learned(5, 4, {9.0, 10.0, 11.0}), Learned(9, 8, {0.5, 0.6, 0.7})})
        classes.Add(vector);
    EXPECT_EQ(classes.ClassifyValue(10.5, 4), 5); // a tie goes to the later class
    EXPECT_EQ(classes.ClassifyValue(12.9, 4), 5);
    EXPECT_EQ(classes.ClassifyValue(13.0, 4), 0); // exactly 1.0 is outside
    EXPECT_EQ(classes.ClassifyValue(0.6, 8), 9);
    EXPECT_EQ(classes.ClassifyValue(10.0, 16), 0); // no class has the feature

    // Colours: a class that learned only green judges the green byte.
    CClasses colours;
    CVectorNormal green = Learned(4, 64, {99.0, 100.0, 101.0});
    colours.Add(green);
    EXPECT_EQ(colours.ClassifyValue(static_cast<double>(RGB(250, 100, 3)), CClasses::colorFeatureType), 4);
    EXPECT_EQ(colours.ClassifyValue(static_cast<double>(RGB(0, 110, 0)), CClasses::colorFeatureType), 0);
    EXPECT_EQ(colours.ClassifyValue(std::nan(""), CClasses::colorFeatureType), 0);
}

// Discs of two sizes are traced on a page; a class is learned from the
// areas of every other disc of each size, and the rest are classified.
TEST(ClassListTest, SmallAndLargeDiscsAreClassified)
{
    using namespace tracetest;
    constexpr int kCell = 40;
    constexpr int kDiscs = 40;
    std::mt19937 random(7u);
    cv::Mat mask(kCell, kCell * kDiscs, CV_8UC1, cv::Scalar(0));
    std::vector<bool> isLarge;
    for (int i = 0; i < kDiscs; ++i) {
        const bool large = (i / 2) % 2 == 1;
        const int radius = large ? std::uniform_int_distribution<int>(12, 16)(random) : std::uniform_int_distribution<int>(3, 6)(random);
        cv::circle(mask, cv::Point(i * kCell + kCell / 2, kCell / 2), radius, cv::Scalar(255), cv::FILLED);
        isLarge.push_back(large);
    }
    CMaskScene scene(mask);
    CKontur8& tracer = scene.tracer;

    CClasses classes;
    classes.AddClass("Small");
    classes.AddClass("Large");
    for (CVectorNormal& vector : classes) {
        vector.AddFeature("Area", 4, 0.0, 1.0);
        vector.ResetFeatures();
    }
    std::vector<std::pair<int, int>> tests; // area, expected id
    SearchObjects(scene.aoi, scene.page, scene.threshold, [&](int x, int y) {
        tracer.Trace(x, y, TRUE, 0);
        tracer.CalcChainMeasures();
        ASSERT_TRUE(tracer.IsClosed());
        const int disc = tracer.GetCentroid().x / kCell;
        const int id = isLarge[static_cast<size_t>(disc)] ? 2 : 1;
        if (disc % 2 == 0)
            classes[id - 1].AddSample(tracer.m_nArea, 0);
        else
            tests.emplace_back(tracer.m_nArea, id);
    });
    ASSERT_EQ(tests.size(), static_cast<size_t>(kDiscs / 2));
    for (const auto& [area, id] : tests)
        EXPECT_EQ(classes.ClassifyValue(area, 4), id) << "area " << area;
}

} // namespace
