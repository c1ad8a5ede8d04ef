// The program with the real scanning-box library over the simulated box:
// the box opens at start-up and Hardware > Scan Chamber shows its dialog.

#include "app/resource.h"
#include "app/tests/apptesting.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace kestrun::testing {
namespace {

class ScanChamberTest : public CAppTest
{
};

TEST_F(ScanChamberTest, TheLibraryIsOpenedAndScanChamberShowsTheControlDialog)
{
    CKestrunApp app;
    app.m_strProgramFolder = m_programFolder.c_str();
    app.m_strTablonLibrary = "Tablon.dll";
    app.m_arguments = {"kestrun"};
    ASSERT_TRUE(app.InitInstance());
    ASSERT_TRUE(app.GetTablon().IsLoaded());
    EXPECT_TRUE(app.GetTablon().IsInterfaceSet());
    EXPECT_TRUE(QueryCommand(MainFrame(app), ID_SCAN_CHAMBER).enabled);

    QString title;
    QTimer::singleShot(0, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            title = dialog->windowTitle();
            dialog->close();
        }
    });
    MainFrame(app).SendMessage(WM_COMMAND, ID_SCAN_CHAMBER);
    EXPECT_EQ(title.toStdString(), "Trayvo Control");
    Stop(app);
    EXPECT_FALSE(app.GetTablon().IsLoaded());
}

} // namespace
} // namespace kestrun::testing
