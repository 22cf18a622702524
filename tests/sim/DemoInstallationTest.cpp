// The demo installation without widgets: what it builds, what the keyboard
// reader types, and what happens at a reader on the bus.
#include "devices/firmware/BuiltInImages.h"

#include "DemoInstallation.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <string>

namespace qozel::sim {
namespace {

using Device = DemoInstallation::Device;

std::string Typed(const std::vector<KeyStroke>& keys)
{
    std::string text;
    for (const KeyStroke& key : keys)
        text += key.character;
    return text;
}

TEST(DemoInstallation, BuildsAFactoryInstallationThatOffersNoUpgrade)
{
    UseTestImages();  // as if the program carried images: none is newer than the devices
    VirtualClock clock;
    DemoInstallation demo(clock);
    for (Device device : DemoInstallation::kDevices)
        EXPECT_TRUE(demo.IsPlugged(device)) << DemoInstallation::DeviceName(device);
    EXPECT_FALSE(demo.arkan->masterKey().has_value());
    EXPECT_EQ(demo.programmer->keyBits(), 0);
    ASSERT_TRUE(demo.programmer->card().has_value());
    EXPECT_EQ(demo.programmer->card()->appState, 0);
    EXPECT_EQ(demo.CardText(0).substr(16), ": pusta, na programatorze");

    EXPECT_EQ(demo.manager->baud100, 192);
    ASSERT_EQ(demo.ReaderCount(), 3u);
    EXPECT_EQ(demo.ReaderText(0), "1. QO-L74 Nr: 301, adres 1");
    EXPECT_EQ(demo.ReaderText(1), "2. QO-V75 Nr: 302, adres 2");
    EXPECT_EQ(demo.ReaderText(2), "3. QO-V70 Nr: 303, adres brak");
    EXPECT_TRUE(demo.manager->bus[0]->IsModule());

    EXPECT_GE(demo.arkan->identity.soft, BuiltInImage(ImageSlot::Arkan).VersionFor(demo.arkan->identity.type));
    EXPECT_GE(demo.programmer->identity.soft,
              BuiltInImage(ImageSlot::Programmer).VersionFor(demo.programmer->identity.type));
    EXPECT_GE(demo.manager->soft, BuiltInImage(ImageSlot::Manager).VersionFor(ManagerModel::kType));
    for (const auto& reader : demo.manager->bus)
        EXPECT_GE(reader->soft, ReaderImageForType(reader->type)->VersionFor(reader->type)) << reader->type;
}

TEST(DemoInstallation, TheKeyboardReaderTypesItsConfiguredFields)
{
    VirtualClock clock;
    DemoInstallation demo(clock);
    const std::string uid = demo.CardText(0).substr(0, 16);
    EXPECT_EQ(Typed(demo.KbReaderReadsCard(0).keys), uid + "\r") << "the Cards tab's defaults";
    EXPECT_FALSE(demo.KbReaderReadsPhone().outcome.done);

    // UID in decimal after ";", RoRe in hexadecimal after a space, department
    // and index after Tab and ":", then "|" and no Enter.
    demo.kbReader->config = {0, 0x20, 0x07, 0, 0, 0, 0, 0, 0, 0x2C, 0x33, 0x2B, 0xB3, 0xB1, 0, 0x0A};
    // A blank card has no department nor index.
    EXPECT_EQ(Typed(demo.KbReaderReadsCard(0).keys), ";" + std::to_string(std::stoull(uid, nullptr, 16)) + "|");

    const auto phone = demo.KbReaderReadsPhone();
    EXPECT_TRUE(phone.outcome.done);
    EXPECT_EQ(Typed(phone.keys), " 526F526520190731|");
    EXPECT_EQ(phone.keys.back(), (KeyStroke{0x31, true, '|'}));

    demo.SetPlugged(Device::KbReader, false);
    EXPECT_EQ(demo.KbReaderReadsCard(0).outcome.text, "Czytnik klawiaturowy QO-K31 jest odłączony.");
}

TEST(DemoInstallation, ReadsTheDataOfACardProgrammedWithTheReadersKeys)
{
    VirtualClock clock;
    DemoInstallation demo(clock);
    std::array<std::uint8_t, 32> masterKey{};
    demo.programmer->PreloadKeys(masterKey, 0xABCD, true);
    // What programming the card in the field leaves on it.
    SimCard programmed = *demo.programmer->card();
    programmed.appState = 1;
    programmed.key = std::array<std::uint8_t, 16>{1};
    programmed.files[1] = {12, 0, 0, 0, 34, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    demo.programmer->PlaceCard(programmed);
    EXPECT_EQ(demo.Card(0).keySignature, 0xABCDu);
    EXPECT_EQ(demo.CardText(0).substr(16), ": zaprogramowana (wydział 12, index 34), na programatorze");

    demo.kbReader->config = {0, 0, 0x07, 0, 0, 0, 0, 0, 0, 0, 0, 0x2B, 0x2B, 0, 0, 0x84};
    demo.kbReader->PreloadKeys(0xABCD, true);
    EXPECT_EQ(Typed(demo.KbReaderReadsCard(0).keys), demo.CardText(0).substr(0, 16) + "\t12\t34\r");

    SimReader& reader = *demo.manager->bus[1];
    reader.config[2] = 0x06;
    reader.keyBits = SimReader::kKey21 | SimReader::kKey22;
    reader.keySignature = 0xABCD;
    const DemoOutcome outcome = demo.PresentCard(1, 0);
    EXPECT_TRUE(outcome.done);
    EXPECT_EQ(outcome.text, "Czytnik 2 (QO-V75) odczytał dane karty QoZEL.");
    const auto frame = demo.manager->TakeUnsolicited();
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->second, (Bytes{0x2E, 0x01, 0x4B, 0x00, 2, 0, 12, 0, 0, 0, 34, 0, 0, 0}));
}

TEST(DemoInstallation, AReaderOffTheBusOrAnUnpluggedManagerReportsNothing)
{
    VirtualClock clock;
    DemoInstallation demo(clock);
    EXPECT_TRUE(demo.SetReaderConnected(2, false).done);
    EXPECT_EQ(demo.ReaderText(2), "3. QO-V70 Nr: 303, adres brak, odłączony");
    EXPECT_EQ(demo.PresentCard(2, 0).text, "Czytnik 3 (QO-V70) jest odłączony od magistrali.");
    EXPECT_EQ(demo.TypePin(0, "1234").text, "Czytnik 1 (QO-L74) przesłał PIN 1234.");
    demo.SetPlugged(Device::Manager, false);
    EXPECT_FALSE(demo.PresentPhone(0).done);
    EXPECT_FALSE(demo.SetInputs(0, {true, false, false}).done);
    EXPECT_TRUE(demo.InputsOf(0).tamper1) << "the input changed all the same";

    EXPECT_TRUE(demo.AddReader(72).done);
    EXPECT_EQ(demo.ReaderText(3), "4. QO-V72 Nr: 304, adres brak");
    EXPECT_TRUE(demo.RemoveReader(0).done);
    EXPECT_EQ(demo.ReaderCount(), 3u);
    EXPECT_FALSE(demo.InputsOf(0).tamper1);
}

} // namespace
} // namespace qozel::sim
