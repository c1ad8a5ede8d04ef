// Linked into every test program that uses Qt: the application object,
// made before the first test when no other part of the program made one,
// offscreen unless the caller chose a platform, with numbers in the "C"
// locale as the program keeps them; and the leak reports of the libraries
// that keep allocations for the life of the process left out.

#include <QApplication>

#include <gtest/gtest.h>

#include <clocale>
#include <memory>

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libQt6\n"
           "leak:libfontconfig\n"
           "leak:libglib\n"
           // SANE's test backend drops the buffer of a cancelled scan.
           "leak:libsane-test\n";
}

namespace {

class CQtEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        if (QCoreApplication::instance() != nullptr)
            return;
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
        std::setlocale(LC_NUMERIC, "C");
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[13] = "kestrun_test";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};

// gtest owns the environment.
const auto* const environment = ::testing::AddGlobalTestEnvironment(new CQtEnvironment);

} // namespace
