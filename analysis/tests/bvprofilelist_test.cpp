#include "analysis/bvprofilelist.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/core/tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <string>
#include <vector>

namespace {

std::vector<std::string> ChildNames(pugi::xml_node node)
{
    std::vector<std::string> names;
    for (pugi::xml_node child : node.children())
        names.push_back(child.name());
    return names;
}

// A current profile that differs from the defaults in every member.
void Customise(CBVSettings& settings, int seed)
{
    settings.m_SegThres.SetLower(RGB(10 + seed, 20, 30));
    settings.m_SegThres.m_Mode = 1;
    settings.m_FormThres.m_Type = featureArea | featureLength;
    settings.m_FormThres.m_ObjectFilter.m_Min.m_fArea = 5.0f + static_cast<float>(seed);
    settings.m_Calibration.m_dFactor = 0.25 * (seed + 1);
    settings.m_Calibration.m_nUnit = 1;
    settings.m_ObjectFilter.m_Distance = 40 + seed;
    settings.m_ObjectFilter.m_ConCutThres = 1.5f;
    settings.m_ChannelChooser.SetColor(CChannelChooserParas::channelRed);
    settings.m_ChannelChooser.SetWeight(CChannelChooserParas::weightThird);
    settings.m_Perspective.m_FL = CPoint(1, 2 + seed);
    settings.m_Perspective.m_BR = CPoint(-3, 4);
    settings.m_Perspective.m_Width = 210.5;
}

class ProfileListTest : public ::testing::Test
{
protected:
    void SetUp() override { m_list.InitProfileFile(m_folder.Path().c_str()); }

    std::string FilePath() const { return m_folder / "bv.xml"; }

    CScratchFolder m_folder;
    kestrun::testing::ScopedMessageBoxes m_boxes;
    CBVProfileList m_list;
};

} // namespace

TEST_F(ProfileListTest, StoreAppendsThenOverwritesInPlace)
{
    EXPECT_EQ(m_list.GetRootName(), "BV_Profiles");
    EXPECT_EQ(CString(m_list.GetFilePath()), CString(FilePath().c_str()));
    EXPECT_TRUE(m_list.GetCurrentProfileName().IsEmpty());

    m_list.m_ObjectFilter.m_Distance = 11;
    m_list.Store("first");
    m_list.m_ObjectFilter.m_Distance = 22;
    m_list.Store("second");
    ASSERT_EQ(m_list.GetProfileCount(), 2);
    int index = -1;
    EXPECT_TRUE(m_list.GetProfileNames().Lookup("second", index));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(m_list.GetCurrentProfileName(), "second");

    m_list.m_ObjectFilter.m_Distance = 33;
    m_list.Store("first");
    EXPECT_EQ(m_list.GetProfileCount(), 2);
    EXPECT_EQ(m_list.GetProfile("first")->m_ObjectFilter.m_Distance, 33);
    EXPECT_EQ(m_list.GetProfile("second")->m_ObjectFilter.m_Distance, 22);
    EXPECT_EQ(m_list.GetProfile("third"), nullptr);
}

TEST_F(ProfileListTest, SelectKeepsTheWorkstationsChannelsAndSteps)
{
    Customise(m_list, 1);
    m_list.m_ObjectFilter.m_arrayFilter.Add(filterErode);
    m_list.Store("stored");

    CBVSettings defaults;
    static_cast<CBVSettings&>(m_list).AssignAll(defaults);
    m_list.m_ChannelChooser.SetColor(CChannelChooserParas::channelBlue);
    m_list.m_ObjectFilter.m_arrayFilter.Add(filterDilate);
    m_list.m_Perspective.SetMatrix(cv::Mat::eye(3, 3, CV_64F));

    EXPECT_FALSE(m_list.Select("missing"));
    EXPECT_TRUE(m_list.GetCurrentProfileName() == "stored");
    EXPECT_EQ(m_list.m_ObjectFilter.m_Distance, 35) << "a failed select changes nothing";

    ASSERT_TRUE(m_list.Select("stored"));
    EXPECT_EQ(m_list.m_SegThres.GetLower(), RGB(11, 20, 30));
    EXPECT_EQ(m_list.m_SegThres.m_Mode, 1);
    EXPECT_EQ(m_list.m_FormThres.m_ObjectFilter.m_Min.m_fArea, 6.0f);
    EXPECT_EQ(m_list.m_Calibration.m_dFactor, 0.5);
    EXPECT_EQ(m_list.m_ObjectFilter.m_Distance, 41);
    EXPECT_EQ(m_list.m_Perspective.m_FL.y, 3);
    EXPECT_FALSE(m_list.m_Perspective.HasMatrix()) << "the matrix belongs to the old corners";
    EXPECT_EQ(m_list.m_ChannelChooser.GetColor(), CChannelChooserParas::channelBlue);
    ASSERT_EQ(m_list.m_ObjectFilter.GetFilterCount(), 1);
    EXPECT_EQ(m_list.m_ObjectFilter.GetFilter(0), filterDilate);
    EXPECT_EQ(m_list.GetCurrentProfileName(), "stored");
}

