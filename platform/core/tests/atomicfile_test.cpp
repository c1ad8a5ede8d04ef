#include "platform/core/atomicfile.h"

#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// No process has this number: process numbers stay far below it.
constexpr long kGonePid = 999999999;

std::string TemporaryName(const std::string& target, long pid, int counter)
{
    return "." + target + "." + std::to_string(pid) + "-" + std::to_string(counter) + ".tmp";
}

void Write(const std::string& path, const std::string& text)
{
    kestrun::CAtomicFileWriter writer(path.c_str());
    writer.Write(text.data(), text.size());
    writer.Commit();
}

// A program killed between writing and renaming leaves its temporary file;
// the next write of the same file removes it, and nothing else.
TEST(AtomicFileTest, TheNextWriteRemovesLeftoversOfItsOwnFileOnly)
{
    CScratchFolder folder;
    CScratchFolder outside;
    const std::string target = "settings.ini";
    const std::string outsideFile = outside / "kept.txt";
    WriteBytes(outsideFile, "outside");

    const std::string removed[] = {
        TemporaryName(target, kGonePid, 0),
        TemporaryName(target, static_cast<long>(::getpid()), 999999), // this process holds no such writer
    };
    const std::string kept[] = {
        TemporaryName(target, 1, 0),                // its writer may still run
        TemporaryName("other.ini", kGonePid, 0),    // another file's
        TemporaryName("settings", kGonePid, 0),     // a shorter name's
        TemporaryName(target + ".1-2", kGonePid, 0), // a longer name's
        "." + target + ".x-0.tmp",
        "." + target + "." + std::to_string(kGonePid) + "-0.tmp.bak",
        target + "." + std::to_string(kGonePid) + "-0.tmp",
    };
    for (const std::string& name : removed)
        WriteBytes(folder / name, "left");
    for (const std::string& name : kept)
        WriteBytes(folder / name, "keep");
    // Matching names that are no plain files stay, and a link is never followed.
    const std::string link = TemporaryName(target, kGonePid, 1);
    std::filesystem::create_symlink(outsideFile, folder / link);
    const std::string subfolder = TemporaryName(target, kGonePid, 2);
    std::filesystem::create_directory(folder / subfolder);

    Write(folder / target, "new");

    EXPECT_EQ(ReadBytes(folder / target), "new");
    for (const std::string& name : removed)
        EXPECT_FALSE(std::filesystem::exists(folder / name)) << name;
    for (const std::string& name : kept)
        EXPECT_EQ(ReadBytes(folder / name), "keep") << name;
    EXPECT_TRUE(std::filesystem::is_symlink(folder / link));
    EXPECT_TRUE(std::filesystem::is_directory(folder / subfolder));
    EXPECT_EQ(ReadBytes(outsideFile), "outside");
    EXPECT_EQ(EntryCount(folder.Path()), 1 + static_cast<int>(std::size(kept)) + 2);
}

// A writer of this process that is still open keeps its temporary file
// while another write of the same file sweeps the folder.
TEST(AtomicFileTest, AWriterStillOpenKeepsItsTemporaryFile)
{
    CScratchFolder folder;
    const std::string target = folder / "data.xml";
    kestrun::CAtomicFileWriter first(target.c_str());
    first.Write("first", 5);
    Write(target, "second");
    EXPECT_EQ(ReadBytes(target), "second");
    first.Commit();
    EXPECT_EQ(ReadBytes(target), "first");
    EXPECT_EQ(EntryCount(folder.Path()), 1);
}

} // namespace
