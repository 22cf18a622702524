// The challenge-response login against a simulated device that checks the
// tag with libcrypto's AES-CMAC.
#include "support/DeviceErrorOf.h"
#include "LoginResponder.h"
#include "ScriptedPrompts.h"
#include "SimUsbHost.h"
#include "devices/arkan/ZelArkan.h"
#include "devices/programmer/QoG30.h"
#include "link/DeviceErrors.h"
#include "link/QoWUsbBulkD.h"
#include "security/AdminLogin.h"
#include "security/PasswordKey.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qozel {
namespace {

using testing::ErrorOf;

using sim::Bytes;
using sim::ScriptedPrompts;

// A device that knows only its state query and the login commands.
class LoginModel final : public sim::SimDeviceModel {
public:
    LoginModel(Clock& clock, std::string_view otherUser) : login({otherUser}, &clock) {}

    sim::LoginResponder login;

protected:
    std::optional<Bytes> HandleCommand(std::uint8_t code, std::span<const std::uint8_t> payload) override
    {
        if (code == kCmdReadState) {
            Bytes info(DevInfo::kSize);
            DevInfo{0x0042, 0x010E, 3, login.StateFlags()}.ToBytes(std::span<std::uint8_t, DevInfo::kSize>(info));
            return info;
        }
        return login.Handle(code, payload);
    }
};

PasswordField Field(std::string_view text)
{
    return ScriptedPrompts::Field(std::string(text));
}

sim::Block16 Block(const Key16& key)
{
    sim::Block16 b{};
    std::copy(key.bytes.begin(), key.bytes.end(), b.begin());
    return b;
}

struct Texts {
    const char* defaultRefused;
    const char* notAccepted;
    const char* refused;
};

class Login : public ::testing::TestWithParam<LoginDevice> {
protected:
    void SetUp() override
    {
        host.Attach(usb);
        ASSERT_TRUE(channel.Open());
    }

    bool arkan() const { return GetParam() == LoginDevice::Arkan; }
    const char* otherUser() const { return arkan() ? "installer" : "user"; }
    Texts texts() const
    {
        if (arkan())
            return {"Błąd logowania (hasłem default) do Arkan.", "Arkan nie przyjmuje ustawienia hasła.",
                    "Arkan nie pozwala się zalogować"};
        return {"Błąd logowania (hasłem default) do QO-G30.", "QO-G30 nie przyjmuje ustawienia hasła.",
                "QO-G30 nie pozwala się zalogować"};
    }
    std::vector<std::uint8_t> Codes() const
    {
        std::vector<std::uint8_t> codes;
        for (const auto& r : model->requests())
            codes.push_back(r.code);
        return codes;
    }

