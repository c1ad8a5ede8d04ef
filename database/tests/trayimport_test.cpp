#include "database/trayimport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace kestrun::tray;
namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(TrayImport, CopiesNeverOverAFileOrOutOfTheFolder)
{
    const fs::path root = fs::temp_directory_path() / "trayimport_test";
    fs::remove_all(root);
    fs::create_directories(root / "in");
    fs::create_directories(root / "images");
    std::ofstream(root / "in" / "a.jpg") << "new";
    std::ofstream(root / "in" / "b.jpg") << "new";
    std::ofstream(root / "images" / "b.jpg") << "old";
    const CString in = (root / "in").c_str();
    const CString images = (root / "images").c_str();

    EXPECT_EQ(CopyImportedFile(in, "a.jpg", images), EImportCopy::Copied);
    EXPECT_EQ(ReadAll(root / "images" / "a.jpg"), "new");
    EXPECT_EQ(CopyImportedFile(in, "b.jpg", images), EImportCopy::NameInUse);
    EXPECT_EQ(ReadAll(root / "images" / "b.jpg"), "old");
    EXPECT_EQ(CopyImportedFile(in, "../in/a.jpg", images), EImportCopy::BadName);
    EXPECT_EQ(CopyImportedFile(in, "missing.jpg", images), EImportCopy::Failed);
    // A file standing where the target folder should be.
    std::ofstream(root / "nofolder") << "x";
    EXPECT_EQ(CopyImportedFile(in, "a.jpg", (root / "nofolder").c_str()), EImportCopy::Failed);

    EXPECT_TRUE(ImportCopyMessage(EImportCopy::Copied, "s", "t").IsEmpty());
    EXPECT_EQ(ImportCopyMessage(EImportCopy::Failed, "s", "t"), CString("Copy from s to t failed\n"));
    EXPECT_NE(ImportCopyMessage(EImportCopy::NameInUse, "s", "t").Find("t exists already"), -1);
    fs::remove_all(root);
}

} // namespace
