// User levels and their passwords: the digest, and both dialogs through the
// program's commands.

#include "app/tests/apptesting.h"

#include "app/changeuserdlg.h"
#include "app/md5.h"
#include "app/passwords.h"
#include "app/registeredmessages.h"
#include "app/resource.h"

#include "dialogtesting.h"
#include "platform/ui/listboxes.h"

namespace kestrun::testing {

namespace {

TEST(MD5Test, DigestsOfTheReferenceStringsAndAroundTheBlockEdge)
{
    struct Case
    {
        std::string text;
        const char* digest;
    };
    const Case cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
        {"Morvint", "2c5c1132753bdfc871f5af19e9357120"},
        // The padding's edge cases: 55 and 56 bytes, one and two blocks.
        {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
        {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
        {std::string(63, 'a'), "b06521f39153d618550606be297466d5"},
        {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
        {std::string(119, 'a'), "8a7bd0732ed6a28ce75f6dabc90e1613"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CMD5::HexDigest(c.text), c.digest) << c.text.size() << " bytes";

    // Fed in pieces, the same digest.
    CMD5 pieces;
    for (char ch : std::string(119, 'a'))
        pieces.Update(std::string_view(&ch, 1));
    const CMD5::Digest digest = pieces.Final();
    EXPECT_EQ(digest[0], 0x8a);
    EXPECT_EQ(digest[15], 0x13);
}

TEST(PasswordDigestTest, WindowsBytesAreDigestedAndOtherCharactersRefused)
{
    // The digest an earlier installation stored for "Grün µ".
    EXPECT_EQ(PasswordDigest("Grün µ"), CString("bf410e973f5e9a5e260317ae3971487e"));
    EXPECT_EQ(PasswordDigest(""), CString("d41d8cd98f00b204e9800998ecf8427e"));
    EXPECT_FALSE(PasswordDigest("日本").has_value());
}

class UserLevelTest : public CStartedAppTest<CKestrunApp>
{
protected:
    CString Stored(const char* key) { return m_app.GetProfileString("System", key, "(none)"); }
    void Command(UINT id) { Frame().SendMessage(WM_COMMAND, id); }
    static void Choose(CDialog& dialog, int index)
    {
        auto* combo = DYNAMIC_DOWNCAST(CComboBox, dialog.GetDlgItem(IDC_USER_LEVEL));
        ASSERT_NE(combo, nullptr);
        combo->SetCurSel(index);
    }
};

TEST_F(UserLevelTest, AdministratorAsksForItsPasswordUserForNone)
{
    CProbeWnd probe(Frame(), AppMessages().userLevelChanged);
    EXPECT_EQ(m_app.GetUserLevel(), 1);
    EXPECT_EQ(Stored("PassWord1"), "(none)");

    OnNextDialog([&](CDialog& dialog) {
        EXPECT_EQ(TextOf(dialog, IDC_USER_LEVEL), "Administrator") << "first entry at start";
        Type(dialog, IDC_PASSWORD, "morvint");
        Press(dialog, IDOK);
        EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Wrong password!"});
        EXPECT_TRUE(dialog.IsWindowVisible()) << "stays open";
        EXPECT_EQ(static_cast<CChangeUserDlg&>(dialog).m_nLevel, 1);
        EXPECT_EQ(Stored("PassWord1"), "2c5c1132753bdfc871f5af19e9357120") << "stored from the first try";
        Type(dialog, IDC_PASSWORD, "Morvint");
        Press(dialog, IDOK);
    });
    Command(ID_USER_LEVEL);
    EXPECT_EQ(m_app.GetUserLevel(), 0);
    EXPECT_EQ(probe.m_nReceived, 1);

    OnNextDialog([&](CDialog& dialog) {
        Choose(dialog, 1);
        Press(dialog, IDOK);
    });
    Command(ID_USER_LEVEL);
    EXPECT_EQ(m_app.GetUserLevel(), 1);

    OnNextDialog([&](CDialog& dialog) {
        Type(dialog, IDC_PASSWORD, "Morvint");
        Press(dialog, IDCANCEL);
    });
    Command(ID_USER_LEVEL);
    EXPECT_EQ(m_app.GetUserLevel(), 1);
    EXPECT_EQ(probe.m_nReceived, 3) << "told after Cancel too";
    EXPECT_EQ(m_boxes->Texts().size(), 1u);
}

TEST_F(UserLevelTest, AStoredValueThatIsNoDigestMatchesNothingAndIsKept)
{
    m_app.WriteProfileString("System", "PassWord1", "MORVINT");
    OnNextDialog([&](CDialog& dialog) {
        Type(dialog, IDC_PASSWORD, "MORVINT");
        Press(dialog, IDOK);
        Type(dialog, IDC_PASSWORD, "Morvint");
        Press(dialog, IDOK);
        Press(dialog, IDCANCEL);
    });
    Command(ID_USER_LEVEL);
    EXPECT_EQ(m_app.GetUserLevel(), 1);
    EXPECT_EQ(m_boxes->Texts(), (std::vector<CString>{"Wrong password!", "Wrong password!"}));
    EXPECT_EQ(Stored("PassWord1"), "MORVINT");
}

TEST_F(UserLevelTest, ChangingAPasswordNeedsTheOldOneAndTheSameNewOneTwice)
{
    struct Step
    {
        const char* oldPassword;
        const char* newPassword;
        const char* confirmation;
        const char* message; // nullptr: accepted
    };
    // The user level's password starts empty.
    const Step steps[] = {
        {"x", "a", "a", "Wrong password!"},
        {"", "a", "b", "Confirm error!"},
        {"", "日本", "日本", kPasswordCharacterText},
        {"", "Grün µ", "Grün µ", nullptr},
    };
    OnNextDialog([&](CDialog& dialog) {
        EXPECT_EQ(TextOf(dialog, IDC_LEVEL_NAME), "User");
        for (const Step& step : steps) {
            m_boxes->Clear();
            Type(dialog, IDC_OLD_PASSWORD, step.oldPassword);
            Type(dialog, IDC_PASSWORD, step.newPassword);
            Type(dialog, IDC_CONFIRM_PASSWORD, step.confirmation);
            Press(dialog, IDOK);
            if (step.message != nullptr) {
                EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{step.message}) << step.newPassword;
                EXPECT_EQ(Stored("PassWord2"), "(none)") << "nothing written";
            } else {
                EXPECT_TRUE(m_boxes->Texts().empty());
            }
        }
    });
    Command(ID_CHANGE_PASSWORD);
    EXPECT_EQ(Stored("PassWord2"), "bf410e973f5e9a5e260317ae3971487e");
    EXPECT_EQ(Stored("PassWord1"), "(none)") << "the other level's key";

    // Back to an empty password, confirmed empty.
    OnNextDialog([&](CDialog& dialog) {
        Type(dialog, IDC_OLD_PASSWORD, "Grün µ");
        Press(dialog, IDOK);
    });
    Command(ID_CHANGE_PASSWORD);
    EXPECT_EQ(Stored("PassWord2"), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_TRUE(m_boxes->Texts().empty());

    // At the administrator level the administrator's password changes.
    m_app.m_nUserLevel = 0;
    OnNextDialog([&](CDialog& dialog) {
        EXPECT_EQ(TextOf(dialog, IDC_LEVEL_NAME), "Administrator");
        Type(dialog, IDC_OLD_PASSWORD, "Morvint");
        Type(dialog, IDC_PASSWORD, "Neu");
        Type(dialog, IDC_CONFIRM_PASSWORD, "Neu");
        Press(dialog, IDOK);
    });
    Command(ID_CHANGE_PASSWORD);
    EXPECT_EQ(Stored("PassWord1"), CMD5::HexDigest("Neu").c_str());
    std::string ini = ReadFile(std::filesystem::path(IniPath().GetString()));
    EXPECT_EQ(ini.find("Neu"), std::string::npos) << "no password in plain text";
}

} // namespace

} // namespace kestrun::testing
