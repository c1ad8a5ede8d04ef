#include "objectmodel/feature.h"
#include "objectmodel/featurecodes.h"

#include "platform/core/file.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

template <class T>
void Put(Bytes& bytes, T value)
{
    BYTE raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof(T));
    bytes.insert(bytes.end(), raw, raw + sizeof(T));
}

Bytes ClassRecord(WORD schema)
{
    Bytes bytes{0xFF, 0xFF};
    Put<WORD>(bytes, schema);
    Put<WORD>(bytes, 8);
    const std::string name = "CFeature";
    bytes.insert(bytes.end(), name.begin(), name.end());
    return bytes;
}

// The values of a schema-1 record, hole area left out.
Bytes SchemaOneValues()
{
    Bytes bytes;
    Put<DWORD>(bytes, 0x1234);
    Put<float>(bytes, 10.5f); // area
    Put<float>(bytes, 1.25f); // form factor
    Put<float>(bytes, 4.0f);  // length
    Put<float>(bytes, 2.0f);  // width
    Put<DWORD>(bytes, 0x00302010);
    Put<double>(bytes, 0.75); // homogeneity
    Put<double>(bytes, 0.5);  // convexity
    Put<float>(bytes, 90.0f); // curvature
    Put<float>(bytes, 0.25f); // nucleus/cell ratio
    Put<WORD>(bytes, 3);
    Put<double>(bytes, 1.0);
    Put<double>(bytes, 2.0);
    Put<double>(bytes, 3.0);
    return bytes;
}

Bytes Store(const std::function<void(CArchive&)>& write)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        write(ar);
        ar.Close();
    }
    return file.Data();
}

void Load(const Bytes& bytes, const std::function<void(CArchive&)>& read)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    read(ar);
}

CFeature Sample()
{
    CFeature f;
    f.SetFeatureFlag(0x4 | 0x700 | 0x20000, 1);
    f.SetFlag(0x2, 1);
    f.SetArea(12.5f);
    f.SetFormFactor(1.5f);
    f.SetLength(7.0f);
    f.SetWidth(3.0f);
    f.SetMeanColor(RGB(10, 20, 30));
    f.SetHomogeneity(0.125);
    f.SetConvexity(0.875);
    f.SetCurvature(45.0f);
    f.SetHoleArea(6.5f);
    f.SetNuclei(4);
    f.SetNucleusRatio(0.5f);
    f.SetValueB(-1.0);
    f.SetValueC(1e10);
    f.SetValueD(3.25);
    return f;
}

} // namespace

TEST(FeatureTest, DefaultsAndComparison)
{
    const CFeature f;
    EXPECT_EQ(f.m_dwFeatureFlags, 0u);
    EXPECT_EQ(f.m_fFormFactor, 1.0f);
    EXPECT_EQ(f.m_fWidth, 1.0f);
    EXPECT_EQ(f.m_dHomogeneity, 1.0);
    EXPECT_EQ(f.m_dConvexity, 1.0);
    EXPECT_EQ(f.m_fCurvature, 180.0f);
    EXPECT_EQ(f.m_fHoleArea, 0.0f);
    EXPECT_FALSE(f.Differs(CFeature()));

    const std::function<void(CFeature&)> changes[] = {
        [](CFeature& x) { x.SetFeatureFlag(0x4, 1); },  [](CFeature& x) { x.SetFlag(0x1, 1); },
        [](CFeature& x) { x.SetArea(1.0f); },           [](CFeature& x) { x.SetFormFactor(2.0f); },
        [](CFeature& x) { x.SetLength(1.0f); },         [](CFeature& x) { x.SetWidth(2.0f); },
        [](CFeature& x) { x.SetMeanColor(1); },         [](CFeature& x) { x.SetHomogeneity(0.5); },
        [](CFeature& x) { x.SetConvexity(0.5); },       [](CFeature& x) { x.SetCurvature(1.0f); },
        [](CFeature& x) { x.SetHoleArea(1.0f); },       [](CFeature& x) { x.SetNuclei(1); },
        [](CFeature& x) { x.SetNucleusRatio(0.1f); },   [](CFeature& x) { x.SetValueB(1.0); },
        [](CFeature& x) { x.SetValueC(1.0); },          [](CFeature& x) { x.SetValueD(1.0); },
    };
    int index = 0;
    for (const auto& change : changes) {
        CFeature changed;
        change(changed);
        EXPECT_TRUE(changed.Differs(f)) << "change " << index;
        EXPECT_TRUE(f.Differs(changed)) << "change " << index;
        CFeature copy;
        copy = changed;
        EXPECT_FALSE(copy.Differs(changed)) << "change " << index;
        ++index;
    }
}

TEST(FeatureTest, FlagsAreSetOnlyByExactlyOne)
{
    CFeature f;
    f.SetFeatureFlag(0x30, 1);
    EXPECT_EQ(f.m_dwFeatureFlags, 0x30u);
    f.SetFeatureFlag(0x10, 2);
    EXPECT_EQ(f.m_dwFeatureFlags, 0x20u);
    f.SetFeatureFlag(0x20, 0);
    EXPECT_EQ(f.m_dwFeatureFlags, 0u);

    f.SetFlag(0x3, 1);
    f.SetFlag(0x1, -1);
    EXPECT_EQ(f.m_dwSelectionFlags, 0x2u);
    EXPECT_EQ(f.m_dwFeatureFlags, 0u);
}

