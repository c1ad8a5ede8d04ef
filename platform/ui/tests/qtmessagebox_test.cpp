#include "platform/ui/qtmessagebox.h"

#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

struct BoxCase
{
    const char* name;
    UINT type;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
    QMessageBox::StandardButton escapeButton; // NoButton: Escape does not close
    QMessageBox::Icon icon;
};

const BoxCase kCases[] = {
    {"ok", MB_OK, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::NoIcon},
    {"ok cancel, stop", MB_OKCANCEL | MB_ICONSTOP, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok,
     QMessageBox::Cancel, QMessageBox::Critical},
    {"abort retry ignore, second", MB_ABORTRETRYIGNORE | MB_DEFBUTTON2 | MB_ICONEXCLAMATION,
     QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, QMessageBox::Retry, QMessageBox::NoButton,
     QMessageBox::Warning},
    {"yes no cancel, third", MB_YESNOCANCEL | MB_DEFBUTTON3 | MB_ICONQUESTION,
     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel, QMessageBox::Cancel,
     QMessageBox::Question},
    {"yes no, second", MB_YESNO | MB_DEFBUTTON2 | MB_ICONINFORMATION, QMessageBox::Yes | QMessageBox::No,
     QMessageBox::No, QMessageBox::NoButton, QMessageBox::Information},
    {"retry cancel", MB_RETRYCANCEL, QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry, QMessageBox::Cancel,
     QMessageBox::NoIcon},
};

} // namespace

TEST(CQtMessageBoxPresenterTest, BoxesGetTheButtonsIconAndDefaultOfTheirType)
{
    for (const BoxCase& c : kCases) {
        SCOPED_TRACE(c.name);
        QMessageBox box;
        kestrun::SetUpMessageBox(box, "Delete the series?", "Kestrun", c.type);
        EXPECT_EQ(box.text(), QString("Delete the series?"));
        EXPECT_EQ(box.windowTitle(), QString("Kestrun"));
        EXPECT_EQ(box.standardButtons(), c.buttons);
        EXPECT_EQ(box.standardButton(box.defaultButton()), c.defaultButton);
        EXPECT_EQ(box.icon(), c.icon);
        if (c.escapeButton == QMessageBox::NoButton)
            EXPECT_EQ(box.escapeButton(), nullptr);
        else
            EXPECT_EQ(box.standardButton(box.escapeButton()), c.escapeButton);
        // The default button answers what a box without anyone to ask answers.
        EXPECT_EQ(kestrun::MessageBoxAnswer(c.type, c.defaultButton), kestrun::DefaultAnswer(c.type));
    }
}

TEST(CQtMessageBoxPresenterTest, ButtonsAnswerTheirIdsAndClosingTakesTheWayOut)
{
    EXPECT_EQ(kestrun::MessageBoxAnswer(MB_YESNOCANCEL, QMessageBox::Yes), IDYES);
    EXPECT_EQ(kestrun::MessageBoxAnswer(MB_YESNOCANCEL, QMessageBox::No), IDNO);
    EXPECT_EQ(kestrun::MessageBoxAnswer(MB_ABORTRETRYIGNORE, QMessageBox::Ignore), IDIGNORE);
    EXPECT_EQ(kestrun::MessageBoxAnswer(MB_ABORTRETRYIGNORE, QMessageBox::Abort), IDABORT);
    // Closed without a button.
    EXPECT_EQ(kestrun::MessageBoxAnswer(MB_YESNOCANCEL, QMessageBox::NoButton), IDCANCEL);
    EXPECT_EQ(kestrun::MessageBoxAnswer(MB_OK, QMessageBox::NoButton), IDOK);
    EXPECT_EQ(kestrun::MessageBoxAnswer(MB_YESNO | MB_DEFBUTTON2, QMessageBox::NoButton), IDNO);
}
