#include "ArkanModel.h"
#include "SimCertificate.h"
#include "support/SimLogin.h"
#include "SimCrc32.h"

#include <gtest/gtest.h>

#include <array>
#include <string_view>

namespace qozel::sim {
namespace {

Bytes Record(std::uint8_t keyKind, std::uint32_t signature)
{
    Bytes r(52, 0);
    r[0] = 1;
    r[1] = keyKind;
    r[2] = 1;
    for (int i = 0; i < 4; ++i)
        r[12 + i] = static_cast<std::uint8_t>(signature >> (8 * i));
    for (std::size_t i = 16; i < 48; ++i)
        r[i] = static_cast<std::uint8_t>(i);
    const std::uint32_t crc = Mpeg2Crc32(std::span(r).first(48));
    for (int i = 0; i < 4; ++i)
        r[48 + i] = static_cast<std::uint8_t>(crc >> (8 * i));
    return r;
}

Bytes Flags(ArkanModel& arkan)
{
    const auto state = arkan.Process(77, {});
    return Bytes(state->begin() + 6, state->end());
}

TEST(Mpeg2Crc32, MatchesTheCatalogueCheckValue)
{
    constexpr std::string_view kCheck = "123456789";
    EXPECT_EQ(Mpeg2Crc32(std::span(reinterpret_cast<const std::uint8_t*>(kCheck.data()), kCheck.size())),
              0x0376E6E7u);
}

TEST(ArkanModel, StoresOnlyAWellFormedRecordWithItsCrc)
{
    ArkanModel arkan;
    EXPECT_TRUE(test::LogInAdmin(arkan));
    Bytes record = Record(0x80, 5);
    for (std::size_t at : {std::size_t{0}, std::size_t{1}, std::size_t{20}, std::size_t{50}}) {
        Bytes bad = record;
        bad[at] ^= 0x40;
        EXPECT_EQ(arkan.Process(75, bad), Bytes{ArkanModel::BadRecord}) << "byte " << at;
    }
    EXPECT_FALSE(arkan.masterKey());
    EXPECT_EQ(arkan.Process(75, record), Bytes{0});
    EXPECT_EQ(Flags(arkan), (Bytes{0x81, 0x03}));
}

TEST(ArkanModel, KeepsItsStateFlags)
{
    ArkanModel arkan;
    EXPECT_EQ(Flags(arkan), (Bytes{0x00, 0x01}));  // factory: no password, no key
    arkan.login.SetKey("admin", test::kAdminKey);
    EXPECT_TRUE(test::LogInAdmin(arkan));
    EXPECT_EQ(Flags(arkan), (Bytes{0x00, 0x02}));
    EXPECT_EQ(arkan.Process(75, Record(0x00, 5)), Bytes{0});
    EXPECT_EQ(Flags(arkan), (Bytes{0x01, 0x02}));
    EXPECT_EQ(arkan.Process(108, {}), Bytes{0});
    EXPECT_EQ(Flags(arkan), (Bytes{0x01, 0x00}));
}

TEST(ArkanModel, RefusesAdministrativeCommandsWithoutLogin)
{
    ArkanModel arkan;
    arkan.PreloadMasterKey({false, {}, 9, {}});
    EXPECT_EQ(arkan.Process(75, Record(0x80, 5)), Bytes{ArkanModel::NotLoggedIn});
    EXPECT_EQ(arkan.Process(107, Bytes{0, 18, 1, 2, 3, 4}), Bytes{ArkanModel::NotLoggedIn});
    EXPECT_EQ(arkan.Process(69, Bytes(80, 0)), Bytes{ArkanModel::NotLoggedIn});
    // The signature and the state are no secret.
    EXPECT_EQ(arkan.Process(115, {}), (Bytes{9, 0, 0, 0}));
}

TEST(ArkanModel, IssuesOnlyTheCertificatesOfTheFamily)
{
    ArkanModel arkan;
    EXPECT_TRUE(test::LogInAdmin(arkan));
    arkan.PreloadMasterKey({true, {}, 9, {}});
    EXPECT_EQ(arkan.Process(107, Bytes{0, 21, 1, 2, 3, 4}), Bytes{ArkanModel::BadRequest});
    EXPECT_EQ(arkan.Process(107, Bytes{1, 18, 1, 2, 3, 4}), Bytes{ArkanModel::BadRequest});
    EXPECT_EQ(arkan.Process(107, Bytes{0, 18, 1, 2, 3}), Bytes{ArkanModel::BadRequest});
    const auto cert = arkan.Process(107, Bytes{0, 20, 1, 2, 3, 4});
    ASSERT_EQ(cert->size(), 80u);
    const auto content = OpenCertificateFor(*cert, 0x04030201, 80);
    ASSERT_TRUE(content);
    EXPECT_TRUE(content->temporary);
    EXPECT_EQ(content->number, 20);
}

TEST(ArkanModel, CertificatesOfTwoArkansWithOneMasterKeyCarryTheSameKeys)
{
    std::array<std::uint8_t, 32> master{};
    master[3] = 0x33;
    ArkanModel first(1), second(2);
    for (ArkanModel* a : {&first, &second}) {
        EXPECT_TRUE(test::LogInAdmin(*a));
        a->PreloadMasterKey({false, {}, 9, master});
    }
    const Bytes request{1, 22, 0x42, 0, 0x46, 0};
    const auto a = OpenCertificate(*first.Process(107, request));
    const auto b = OpenCertificate(*second.Process(107, request));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->key, b->key);
    EXPECT_NE(a->issuerId, b->issuerId);
}

TEST(ArkanModel, FactoryResetForgetsKeyAndPassword)
{
    ArkanModel arkan;
    arkan.login.SetKey("admin", test::kAdminKey);
    EXPECT_TRUE(test::LogInAdmin(arkan));
    arkan.PreloadMasterKey({true, {}, 9, {}});
    EXPECT_EQ(arkan.Process(104, {}), Bytes{0});
    EXPECT_EQ(Flags(arkan), (Bytes{0x00, 0x01}));
    EXPECT_EQ(arkan.Process(115, {}), Bytes{ArkanModel::NoMasterKey});
}

TEST(ArkanModel, FaultsOfTheBaseApply)
{
    ArkanModel arkan;
    arkan.faults.refuseCommand = 77;
    arkan.faults.refusalStatus = 9;
    EXPECT_EQ(arkan.Process(77, {}), Bytes{9});
    arkan.faults.refuseCommand.reset();
    arkan.faults.wrongLengthFor = 77;
    EXPECT_EQ(arkan.Process(77, {})->size(), 9u);
    arkan.faults.silent = true;
    EXPECT_FALSE(arkan.Process(77, {}));
}

} // namespace
} // namespace qozel::sim
