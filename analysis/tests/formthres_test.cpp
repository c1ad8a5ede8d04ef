#include "analysis/formthres.h"
#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/file.h"
#include "analysis/tests/inifiles_fixture.h"
#include "platform/core/profile.h"
#include "platform/core/tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <cmath>

#include <string>
#include <vector>

namespace {

// Limits that every case below shares: area 10..100 and homogeneity
// 0.2..0.8 on both sides, form factor only with a minimum, length only
// with a maximum; colours per case.
CFormThres MakeLimits()
{
    CFormThres form;
    form.m_Type = featureArea | featureFormFactor | featureLength | featureHomogeneity | featureWidth |
                  featureColors | featureTailOrMovement | featureBorderContact;
    CClassVector& v = form.m_ObjectFilter;
    v.m_Min.m_dwFeatureFlags = featureArea | featureFormFactor | featureHomogeneity;
    v.m_Max.m_dwFeatureFlags = featureArea | featureLength | featureHomogeneity;
    v.m_Min.m_fArea = 10.0f;
    v.m_Max.m_fArea = 100.0f;
    v.m_Min.m_fFormFactor = 1.5f;
    v.m_Max.m_fFormFactor = 2.0f; // switched off
    v.m_Min.m_fLength = 50.0f;    // switched off
    v.m_Max.m_fLength = 20.0f;
    v.m_Min.m_dHomogeneity = 0.2;
    v.m_Max.m_dHomogeneity = 0.8;
    return form;
}

struct CheckCase
{
    const char* name;
    DWORD bit;
    double value;
    bool passes;
};

} // namespace

TEST(FormThresTest, CheckValueTable)
{
    const CFormThres form = MakeLimits();
    const CheckCase cases[] = {
        {"area inside", featureArea, 50.0, true},
        {"area at minimum", featureArea, 10.0, true},
        {"area at maximum", featureArea, 100.0, true},
        {"area below", featureArea, 9.99, false},
        {"area above", featureArea, 100.01, false},
        {"form factor below minimum", featureFormFactor, 1.0, false},
        {"form factor above disabled maximum", featureFormFactor, 99.0, true},
        {"length below disabled minimum", featureLength, 1.0, true},
        {"length above maximum", featureLength, 21.0, false},
        {"homogeneity inside", featureHomogeneity, 0.5, true},
        {"homogeneity above", featureHomogeneity, 0.81, false},
        {"width without limits", featureWidth, -5.0, true},
        {"convexity not tested", featureConvexity, -5.0, true},
        {"curvature not tested", featureCurvature, 1e9, true},
        {"tail filter off", featureTailOrMovement, 0.0, true},
        {"border filter off", featureBorderContact, 1.0, true},
    };
    for (const CheckCase& c : cases)
        EXPECT_EQ(form.CheckValue(c.value, c.bit) != FALSE, c.passes) << c.name;
}

TEST(FormThresTest, FeaturesOutsideTypePassWhateverTheLimits)
{
    CFormThres form = MakeLimits();
    form.SetFlagBit(featureArea, 0);
    EXPECT_FALSE(form.TestFlagBit(featureArea));
    EXPECT_TRUE(form.CheckValue(1e12, featureArea));
    EXPECT_TRUE(form.CheckValue(-1.0, featureArea));
    // The range test alone still fails it.
    EXPECT_FALSE(form.m_ObjectFilter.CheckRange(-1.0, featureArea));
    form.SetFlagBit(featureArea, 1);
    EXPECT_FALSE(form.CheckValue(-1.0, featureArea));
    // Any state but 1 clears.
    form.SetFlagBit(featureArea, 2);
    EXPECT_FALSE(form.TestFlagBit(featureArea));
}

TEST(FormThresTest, OnOffFilters)
{
    CFormThres form = MakeLimits();
    form.m_ObjectFilter.SetFlagBit(featureTailOrMovement | featureBorderContact, 1);
    const CheckCase cases[] = {
        {"no tail", featureTailOrMovement, 0.0, false},
        {"tail", featureTailOrMovement, 1.0, true},
        {"tail, fraction truncated", featureTailOrMovement, 0.7, false},
        {"tail, negative", featureTailOrMovement, -3.0, true},
        {"border free", featureBorderContact, 0.0, true},
        {"border contact", featureBorderContact, 1.0, false},
        {"border contact, fraction truncated", featureBorderContact, 1.9, false},
        {"border value 2", featureBorderContact, 2.0, true},
        {"huge value", featureBorderContact, 1e30, true},
        {"not a number", featureBorderContact, std::nan(""), true},
    };
    for (const CheckCase& c : cases)
        EXPECT_EQ(form.CheckValue(c.value, c.bit) != FALSE, c.passes) << c.name;
}

