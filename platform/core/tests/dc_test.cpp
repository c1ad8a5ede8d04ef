#include "platform/core/dc.h"
#include "platform/core/exceptions.h"
#include "platform/core/gdi.h"
#include "platform/core/recording_dc.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct MappingCase
{
    const char* name;
    int mode;
    CPoint windowOrg;
    CSize windowExt;
    CPoint viewportOrg;
    CSize viewportExt;
    CPoint logical;
    CPoint device;
};

void applyMapping(CDC& dc, const MappingCase& c)
{
    dc.SetMapMode(c.mode);
    dc.SetWindowExt(c.windowExt);
    dc.SetViewportExt(c.viewportExt);
    dc.SetWindowOrg(c.windowOrg);
    dc.SetViewportOrg(c.viewportOrg);
}

const MappingCase kMappingCases[] = {
    {"text mode shifts by the origins only", MM_TEXT, {10, 20}, {5, 5}, {100, 200}, {7, 7}, {15, 25}, {105, 205}},
    {"anisotropic scales each axis", MM_ANISOTROPIC, {10, 20}, {100, 100}, {5, 500}, {200, -50}, {35, 40}, {55, 490}},
    {"anisotropic rounds -0.5 away from zero", MM_ANISOTROPIC, {10, 20}, {100, 100}, {5, 500}, {200, -50}, {11, 21}, {7, 499}},
    {"anisotropic rounds +0.5 away from zero", MM_ANISOTROPIC, {10, 20}, {100, 100}, {5, 500}, {200, -50}, {9, 19}, {3, 501}},
    {"isotropic shrinks the larger x scale", MM_ISOTROPIC, {0, 0}, {100, 100}, {0, 0}, {200, -50}, {100, 100}, {50, -50}},
    {"isotropic shrinks the larger y scale", MM_ISOTROPIC, {0, 0}, {100, 100}, {0, 0}, {40, 300}, {100, 100}, {40, 40}},
    {"low metric: an inch up is 96 pixels up", MM_LOMETRIC, {0, 0}, {1, 1}, {0, 0}, {1, 1}, {254, 254}, {96, -96}},
    {"low metric: a centimetre rounds to 38", MM_LOMETRIC, {0, 0}, {1, 1}, {0, 0}, {1, 1}, {100, -100}, {38, 38}},
    {"twips keep the origins", MM_TWIPS, {1440, 0}, {1, 1}, {10, 10}, {1, 1}, {2880, 720}, {106, -38}},
};

} // namespace

TEST(CDCMappingTest, MapsLogicalToDevicePoints)
{
    for (const MappingCase& c : kMappingCases) {
        SCOPED_TRACE(c.name);
        CRecordingDC dc;
        applyMapping(dc, c);
        CPoint p = c.logical;
        dc.LPtoDP(&p);
        EXPECT_EQ(p, c.device);
    }
}

TEST(CDCMappingTest, IsotropicAndFixedModesReportTheirExtents)
{
    CRecordingDC dc;
    dc.SetMapMode(MM_ISOTROPIC);
    dc.SetWindowExt(100, 100);
    EXPECT_EQ(dc.SetViewportExt(200, -50), CSize(1, 1));
    EXPECT_EQ(dc.GetViewportExt(), CSize(50, -50));

    // Outside the scalable modes the extent setters change nothing.
    dc.SetMapMode(MM_TEXT);
    EXPECT_EQ(dc.SetWindowExt(10, 10), CSize(0, 0));
    EXPECT_EQ(dc.GetWindowExt(), CSize(1, 1));
    dc.SetMapMode(MM_HIMETRIC);
    EXPECT_EQ(dc.SetViewportExt(10, 10), CSize(0, 0));
    EXPECT_EQ(dc.GetViewportExt(), CSize(96, -96));
    EXPECT_EQ(dc.GetWindowExt(), CSize(2540, 2540));

    // Unknown modes and zero extents are refused.
    EXPECT_EQ(dc.SetMapMode(9), 0);
    EXPECT_EQ(dc.GetMapMode(), MM_HIMETRIC);
    dc.SetMapMode(MM_ANISOTROPIC);
    EXPECT_EQ(dc.SetWindowExt(0, 5), CSize(0, 0));
    EXPECT_EQ(dc.GetWindowExt(), CSize(2540, 2540));
}

TEST(CDCMappingTest, FixedModesFollowTheDeviceResolution)
{
    CRecordingDC dc;
    dc.SetResolution(300, 150);
    dc.SetMapMode(MM_LOENGLISH);
    CPoint p(100, 100); // one inch each way
    dc.LPtoDP(&p);
    EXPECT_EQ(p, CPoint(300, -150));
}

