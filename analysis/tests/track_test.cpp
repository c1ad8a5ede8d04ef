// Cell tracks: the element layouts of stored frames, damaged frame
// archives, the derived values and the two tables.

#include "analysis/track.h"
#include "objectmodel/xmlarchive.h"
#include "platform/core/archive.h"
#include "platform/core/exceptions.h"
#include "platform/core/file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numbers>
#include <vector>

namespace {

using TrackBytes = std::vector<BYTE>;

// Little-endian pieces of hand-made frame records.
struct sTrackBytesWriter
{
    void U16(unsigned v)
    {
        bytes.push_back(static_cast<BYTE>(v));
        bytes.push_back(static_cast<BYTE>(v >> 8));
    }
    void U32(DWORD v)
    {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void F32(float v)
    {
        DWORD bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        U32(bits);
    }
    TrackBytes bytes;
};

struct sTrackRecord
{
    DWORD time;
    unsigned x, y, z, area, perimeter;
    float angle;
    DWORD even, odd;
};

// One record in the layout of size bytes.
void WriteTrackRecord(sTrackBytesWriter& w, int size, const sTrackRecord& r)
{
    switch (size) {
    case 10:
        for (const unsigned v : {static_cast<unsigned>(r.time), r.x, r.y, r.area, r.perimeter})
            w.U16(v);
        break;
    case 12:
        for (const unsigned v : {static_cast<unsigned>(r.time), r.x, r.y, r.z, r.area, r.perimeter})
            w.U16(v);
        break;
    case 20:
    case 28:
        w.U32(r.time);
        for (const unsigned v : {r.x, r.y, r.z, r.area, r.perimeter, 0xEEEEu})
            w.U16(v);
        w.F32(r.angle);
        if (size == 28) {
            w.U32(r.even);
            w.U32(r.odd);
        }
        break;
    default:
        w.U32(r.time);
        for (const unsigned v : {r.x, r.y, r.z, 0u})
            w.U16(v);
        w.U32(r.area);
        w.U16(r.perimeter);
        w.U16(0);
        w.F32(r.angle);
        w.U32(r.even);
        w.U32(r.odd);
        break;
    }
}

void LoadTrackFrames(CTrack& track, const TrackBytes& bytes, int layout)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    track.SerializeFrames(ar, layout);
}

C3DTrackElement2009 TrackElement(DWORD time, WORD x, WORD y, DWORD area = 100, WORD perimeter = 40)
{
    C3DTrackElement2009 e;
    e.m_dwTime = time;
    e.m_wX = x;
    e.m_wY = y;
    e.m_dwArea = area;
    e.m_wPerimeter = perimeter;
    return e;
}

// A track of the points given, 40 ms apart, frame numbers 0, 1, ...
void FillTrack(CTrack& track, const std::vector<std::pair<WORD, WORD>>& points)
{
    track.SetSize(static_cast<int>(points.size()));
    for (size_t k = 0; k < points.size(); ++k)
        ASSERT_TRUE(track.AddPoint(TrackElement(static_cast<DWORD>(1000 + 40 * k), points[k].first, points[k].second),
                                   static_cast<WORD>(k), 1));
}

struct sLayoutCase
{
    int layout;
    int size;
    DWORD time1, time2;
    WORD frames[3];
    DWORD times[3];
};

TEST(TrackFrames, EveryElementLayoutLoadsIntoThe32ByteElement)
{
    const sLayoutCase cases[] = {
        {CTrack::layout2DShort, 10, 8, 5, {0, 2, 3}, {3, 80, 120}},
        {CTrack::layout3DShort, 12, 8, 5, {0, 2, 3}, {3, 80, 120}},
        {CTrack::layoutAngle, 20, 1000, 1085, {0, 1, 3}, {3, 1000, 1085}},
        {CTrack::layoutAngleC, 20, 1000, 1085, {0, 1, 3}, {3, 1000, 1085}},
        {CTrack::layoutGreen, 28, 1000, 1120, {0, 1, 4}, {3, 1000, 1120}},
        {CTrack::layoutGreenB, 28, 500, 539, {0, 1, 1}, {3, 500, 539}},
        {CTrack::layoutGreenC, 28, 1000, 1040, {0, 1, 2}, {3, 1000, 1040}},
        {CTrack::layout2009, 32, 1000, 1200, {0, 1, 6}, {3, 1000, 1200}},
    };
    for (const sLayoutCase& c : cases) {
        sTrackBytesWriter w;
        const DWORD times[3] = {3, c.time1, c.time2};
        for (unsigned k = 0; k < 3; ++k)
            WriteTrackRecord(w, c.size, {times[k], 10 + k, 20 + k, 30 + k, 60000 + k, 50 + k, 0.25f * k, 7 + k, 9 + k});
        CTrack track;
        LoadTrackFrames(track, w.bytes, c.layout);

        ASSERT_EQ(track.GetCount(), 3) << c.layout;
        for (int k = 0; k < 3; ++k) {
            SCOPED_TRACE(testing::Message() << "layout " << c.layout << " element " << k);
            EXPECT_EQ(track.GetFrameNumberAt(k), c.frames[k]);
            EXPECT_EQ(track.GetX(k), 10 + k);
            EXPECT_EQ(track.GetY(k), 20 + k);
            EXPECT_EQ(track.GetZ(k), c.size == 10 ? 0 : 30 + k);
            EXPECT_EQ(track.GetArea(k), 60000u + k);
            EXPECT_EQ(track.GetPerimeter(k), 50 + k);
            EXPECT_FLOAT_EQ(static_cast<float>(-track.GetMainAxisAngle(k)), c.size >= 20 ? 0.25f * k : 0.0f);
            EXPECT_EQ(track.GetGreenEven(k), c.size >= 28 ? 7u + k : 0u);
            EXPECT_EQ(track.GetGreenOdd(k), c.size >= 28 ? 9u + k : 0u);
            if (k > 0) {
                EXPECT_EQ(track.GetTime(k), static_cast<std::int64_t>(c.times[k]));
            }
        }
        // Element 0 keeps the count; its time is one interval before element 1's.
        EXPECT_EQ(track.GetTime(0), static_cast<std::int64_t>(c.times[1]) - 40);
    }
}

TEST(TrackFrames, StoredFramesLoadAgain)
{
    CTrack track;
    FillTrack(track, {{1, 2}, {3, 4}, {5, 6}, {7, 8}});
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        track.SerializeFrames(ar, CTrack::layout2009);
        ar.Close();
    }
    EXPECT_EQ(file.Data().size(), 4u * 32u);
    CTrack again;
    LoadTrackFrames(again, file.Data(), CTrack::layout2009);
    ASSERT_EQ(again.GetCount(), 4);
    for (int k = 1; k < 4; ++k) {
        EXPECT_EQ(again.GetX(k), track.GetX(k));
        EXPECT_EQ(again.GetTime(k), track.GetTime(k));
        EXPECT_EQ(again.GetFrameNumberAt(k), k);
    }
}