TEST(FormThresTest, ColourBytes)
{
    CClassVector v;
    v.m_Min.m_MeanColor = RGB(10, 20, 30);
    v.m_Max.m_MeanColor = RGB(100, 110, 120);
    struct ColourCase
    {
        const char* name;
        DWORD minFlags;
        DWORD maxFlags;
        COLORREF color;
        bool passes;
    };
    const ColourCase cases[] = {
        {"both limits, inside", featureRed, featureBlue, RGB(50, 50, 50), true},
        {"both limits, at the limits", featureColors, featureColors, RGB(10, 110, 30), true},
        {"red below", featureGreen, featureGreen, RGB(9, 50, 50), false},
        {"blue above", featureRed, featureRed, RGB(50, 50, 121), false},
        {"minimum only accepts bright", featureRed, 0, RGB(255, 255, 255), true},
        {"minimum only, green below", featureRed, 0, RGB(255, 19, 255), false},
        {"maximum only accepts black", 0, featureGreen, RGB(0, 0, 0), true},
        {"no colour limits", featureArea, featureArea, RGB(0, 255, 0), true},
    };
    for (const ColourCase& c : cases) {
        v.m_Min.m_dwFeatureFlags = c.minFlags;
        v.m_Max.m_dwFeatureFlags = c.maxFlags;
        for (DWORD bit : {featureRed, featureGreen, featureBlue})
            EXPECT_EQ(v.CheckRange(static_cast<double>(c.color), bit) != FALSE, c.passes) << c.name;
    }
    v.m_Min.m_dwFeatureFlags = featureRed;
    EXPECT_FALSE(v.CheckRange(1e20, featureRed)) << "no colour word";
    // The nuclei limits are never tested here.
    v.m_Min.m_dwFeatureFlags = v.m_Max.m_dwFeatureFlags = featureNuclei | featureNucleusRatio;
    EXPECT_TRUE(v.CheckRange(1000.0, featureNuclei));
    EXPECT_TRUE(v.CheckRange(-1.0, featureNucleusRatio));
}

TEST(FormThresTest, ProfileCopyAndCompare)
{
    CFormThres source = MakeLimits();
    source.m_Type2 = 0x44;
    source.m_Parameter = CFormThres::parameterSplit;
    source.m_Model = CFormThres::modelSkeleton;
    source.SetOptionBit(0x2, 1);
    source.m_SecondFilter.m_Max.m_fArea = 7.0f;
    source.m_FlagellumDetection = 9;
    source.m_TailColor = 3;
    source.m_MovementDetection = 4;
    source.m_MaxDistance = 12;

    CFormThres copy;
    EXPECT_TRUE(copy.Differs(source));
    copy.Copy(source);
    EXPECT_FALSE(copy.Differs(source));
    EXPECT_EQ(copy.m_Type2, 0u) << "Type2 is not part of the profile copy";
    EXPECT_EQ(copy.m_Option, 0x2u);
    EXPECT_EQ(copy.m_SecondFilter.m_Max.m_fArea, 7.0f);

    // Every compared field on its own makes a difference.
    const std::vector<void (*)(CFormThres&)> changes = {
        [](CFormThres& f) { f.m_Type ^= featureWidth; },
        [](CFormThres& f) { f.m_Option ^= 1; },
        [](CFormThres& f) { f.m_Parameter ^= 4; },
        [](CFormThres& f) { f.m_Model += 1; },
        [](CFormThres& f) { f.m_ObjectFilter.m_Min.m_fArea += 1.0f; },
        [](CFormThres& f) { f.m_ObjectFilter.m_Filter ^= featureBorderContact; },
        [](CFormThres& f) { f.m_SecondFilter.m_Max.m_dwFeatureFlags ^= 4; },
        [](CFormThres& f) { f.m_FlagellumDetection += 1; },
        [](CFormThres& f) { f.m_TailColor += 1; },
        [](CFormThres& f) { f.m_MovementDetection += 1; },
        [](CFormThres& f) { f.m_MaxDistance += 1; },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        CFormThres changed = source;
        changes[i](changed);
        EXPECT_TRUE(changed.Differs(source)) << "change " << i;
    }
    CFormThres onlyType2 = source;
    onlyType2.m_Type2 = 1;
    EXPECT_FALSE(onlyType2.Differs(source));
}

TEST(FormThresTest, DefaultLimits)
{
    const CClassVector v;
    EXPECT_EQ(v.m_Min.m_fArea, 1.0f);
    EXPECT_EQ(v.m_Max.m_fArea, 500000.0f);
    EXPECT_EQ(v.m_Max.m_MeanColor, 0xFFFFFFu);
    EXPECT_EQ(v.m_Max.m_fCurvature, 360.0f);
    EXPECT_EQ(v.m_Max.m_wNuclei, 3);
    EXPECT_EQ(v.m_Min.m_dwFeatureFlags, 0u);
    const CFormThres form;
    EXPECT_EQ(form.m_Type, 0x8000Cu);
    EXPECT_EQ(form.m_FlagellumDetection, 5);
    EXPECT_EQ(form.m_MovementDetection, 2);
}