TEST(CDCMappingTest, DeviceToLogicalInvertsTheMapping)
{
    CRecordingDC dc;
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowOrg(-7, 13);
    dc.SetWindowExt(100, 100);
    dc.SetViewportOrg(40, 900);
    dc.SetViewportExt(300, -200);

    POINT points[] = {{0, 0}, {-7, 13}, {33, -21}, {1000, 999}};
    POINT mapped[4];
    std::memcpy(mapped, points, sizeof(points));
    dc.LPtoDP(mapped, 4);
    EXPECT_EQ(CPoint(mapped[1]), CPoint(40, 900));
    dc.DPtoLP(mapped, 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(CPoint(mapped[i]), CPoint(points[i])) << "point " << i;

    CRect rect(0, 0, 10, 20);
    dc.LPtoDP(&rect);
    EXPECT_EQ(rect, CRect(61, 926, 91, 886)); // not normalised: y points up
    dc.DPtoLP(&rect);
    EXPECT_EQ(rect, CRect(0, 0, 10, 20));

    CSize size(10, 10);
    dc.LPtoDP(&size);
    EXPECT_EQ(size, CSize(30, 20)); // magnitudes only
    dc.DPtoLP(&size);
    EXPECT_EQ(size, CSize(10, 10));

    // Device pixels between logical units round the same way back: a third
    // of a unit to the nearest, half a unit away from zero.
    CPoint between(41, 899);
    dc.DPtoLP(&between);
    EXPECT_EQ(between, CPoint(-7, 14));
}

TEST(CDCMappingTest, OffsetsAndScalingAnswerThePreviousValues)
{
    CRecordingDC dc;
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(10, 10);
    dc.SetViewportExt(30, 40);
    EXPECT_EQ(dc.ScaleViewportExt(1, 3, 3, 2), CSize(30, 40));
    EXPECT_EQ(dc.GetViewportExt(), CSize(10, 60));
    EXPECT_EQ(dc.ScaleWindowExt(1, 0, 1, 1), CSize(0, 0));
    EXPECT_EQ(dc.OffsetWindowOrg(3, 4), CPoint(0, 0));
    EXPECT_EQ(dc.OffsetWindowOrg(1, 1), CPoint(3, 4));
    EXPECT_EQ(dc.OffsetViewportOrg(-5, 5), CPoint(0, 0));
    EXPECT_EQ(dc.GetWindowOrg(), CPoint(4, 5));
    EXPECT_EQ(dc.GetViewportOrg(), CPoint(-5, 5));
}

TEST(CDCStateTest, RestoreDCBringsBackMappingObjectsAndModes)
{
    CRecordingDC dc;
    CPen red(PS_SOLID, 3, RGB(255, 0, 0));
    CPen blue(PS_DOT, 1, RGB(0, 0, 255));

    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(10, 10);
    dc.SetViewportExt(20, -20);
    dc.SelectObject(&red);
    dc.SetROP2(R2_MERGEPENNOT);
    dc.MoveTo(1, 2);
    EXPECT_EQ(dc.SaveDC(), 1);

    dc.SetMapMode(MM_TEXT);
    dc.SelectObject(&blue);
    dc.SetROP2(R2_COPYPEN);
    EXPECT_EQ(dc.SaveDC(), 2);

    dc.SetMapMode(MM_LOMETRIC);
    dc.SelectStockObject(NULL_PEN);
    dc.SetROP2(R2_NOT);
    dc.MoveTo(7, 7);

    ASSERT_TRUE(dc.RestoreDC(-1));
    EXPECT_EQ(dc.GetMapMode(), MM_TEXT);
    EXPECT_EQ(dc.GetCurrentPen(), &blue);
    EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);

    ASSERT_TRUE(dc.RestoreDC(1));
    EXPECT_EQ(dc.GetMapMode(), MM_ANISOTROPIC);
    EXPECT_EQ(dc.GetViewportExt(), CSize(20, -20));
    EXPECT_EQ(dc.GetCurrentPen(), &red);
    EXPECT_EQ(dc.GetCurrentLogPen().lopnWidth.x, 3);
    EXPECT_EQ(dc.GetROP2(), R2_MERGEPENNOT);
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(1, 2));

    // Both levels are used up now.
    EXPECT_FALSE(dc.RestoreDC(1));
    EXPECT_FALSE(dc.RestoreDC(-1));
    EXPECT_EQ(dc.GetMapMode(), MM_ANISOTROPIC);
}

