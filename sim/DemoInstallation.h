#pragma once

#include "KbReaderModel.h"
#include "SimCard.h"
#include "SimDevices.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qozel::sim {

// What a control of the demo did: whether it took effect, and one line
// saying so for the installer (Polish, UTF-8).
struct DemoOutcome {
    bool done = false;
    std::string text;
};

// A card in the installer's hand: the card, and the signature of the keys it
// was programmed with (0 when it holds none), by which a reader knows whether
// its own keys open the card's file.
struct DemoCard {
    SimCard card;
    std::uint32_t keySignature = 0;
};

// The demo installation and everything its control window can do to it,
// free of Qt so that it can be tested without widgets.
//
// What it builds: an Arkan in factory state, a programmer without keys with a
// blank DESFire card in its field, a keyboard reader typing the UID in
// hexadecimal and Enter (the Cards tab's defaults), and a Manager at 19200
// baud with a QO-L74 module (its two readers, address 1), an ordinary reader
// with address 2 and one without an address; all plugged in. Every device
// and reader runs the firmware the program carries for it, or the maker's
// current version (that of the test images) when the program carries none,
// so the demo offers no upgrade at start.
//
// The hosts' time is `clock`: real time in the demo, a VirtualClock in tests.
class DemoInstallation : public SimDevices {
public:
    static constexpr std::uint16_t kBusRate = 192;  // 19200 baud, / 100
    // Reader types a reader can be added of; 774 is a QO-L74 module with a
    // QO-V70 and a QO-V75 attached.
    static constexpr std::array<std::uint16_t, 6> kReaderTypes = {70, 72, 75, 76, 78, 774};
    // The phone that shows its identifier RoRe.
    static constexpr std::array<std::uint8_t, 8> kPhoneId = {0x52, 0x6F, 0x52, 0x65, 0x20, 0x19, 0x07, 0x31};

    explicit DemoInstallation(SimClock& clock);

    // Plugging the service devices in and out.
    static std::string DeviceName(Device device);
    DemoOutcome SetPlugged(Device device, bool plugged);

    // The readers on the Manager's bus, in the order the Manager lists them.
    std::size_t ReaderCount() const noexcept { return manager->bus.size(); }
    // "2. QO-V75 Nr: 302, adres 2", and what keeps it off the bus.
    std::string ReaderText(std::size_t index) const;
    DemoOutcome AddReader(std::uint16_t type);
    DemoOutcome RemoveReader(std::size_t index);
    // Wired to the bus (at the bus's rate) or taken off it.
    DemoOutcome SetReaderConnected(std::size_t index, bool connected);

    // The cards in hand, the first being the blank card on the programmer.
    std::size_t CardCount() const noexcept { return cards_.size(); }
    // As it is now: a card in the programmer's field is the programmer's copy.
    DemoCard Card(std::size_t index) const;
    // "04A1B2C3D4E5F607: zaprogramowana (wydział 1, index 2), na programatorze"
    std::string CardText(std::size_t index) const;
    std::optional<std::size_t> CardOnProgrammer() const noexcept { return onProgrammer_; }
    // A new blank card into the programmer's field; the card there goes back to hand.
    DemoOutcome PlaceNewBlankCard();
    DemoOutcome PlaceCard(std::size_t index);
    DemoOutcome TakeCardOff();

    // At a reader on the bus: a card (a backup card is read as one while the
    // reader waits for backup cards), the phone's RoRe, a PIN, and the states
    // of its tamper inputs and power.
    DemoOutcome PresentCard(std::size_t reader, std::size_t card);
    // The latest card in hand that carries a copy of the master key.
    DemoOutcome PresentBackupCard(std::size_t reader);
    DemoOutcome PresentPhone(std::size_t reader);
    DemoOutcome TypePin(std::size_t reader, std::string_view pin);
    struct Inputs {
        bool tamper1 = false;
        bool tamper2 = false;
        bool powerFault = false;
    };
    Inputs InputsOf(std::size_t reader) const;
    DemoOutcome SetInputs(std::size_t reader, Inputs inputs);

    // At the keyboard reader: what it types for a card or the phone, as
    // keys in order (none when it types nothing, with the reason).
    struct Typing {
        DemoOutcome outcome;
        std::vector<KeyStroke> keys;
    };
    Typing KbReaderReadsCard(std::size_t card) const;
    Typing KbReaderReadsPhone() const;

private:
    std::optional<DemoOutcome> RefuseBusEvent(std::size_t reader) const;
    std::string ReaderName(std::size_t index) const;
    // The card's department and index when keys of `signature` open its file.
    static std::optional<std::pair<std::int32_t, std::int32_t>> ReadableData(const DemoCard& card, bool holdsKeys,
                                                                              std::uint32_t signature);
    std::array<std::uint8_t, 8> NextUid();

    // A card in the programmer's field as it was when placed there.
    std::vector<DemoCard> cards_;
    std::optional<std::size_t> onProgrammer_;
    std::map<const SimReader*, Inputs> inputs_;
    std::uint16_t nextReaderNr_ = 0;
    std::uint32_t uidSeed_ = 0x0DE30001;
};

} // namespace qozel::sim