TEST(TrackFrames, AnEmptyTrackStoresOneRecordAndLoadsEmpty)
{
    CTrack empty;
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        empty.SerializeFrames(ar, CTrack::layout2009);
        ar.Close();
    }
    EXPECT_EQ(file.Data().size(), 32u);
    CTrack again;
    LoadTrackFrames(again, file.Data(), CTrack::layout2009);
    EXPECT_EQ(again.GetCount(), 0);
}

TEST(TrackFrames, DamagedArchivesAreRefusedAndTheTrackStays)
{
    const auto archiveOf = [](DWORD claimed, int records, int size = 32) {
        sTrackBytesWriter w;
        for (int k = 0; k < records; ++k)
            WriteTrackRecord(w, size, {k == 0 ? claimed : 1000u + 40u * k, 1, 2, 3, 4, 5, 0.0f, 0, 0});
        return w.bytes;
    };
    TrackBytes truncated = archiveOf(3, 3);
    truncated.resize(truncated.size() - 5);
    struct
    {
        const char* name;
        TrackBytes bytes;
        int layout;
    } cases[] = {
        {"a record short", truncated, CTrack::layout2009},
        {"70,000 elements claimed", archiveOf(70000, 3), CTrack::layout2009},
        {"more elements claimed than follow", archiveOf(4000, 3), CTrack::layout2009},
        {"an unknown layout", archiveOf(3, 3), -5},
        {"not even the first record", TrackBytes(7, 0), CTrack::layout2009},
        {"16-bit records cut", archiveOf(3, 2, 10), CTrack::layout2DShort},
    };
    for (const auto& c : cases) {
        CTrack track;
        FillTrack(track, {{1, 2}, {3, 4}});
        EXPECT_THROW(LoadTrackFrames(track, c.bytes, c.layout), CArchiveException) << c.name;
        ASSERT_EQ(track.GetCount(), 2) << c.name;
        EXPECT_EQ(track.GetX(1), 3) << c.name;
    }
    // A count of 0 loads nothing.
    CTrack track;
    FillTrack(track, {{1, 2}});
    LoadTrackFrames(track, archiveOf(0, 1), CTrack::layout2009);
    EXPECT_EQ(track.GetCount(), 1);
}

