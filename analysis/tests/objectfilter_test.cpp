#include "analysis/objectfilter.h"
#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/exceptions.h"
#include "analysis/tests/inifiles_fixture.h"
#include "platform/core/profile.h"
#include "platform/core/tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <string>
#include <vector>

TEST(ObjectFilterTest, StepNamesAndIds)
{
    const char* const names[] = {"Smooth", "SplitColorChannel", "Perspective", "Binarize", "RasterAutoThreshold",
                                 "Edge",   "Erode",             "Dilate",      "Vovod",    "Undistort"};
    for (int id = 0; id < 10; ++id) {
        EXPECT_EQ(GetFilterStepName(id), names[id]);
        EXPECT_EQ(GetFilterStepId(names[id]), id);
    }
    EXPECT_EQ(GetFilterStepName(-1), "Unknown");
    EXPECT_EQ(GetFilterStepName(10), "Unknown");
    EXPECT_EQ(GetFilterStepId("Unknown"), -1);
    EXPECT_EQ(GetFilterStepId("smooth"), -1);
    EXPECT_EQ(GetFilterStepId(""), -1);
}

TEST(ObjectFilterTest, GetFilterRefusesIndicesOutsideTheSteps)
{
    CObjectFilter filter;
    filter.m_arrayFilter.Add(filterErode);
    filter.m_arrayFilter.Add(filterDilate);
    EXPECT_EQ(filter.GetFilterCount(), 2);
    EXPECT_EQ(filter.GetFilter(0), filterErode);
    EXPECT_EQ(filter.GetFilter(1), filterDilate);
    // Answering "Smooth" here would run a filter nobody chose.
    EXPECT_THROW(filter.GetFilter(2), CInvalidArgException);
    EXPECT_THROW(filter.GetFilter(-1), CInvalidArgException);
    EXPECT_THROW(CObjectFilter().GetFilter(0), CInvalidArgException);
}

TEST(ObjectFilterTest, ProfileCopyKeepsTheSteps)
{
    CObjectFilter source;
    source.m_Smoothing = 1;
    source.m_SmoothGrade[4] = 7;
    source.m_ConCutType = CObjectFilter::conCutWatershed;
    source.m_ConCutThres = 4.5f;
    source.m_SkeletonSegmentMinLength = 9.0f;
    source.m_arrayFilter.Add(filterEdge);

    CObjectFilter target;
    target.m_arrayFilter.Add(filterVovod);
    target.m_arrayFilter.Add(filterUndistort);
    target.Copy(source);
    EXPECT_EQ(target.m_Smoothing, 1);
    EXPECT_EQ(target.m_SmoothGrade[4], 7);
    EXPECT_EQ(target.m_ConCutType, CObjectFilter::conCutWatershed);
    EXPECT_EQ(target.m_ConCutThres, 4.5f);
    EXPECT_EQ(target.m_SkeletonSegmentMinLength, 9.0f);
    ASSERT_EQ(target.GetFilterCount(), 2);
    EXPECT_EQ(target.GetFilter(0), filterVovod);

    // Plain assignment copies everything.
    CObjectFilter whole;
    whole = source;
    ASSERT_EQ(whole.GetFilterCount(), 1);
    EXPECT_EQ(whole.GetFilter(0), filterEdge);
}

TEST(ObjectFilterTest, XmlLayoutAndRoundTrip)
{
    CScratchFolder folder;
    const std::string path = folder / "filter.xml";
    CObjectFilter filter;
    filter.m_Distance = 40;
    filter.m_SmoothGrade[2] = 5;
    filter.m_SmoothMaxTurns[4] = 12;
    filter.m_ConCutThres = 2.5f;
    filter.m_ContourFeatureSegmentFilterThres = 0.5f;
    filter.m_arrayFilter.Add(filterPerspective);
    filter.m_arrayFilter.Add(filterSmooth);
    {
        CXMLArchive xml(path.c_str(), CArchive::store);
        filter.Serialize(xml);
        xml.Close();
    }
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(path.c_str()));
    const pugi::xml_node element = doc.child("CObjectFilter");
    std::vector<std::string> names;
    for (pugi::xml_node child : element.children())
        names.push_back(child.name());
    EXPECT_EQ(names, (std::vector<std::string>{
                         "Distance", "Smoothing", "SmoothGradeArray", "SmoothMaxTurnsArray", "ConCutType",
                         "ConCutThres", "ContourFeatureMethod", "ContourFeatureFit", "ContourFeatureThresLow",
                         "ContourFeatureThresHigh", "ContourFeatureSegmentFilterFit",
                         "ContourFeatureSegmentFilterThres", "ContourFeatureLineFitThres", "CCFit", "ConvexThres",
                         "ConcavThres", "SkeletonSegmentMinLength", "m_arrayFilter"}));
    EXPECT_EQ(std::distance(element.child("SmoothGradeArray").children("int").begin(),
                            element.child("SmoothGradeArray").children("int").end()),
              5);
    EXPECT_STREQ(element.child_value("ConCutThres"), "2.500000");

    CObjectFilter loaded;
    {
        CXMLArchive xml(path.c_str(), CArchive::load);
        loaded.Serialize(xml);
    }
    EXPECT_EQ(loaded.m_Distance, 40);
    EXPECT_EQ(loaded.m_SmoothGrade[0], 2);
    EXPECT_EQ(loaded.m_SmoothGrade[2], 5);
    EXPECT_EQ(loaded.m_SmoothMaxTurns[4], 12);
    EXPECT_EQ(loaded.m_ConCutThres, 2.5f);
    EXPECT_EQ(loaded.m_ContourFeatureSegmentFilterThres, 0.5f);
    ASSERT_EQ(loaded.GetFilterCount(), 2);
    EXPECT_EQ(loaded.GetFilter(0), filterPerspective);
    EXPECT_EQ(loaded.GetFilter(1), filterSmooth);
}

