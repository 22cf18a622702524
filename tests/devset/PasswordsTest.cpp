#include "DevSetFixture.h"

#include "devset/DevSetTexts.h"

namespace qozel::test {
namespace {

namespace texts = devset_texts;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

sim::Block16 KeyOf(std::string_view user, const std::string& password)
{
    const Key16 key = DeriveKey(user, sim::ScriptedPrompts::Field(password));
    sim::Block16 block;
    std::copy(key.bytes.begin(), key.bytes.end(), block.begin());
    return block;
}

class Passwords : public DevSetTest {
protected:
    void SetUp() override
    {
        GiveAdminPassword(arkan->login, kPassword);
        GiveAdminPassword(programmer->login, kPassword);
        PlugBoth();
        sent.clear();
    }
};

TEST_F(Passwords, ProgrammerUserPasswordAfterTheAdministratorLogin)
{
    prompts.AnswerDialog(kPassword);
    prompts.AnswerDialog("uzytkownik");
    EXPECT_TRUE(set.SetPrgrUserPassword());
    ASSERT_EQ(prompts.shown.size(), 3u);
    EXPECT_EQ(prompts.shown[1].kind, Kind::SetPass1Dlg);
    EXPECT_EQ(prompts.shown[1].text, "Ustawienie hasła Użytkownika");
    EXPECT_THAT(Messages(), ElementsAre(texts::kPrgrUserPasswordSet));
    EXPECT_EQ(programmer->login.KeyOf("user"), KeyOf("user", "uzytkownik"));
}

TEST_F(Passwords, ArkanInstallerPassword)
{
    prompts.AnswerDialog(kPassword);
    prompts.AnswerDialog("instalator");
    EXPECT_TRUE(set.SetArInstallerPassword());
    EXPECT_EQ(prompts.shown[1].text, "Ustawienie hasła Instalatora");
    EXPECT_THAT(Messages(), ElementsAre(texts::kArInstallerPasswordSet));
    EXPECT_EQ(arkan->login.KeyOf("installer"), KeyOf("installer", "instalator"));
}

TEST_F(Passwords, SecondaryPasswordRefusedOrAbandoned)
{
    prompts.AnswerDialog(kPassword);
    prompts.CancelDialog();
    EXPECT_FALSE(set.SetPrgrUserPassword());
    EXPECT_THAT(Messages(), IsEmpty());
    EXPECT_FALSE(Sent("Prgr:72"));

    programmer->faults.refuseCommand = 72;
    prompts.AnswerDialog("uzytkownik");
    EXPECT_FALSE(set.SetPrgrUserPassword());
    EXPECT_THAT(Messages(), ElementsAre(texts::kPrgrRefusesPassword));
    EXPECT_FALSE(programmer->login.KeyOf("user"));
}

TEST_F(Passwords, ProgrammerReplacedWhileTheUserPasswordIsTyped)
{
    prompts.AnswerDialog(kPassword);
    prompts.AnswerDialog("uzytkownik");
    prompts.whileShown = [&](const auto& shown) {
        if (shown.kind == Kind::SetPass1Dlg)
            Replug(prDevice);
    };
    EXPECT_FALSE(set.SetPrgrUserPassword());
    EXPECT_THAT(Messages(), ElementsAre(texts::kPrgrReplugged));
    EXPECT_FALSE(programmer->login.KeyOf("user"));
}

TEST_F(Passwords, ChangeArkanAdministratorPassword)
{
    prompts.AnswerChngPass(kPassword, "nowe-haslo");
    EXPECT_TRUE(set.ChangeArAdminPassword());
    EXPECT_THAT(Messages(), ElementsAre(texts::kArAdminPasswordChanged));
    EXPECT_EQ(arkan->login.KeyOf("admin"), KeyOf("admin", "nowe-haslo"));
    EXPECT_TRUE(arkan->login.adminLoggedIn());
    EXPECT_TRUE(set.ar.info.flags & ZelArkan::kAdminLoggedIn);
    // The programmer keeps its own.
    EXPECT_EQ(programmer->login.KeyOf("admin"), KeyOf("admin", kPassword));
    EXPECT_FALSE(Sent("Prgr:72"));
}

TEST_F(Passwords, WrongOldPasswordLeavesTheDeviceLoggedOut)
{
    // Logged in before the change.
    prompts.AnswerDialog(kPassword);
    ASSERT_TRUE(set.EnsureBothLogin());
    prompts.shown.clear();
    sent.clear();

    prompts.AnswerChngPass("zle-haslo", "nowe-haslo");
    EXPECT_FALSE(set.ChangeArAdminPassword());
    prompts.AnswerChngPass("zle-haslo", "nowe-haslo");
    EXPECT_FALSE(set.ChangePrgrAdminPassword());
    EXPECT_THAT(Messages(), ElementsAre(texts::kArOldPasswordRefused, texts::kPrgrOldPasswordRefused));
    EXPECT_FALSE(arkan->login.adminLoggedIn());
    EXPECT_FALSE(programmer->login.adminLoggedIn());
    // Each change logged its device out first, then tried the old password.
    EXPECT_TRUE(Sent("Ar:108") && Sent("Prgr:108"));
    EXPECT_EQ(arkan->login.KeyOf("admin"), KeyOf("admin", kPassword));
    EXPECT_FALSE(Sent("Ar:72") || Sent("Prgr:72"));
}

TEST_F(Passwords, ChangeRefusedAfterTheOldPasswordWasAccepted)
{
    programmer->faults.refuseCommand = 72;
    prompts.AnswerChngPass(kPassword, "nowe-haslo");
    EXPECT_FALSE(set.ChangePrgrAdminPassword());
    EXPECT_THAT(Messages(), ElementsAre(texts::kPrgrChangeRefused));
    EXPECT_EQ(programmer->login.KeyOf("admin"), KeyOf("admin", kPassword));
}

using PasswordChange = DevSetTest;

TEST_F(PasswordChange, NewPasswordAcceptedButItsLoginRefused)
{
    GiveAdminPassword(arkan->login, kPassword);
    // The second login (with the new password) is refused.
    arDevice = PlugArkan(std::make_shared<Intercept>(arkan, Intercept::RefuseNth(76, 1)));
    prompts.AnswerChngPass(kPassword, "nowe-haslo");
    EXPECT_FALSE(set.ChangeArAdminPassword());
    EXPECT_THAT(Messages(), ElementsAre(texts::kArNewPasswordRefused));
    // What the earlier steps did stays done.
    EXPECT_EQ(arkan->login.KeyOf("admin"), KeyOf("admin", "nowe-haslo"));
}

TEST_F(Passwords, ChangeNeedsAnAdministratorPasswordToChange)
{
    auto fresh = std::make_shared<sim::ProgrammerModel>(0x0321);
    usb.Detach(*prDevice);
    PlugProgrammer(fresh);
    EXPECT_FALSE(set.ChangePrgrAdminPassword());
    EXPECT_THAT(Messages(), ElementsAre(texts::kPrgrNoAdminPassword));
    EXPECT_EQ(prompts.shown.size(), 1u);
}

TEST_F(Passwords, ArkanReplugedDuringTheChangeDialogGetsNoCommand)
{
    prompts.AnswerChngPass(kPassword, "nowe-haslo");
    prompts.whileShown = [&](const auto& shown) {
        if (shown.kind == Kind::ChngPassDlg)
            Replug(arDevice);
    };
    EXPECT_FALSE(set.ChangeArAdminPassword());
    EXPECT_THAT(Messages(), ElementsAre(texts::kArReplugged));
    EXPECT_FALSE(Sent("Ar:110") || Sent("Ar:72"));
    EXPECT_EQ(arkan->login.KeyOf("admin"), KeyOf("admin", kPassword));
}

} // namespace
} // namespace qozel::test