// The XML form: the form thresholds' element, then the limits' element
// beside it, each with its items in order.
TEST(FormThresTest, XmlLayoutAndRoundTrip)
{
    CScratchFolder folder;
    const std::string path = folder / "form.xml";
    CFormThres form = MakeLimits();
    form.m_Type = 0xFFFFFFFFu; // above INT_MAX: stored as a negative number
    form.m_Model = 3;
    form.m_ObjectFilter.m_Max.m_MeanColor = RGB(1, 2, 3);
    form.m_ObjectFilter.m_Min.m_wNuclei = 2;
    form.m_SecondFilter.m_Min.m_fArea = 77.0f;
    {
        CXMLArchive xml(path.c_str(), CArchive::store);
        xml.GetChildNode("Root");
        form.Serialize(xml);
        xml.GetCurrentNode()->EndNode();
        xml.Close();
    }
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(path.c_str()));
    const pugi::xml_node root = doc.child("Root");
    std::vector<std::string> names;
    for (pugi::xml_node child : root.children())
        names.push_back(child.name());
    ASSERT_EQ(names, (std::vector<std::string>{"CFormThres", "CClassVector"}));
    names.clear();
    for (pugi::xml_node child : root.child("CFormThres").children())
        names.push_back(child.name());
    EXPECT_EQ(names, (std::vector<std::string>{"Type", "Type2", "Parameter", "Model", "FlagellumDetection",
                                               "TailColor", "MovementDetection", "MaxDistance"}));
    EXPECT_STREQ(root.child("CFormThres").child_value("Type"), "-1");
    names.clear();
    for (pugi::xml_node child : root.child("CClassVector").children())
        names.push_back(child.name());
    EXPECT_EQ(names, (std::vector<std::string>{
                         "Filter",       "MinFilter",    "MaxFilter",     "MinArea",       "MaxArea",
                         "MinFF",        "MaxFF",        "MinLength",     "MaxLength",     "MinWidth",
                         "MaxWidth",     "MinMeanColor", "MaxMeanColor",  "MinHomogenity", "MaxHomogenity",
                         "MinConvexity", "MaxConvexity", "MinCurvature",  "MaxCurvature",  "MinN_C",
                         "MaxN_C",       "MinAnz.Nuclei", "MaxAnz.Nuclei", "MinAreaHoles", "MaxAreaHoles"}));
    EXPECT_STREQ(root.child("CClassVector").child_value("MinArea"), "10.000000");

    CFormThres loaded;
    {
        CXMLArchive xml(path.c_str(), CArchive::load);
        ASSERT_NE(xml.GetChildNode("Root"), nullptr);
        loaded.Serialize(xml);
        xml.GetCurrentNode()->EndNode();
    }
    EXPECT_EQ(loaded.m_Type, 0xFFFFFFFFu);
    EXPECT_EQ(loaded.m_Model, 3u);
    EXPECT_FALSE(loaded.m_ObjectFilter.Differs(form.m_ObjectFilter));
    EXPECT_EQ(loaded.m_SecondFilter.m_Min.m_fArea, CClassVector().m_Min.m_fArea) << "the second filter is not stored";
}

using FormThresIniTest = IniFilesTest;

TEST_F(FormThresIniTest, SaveAndLoadWithAndWithoutModel)
{
    CFormThres saved = MakeLimits();
    saved.m_Parameter = 24;
    saved.m_Model = 2;
    saved.m_ObjectFilter.m_Min.m_MeanColor = RGB(1, 2, 3);
    saved.m_ObjectFilter.m_Filter = featureBorderContact;
    saved.SaveIni("Formparameter", m_parameters, true);

    CFormThres loaded;
    loaded.LoadIni("Formparameter", m_parameters, true);
    EXPECT_EQ(loaded.m_Type, saved.m_Type);
    EXPECT_EQ(loaded.m_Parameter, 24u);
    EXPECT_EQ(loaded.m_Model, 2u);
    const CClassVector& v = loaded.m_ObjectFilter;
    EXPECT_EQ(v.m_Filter, static_cast<DWORD>(featureBorderContact));
    EXPECT_EQ(v.m_Min.m_dwFeatureFlags, saved.m_ObjectFilter.m_Min.m_dwFeatureFlags);
    EXPECT_EQ(v.m_Min.m_fArea, 10.0f);
    EXPECT_EQ(v.m_Max.m_fLength, 20.0f);
    EXPECT_EQ(v.m_Min.m_MeanColor, RGB(1, 2, 3));
    // The ini form holds no homogeneity.
    EXPECT_EQ(v.m_Min.m_dHomogeneity, 0.0);

    // Another tool reading the same file leaves the model alone.
    CFormThres other;
    other.LoadIni("Formparameter", m_parameters, false);
    EXPECT_EQ(other.m_Model, 0u);
    EXPECT_EQ(other.m_Parameter, 0u);
    EXPECT_EQ(other.m_Type, saved.m_Type);
    // ...and does not write it.
    CScratchFolder second;
    const CString otherFile = (second / "other.ini").c_str();
    saved.SaveIni("Formparameter", otherFile, false);
    EXPECT_EQ(GetPrivateProfileString("Formparameter", "Model", "absent", otherFile), "absent");
    // The test program is not the program: the plain overloads leave the model out.
    saved.SaveIni("Plain", otherFile);
    EXPECT_EQ(GetPrivateProfileString("Plain", "Model", "absent", otherFile), "absent");
}