TEST(CDCStateTest, RestoringANestedLevelDropsTheLaterOnes)
{
    CRecordingDC dc;
    for (int rop : {R2_BLACK, R2_WHITE, R2_NOT}) {
        dc.SetROP2(rop);
        dc.SaveDC();
    }
    dc.SetROP2(R2_XORPEN);

    EXPECT_FALSE(dc.RestoreDC(0));
    EXPECT_FALSE(dc.RestoreDC(4));
    EXPECT_FALSE(dc.RestoreDC(-4));
    EXPECT_EQ(dc.GetROP2(), R2_XORPEN);

    ASSERT_TRUE(dc.RestoreDC(2));
    EXPECT_EQ(dc.GetROP2(), R2_WHITE);
    EXPECT_EQ(dc.SaveDC(), 2);
    ASSERT_TRUE(dc.RestoreDC(-2));
    EXPECT_EQ(dc.GetROP2(), R2_BLACK);
}

TEST(CDCStateTest, SettersAnswerThePreviousValueAndRefuseUnknownModes)
{
    CRecordingDC dc;
    EXPECT_EQ(dc.SetROP2(R2_MERGEPENNOT), R2_COPYPEN);
    EXPECT_EQ(dc.SetROP2(17), 0);
    EXPECT_EQ(dc.SetROP2(0), 0);
    EXPECT_EQ(dc.GetROP2(), R2_MERGEPENNOT);
    EXPECT_EQ(dc.SetBkMode(TRANSPARENT), OPAQUE);
    EXPECT_EQ(dc.SetBkMode(3), 0);
    EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
    EXPECT_EQ(dc.SetTextColor(RGB(1, 2, 3)), RGB(0, 0, 0));
    EXPECT_EQ(dc.SetBkColor(RGB(4, 5, 6)), RGB(255, 255, 255));
    EXPECT_EQ(dc.SetTextAlign(TA_BASELINE | TA_CENTER), TA_TOP | TA_LEFT);
    EXPECT_EQ(dc.MoveTo(4, 5), CPoint(0, 0));
    EXPECT_EQ(dc.MoveTo(CPoint(6, 7)), CPoint(4, 5));
}

TEST(CDCStateTest, SelectObjectAnswersThePreviousObject)
{
    CRecordingDC dc;
    EXPECT_EQ(dc.GetCurrentPen(), GetStockObject(BLACK_PEN));
    EXPECT_EQ(dc.GetCurrentBrush(), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(dc.GetCurrentFont(), GetStockObject(SYSTEM_FONT));

    CPen pen1(PS_SOLID, 1, RGB(1, 1, 1));
    CPen pen2(PS_DASH, 1, RGB(2, 2, 2));
    EXPECT_EQ(dc.SelectObject(&pen1), GetStockObject(BLACK_PEN));
    EXPECT_EQ(dc.SelectObject(&pen2), &pen1);
    EXPECT_EQ(dc.GetCurrentLogPen().lopnStyle, static_cast<UINT>(PS_DASH));

    CBrush hatch(HS_CROSS, RGB(9, 9, 9));
    EXPECT_EQ(dc.SelectObject(&hatch), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(dc.SelectStockObject(NULL_BRUSH), &hatch);
    EXPECT_EQ(dc.GetCurrentLogBrush().lbStyle, BS_NULL);

    CFont font;
    ASSERT_TRUE(font.CreatePointFont(100, "Arial"));
    EXPECT_EQ(dc.SelectObject(&font), GetStockObject(SYSTEM_FONT));
    CGdiObject* generic = &pen1;
    EXPECT_EQ(dc.SelectObject(generic), &pen2);

    // Null and uncreated objects change nothing.
    CPen empty;
    EXPECT_EQ(dc.SelectObject(&empty), nullptr);
    EXPECT_EQ(dc.SelectObject(static_cast<CPen*>(nullptr)), nullptr);
    EXPECT_EQ(dc.SelectStockObject(9), nullptr);
    EXPECT_EQ(dc.GetCurrentPen(), &pen1);
}

TEST(CDCStateTest, DeviceCapsComeFromTheDevice)
{
    CRecordingDC dc;
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 96);
    EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 1000);
    EXPECT_EQ(dc.GetDeviceCaps(HORZSIZE), 265);
    dc.SetDeviceSize(640, 480);
    dc.SetResolution(120, 72);
    dc.SetTechnology(DT_RASPRINTER);
    EXPECT_EQ(dc.GetDeviceCaps(VERTRES), 480);
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), 72);
    EXPECT_EQ(dc.GetDeviceCaps(VERTSIZE), 169);
    EXPECT_EQ(dc.GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(dc.GetDeviceCaps(12345), 0);
    EXPECT_THROW(dc.SetResolution(0, 96), CInvalidArgException);

    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(2, 2);
    dc.SetViewportExt(1, 1);
    CRect clip;
    EXPECT_EQ(dc.GetClipBox(&clip), SIMPLEREGION);
    EXPECT_EQ(clip, CRect(0, 0, 1280, 960));
}

