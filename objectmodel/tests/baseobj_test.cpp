#include "objectmodel/baseobjii.h"
#include "objectmodel/pointset.h"
#include "platform/core/exceptions.h"
#include "platform/core/profile.h"
#include "platform/core/tests/scratch_folder.h"

#include <gtest/gtest.h>

namespace {

TEST(BaseObj, NewRecordsStartWithTheDocumentedIdentity)
{
    CBaseObj record;
    EXPECT_EQ(record.m_ID, 0);
    EXPECT_EQ(record.m_Type, 0u);
    EXPECT_EQ(record.m_dClass, 0);
    EXPECT_TRUE(record.GetClassName().IsEmpty());
    EXPECT_EQ(record.m_ClassColor, 255u);
    EXPECT_EQ(record.GetRowCount(), 1);
    EXPECT_EQ(record.GetColumnVariant(0).vt, VT_EMPTY);

    EXPECT_EQ(CBaseObjII().m_ID, 16);
    EXPECT_STREQ(CBaseObjII().GetRuntimeClass()->m_lpszClassName, "CBaseObjII");
}

TEST(BaseObj, CopyTakesTheIdentityButNotTheLinkWord)
{
    CBaseObj source;
    source.m_ID = 5;
    source.m_Type = 0x80000004;
    source.m_dClass = 3;
    source.m_strClassName = "Nucleus";
    source.m_ClassColor = RGB(0, 128, 255);
    source.m_Link = 1;

    CBaseObj target;
    target.m_Link = 7;
    target.Copy(source);
    EXPECT_EQ(target.m_ID, 5);
    EXPECT_EQ(target.m_Type, 0x80000004u);
    EXPECT_EQ(target.m_dClass, 3);
    EXPECT_EQ(target.GetClassName(), "Nucleus");
    EXPECT_EQ(target.m_ClassColor, RGB(0, 128, 255));
    EXPECT_EQ(target.m_Link, 7u);
}

TEST(BaseObjII, ColumnsComeFromTheSharedTitlesAndTheRowValues)
{
    CStringArray titles;
    titles.Add("kept");
    {
        CBaseObjII row;
        row.m_Values.Add("1.5");
        row.m_Values.Add("Cell");

        row.GetColumnTitles(titles, 0); // no shared titles: caller's array stays
        ASSERT_EQ(titles.GetSize(), 1);
        EXPECT_EQ(titles[0], "kept");

        CBaseObjII::SharedTitles.Add("Area");
        CBaseObjII::SharedTitles.Add("Name");
        row.GetColumnTitles(titles, 99);
        ASSERT_EQ(titles.GetSize(), 2);
        EXPECT_EQ(titles[1], "Name");

        EXPECT_EQ(row.GetColumnValues(1), "Cell");
        EXPECT_EQ(row.GetColumnValues(2), "####");
        EXPECT_THROW(row.GetColumnValues(-1), CInvalidArgException);
    }
    // Destroying a row clears the shared titles.
    EXPECT_TRUE(CBaseObjII::SharedTitles.IsEmpty());
}

TEST(Calibration, ComparesAllValuesAndComputesTheReferenceVolume)
{
    CCalibration a;
    CCalibration b;
    EXPECT_FALSE(a != b);
    b.m_zSize = 10.000000001;
    EXPECT_TRUE(a != b);
    b = a;
    EXPECT_FALSE(a != b);

    EXPECT_DOUBLE_EQ(a.GetVoxelVolume(), 640.0 * 480.0 * 10.0);
    const struct
    {
        int unit;
        double cm3;
    } cases[] = {{0, 3072000.0 / 1e12}, {1, 3072000.0 / 1000.0}, {2, 3072000.0}, {5, 3072000.0}};
    for (const auto& c : cases) {
        a.m_nUnit = c.unit;
        EXPECT_DOUBLE_EQ(a.GetVoxelVolumeCm3(), c.cm3) << c.unit;
    }
}

TEST(Calibration, IniRoundTripAndAbsentKeysKeepTheirValues)
{
    CScratchFolder folder;
    const CString ini = (folder / "params.ini").c_str();

    CCalibration written;
    written.m_dFactor = 0.3225;
    written.m_nUnit = 1;
    written.m_xSize = 1.5;
    written.m_ySize = 2.25;
    written.m_zSize = 0.1;
    written.WriteCalibrationIni("Calibration", ini);
    EXPECT_EQ(GetPrivateProfileString("Calibration", "Factor", "", ini), "3.225000e-01");
    EXPECT_EQ(GetPrivateProfileString("Calibration", "xSize", "", ini), "1.500000");

    CCalibration read;
    read.ReadCalibrationIni("Calibration", ini);
    EXPECT_FALSE(read != written);

    // A section with only some keys: the others keep what they had.
    WritePrivateProfileString("Partial", "ySize", "7.5", ini);
    WritePrivateProfileString("Partial", "xSize", "", ini);
    CCalibration partial = written;
    partial.ReadCalibrationIni("Partial", ini);
    EXPECT_EQ(partial.m_dFactor, 0.3225);
    EXPECT_EQ(partial.m_nUnit, 1);
    EXPECT_EQ(partial.m_xSize, 1.5);
    EXPECT_EQ(partial.m_ySize, 7.5);
    EXPECT_EQ(partial.m_zSize, 0.1);
}

TEST(PointSet, AssignmentCopiesPointsAndValues)
{
    sPointSet source;
    source.m_Points.Add(POINT{1, 2});
    source.m_Points.Add(POINT{-3, 4});
    source.m_fValue1 = 12.5f;
    source.m_fValue2 = -0.5f;

    sPointSet target;
    target.m_Points.Add(POINT{9, 9});
    target.m_Points.Add(POINT{9, 9});
    target.m_Points.Add(POINT{9, 9});
    target = source;
    ASSERT_EQ(target.m_Points.GetSize(), 2);
    EXPECT_EQ(target.m_Points[1].x, -3);
    EXPECT_EQ(target.m_Points[1].y, 4);
    EXPECT_EQ(target.m_fValue1, 12.5f);
    EXPECT_EQ(target.m_fValue2, -0.5f);

    const sPointSet fresh;
    EXPECT_EQ(fresh.m_fValue1, 0.0f);
    EXPECT_EQ(fresh.m_Points.GetSize(), 0);
}

} // namespace