TEST(TrackValues, EdgeCases)
{
    CTrack track;
    FillTrack(track, {{10, 0}, {20, 3}, {60, 9}});
    EXPECT_DOUBLE_EQ(track.GetSmoothedX(1), (10 + 10 + 20 + 60 + 60) / 5.0);
    EXPECT_DOUBLE_EQ(track.GetSmoothedY(1), (0 + 0 + 3 + 9 + 9) / 5.0);
    EXPECT_DOUBLE_EQ(track.GetSmoothedX(0), 10.0);
    EXPECT_DOUBLE_EQ(track.GetSmoothedX(2), 60.0);
    EXPECT_THROW(track.GetSmoothedX(3), CInvalidArgException);
    EXPECT_EQ(track.GetFrameColumnText(3, 1), "overflow");
    EXPECT_THROW(track.GetFrameColumnText(-1, 1), CInvalidArgException);

    const struct
    {
        int who;
        const char* letter;
    } classes[] = {{2, "c"}, {3, "c"}, {4, "b"}, {5, "a"}, {7, "d"}, {0, "d"}};
    for (const auto& c : classes) {
        track.m_nWHOClass = c.who;
        EXPECT_EQ(track.GetWHOClassText(), c.letter) << c.who;
    }

    track.m_dVSL = 5.0;
    track.m_dVAP = 6.0;
    EXPECT_EQ(track.GetLinearity(), 0.0);
    EXPECT_EQ(track.GetWobble(), 0.0);
    track.m_dVCL = 10.0;
    EXPECT_DOUBLE_EQ(track.GetLinearity(), 0.5);
    EXPECT_DOUBLE_EQ(track.GetWobble(), 0.6);
}

TEST(TrackValues, FrameDistanceIsZeroForEitherIndexOutsideTheTrack)
{
    CTrack track;
    FillTrack(track, {{0, 0}, {3, 4}});
    EXPECT_DOUBLE_EQ(track.FrameDistance(0, 1), 5.0);
    EXPECT_DOUBLE_EQ(track.FrameDistance(1, 0), 5.0);
    for (const auto& [i, j] : {std::pair{-1, 0}, std::pair{0, -1}, std::pair{2, 0}, std::pair{0, 2}, std::pair{70000, 1}})
        EXPECT_EQ(track.FrameDistance(i, j), 0.0) << i << ", " << j;
}

TEST(TrackValues, AFullTrackKeepsItsElements)
{
    CTrack track;
    track.SetSize(2);
    EXPECT_TRUE(track.AddPoint(TrackElement(0, 1, 1), 0, 1));
    // Without advancing, the element waits at the count.
    EXPECT_TRUE(track.AddPoint(TrackElement(0, 9, 9), 1, 0));
    EXPECT_EQ(track.GetCount(), 1);
    EXPECT_TRUE(track.AddPoint(TrackElement(0, 2, 2), 1, 1));
    EXPECT_FALSE(track.AddPoint(TrackElement(0, 3, 3), 2, 1));
    EXPECT_EQ(track.GetCount(), 2);
    EXPECT_EQ(track.GetX(1), 2.0);
    EXPECT_THROW(track.SetSize(65536), CInvalidArgException);
    track.SetSize(65535);
    EXPECT_EQ(track.GetCount(), 0);
}

TEST(TrackValues, PathDirectionFollowsTheFittedLine)
{
    CTrack straight;
    FillTrack(straight, {{10, 10}, {20, 10}, {30, 10}, {40, 10}, {50, 10}, {60, 10}});
    CTrack diagonal;
    FillTrack(diagonal, {{10, 10}, {20, 20}, {30, 30}, {40, 40}, {50, 50}});
    CTrack shortTrack;
    FillTrack(shortTrack, {{10, 10}, {20, 20}, {30, 30}});
    // Counter-clockwise on the screen, y down: along x a full turn, down
    // to the right 315 degrees.
    EXPECT_NEAR(straight.GetPathDirection(0, 5), 2.0 * std::numbers::pi, 1e-6);
    EXPECT_NEAR(straight.GetPathDirection(5, 4), 2.0 * std::numbers::pi, 1e-6);
    EXPECT_EQ(diagonal.GetFrameColumnText(2, 10), "315");
    EXPECT_EQ(shortTrack.GetPathDirection(1, 5), 0.0);
    EXPECT_EQ(shortTrack.GetFrameColumnText(1, 10), "0");
}