TEST(FeatureTest, StoresTheClassRecordAndEveryValueButTheSelection)
{
    const CFeature f = Sample();
    const Bytes bytes = Store([&](CArchive& ar) { const_cast<CFeature&>(f).Serialize(ar); });

    Bytes expected = ClassRecord(2);
    const Bytes values = SchemaOneValues();
    Bytes stored(bytes.begin() + static_cast<long>(expected.size()), bytes.end());
    ASSERT_EQ(bytes.size(), expected.size() + values.size() + sizeof(float));
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bytes.begin()));
    DWORD flags = 0;
    std::memcpy(&flags, stored.data(), sizeof(flags));
    EXPECT_EQ(flags, f.m_dwFeatureFlags);
    float holeArea = 0.0f;
    std::memcpy(&holeArea, stored.data() + values.size(), sizeof(holeArea));
    EXPECT_EQ(holeArea, 6.5f);

    CFeature loaded;
    Load(bytes, [&](CArchive& ar) { loaded.Serialize(ar); });
    CFeature expectedValues = f;
    expectedValues.m_dwSelectionFlags = 0; // not stored
    EXPECT_FALSE(loaded.Differs(expectedValues));
}

TEST(FeatureTest, ObjectsRoundTripThroughTheArchive)
{
    const CFeature first = Sample();
    CFeature second;
    second.SetArea(99.0f);
    const Bytes bytes = Store([&](CArchive& ar) { ar << &first << &second; });

    Load(bytes, [&](CArchive& ar) {
        CFeature* a = nullptr;
        CFeature* b = nullptr;
        ar >> a >> b;
        std::unique_ptr<CFeature> ownA(a), ownB(b);
        ASSERT_NE(a, nullptr);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(a->m_fHoleArea, 6.5f);
        EXPECT_EQ(a->m_MeanColor, RGB(10, 20, 30));
        EXPECT_EQ(b->m_fArea, 99.0f);
    });
}

TEST(FeatureTest, SchemaOneFileLoadsAndKeepsTheHoleArea)
{
    Bytes bytes = ClassRecord(1);
    const Bytes values = SchemaOneValues();
    bytes.insert(bytes.end(), values.begin(), values.end());

    CFeature f;
    f.SetHoleArea(7.5f);
    f.SetFlag(0x8, 1);
    Load(bytes, [&](CArchive& ar) { f.Serialize(ar); });
    EXPECT_EQ(f.m_dwFeatureFlags, 0x1234u);
    EXPECT_EQ(f.m_fArea, 10.5f);
    EXPECT_EQ(f.m_MeanColor, 0x00302010u);
    EXPECT_EQ(f.m_dConvexity, 0.5);
    EXPECT_EQ(f.m_wNuclei, 3);
    EXPECT_EQ(f.m_dValueD, 3.0);
    EXPECT_EQ(f.m_fHoleArea, 7.5f);
    EXPECT_EQ(f.m_dwSelectionFlags, 0x8u);
}

TEST(FeatureTest, BadFilesChangeNothing)
{
    const CFeature original = Sample();
    const Bytes good = Store([&](CArchive& ar) { const_cast<CFeature&>(original).Serialize(ar); });

    Bytes unknownSchema = ClassRecord(3);
    unknownSchema.insert(unknownSchema.end(), good.begin() + 14, good.end());
    struct Case
    {
        const char* what;
        Bytes bytes;
        int cause;
    };
    std::vector<Case> cases = {{"schema 3", unknownSchema, CArchiveException::badSchema}};
    // Cuts from the start and after the class record, through every field.
    cases.push_back({"empty", Bytes(), CArchiveException::endOfFile});
    for (size_t cut = 14; cut < good.size(); cut += 3)
        cases.push_back({"truncated", Bytes(good.begin(), good.begin() + static_cast<long>(cut)), CArchiveException::endOfFile});

    for (const Case& c : cases) {
        CFeature f;
        try {
            Load(c.bytes, [&](CArchive& ar) { f.Serialize(ar); });
            ADD_FAILURE() << c.what << " " << c.bytes.size();
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, c.cause) << c.what << " " << c.bytes.size();
        }
        EXPECT_FALSE(f.Differs(CFeature())) << c.what << " " << c.bytes.size();
    }
}

TEST(FeatureCodesTest, FlagsAndSources)
{
    using kestrun::FeatureSource;
    EXPECT_FALSE(kestrun::IsFeatureCodeOn(0x10, 16));
    EXPECT_FALSE(kestrun::IsFeatureCodeOn(0x20, 16));
    EXPECT_TRUE(kestrun::IsFeatureCodeOn(0x30, 16));
    EXPECT_TRUE(kestrun::IsFeatureCodeOn(0x40000, 2048));
    EXPECT_TRUE(kestrun::IsFeatureCodeOn(0x20000000, 0x20000));
    EXPECT_FALSE(kestrun::IsFeatureCodeOn(0xFFFFFFFF, 3));
    EXPECT_EQ(kestrun::FindFeatureCode(0x40000), nullptr);

    const kestrun::FeatureCode* green = kestrun::FindFeatureCode(64);
    ASSERT_NE(green, nullptr);
    EXPECT_EQ(green->flags, 0x200u);
    EXPECT_EQ(kestrun::ColorChannelValue(RGB(10, 20, 30), green->source), 20.0);
    EXPECT_EQ(kestrun::ColorChannelValue(RGB(10, 20, 30), FeatureSource::MeanColorBlue), 30.0);
    EXPECT_EQ(kestrun::ColorChannelValue(RGB(10, 20, 30), FeatureSource::Area), 0.0);

    // One bit per code, in ascending order.
    DWORD previous = 0;
    for (const kestrun::FeatureCode& entry : kestrun::FeatureCodes()) {
        EXPECT_EQ(std::popcount(entry.code), 1);
        EXPECT_GT(entry.code, previous);
        previous = entry.code;
    }
    EXPECT_EQ(kestrun::FeatureCodes().size(), 18u);
}
