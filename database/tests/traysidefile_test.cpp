#include "database/traysidefile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using namespace kestrun::tray;
namespace fs = std::filesystem;

CSideFileRead Parse(const std::string& text, int nCurrentAoi = 2)
{
    std::istringstream in(text);
    return ParseSideFile(in, nCurrentAoi);
}

TEST(TraySideFileRead, ReadsWhatTheTrayFormWrites)
{
    const CSideFile written{"50_30", "20260304 090507 1001.jpg", "128", 3, 1};
    const CSideFileRead read = Parse(SideFileText(written).str());
    EXPECT_TRUE(read.bOpened);
    EXPECT_FALSE(read.bDamaged);
    EXPECT_EQ(read.values.strProfile, written.strProfile);
    EXPECT_EQ(read.values.strImage, written.strImage);
    EXPECT_EQ(read.values.strTray, written.strTray);
    EXPECT_EQ(read.values.nBatch, 3);
    EXPECT_EQ(read.values.nIndexAOI, 1);
}

struct CSideCase
{
    const char* name;
    std::string text;
    std::string profile;
    std::string image;
    const char* tray;
    int batch;
    int aoi;
    bool damaged;
};

TEST(TraySideFileRead, DefaultsLimitsAndDamagedValues)
{
    const std::string longProfile(100, 'p');
    const CSideCase cases[] = {
        {"two lines", "Profile:60_40\nImage:x.jpg\n", "60_40", "x.jpg", "72", 1, 2, false},
        {"empty", "", "30/20", "", "72", 1, 2, false},
        {"windows line ends", "Raster:264\r\nBatch:4\r\nIndexAOI:0\r\n", "30/20", "", "264", 4, 0, false},
        {"no line end", "Batch:2", "30/20", "", "72", 2, 2, false},
        {"blank after key kept", "Profile: 30_20\n", " 30_20", "", "72", 1, 2, false},
        {"no profile", "Profile:\nImage:x.jpg\n", "", "x.jpg", "72", 1, 2, false},
        {"batch outside 1..4", "Batch:0\nIndexAOI:3\n", "30/20", "", "72", 1, 3, false},
        {"batch too big", "Batch:99999999999\n", "30/20", "", "72", 1, 2, false},
        {"index outside 0..3", "Batch:2\nIndexAOI:4\n", "30/20", "", "72", 2, 2, false},
        {"negative index", "IndexAOI:-1\n", "30/20", "", "72", 1, 2, false},
        {"batch no number", "Batch:two\n", "30/20", "", "72", 1, 2, true},
        {"index half number", "IndexAOI:1x\n", "30/20", "", "72", 1, 2, true},
        {"image with folder", "Image:../../etc/x.jpg\n", "30/20", "", "72", 1, 2, true},
        {"tray with folder", "Raster:../72\n", "30/20", "", "72", 1, 2, true},
        {"empty tray", "Raster:\n", "30/20", "", "72", 1, 2, true},
        {"profile with folder", "Profile:..\\x\n", "30/20", "", "72", 1, 2, true},
        {"key not at line start", " Batch:3\nxRaster:128\n", "30/20", "", "72", 1, 2, false},
        // 79 characters and more: the rest stays part of its line.
        {"long line", "Profile:" + longProfile + "Batch:3\n", longProfile + "Batch:3", "", "72", 1, 2,
         false},
        {"long image line", "Image:" + std::string(90, 'i') + "Raster:480\n", "30/20",
         std::string(90, 'i') + "Raster:480", "72", 1, 2, false},
    };
    for (const CSideCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CSideFileRead read = Parse(c.text);
        EXPECT_EQ(read.values.strProfile, CString(c.profile.c_str()));
        EXPECT_EQ(read.values.strImage, CString(c.image.c_str()));
        EXPECT_EQ(read.values.strTray, CString(c.tray));
        EXPECT_EQ(read.values.nBatch, c.batch);
        EXPECT_EQ(read.values.nIndexAOI, c.aoi);
        EXPECT_EQ(read.bDamaged, c.damaged);
    }
}

TEST(TraySideFileRead, FileMissingOrAFolderKeepsTheDefaults)
{
    const fs::path root = fs::temp_directory_path() / "traysidefile_test";
    fs::remove_all(root);
    fs::create_directories(root / "folder.txt");
    std::ofstream(root / "a.txt") << "Raster:480\nBatch:2\n";

    const CSideFileRead read = ReadSideFile((root / "a.txt").c_str(), 1);
    EXPECT_TRUE(read.bOpened);
    EXPECT_EQ(read.values.strTray, CString("480"));
    EXPECT_EQ(read.values.nBatch, 2);
    EXPECT_EQ(read.values.nIndexAOI, 1);

    for (const char* name : {"missing.txt", "folder.txt"}) {
        SCOPED_TRACE(name);
        const CSideFileRead none = ReadSideFile((root / name).c_str(), 3);
        EXPECT_FALSE(none.bDamaged);
        EXPECT_EQ(none.values.strProfile, CString("30/20"));
        EXPECT_EQ(none.values.strTray, CString("72"));
        EXPECT_EQ(none.values.nBatch, 1);
        EXPECT_EQ(none.values.nIndexAOI, 3);
    }
    EXPECT_FALSE(ReadSideFile((root / "missing.txt").c_str(), 3).bOpened);
    fs::remove_all(root);
}

TEST(TraySideFileRead, NameBesideTheDataFile)
{
    EXPECT_EQ(SideFileNameOf("20260304 090507 1001.xml"), CString("20260304 090507 1001.txt"));
    EXPECT_EQ(SideFileNameOf("a.b.xml"), CString("a.b.txt"));
    EXPECT_EQ(SideFileNameOf("noext"), CString("noext.txt"));
}

} // namespace
