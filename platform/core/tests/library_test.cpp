#include "platform/core/errors.h"
#include "platform/core/folders.h"
#include "platform/core/library.h"

#include <gtest/gtest.h>

namespace {

TEST(LibraryTest, NamesMapToSharedObjectFiles)
{
    const char* cases[][2] = {
        {"Tablon.dll", "libtablon.so"}, {"adda32.DLL", "libadda32.so"}, {"Tablon", "libtablon.so"},
        {"libfoo.so", "libfoo.so"},     {"Foo.SO", "Foo.SO"},             {"foo.so.6", "foo.so.6"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(kestrun::LibraryFileName(c[0]), c[1]) << c[0];
}

TEST(LibraryTest, LoadsBesideTheProgramAndFindsDecoratedNames)
{
    HMODULE module = LoadLibrary("TestPlugin.dll");
    ASSERT_NE(module, nullptr) << kestrun::LastLibraryError();

    using AnswerFn = int (*)();
    for (const char* name : {"Answer", "_Answer@0"}) {
        const auto answer = reinterpret_cast<AnswerFn>(GetProcAddress(module, name));
        ASSERT_NE(answer, nullptr) << name;
        EXPECT_EQ(answer(), 42);
    }
    EXPECT_EQ(kestrun::ModulePath(module), kestrun::ModuleFolder() + "/libtestplugin.so");
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(LibraryTest, NameWithAFolderIsLookedForThereOnly)
{
    HMODULE module = LoadLibrary(kestrun::ModuleFolder() + "\\TestPlugin");
    ASSERT_NE(module, nullptr) << kestrun::LastLibraryError();
    EXPECT_TRUE(FreeLibrary(module));

    SetLastError(0);
    EXPECT_EQ(LoadLibrary("/nonexistent-folder/TestPlugin.dll"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST(LibraryTest, FailuresSetTheLastError)
{
    SetLastError(0);
    EXPECT_EQ(LoadLibrary("NoSuchLibrary.dll"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_FALSE(kestrun::LastLibraryError().IsEmpty());

    HMODULE module = LoadLibrary("TestPlugin.dll");
    ASSERT_NE(module, nullptr);
    for (const char* name : {"Question", "_Question@4", "_Answer@x", "Answer@0"}) {
        SetLastError(0);
        EXPECT_EQ(GetProcAddress(module, name), nullptr) << name;
        EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    }
    EXPECT_TRUE(FreeLibrary(module));
}

} // namespace