TEST(TrackTable, TrackColumnsInTheirFormats)
{
    CTrack track;
    FillTrack(track, {{1, 1}, {2, 2}});
    track.m_dDistance = 12.346;
    track.m_dVCL = 20.0;
    track.m_dVSL = 5.0;
    track.m_dVAP = 8.0;
    track.m_dRadius = 3.5;
    track.m_nWHOClass = 4;
    track.m_nHyperactivated = 2;
    track.m_dBCF = 7.126;
    track.m_dALH = 1.5;
    track.AddStop(CStopReaction(3, 10, 1, CStopReaction::stopShort));
    track.AddStop(CStopReaction(9, 20, 5, CStopReaction::stopLong));
    track.AddStop(CStopReaction(2, 30, 8, CStopReaction::stopShort));

    CStringArray headers;
    track.GetColumnTitles(headers, 0);
    const std::vector<CString> expected = {"Index",    "Frames",      "Distance [Units]", "Speed (VCL)",
                                           "Speed (VSL)", "Speed (VAP)", "Linearity",     "Radius",
                                           "WHO Class", "Hyperact./Trans.", "BCF (1/s)",  "Wobble",
                                           "ALH   ",   "Short Stop",  "Long Stop"};
    ASSERT_EQ(headers.GetSize(), static_cast<INT_PTR>(expected.size()));
    const std::vector<CString> texts = {"0",      "1",    "12.35", "20.00", "5.00", "8.00", "25.0%", "3.50",
                                        "b",      "Transitional", "7.13", "0.40", "1.50", "2", "1"};
    for (size_t c = 0; c < expected.size(); ++c) {
        EXPECT_EQ(headers[static_cast<INT_PTR>(c)], expected[c]);
        EXPECT_EQ(track.GetColumnValues(static_cast<int>(c)), texts[c]) << expected[c].GetString();
    }
    EXPECT_EQ(track.GetColumnValues(15), "");
    track.m_nHyperactivated = 1;
    EXPECT_EQ(track.GetColumnValues(9), "Hyperactive");
    track.m_nHyperactivated = 0;
    EXPECT_EQ(track.GetColumnValues(9), "");

    CStringArray stopHeaders;
    CStopReaction stop(9, 20, 5, CStopReaction::stopLong);
    stop.GetColumnTitles(stopHeaders, 0);
    EXPECT_EQ(stopHeaders.GetSize(), 5);
    EXPECT_EQ(stop.GetColumnValues(1), "9");
    EXPECT_EQ(stop.GetColumnValues(3), "5");
    EXPECT_EQ(stop.GetColumnValues(4), "Long");
}

TEST(TrackTable, OneRowPerFrame)
{
    CBaseObj::SystemCalibration = CCalibration();
    CBaseObj::SystemCalibration.m_dFactor = 0.5;
    CTrack track;
    FillTrack(track, {{0, 0}, {3, 4}});
    C3DTrackElement2009 last = TrackElement(1080, 3, 4, 200, 60);
    last.m_wZ = 2;
    last.m_fAngle = -0.5f;
    last.m_dwGreenEven = 11;
    last.m_dwGreenOdd = 12;
    track.SetSize(2);
    track.AddPoint(TrackElement(2, 0, 0), 0, 1);
    track.AddPoint(last, 2, 1);

    CStringArray headers;
    track.GetColumnTitles(headers, 1);
    ASSERT_EQ(headers.GetSize(), 14);
    EXPECT_EQ(headers[2], "Time[ms]");
    EXPECT_EQ(headers[8], "Distance [Pixel]");
    EXPECT_EQ(track.GetFrameColumnHeaders(2), "mSecs");
    EXPECT_EQ(track.GetFrameColumnHeaders(14), "Undef");
    EXPECT_EQ(track.GetFrameColumnCount(), 14);
    EXPECT_EQ(track.GetRowCount(), 2);

    const std::vector<CString> row = {"1", "2", "1080", "3", "4", "2", "200", "1.43", "5.39", "2.69", "0", "28", "11", "12"};
    for (int c = 0; c < 14; ++c)
        EXPECT_EQ(track.GetColumnValuesAt(1, c), row[static_cast<size_t>(c)]) << c;
    EXPECT_EQ(track.GetColumnValuesAt(0, 2), "1040");
    EXPECT_EQ(track.GetColumnValuesAt(0, 8), "0.00");
    EXPECT_EQ(track.GetColumnValuesAt(1, 14), "");
    EXPECT_EQ(track.GetFrameValue(1, 14), -1.0);
    CBaseObj::SystemCalibration = CCalibration();
}

TEST(TrackTable, ByteArchivesOfTheWholeTrackAreRefused)
{
    CTrack track;
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    EXPECT_THROW(track.Serialize(ar), CArchiveException);
}

} // namespace