TEST(CGdiObjectTest, BadDescriptionsAreRefusedAndChangeNothing)
{
    EXPECT_THROW(CPen(7, 1, 0), CInvalidArgException);
    EXPECT_THROW(CPen(PS_SOLID, -1, 0), CInvalidArgException);
    EXPECT_THROW(CBrush(6, 0), CInvalidArgException);

    CPen pen(PS_DOT, 2, RGB(1, 2, 3));
    EXPECT_FALSE(pen.CreatePen(-1, 1, 0));
    LOGPEN log{};
    ASSERT_TRUE(pen.GetLogPen(&log));
    EXPECT_EQ(log, (LOGPEN{PS_DOT, {2, 0}, RGB(1, 2, 3)}));

    CBrush brush;
    EXPECT_FALSE(brush.CreateHatchBrush(HS_DIAGCROSS + 1, 0));
    EXPECT_EQ(brush.GetSafeHandle(), nullptr);
    EXPECT_FALSE(brush.CreateStockObject(BLACK_PEN));
    EXPECT_TRUE(brush.CreateStockObject(GRAY_BRUSH));
    EXPECT_EQ(brush.LogBrush().lbColor, RGB(128, 128, 128));
    EXPECT_TRUE(brush.DeleteObject());
    EXPECT_FALSE(brush.DeleteObject());
}

TEST(CGdiObjectTest, StockObjectsCannotBeDeletedOrRedefined)
{
    auto* black = static_cast<CPen*>(GetStockObject(BLACK_PEN));
    ASSERT_NE(black, nullptr);
    EXPECT_TRUE(black->DeleteObject());
    EXPECT_NE(black->GetSafeHandle(), nullptr);
    EXPECT_FALSE(black->CreatePen(PS_SOLID, 5, RGB(255, 0, 0)));
    EXPECT_EQ(black->LogPen(), (LOGPEN{PS_SOLID, {0, 0}, RGB(0, 0, 0)}));
    EXPECT_EQ(GetStockObject(HOLLOW_BRUSH), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetStockObject(9), nullptr);
    EXPECT_EQ(GetStockObject(-1), nullptr);
    EXPECT_EQ(GetStockObject(DEFAULT_GUI_FONT)->GetObjectType(), OBJ_FONT);
}

TEST(CGdiObjectTest, PointFontsBecomeLogicalHeights)
{
    CFont screen;
    ASSERT_TRUE(screen.CreatePointFont(120, "Arial"));
    EXPECT_EQ(screen.LogFont().lfHeight, -16);
    EXPECT_STREQ(screen.LogFont().lfFaceName, "Arial");

    CRecordingDC dc;
    dc.SetMapMode(MM_LOMETRIC);
    CFont metric;
    ASSERT_TRUE(metric.CreatePointFont(120, "Arial", &dc));
    EXPECT_EQ(metric.LogFont().lfHeight, -42); // 16 pixels of 0.2646 mm

    CFont full;
    ASSERT_TRUE(full.CreateFont(-13, 0, 0, 0, FW_BOLD, 1, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Times New Roman"));
    LOGFONT lf{};
    EXPECT_EQ(full.GetLogFont(&lf), static_cast<int>(sizeof(LOGFONT)));
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_STREQ(lf.lfFaceName, "Times New Roman");
}

TEST(CGdiObjectTest, LongFaceNamesAreCutOnACharacterBoundary)
{
    LOGFONT lf{};
    SetFaceName(lf, "abcdefghijklmnopqrstuvwxyz0123456789");
    EXPECT_STREQ(lf.lfFaceName, "abcdefghijklmnopqrstuvwxyz01234");
    // 30 ASCII bytes then a two-byte character that would straddle the cut.
    SetFaceName(lf, "abcdefghijklmnopqrstuvwxyz0123\xC2\xB5xyz");
    EXPECT_STREQ(lf.lfFaceName, "abcdefghijklmnopqrstuvwxyz0123");
}