TEST_F(ProfileListTest, FileLayout)
{
    Customise(m_list, 0);
    m_list.Store("A");
    ASSERT_TRUE(m_list.SerializeFile(false));

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(FilePath().c_str()));
    EXPECT_EQ(ChildNames(doc), std::vector<std::string>{"BV_Profiles"});
    const pugi::xml_node root = doc.child("BV_Profiles");
    EXPECT_EQ(ChildNames(root),
              (std::vector<std::string>{"CurrentProfileName", "CBVSettings", "ProfileNames", "SettingsArray"}));
    EXPECT_STREQ(root.child_value("CurrentProfileName"), "A");
    const std::vector<std::string> members = {"SegThres",     "FormThres",            "Calibration",
                                              "ObjectFilter", "CChannelChooserParas", "Perspective"};
    EXPECT_EQ(ChildNames(root.child("CBVSettings")), members);
    const pugi::xml_node current = root.child("CBVSettings");
    EXPECT_EQ(ChildNames(current.child("SegThres")), std::vector<std::string>{"CSegThres"});
    EXPECT_EQ(ChildNames(current.child("FormThres")), (std::vector<std::string>{"CFormThres", "CClassVector"}));
    EXPECT_EQ(ChildNames(current.child("Calibration")), std::vector<std::string>{"CCalibration"});
    EXPECT_EQ(ChildNames(current.child("ObjectFilter")), std::vector<std::string>{"CObjectFilter"});
    EXPECT_EQ(ChildNames(current.child("CChannelChooserParas")), std::vector<std::string>{"CChannelChooserParas"});
    EXPECT_EQ(ChildNames(current.child("CChannelChooserParas").child("CChannelChooserParas")),
              (std::vector<std::string>{"Color", "Weight"}));
    EXPECT_EQ(ChildNames(current.child("Perspective")), std::vector<std::string>{"CPerspectiveTransform"});
    EXPECT_EQ(ChildNames(current.child("Perspective").child("CPerspectiveTransform")),
              (std::vector<std::string>{"FL", "FR", "BL", "BR", "Width", "Height"}));
    EXPECT_STREQ(current.child("Perspective").child("CPerspectiveTransform").child_value("FL"), "1,2");
    EXPECT_EQ(ChildNames(root.child("ProfileNames")), (std::vector<std::string>{"key", "value"}));
    EXPECT_EQ(ChildNames(root.child("SettingsArray")), std::vector<std::string>{"CBVSettings"});
    EXPECT_EQ(ChildNames(root.child("SettingsArray").child("CBVSettings")), members);
    // Stored profiles carry no workstation choices.
    EXPECT_STREQ(root.child("SettingsArray")
                     .child("CBVSettings")
                     .child("CChannelChooserParas")
                     .child("CChannelChooserParas")
                     .child_value("Color"),
                 "7");
}

// The names come in the name map's order: by hash bucket, not by index.
TEST_F(ProfileListTest, ProfileNamesInMapOrder)
{
    for (const char* name : {"b", "a", "c"})
        m_list.Store(name);
    ASSERT_TRUE(m_list.SerializeFile(false));
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(FilePath().c_str()));
    std::vector<std::string> pairs;
    for (pugi::xml_node child : doc.child("BV_Profiles").child("ProfileNames").children())
        pairs.push_back(child.child_value());
    // "a", "b", "c" hash to buckets 12, 13, 14 of 17.
    EXPECT_EQ(pairs, (std::vector<std::string>{"a", "1", "b", "0", "c", "2"}));
}