    sim::VirtualClock clock;
    sim::SimUsbHost host{clock};
    std::shared_ptr<LoginModel> model = std::make_shared<LoginModel>(clock, GetParam() == LoginDevice::Arkan ? "installer" : "user");
    const Guid& guid = GetParam() == LoginDevice::Arkan ? kArkanGuid : kProgrammerGuid;
    std::shared_ptr<sim::SimUsbDevice> usb = std::make_shared<sim::SimUsbDevice>(guid, model);
    QoWUsbBulkD channel{host, clock, guid};
    ScriptedPrompts prompts;
    sim::LoginResponder& device = model->login;
};

TEST_P(Login, FactoryKeyOpensANewDeviceAndTheWireCarriesTheTag)
{
    ASSERT_TRUE(ChallengeLogin(channel, GetParam(), kAdminUser, FactoryKey()));
    EXPECT_TRUE(device.adminLoggedIn());
    EXPECT_EQ(Codes(), (std::vector<std::uint8_t>{110, 76}));

    // 110 without payload; 76 with the user name field and the CMAC over it and the challenge.
    EXPECT_TRUE(model->requests()[0].payload.empty());
    const Bytes& login = model->requests()[1].payload;
    ASSERT_EQ(login.size(), 28u);
    const UserNameField name = MakeUserNameField(kAdminUser);
    EXPECT_TRUE(std::equal(name.begin(), name.end(), login.begin()));
    Bytes signedPart(name.begin(), name.end());
    signedPart.insert(signedPart.end(), device.challenges.back().begin(), device.challenges.back().end());
    const sim::Block16 tag = sim::AesCmac(sim::FactoryAdminKey(), signedPart);
    EXPECT_TRUE(std::equal(tag.begin(), tag.end(), login.begin() + 12));
    // Read time-outs: 50 ms for the challenge, 500 ms for the answer.
    EXPECT_EQ(usb->pipeTimeouts, (std::vector<std::uint32_t>{50, 500}));
}

TEST_P(Login, FirstTimeSetupReplacesTheFactoryKeyAndLogsIn)
{
    const Key16 key = DeriveKey(kAdminUser, Field("Nowe hasło"));
    ASSERT_TRUE(AdminLogin(channel, GetParam(), key, true, prompts));
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(Codes(), (std::vector<std::uint8_t>{110, 76, 72, 110, 76, 77}));

    const Bytes& set = model->requests()[2].payload;
    ASSERT_EQ(set.size(), 44u);
    const UserNameField name = MakeUserNameField(kAdminUser);
    EXPECT_TRUE(std::equal(name.begin(), name.end(), set.begin()));
    const Key16 factory = FactoryKey();
    EXPECT_TRUE(std::equal(factory.bytes.begin(), factory.bytes.end(), set.begin() + 12));
    EXPECT_TRUE(std::equal(key.bytes.begin(), key.bytes.end(), set.begin() + 28));

    EXPECT_EQ(device.KeyOf("admin"), Block(key));
    // The state record read after the login shows it.
    EXPECT_EQ(channel.info.flags, sim::LoginResponder::kAdminLoggedIn);

    // Next time: no setup, the password alone.
    device.Logout();
    model->ClearRequests();
    ASSERT_TRUE(AdminLogin(channel, GetParam(), key, false, prompts));
    EXPECT_EQ(Codes(), (std::vector<std::uint8_t>{110, 76, 77}));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_P(Login, WrongPasswordIsRefusedWithItsMessage)
{
    device.SetKey("admin", Block(DeriveKey(kAdminUser, Field("dobre"))));
    EXPECT_FALSE(AdminLogin(channel, GetParam(), DeriveKey(kAdminUser, Field("złe")), false, prompts));
    EXPECT_FALSE(device.adminLoggedIn());
    EXPECT_EQ(prompts.Messages(), (std::vector<std::string>{texts().refused}));
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Error);
    EXPECT_EQ(model->CountOf(kCmdReadState), 0u);
}

TEST_P(Login, FirstTimeStopsWhenTheFactoryKeyIsRefused)
{
    device.SetKey("admin", Block(DeriveKey(kAdminUser, Field("ktoś już ustawił"))));
    EXPECT_FALSE(AdminLogin(channel, GetParam(), DeriveKey(kAdminUser, Field("moje")), true, prompts));
    EXPECT_EQ(prompts.Messages(), (std::vector<std::string>{texts().defaultRefused}));
    EXPECT_EQ(Codes(), (std::vector<std::uint8_t>{110, 76}));
}

TEST_P(Login, FirstTimeStopsWhenTheNewPasswordIsNotAccepted)
{
    model->faults.refuseCommand = kCmdSetPassword;
    EXPECT_FALSE(AdminLogin(channel, GetParam(), DeriveKey(kAdminUser, Field("moje")), true, prompts));
    EXPECT_EQ(prompts.Messages(), (std::vector<std::string>{texts().notAccepted}));
    EXPECT_EQ(Codes(), (std::vector<std::uint8_t>{110, 76, 72}));
    EXPECT_EQ(device.KeyOf("admin"), sim::FactoryAdminKey());
}

TEST_P(Login, FirstTimeReportsARefusalAfterTheNewKeyWasTaken)
{
    // The device takes the new key, then refuses the login with it.
    device.acceptedLoginsLeft = 1;
    const Key16 key = DeriveKey(kAdminUser, Field("moje"));
    EXPECT_FALSE(AdminLogin(channel, GetParam(), key, true, prompts));
    EXPECT_EQ(prompts.Messages(), (std::vector<std::string>{texts().refused}));
    EXPECT_EQ(Codes(), (std::vector<std::uint8_t>{110, 76, 72, 110, 76}));
    // The device's flags tell the next attempt that no setup is needed.
    EXPECT_EQ(device.KeyOf("admin"), Block(key));
    EXPECT_EQ(device.StateFlags() & sim::LoginResponder::kNoAdminPassword, 0);
}

TEST_P(Login, ShortFirstChallengeIsAskedAgainAfterElevenHundredMs)
{
    device.busyUntilUs = clock.Microseconds() + 1'000'000;
    const Challenge challenge = GetChallenge(channel);
    ASSERT_EQ(device.challengeTimesUs.size(), 2u);
    EXPECT_GE(device.challengeTimesUs[1] - device.challengeTimesUs[0], 1'100'000u);
    EXPECT_LT(device.challengeTimesUs[1] - device.challengeTimesUs[0], 1'200'000u);
    EXPECT_TRUE(std::equal(challenge.begin(), challenge.end(), device.challenges.back().begin()));

    // The whole login goes through the same way.
    device.busyUntilUs = clock.Microseconds() + 500'000;
    EXPECT_TRUE(ChallengeLogin(channel, GetParam(), kAdminUser, FactoryKey()));
}

TEST_P(Login, SecondShortChallengeAnswerIsADeviceError)
{
    device.busyChallenges = 2;
    const WUsbErr e = ErrorOf<WUsbErr>([&] { GetChallenge(channel); });
    EXPECT_EQ(e.code, WUsbErr::BadLength);
    EXPECT_EQ(e.cmd, kCmdGetChallenge);
    EXPECT_EQ(model->CountOf(kCmdGetChallenge), 2u);
    EXPECT_EQ(model->CountOf(kCmdLogin), 0u);
}

TEST_P(Login, SilentDeviceAndOddReplyLengthsAreDeviceErrors)
{
    model->faults.wrongLengthFor = kCmdGetChallenge;   // 17-byte challenges, twice
    WUsbErr e = ErrorOf<WUsbErr>([&] { ChallengeLogin(channel, GetParam(), kAdminUser, FactoryKey()); });
    EXPECT_EQ(e.code, WUsbErr::BadLength);
    EXPECT_EQ(e.cmd, kCmdGetChallenge);

    model->faults.wrongLengthFor.reset();
    device.acceptReply = {1, 2, 3};
    e = ErrorOf<WUsbErr>([&] { ChallengeLogin(channel, GetParam(), kAdminUser, FactoryKey()); });
    EXPECT_EQ(e.code, WUsbErr::BadLength);
    EXPECT_EQ(e.cmd, kCmdLogin);

    model->faults.silent = true;
    e = ErrorOf<WUsbErr>([&] { AdminLogin(channel, GetParam(), FactoryKey(), false, prompts); });
    EXPECT_EQ(e.code, WUsbErr::NoReply);
    EXPECT_EQ(e.cmd, kCmdGetChallenge);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_P(Login, OneByteZeroLoginReplyMeansRefusedOnArkanAcceptedOnProgrammer)
{
    // A wrong key, refused with status 0.
    device.refusalStatus = 0;
    EXPECT_EQ(ChallengeLogin(channel, GetParam(), kAdminUser, DeriveKey(kAdminUser, Field("x"))), !arkan());
    // Any other single byte is a refusal on both.
    device.refusalStatus = 5;
    EXPECT_FALSE(ChallengeLogin(channel, GetParam(), kAdminUser, DeriveKey(kAdminUser, Field("x"))));
    // The right key answered with the single byte 0 instead of four bytes.
    device.acceptReply = {0};
    EXPECT_EQ(ChallengeLogin(channel, GetParam(), kAdminUser, FactoryKey()), !arkan());
}

TEST_P(Login, EachUserHasItsOwnKey)
{
    const PasswordField shared = Field("wspólne hasło");
    const Key16 adminKey = DeriveKey(kAdminUser, shared);
    const Key16 otherKey = DeriveKey(otherUser(), shared);
    ASSERT_TRUE(AdminLogin(channel, GetParam(), adminKey, true, prompts));

    // Set while the administrator is logged in, with zeros as the old key.
    EXPECT_TRUE(SetPassword(channel, otherUser(), Key16{}, otherKey));
    EXPECT_EQ(device.KeyOf(otherUser()), Block(otherKey));
    EXPECT_EQ(usb->pipeTimeouts.back(), 1000u);

    EXPECT_FALSE(ChallengeLogin(channel, GetParam(), kAdminUser, otherKey));
    EXPECT_FALSE(ChallengeLogin(channel, GetParam(), otherUser(), adminKey));
    EXPECT_TRUE(ChallengeLogin(channel, GetParam(), otherUser(), otherKey));
    EXPECT_TRUE(device.LoggedIn(otherUser()));
    // Nobody logged in now: the zero old key no longer sets anything.
    device.Logout();
    EXPECT_FALSE(SetPassword(channel, otherUser(), Key16{}, adminKey));
    EXPECT_FALSE(SetPassword(channel, kAdminUser, otherKey, adminKey));
}

INSTANTIATE_TEST_SUITE_P(Devices, Login, ::testing::Values(LoginDevice::Arkan, LoginDevice::Programmer),
                         [](const auto& info) { return info.param == LoginDevice::Arkan ? "Arkan" : "Programmer"; });

// The device classes choose how the one-byte reply is read.
TEST(LoginOnDeviceClasses, ArkanAndProgrammerReadTheOneByteReplyAsTheirKind)
{
    sim::VirtualClock clock;
    sim::SimUsbHost host{clock};
    auto arkanModel = std::make_shared<LoginModel>(clock, "installer");
    auto programmerModel = std::make_shared<LoginModel>(clock, "user");
    host.Attach(std::make_shared<sim::SimUsbDevice>(kArkanGuid, arkanModel));
    host.Attach(std::make_shared<sim::SimUsbDevice>(kProgrammerGuid, programmerModel));
    ZelArkan arkan(host, clock);
    QoG30 programmer(host, clock);
    ASSERT_TRUE(arkan.Open());
    ASSERT_TRUE(programmer.Open());
    arkanModel->login.acceptReply = {0};
    programmerModel->login.acceptReply = {0};

    ScriptedPrompts prompts;
    EXPECT_FALSE(AdminLogin(arkan, FactoryKey(), false, prompts));
    EXPECT_EQ(prompts.Messages(), (std::vector<std::string>{"Arkan nie pozwala się zalogować"}));
    EXPECT_TRUE(AdminLogin(programmer, FactoryKey(), false, prompts));
    EXPECT_EQ(programmer.info.flags & QoG30::kAdminLoggedIn, QoG30::kAdminLoggedIn);
    EXPECT_FALSE(ChallengeLogin(arkan, kAdminUser, FactoryKey()));
    EXPECT_TRUE(ChallengeLogin(programmer, kAdminUser, FactoryKey()));
}

} // namespace
} // namespace qozel