TEST_F(FormThresIniTest, MissingKeysKeepValues)
{
    WritePrivateProfileString("Formparameter", "MaxArea", "123.5", m_parameters);
    WritePrivateProfileString("Formparameter", "MinArea", "", m_parameters);
    CFormThres form = MakeLimits();
    form.LoadIni("Formparameter", m_parameters, true);
    EXPECT_EQ(form.m_ObjectFilter.m_Max.m_fArea, 123.5f);
    EXPECT_EQ(form.m_ObjectFilter.m_Min.m_fArea, 10.0f) << "an empty text keeps the value";
    EXPECT_FALSE(form.Differs([] {
        CFormThres expected = MakeLimits();
        expected.m_ObjectFilter.m_Max.m_fArea = 123.5f;
        return expected;
    }()));
}

// An old parameter file still marks that its values live in the
// application profile: the first load takes them from there and marks them
// taken; every later load reads the section.
TEST_F(FormThresIniTest, MarkerMigrationRunsOnce)
{
    WriteProfileString("Thresholds:", "Type0:", "20");
    WriteProfileString("Thresholds:", "Model0:", "4");
    WriteProfileString("Thresholds:", "MinFilter0:", "4");
    WriteProfileString("Thresholds:", "MinArea0:", "33.000000");
    WriteProfileString("Thresholds:", "MinHomogenity0:", "0.250000");
    WriteProfileString("Thresholds:", "MinN/C0:", "0.500000");
    WritePrivateProfileString("Thresholds:", "Type0:", "1", m_parameters);
    WritePrivateProfileString("Thresholds:", "Filter0:", "1", m_parameters);
    WritePrivateProfileString("Formparameter0", "Type", "8", m_parameters);
    WritePrivateProfileString("Formparameter0", "MinArea", "44", m_parameters);

    CFormThres form;
    form.LoadIni("Formparameter0", m_parameters, true);
    EXPECT_EQ(form.m_Type, 20u);
    EXPECT_EQ(form.m_Model, 4u);
    EXPECT_EQ(form.m_ObjectFilter.m_Min.m_dwFeatureFlags, 4u);
    EXPECT_EQ(form.m_ObjectFilter.m_Min.m_fArea, 33.0f);
    EXPECT_EQ(form.m_ObjectFilter.m_Min.m_dHomogeneity, 0.25);
    EXPECT_EQ(form.m_ObjectFilter.m_Min.m_fNucleusRatio, 0.5f);
    EXPECT_EQ(GetPrivateProfileInt("Thresholds:", "Type0:", 0, m_parameters), UINT(-1));
    EXPECT_EQ(GetPrivateProfileInt("Thresholds:", "Filter0:", 0, m_parameters), UINT(-1));

    for (int load = 0; load < 2; ++load) {
        CFormThres again;
        again.LoadIni("Formparameter0", m_parameters, true);
        EXPECT_EQ(again.m_Type, 8u) << "load " << load;
        EXPECT_EQ(again.m_ObjectFilter.m_Min.m_fArea, 44.0f) << "load " << load;
    }
}

TEST_F(FormThresIniTest, LimitsMarkerAloneAndOtherSections)
{
    WriteProfileString("Thresholds:", "MaxWidth1:", "9.000000");
    WritePrivateProfileString("Thresholds:", "Filter1:", "0", m_parameters);
    WritePrivateProfileString("Formparameter1", "MaxWidth", "3", m_parameters);

    // The marker of index 1 does not concern "Formparameter".
    CClassVector plain;
    plain.LoadIni("Formparameter", m_parameters);
    EXPECT_EQ(plain.m_Max.m_fWidth, 100.0f);

    CClassVector v;
    v.LoadIni("Formparameter1", m_parameters);
    EXPECT_EQ(v.m_Max.m_fWidth, 9.0f);
    v.LoadIni("Formparameter1", m_parameters);
    EXPECT_EQ(v.m_Max.m_fWidth, 3.0f);
}
