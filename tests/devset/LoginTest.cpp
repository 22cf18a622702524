#include "DevSetFixture.h"

#include "devset/DevSetTexts.h"

#include <optional>

namespace qozel::test {
namespace {

namespace texts = devset_texts;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Strings = std::vector<std::string>;

constexpr const char* kPassword = "tajne123";

enum State { Absent = 0, HasPassword = 1, New = 2 };

struct Row {
    State arkan;
    State programmer;
    std::optional<Kind> dialog;
    std::string line1;
    std::string line2;
    std::string button;
    Strings order;
};

std::ostream& operator<<(std::ostream& os, const Row& row)
{
    return os << "Arkan " << row.arkan << ", programmer " << row.programmer;
}

class Login : public DevSetTest {
protected:
    // Plugs the devices in the given states and opens them.
    void Prepare(State a, State b)
    {
        if (a != Absent) {
            if (a == HasPassword)
                GiveAdminPassword(arkan->login, kPassword);
            arDevice = PlugArkan(arkan);
            ASSERT_EQ(set.PollPresence(DevKind::Arkan), ZelDevSet::Presence::Opened);
        }
        if (b != Absent) {
            if (b == HasPassword)
                GiveAdminPassword(programmer->login, kPassword);
            prDevice = PlugProgrammer(programmer);
            ASSERT_EQ(set.PollPresence(DevKind::Programmer), ZelDevSet::Presence::Opened);
        }
        sent.clear();
    }
};

class LoginTable : public Login, public ::testing::WithParamInterface<Row> {};

TEST_P(LoginTable, DialogLinesButtonAndOrder)
{
    const Row& row = GetParam();
    Prepare(row.arkan, row.programmer);
    prompts.AnswerDialog(kPassword);

    const bool ok = set.LogInDevices(false);

    if (!row.dialog) {
        EXPECT_FALSE(ok);
        EXPECT_THAT(Messages(), ElementsAre(texts::kNoDeviceToLogIn));
        EXPECT_EQ(prompts.shown.size(), 1u);
        return;
    }
    EXPECT_TRUE(ok);
    ASSERT_EQ(prompts.shown.size(), 1u);
    const auto& shown = prompts.shown[0];
    EXPECT_EQ(shown.kind, *row.dialog);
    EXPECT_EQ(shown.text, row.line1);
    EXPECT_EQ(shown.line2, row.line2);
    EXPECT_EQ(shown.button, row.button);
    EXPECT_EQ(LoginOrder(), row.order);
    if (row.arkan != Absent) {
        EXPECT_TRUE(arkan->login.adminLoggedIn());
        EXPECT_TRUE(set.ar.info.flags & ZelArkan::kAdminLoggedIn);
    }
    if (row.arkan != Absent && row.programmer != Absent) {
        EXPECT_EQ(arkan->login.KeyOf("admin"), programmer->login.KeyOf("admin")) << "one shared password";
    }
    if (row.programmer != Absent) {
        EXPECT_TRUE(programmer->login.adminLoggedIn());
        EXPECT_TRUE(set.prgr.info.flags & QoG30::kAdminLoggedIn);
    }
}

const std::string kAr = texts::kArLoginLine;
const std::string kArNew = texts::kArCreateLine;
const std::string kPr = texts::kPrgrLoginLine;
const std::string kPrNew = texts::kPrgrCreateLine;

INSTANTIATE_TEST_SUITE_P(
    AllNineRows, LoginTable,
    ::testing::Values(Row{Absent, Absent, std::nullopt, "", "", "", {}},
                      Row{Absent, HasPassword, Kind::LoginDlg, kPr, "", "Zaloguj", {"Prgr"}},
                      Row{Absent, New, Kind::SetPass2Dlg, kPrNew, "", "", {"Prgr"}},
                      Row{HasPassword, Absent, Kind::LoginDlg, kAr, "", "Zaloguj", {"Ar"}},
                      Row{HasPassword, HasPassword, Kind::LoginDlg, kAr, kPr, "Zaloguj", {"Ar", "Prgr"}},
                      Row{HasPassword, New, Kind::LoginDlg, kAr, kPrNew, "Wykonaj", {"Ar", "Prgr"}},
                      Row{New, Absent, Kind::SetPass2Dlg, kArNew, "", "", {"Ar"}},
                      Row{New, HasPassword, Kind::LoginDlg, kPr, kArNew, "Wykonaj", {"Prgr", "Ar"}},
                      Row{New, New, Kind::SetPass2Dlg, kArNew, kPrNew, "", {"Ar", "Prgr"}}));

// A refusal by the first device of the order: the second gets nothing.
struct FailRow {
    State arkan;
    State programmer;
    std::string message;
    std::string untouched;  // "Ar" or "Prgr"
};

std::ostream& operator<<(std::ostream& os, const FailRow& row)
{
    return os << "Arkan " << row.arkan << ", programmer " << row.programmer;
}

class LoginFirstFails : public Login, public ::testing::WithParamInterface<FailRow> {};

TEST_P(LoginFirstFails, SecondDeviceIsLeftUntouched)
{
    const FailRow& row = GetParam();
    Prepare(row.arkan, row.programmer);
    if (row.arkan == New && row.programmer == New) {
        arkan->faults.refuseCommand = 72;  // the new password is not accepted
        prompts.AnswerDialog(kPassword);
    } else {
        prompts.AnswerDialog("zle-haslo");
    }

    EXPECT_FALSE(set.LogInDevices(false));
    EXPECT_THAT(Messages(), ElementsAre(row.message));
    for (const std::string& entry : sent) {
        EXPECT_FALSE(entry.starts_with(row.untouched + ":")) << entry;
    }
    EXPECT_FALSE(programmer->login.adminLoggedIn());
    if (row.untouched == "Prgr") {
        EXPECT_EQ(programmer->login.adminPasswordSet(), row.programmer == HasPassword);
    } else {
        EXPECT_FALSE(arkan->login.adminPasswordSet());
    }
}

INSTANTIATE_TEST_SUITE_P(
    TwoDeviceRows, LoginFirstFails,
    ::testing::Values(FailRow{HasPassword, HasPassword, "Arkan nie pozwala się zalogować", "Prgr"},
                      FailRow{HasPassword, New, "Arkan nie pozwala się zalogować", "Prgr"},
                      FailRow{New, HasPassword, "QO-G30 nie pozwala się zalogować", "Ar"},
                      FailRow{New, New, "Arkan nie przyjmuje ustawienia hasła.", "Prgr"}));

TEST_F(Login, SecondDeviceRefusingLeavesTheFirstLoggedIn)
{
    Prepare(HasPassword, HasPassword);
    GiveAdminPassword(programmer->login, "inne-haslo");
    prompts.AnswerDialog(kPassword);
    EXPECT_FALSE(set.LogInDevices(false));
    EXPECT_THAT(Messages(), ElementsAre("QO-G30 nie pozwala się zalogować"));
    EXPECT_TRUE(arkan->login.adminLoggedIn());
    EXPECT_FALSE(programmer->login.adminLoggedIn());
}

TEST_F(Login, ClosedDialogSendsNothingAndSaysNothing)
{
    Prepare(HasPassword, New);
    prompts.CancelDialog();
    EXPECT_FALSE(set.EnsureBothLogin());
    EXPECT_THAT(Messages(), IsEmpty());
    EXPECT_FALSE(Sent("Ar:110") || Sent("Prgr:110"));
}

TEST_F(Login, EntryPointsShowNoDialogWhenTheirDevicesAreLoggedIn)
{
    Prepare(HasPassword, HasPassword);
    prompts.AnswerDialog(kPassword);
    ASSERT_TRUE(set.EnsureBothLogin());
    EXPECT_TRUE(set.EnsureArLogin());
    EXPECT_TRUE(set.EnsurePrgrLogin());
    EXPECT_TRUE(set.EnsureBothLogin());
    EXPECT_TRUE(set.EnsureArOnlyLogin());
    EXPECT_EQ(prompts.shown.size(), 1u);
}

TEST_F(Login, ArkanLoginWithOnlyTheProgrammerConnectedFailsBeforeAnyDialog)
{
    Prepare(Absent, HasPassword);
    EXPECT_FALSE(set.EnsureArLogin());
    EXPECT_FALSE(set.EnsureArOnlyLogin());
    EXPECT_FALSE(set.EnsureBothLogin());
    EXPECT_THAT(Messages(), ElementsAre(texts::kArNoConnection, texts::kArNoConnection, texts::kArNoConnection));
    EXPECT_THAT(sent, IsEmpty());
}

TEST_F(Login, ArkanOnlyLoginLeavesANewProgrammerAlone)
{
    Prepare(HasPassword, New);
    prompts.AnswerDialog(kPassword);
    EXPECT_TRUE(set.EnsureArOnlyLogin());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, Kind::LoginDlg);
    EXPECT_EQ(prompts.shown[0].text, kAr);
    EXPECT_EQ(prompts.shown[0].line2, "");
    EXPECT_EQ(prompts.shown[0].button, "Zaloguj");
    EXPECT_FALSE(programmer->login.adminPasswordSet());
    EXPECT_FALSE(Sent("Prgr:110"));
}

TEST_F(Login, EnsureArLoginAlsoLogsInAPresentProgrammer)
{
    Prepare(HasPassword, HasPassword);
    prompts.AnswerDialog(kPassword);
    EXPECT_TRUE(set.EnsureArLogin());
    EXPECT_EQ(prompts.shown[0].line2, kPr);
    EXPECT_TRUE(programmer->login.adminLoggedIn());
}

TEST_F(Login, DeviceReplugedDuringTheDialogEndsWithTheRepluggedMessageBeforeAnyCommand)
{
    Prepare(HasPassword, Absent);
    prompts.AnswerDialog(kPassword);
    prompts.whileShown = [&](const auto& shown) {
        if (shown.kind == Kind::LoginDlg)
            Replug(arDevice);
    };
    EXPECT_FALSE(set.EnsureArLogin());
    EXPECT_THAT(Messages(), ElementsAre(texts::kArReplugged));
    // The state query on the lost connection, then the reopening: no login command.
    EXPECT_THAT(sent, ElementsAre("Ar:77", "Ar:77", "Ar:77", "Ar:108", "Ar:77"));
    EXPECT_FALSE(arkan->login.adminLoggedIn());
}

TEST_F(Login, ProgrammerReplacedDuringTheDialogIsNotGivenThePassword)
{
    Prepare(HasPassword, HasPassword);
    auto other = std::make_shared<sim::ProgrammerModel>(0x0999);
    prompts.AnswerDialog(kPassword);
    prompts.whileShown = [&](const auto&) {
        usb.Detach(*prDevice);
        PlugProgrammer(other);
    };
    EXPECT_FALSE(set.EnsureBothLogin());
    EXPECT_THAT(Messages(), ElementsAre(texts::kPrgrReplugged));
    EXPECT_FALSE(other->login.adminPasswordSet());
    EXPECT_EQ(other->CountOf(110), 0u);
    EXPECT_EQ(other->CountOf(72), 0u);
}

TEST_F(Login, UnpluggedDuringTheDialogAndNotBackIsNoConnection)
{
    Prepare(New, Absent);
    prompts.AnswerDialog(kPassword);
    prompts.whileShown = [&](const auto&) { usb.Detach(*arDevice); };
    EXPECT_FALSE(set.EnsureArLogin());
    EXPECT_THAT(Messages(), ElementsAre(texts::kArNoConnection));
    EXPECT_FALSE(set.ar.IsOpen());
}

TEST_F(Login, DeviceErrorDuringTheLoginDropsTheDevice)
{
    Prepare(HasPassword, Absent);
    arkan->faults.disconnectAt = 76;
    prompts.AnswerDialog(kPassword);
    EXPECT_FALSE(set.EnsureArLogin());
    EXPECT_THAT(Messages(), ElementsAre(texts::kArNoConnection));
    EXPECT_FALSE(set.ar.IsOpen());
    EXPECT_EQ(set.ar.info, DevInfo{});
}

} // namespace
} // namespace qozel::test
