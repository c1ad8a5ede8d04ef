// Tables of cell tracks in XML files: every frame, stop and summary value
// comes back; a track element missing items keeps the defaults.

#include "series/objdatadoc.h"
#include "series/tests/seriestesting.h"

#include "analysis/track.h"

#include <fstream>

namespace {

using kestrun::testing::CSeriesTest;

std::unique_ptr<CTrack> MakeStoredTrack(int seed)
{
    auto track = std::make_unique<CTrack>();
    const int frames = 2 + seed;
    track->SetSize(frames);
    for (int k = 0; k < frames; ++k) {
        C3DTrackElement2009 e;
        e.m_dwTime = static_cast<DWORD>(k == 0 ? frames : 1000 + 40 * k + seed);
        e.m_wX = static_cast<WORD>(10 * k + seed);
        e.m_wY = static_cast<WORD>(5 * k);
        e.m_wZ = static_cast<WORD>(seed);
        e.m_dwArea = static_cast<DWORD>(70000 + k);
        e.m_wPerimeter = static_cast<WORD>(40 + k);
        e.m_fAngle = -0.25f * static_cast<float>(k);
        e.m_dwGreenEven = static_cast<DWORD>(3000000000u + k);
        e.m_dwGreenOdd = static_cast<DWORD>(k + seed);
        track->AddPoint(e, static_cast<WORD>(2 * k), 1);
    }
    track->AddStop(CStopReaction(3 + seed, 15, 1, CStopReaction::stopLong));
    track->AddStop(CStopReaction(1, -20, 2, CStopReaction::stopShort));
    track->m_nWHOClass = 2 + seed;
    track->m_nHyperactivated = seed % 3;
    track->m_dRadius = 1.5 + seed;
    track->m_dDistance = 123.456 + seed;
    track->m_dVCL = 40.25 + seed;
    track->m_dVSL = 20.125;
    track->m_dVAP = 30.0625;
    track->m_dBCF = 7.5;
    track->m_dALH = 0.75 * seed;
    track->m_dClass = static_cast<WORD>(seed);
    track->m_ClassColor = RGB(seed, 2, 3);
    return track;
}

class TrackTableTest : public CSeriesTest
{
};

TEST_F(TrackTableTest, ThreeTracksComeBackWithEveryFrameAndValue)
{
    CObjDataDoc doc;
    for (int seed = 0; seed < 3; ++seed)
        doc.AddObject(MakeStoredTrack(seed).release());
    doc.BuildTitles();
    ASSERT_TRUE(doc.OnSaveDocument(PathOf("tracks.xml")));

    CObjDataDoc loaded;
    ASSERT_TRUE(loaded.OnOpenDocument(PathOf("tracks.xml")));
    ASSERT_EQ(loaded.GetCount(), 3);
    for (int seed = 0; seed < 3; ++seed) {
        SCOPED_TRACE(seed);
        const std::unique_ptr<CTrack> expected = MakeStoredTrack(seed);
        const auto* track = dynamic_cast<const CTrack*>(loaded.GetAt(seed));
        ASSERT_NE(track, nullptr);
        EXPECT_EQ(track->m_ID, 7);
        ASSERT_EQ(track->GetCount(), expected->GetCount());
        for (int k = 0; k < track->GetCount(); ++k) {
            EXPECT_EQ(track->GetFrameNumberAt(k), expected->GetFrameNumberAt(k));
            EXPECT_EQ(track->GetTime(k), expected->GetTime(k));
            EXPECT_EQ(track->GetX(k), expected->GetX(k));
            EXPECT_EQ(track->GetY(k), expected->GetY(k));
            EXPECT_EQ(track->GetZ(k), expected->GetZ(k));
            EXPECT_EQ(track->GetArea(k), expected->GetArea(k));
            EXPECT_EQ(track->GetPerimeter(k), expected->GetPerimeter(k));
            EXPECT_EQ(track->GetMainAxisAngle(k), expected->GetMainAxisAngle(k));
            EXPECT_EQ(track->GetGreenEven(k), expected->GetGreenEven(k));
            EXPECT_EQ(track->GetGreenOdd(k), expected->GetGreenOdd(k));
        }
        EXPECT_EQ(track->GetStops(), expected->GetStops());
        EXPECT_EQ(track->m_nWHOClass, expected->m_nWHOClass);
        EXPECT_EQ(track->m_nHyperactivated, expected->m_nHyperactivated);
        for (const auto& [got, want] : {std::pair{track->m_dRadius, expected->m_dRadius},
                                        std::pair{track->m_dDistance, expected->m_dDistance},
                                        std::pair{track->m_dVCL, expected->m_dVCL},
                                        std::pair{track->m_dVSL, expected->m_dVSL},
                                        std::pair{track->m_dVAP, expected->m_dVAP},
                                        std::pair{track->m_dBCF, expected->m_dBCF},
                                        std::pair{track->m_dALH, expected->m_dALH}})
            EXPECT_DOUBLE_EQ(got, want);
        EXPECT_EQ(track->m_dClass, seed);
        EXPECT_EQ(track->m_ClassColor, RGB(seed, 2, 3));
    }
    // Stored again, the file is the same.
    ASSERT_TRUE(loaded.OnSaveDocument(PathOf("again.xml")));
    EXPECT_EQ(ReadFile("again.xml"), ReadFile("tracks.xml"));
}

TEST_F(TrackTableTest, MissingItemsKeepTheDefaults)
{
    std::ofstream(PathOf("sparse.xml").GetString(), std::ios::binary)
        << "<CObjDataDoc><CGridDoc2><CDataDoc><m_arrayObjects><CTrack><m_dVCL>12.5</m_dVCL><m_arrElements>"
           "<C3DTrackElement2009><m_wX>7</m_wX></C3DTrackElement2009><!-- a note -->"
           "<C3DTrackElement2009><m_dwTime>1040</m_dwTime><m_wFrame>1</m_wFrame></C3DTrackElement2009>"
           "</m_arrElements><m_arrStops><CStopReaction><m_nFrames>4</m_nFrames></CStopReaction></m_arrStops>"
           "</CTrack></m_arrayObjects></CDataDoc></CGridDoc2></CObjDataDoc>";
    CObjDataDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(PathOf("sparse.xml")));
    ASSERT_EQ(doc.GetCount(), 1);
    const auto& track = dynamic_cast<const CTrack&>(*doc.GetAt(0));
    EXPECT_EQ(track.m_dVCL, 12.5);
    EXPECT_EQ(track.m_dVSL, 0.0);
    EXPECT_EQ(track.m_nWHOClass, 0);
    ASSERT_EQ(track.GetCount(), 2);
    EXPECT_EQ(track.GetX(0), 7.0);
    EXPECT_EQ(track.GetY(0), 0.0);
    EXPECT_EQ(track.GetX(1), 0.0);
    EXPECT_EQ(track.GetTime(1), 1040);
    EXPECT_EQ(track.GetFrameNumberAt(1), 1);
    EXPECT_EQ(track.GetArea(1), 0u);
    ASSERT_EQ(track.GetStops().size(), 1u);
    EXPECT_EQ(track.GetStops()[0].m_nFrames, 4);
    EXPECT_EQ(track.GetStops()[0].m_nClass, CStopReaction::stopShort);
}

} // namespace
