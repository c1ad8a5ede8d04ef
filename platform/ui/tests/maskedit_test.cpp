// The masked edit: which texts fit which masks, and what losing the focus
// with a text that does not fit does.

#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/maskedit.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct MaskCase
{
    const char* mask;
    const char* text;
    bool valid;
};

void PrintTo(const MaskCase& c, std::ostream* os)
{
    *os << "'" << c.text << "' against '" << c.mask << "'";
}

class MaskTable : public ::testing::TestWithParam<MaskCase>
{
};

TEST_P(MaskTable, TextFitsTheMaskOrNot)
{
    const MaskCase& c = GetParam();
    EXPECT_EQ(CMaskEdit::IsValidText(c.mask, c.text) != FALSE, c.valid) << "mask '" << c.mask << "' text '" << c.text
                                                                        << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Elements, MaskTable,
    ::testing::Values(
        // Literals and escapes; blanks in the text do not count.
        MaskCase{"##/-##", "12-34", true}, MaskCase{"##/-##", "12 - 34", true}, MaskCase{"##/-##", "12-3a", false},
        MaskCase{"##/-##", "12-3", false}, MaskCase{"##/-##", "12-345", false}, MaskCase{"a/#", "a#", true},
        MaskCase{"a/#", "a1", false},
        // Letter classes.
        MaskCase{"&??", "Abc", true}, MaskCase{"&??", "abc", false}, MaskCase{"&??", "A1c", false},
        MaskCase{"@@", "%!", true},
        // Optional parts: taken when they fit, skipped otherwise.
        MaskCase{"#[#]", "5", true}, MaskCase{"#[#]", "55", true}, MaskCase{"#[#]", "555", false},
        MaskCase{"#[-#]#", "1-23", true}, MaskCase{"#[-#]#", "12", true},
        // Groups and alternatives.
        MaskCase{"{#}|?", "7", true}, MaskCase{"{#}|?", "x", true}, MaskCase{"{#}|?", "-", false},
        MaskCase{"#|?|/-", "-", true}, MaskCase{"{##}|{?#}", "a1", true},
        // Repetition: to the end of the text, or n - 1 times with a count.
        MaskCase{"*#", "12345", true}, MaskCase{"*#", "12a", false}, MaskCase{"#*?", "1abc", true},
        MaskCase{"*3#", "12", true}, MaskCase{"*3#", "1", false}, MaskCase{"*3#", "123", false},
        MaskCase{"*{#/,}", "1,2,3,", true}, MaskCase{"#*#", "5", false},
        // Malformed masks refuse everything.
        MaskCase{"#/", "5", false}, MaskCase{"{#", "5", false}, MaskCase{"#]", "5", false}, MaskCase{"#*", "5", false},
        MaskCase{"[#}", "5", false},
        // Empty texts and masks.
        MaskCase{"", "anything", true}, MaskCase{"", "", true}, MaskCase{"#", "", false}));

TEST(MaskEdit, FocusLossWithAMisfitBeepsAndTakesTheFocusBack)
{
    kestrun::testing::ScopedMessageBoxes boxes;
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_OVERLAPPED, CRect(0, 0, 300, 100), nullptr, 0));
    CMaskEdit edit("##");
    CEdit other;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 20), &parent, 10));
    ASSERT_TRUE(other.Create(WS_CHILD | WS_VISIBLE, CRect(0, 30, 100, 50), &parent, 11));
    parent.ShowWindow(SW_SHOW);
    QApplication::setActiveWindow(parent.GetWidget());
    ASSERT_TRUE(QTest::qWaitForWindowActive(parent.GetWidget()));

    struct Step
    {
        const char* text;
        bool beeps;
    };
    for (const Step step : {Step{"", false}, Step{"42", false}, Step{"4x", true}}) {
        boxes->Clear();
        edit.SetWindowText(step.text);
        edit.SetFocus();
        other.SetFocus();
        QCoreApplication::processEvents();
        EXPECT_EQ(!boxes->Beeps().empty(), step.beeps) << step.text;
        EXPECT_EQ(CWnd::GetFocus() == &edit, step.beeps) << step.text;
    }
}

} // namespace
