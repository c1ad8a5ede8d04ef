// The main of every test program: each process works in a data root of its
// own, removed at the end, so that tests never touch a user's settings.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

// Undefined behaviour stops the test with a stack trace.
extern "C" const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);

    std::string pattern = (std::filesystem::temp_directory_path() / "kestrun-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 2;
    }
    const std::filesystem::path root(pattern);
    ::setenv("KESTRUN_DATA_ROOT", root.c_str(), 1);

    const int result = RUN_ALL_TESTS();

    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    return result;
}