using ObjectFilterIniTest = IniFilesTest;

TEST_F(ObjectFilterIniTest, SectionKeysAndMissingValues)
{
    WritePrivateProfileString("ObjectFilter", "Smooth", "1", m_parameters);
    WritePrivateProfileString("ObjectFilter", "Smooth_Grade3", "6", m_parameters);
    WritePrivateProfileString("ObjectFilter", "Smooth_MaxTurns0", "33", m_parameters);
    WritePrivateProfileString("ObjectFilter", "ConglomeratCutThres", "", m_parameters);
    WritePrivateProfileString("ObjectFilter", "ConglomeratCutType", "2", m_parameters);
    WritePrivateProfileString("ObjectFilter", "RegWidthCurv", "11", m_parameters);
    WritePrivateProfileString("ObjectFilter", "RegWidthCC", "13", m_parameters);
    WritePrivateProfileString("ObjectFilter", "ThresConvex", "3.25", m_parameters);
    WritePrivateProfileString("ObjectFilter", "Distance", "50", m_parameters);

    CObjectFilter filter;
    filter.m_ConCutThres = 7.0f;
    filter.m_ConcavThres = 1.5f;
    filter.LoadIni("ObjectFilter", m_parameters);
    EXPECT_EQ(filter.m_Smoothing, 1);
    EXPECT_EQ(filter.m_SmoothGrade[3], 6);
    EXPECT_EQ(filter.m_SmoothGrade[1], 3);
    EXPECT_EQ(filter.m_SmoothMaxTurns[0], 33);
    EXPECT_EQ(filter.m_ConCutThres, 7.0f) << "an empty text keeps the value";
    EXPECT_EQ(filter.m_ConCutType, 2);
    EXPECT_EQ(filter.m_ContourFeatureFit, 11);
    EXPECT_EQ(filter.m_CCFit, 13);
    EXPECT_EQ(filter.m_ConvexThres, 3.25f);
    EXPECT_EQ(filter.m_ConcavThres, 1.5f);
    EXPECT_EQ(filter.m_Distance, 50);
}

TEST_F(ObjectFilterIniTest, MarkerMigrationRunsOnce)
{
    WriteProfileString("ObjFilter", "Smooth", "1");
    WriteProfileString("CellObjFilter", "Smooth_Grade2", "4");
    WriteProfileString("ObjFilter", "ConglomeratCutThres", "6.500000");
    WriteProfileString("ObjFilter", "ConglomeratCutThresMorph", "2.000000");
    WriteProfileString("ObjFilter", "ConglomeratCutTypeMorph", "2");
    WriteProfileString("RegWidthCC", "RegWidthCC", "17");
    WriteProfileString("EllipseFit", "Distance", "21");
    WritePrivateProfileString("ObjFilter", "ConglomeratCutFit", "5", m_parameters);
    WritePrivateProfileString("ObjFilter", "ConglomeratCutFitMorph", "0", m_parameters);
    WritePrivateProfileString("ObjectFilter0", "Distance", "60", m_parameters);
    WritePrivateProfileString("ObjectFilter1", "Distance", "61", m_parameters);

    CObjectFilter normal;
    normal.LoadIni("ObjectFilter0", m_parameters);
    EXPECT_EQ(normal.m_Smoothing, 1);
    EXPECT_EQ(normal.m_SmoothGrade[2], 4);
    EXPECT_EQ(normal.m_ConCutThres, 6.5f);
    EXPECT_EQ(normal.m_CCFit, 17);
    EXPECT_EQ(normal.m_Distance, 21);
    EXPECT_EQ(GetPrivateProfileInt("ObjFilter", "ConglomeratCutFit", 0, m_parameters), UINT(-1));

    CObjectFilter morph;
    morph.LoadIni("ObjectFilter1", m_parameters);
    EXPECT_EQ(morph.m_ConCutThres, 2.0f);
    EXPECT_EQ(morph.m_ConCutType, 2);
    EXPECT_EQ(morph.m_Smoothing, 0) << "the morphology variant takes only the cutting values";
    EXPECT_EQ(morph.m_Distance, 35);
    EXPECT_EQ(GetPrivateProfileInt("ObjFilter", "ConglomeratCutFitMorph", 0, m_parameters), UINT(-1));

    for (int load = 0; load < 2; ++load) {
        CObjectFilter again;
        again.LoadIni("ObjectFilter0", m_parameters);
        EXPECT_EQ(again.m_Distance, 60) << "load " << load;
        EXPECT_EQ(again.m_Smoothing, 0) << "load " << load;
        again.LoadIni("ObjectFilter1", m_parameters);
        EXPECT_EQ(again.m_Distance, 61) << "load " << load;
    }
}
