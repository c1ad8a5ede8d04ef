// The program's icon: its pictures load, and start-up gives it to the
// application and so to every window.

#include "app/tests/apptesting.h"

#include "app/programicon.h"

#include <QApplication>
#include <QImage>

namespace kestrun::testing {

namespace {

class ProgramIconTest : public CAppTest
{
};

TEST(ProgramIcon, EveryPictureLoads)
{
    // The drawing needs Qt's SVG plug-in; the pictures are what is left
    // without it, so each must load on its own.
    for (const char* name : {":/kestrun/kestrun.svg", ":/kestrun/kestrun-16.png", ":/kestrun/kestrun-32.png",
                             ":/kestrun/kestrun-48.png", ":/kestrun/kestrun-256.png"}) {
        const QImage image(name);
        EXPECT_FALSE(image.isNull()) << name;
        EXPECT_EQ(image.width(), image.height()) << name;
    }
    EXPECT_FALSE(ProgramIcon().pixmap(16).isNull());
    EXPECT_FALSE(ProgramIcon().pixmap(256).isNull());
}

TEST_F(ProgramIconTest, StartUpGivesTheApplicationItsIcon)
{
    QApplication::setWindowIcon(QIcon());
    CKestrunApp app;
    Start(app);
    const QIcon icon = QApplication::windowIcon();
    EXPECT_FALSE(icon.isNull());
    EXPECT_FALSE(icon.pixmap(32).isNull());
    Stop(app);
}

} // namespace

} // namespace kestrun::testing