TEST_F(ProfileListTest, TwoProfilesRoundTripByteForByte)
{
    Customise(m_list, 0);
    m_list.Store("Cells");
    Customise(m_list, 5);
    m_list.m_SegThres.SetUpper(RGB(200, 201, 202));
    m_list.m_FormThres.m_Model = CFormThres::modelEllipse;
    m_list.m_ObjectFilter.m_arrayFilter.Add(filterSmooth);
    m_list.m_ObjectFilter.m_arrayFilter.Add(filterBinarize);
    m_list.Store("Pollen grains ");
    m_list.m_ObjectFilter.m_Distance = 99;
    ASSERT_TRUE(m_list.SerializeFile(false));
    const std::string written = ReadBytes(FilePath());

    CBVProfileList loaded;
    loaded.InitProfileFile(m_folder.Path().c_str());
    ASSERT_TRUE(loaded.LoadProfileFile());
    EXPECT_EQ(loaded.GetCurrentProfileName(), "Pollen grains ");
    EXPECT_EQ(loaded.GetProfileCount(), 2);
    EXPECT_EQ(loaded.m_ObjectFilter.m_Distance, 99);
    EXPECT_EQ(loaded.m_ObjectFilter.GetFilterCount(), 2);
    EXPECT_EQ(loaded.m_ChannelChooser.GetWeight(), CChannelChooserParas::weightThird);
    ASSERT_NE(loaded.GetProfile("Cells"), nullptr);
    EXPECT_EQ(loaded.GetProfile("Cells")->m_ObjectFilter.m_Distance, 40);
    EXPECT_EQ(loaded.GetProfile("Pollen grains ")->m_FormThres.m_Model, CFormThres::modelEllipse);
    EXPECT_EQ(loaded.GetProfile("Pollen grains ")->m_SegThres.GetUpper(), RGB(200, 201, 202));

    ASSERT_TRUE(loaded.SerializeFile(false));
    EXPECT_EQ(ReadBytes(FilePath()), written);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(ProfileListTest, MissingFileOrPath)
{
    EXPECT_FALSE(m_list.LoadProfileFile());
    CBVProfileList unset;
    EXPECT_FALSE(unset.SerializeFile(true));
    EXPECT_FALSE(unset.SerializeFile(false));
    EXPECT_TRUE(m_boxes->Texts().empty());
}

// A file that cannot be used is reported and leaves the list as it was.
TEST_F(ProfileListTest, BadFilesChangeNothing)
{
    Customise(m_list, 2);
    m_list.Store("kept");
    m_list.m_ObjectFilter.m_arrayFilter.Add(filterEdge);

    const std::vector<std::pair<const char*, std::string>> files = {
        {"other root", "<Profiles><CurrentProfileName>x</CurrentProfileName></Profiles>"},
        {"not XML", "<BV_Profiles><CurrentProfileName>x</Current"},
        {"empty", ""},
        {"binary", std::string("\xFF\x00\x01\x02", 4)},
        // Profile names become file names: none may lead out of the folder.
        {"current name outside", "<BV_Profiles><CurrentProfileName>../../x/evil</CurrentProfileName></BV_Profiles>"},
        {"stored name with a folder", "<BV_Profiles><CurrentProfileName>x</CurrentProfileName><ProfileNames>"
                                      "<key>a\\b</key><value>0</value></ProfileNames></BV_Profiles>"},
    };
    for (const auto& [name, bytes] : files) {
        WriteBytes(FilePath(), bytes);
        m_boxes->Clear();
        EXPECT_FALSE(m_list.SerializeFile(true)) << name;
        EXPECT_TRUE(m_list.ReadFailed()) << name;
        ASSERT_EQ(m_boxes->Texts().size(), 1u) << name;
        EXPECT_NE(m_boxes->Texts()[0].Find("Failed to open document"), -1) << name;
        EXPECT_NE(m_boxes->Texts()[0].Find(FilePath().c_str()), -1) << name;
        // A file that is there is not reported as missing.
        EXPECT_EQ(m_boxes->Texts()[0].Find("was not found"), -1) << m_boxes->Texts()[0].GetString();
        EXPECT_EQ(m_list.GetCurrentProfileName(), "kept") << name;
        EXPECT_EQ(m_list.GetProfileCount(), 1) << name;
        EXPECT_EQ(m_list.m_ObjectFilter.m_Distance, 42) << name;
        EXPECT_EQ(m_list.m_ObjectFilter.GetFilterCount(), 1) << name;
    }
    ASSERT_TRUE(m_list.SerializeFile(false));
    ASSERT_TRUE(m_list.SerializeFile(true));
    EXPECT_FALSE(m_list.ReadFailed());
}

TEST_F(ProfileListTest, SaveFailureIsReported)
{
    CBVProfileList list;
    list.InitProfileFile((m_folder / "missing-folder").c_str());
    EXPECT_FALSE(list.SerializeFile(false));
    ASSERT_EQ(m_boxes->Texts().size(), 1u);
    EXPECT_NE(m_boxes->Texts()[0].Find("Failed to save document"), -1);
}

// A hand-edited file may map a name to an index that no profile has: the
// name counts as not stored, and storing it appends a profile.
TEST_F(ProfileListTest, IndexBeyondTheProfiles)
{
    WriteBytes(FilePath(), "<BV_Profiles><CurrentProfileName>x</CurrentProfileName>"
                           "<ProfileNames><key>ghost</key><value>3</value><key>neg</key><value>-1</value>"
                           "</ProfileNames><SettingsArray><!-- none --></SettingsArray></BV_Profiles>");
    ASSERT_TRUE(m_list.SerializeFile(true));
    EXPECT_EQ(m_list.GetCurrentProfileName(), "x");
    EXPECT_EQ(m_list.GetProfileCount(), 0);
    EXPECT_FALSE(m_list.Select("ghost"));
    EXPECT_FALSE(m_list.Select("neg"));
    EXPECT_EQ(m_list.GetProfile("ghost"), nullptr);

    m_list.m_ObjectFilter.m_Distance = 7;
    m_list.Store("ghost");
    EXPECT_EQ(m_list.GetProfileCount(), 1);
    int index = -1;
    EXPECT_TRUE(m_list.GetProfileNames().Lookup("ghost", index));
    EXPECT_EQ(index, 0);
    ASSERT_TRUE(m_list.Select("ghost"));
    EXPECT_EQ(m_list.m_ObjectFilter.m_Distance, 7);
}
