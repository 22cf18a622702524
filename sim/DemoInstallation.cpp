#include "DemoInstallation.h"

#include "TestImageMaker.h"

#include "devices/DevInfo.h"
#include "devices/firmware/BuiltInImages.h"
#include "devices/manager/ZelManager.h"

#include <algorithm>
#include <cstdio>
#include <span>

namespace qozel::sim {
namespace {

constexpr std::uint8_t kDataFile = 1, kBackupFile = 7;
constexpr std::uint8_t kOrdinaryCard = 1, kBackupCard = 2;
constexpr std::uint8_t kPowerFaultBit = 0x01;

// The software version a device or reader of `type` runs in the demo: the
// maker's current one as the test images record it (else `fallback`), or the
// version of the image the program carries for it when that is newer.
std::uint16_t CurrentSoft(const FirmwareImage* image, std::uint16_t type, std::uint16_t fallback)
{
    std::uint16_t soft = fallback;
    for (const TestImageLayout& layout : kTestImageLayouts)
        if (layout.type == type)
            soft = layout.version;
    if (image != nullptr)
        soft = std::max(soft, static_cast<std::uint16_t>(image->VersionFor(type)));
    return soft;
}

std::string Hex(std::span<const std::uint8_t> bytes)
{
    std::string text;
    for (std::uint8_t b : bytes) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned>(b));
        text += digits;
    }
    return text;
}

// What the keys type, as the installer reads it.
std::string Shown(const std::vector<KeyStroke>& keys)
{
    std::string text;
    for (const KeyStroke& key : keys) {
        if (key.character == '\r')
            text += "[Enter]";
        else if (key.character == '\t')
            text += "[Tab]";
        else
            text += key.character;
    }
    return text;
}

} // namespace

DemoInstallation::DemoInstallation(SimClock& clock) : SimDevices(clock)
{
    arkan->identity.soft = CurrentSoft(&BuiltInImage(ImageSlot::Arkan), arkan->identity.type, arkan->identity.soft);
    programmer->identity.soft =
        CurrentSoft(&BuiltInImage(ImageSlot::Programmer), programmer->identity.type, programmer->identity.soft);
    kbReader->identity.soft =
        CurrentSoft(&BuiltInImage(ImageSlot::KbReader), kbReader->identity.type, kbReader->identity.soft);
    manager->soft = CurrentSoft(&BuiltInImage(ImageSlot::Manager), ManagerModel::kType, manager->soft);
    // The keyboard reader types what the Cards tab sets by default: the UID in
    // hexadecimal, then Enter.
    kbReader->config = {0, 0, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x84};

    manager->baud100 = kBusRate;
    nextReaderNr_ = 301;
    AddReader(774);
    AddReader(75);
    AddReader(70);
    manager->bus[0]->address = 1;
    manager->bus[1]->address = 2;

    PlaceNewBlankCard();
    PlugAll();
}

std::string DemoInstallation::DeviceName(Device device)
{
    switch (device) {
    case Device::Arkan: return kArkanTitle;
    case Device::Programmer: return kProgrammerTitle;
    case Device::KbReader: return kKbReaderTitle;
    case Device::Manager: return kManagerTitle;
    }
    return {};
}

DemoOutcome DemoInstallation::SetPlugged(Device device, bool plugged)
{
    const std::string name = DeviceName(device);
    if (IsPlugged(device) == plugged)
        return {false, name + (plugged ? " już jest podłączony." : " już jest odłączony.")};
    if (plugged)
        Plug(device);
    else
        Unplug(device);
    return {true, name + (plugged ? " podłączony." : " odłączony.")};
}

std::string DemoInstallation::ReaderName(std::size_t index) const
{
    const SimReader& reader = *manager->bus[index];
    return "Czytnik " + std::to_string(index + 1) + " (" + ShortName(DevInfo{reader.nr, reader.type, reader.soft, 0}) +
           ")";
}

std::string DemoInstallation::ReaderText(std::size_t index) const
{
    const SimReader& reader = *manager->bus[index];
    std::string text = std::to_string(index + 1) + ". " + ShortName(DevInfo{reader.nr, reader.type, reader.soft, 0}) +
                       " Nr: " + std::to_string(reader.nr) + ", adres " +
                       (reader.address != 0 ? std::to_string(reader.address) : std::string("brak"));
    if (!reader.connected)
        text += ", odłączony";
    else if (!manager->IsOnline(reader))
        text += ", inna prędkość niż magistrala";
    return text;
}

DemoOutcome DemoInstallation::AddReader(std::uint16_t type)
{
    if (manager->bus.size() >= ManagerModel::kMaxReaders)
        return {false, "Na magistrali może być najwyżej 32 czytników."};
    if (std::find(kReaderTypes.begin(), kReaderTypes.end(), type) == kReaderTypes.end())
        return {false, "Nieznany typ czytnika."};
    const std::uint16_t nr = nextReaderNr_++;
    // A new reader comes without an address, at the bus's rate.
    SimReader& reader = type == 774 ? manager->AddModule(nr, 70, 75) : manager->AddReader(nr, type);
    reader.soft = CurrentSoft(ReaderImageForType(type), type, reader.soft);
    return {true, ReaderName(manager->bus.size() - 1) + " dołączony do magistrali, bez adresu."};
}

DemoOutcome DemoInstallation::RemoveReader(std::size_t index)
{
    if (index >= manager->bus.size())
        return {false, "Nie wybrano czytnika."};
    const std::string name = ReaderName(index);
    inputs_.erase(manager->bus[index].get());
    manager->bus.erase(manager->bus.begin() + static_cast<std::ptrdiff_t>(index));
    return {true, name + " usunięty z magistrali."};
}

DemoOutcome DemoInstallation::SetReaderConnected(std::size_t index, bool connected)
{
    if (index >= manager->bus.size())
        return {false, "Nie wybrano czytnika."};
    SimReader& reader = *manager->bus[index];
    reader.connected = connected;
    // Wired again, it works at whatever rate the bus runs now.
    if (connected && manager->baud100 != 0)
        reader.baud100 = manager->baud100;
    return {true, ReaderName(index) + (connected ? " podłączony do magistrali." : " odłączony od magistrali.")};
}

DemoCard DemoInstallation::Card(std::size_t index) const
{
    DemoCard card = cards_.at(index);
    if (onProgrammer_ == index && programmer->card()) {
        const SimCard& now = *programmer->card();
        // Programmed or erased in the field: the programmer's keys are the card's now.
        if (now.key != card.card.key)
            card.keySignature = now.key ? programmer->keySignature() : 0;
        card.card = now;
    }
    return card;
}

std::string DemoInstallation::CardText(std::size_t index) const
{
    const DemoCard card = Card(index);
    std::string text = Hex(card.card.uid) + ": ";
    const auto file = card.card.files.find(card.card.appState == kBackupCard ? kBackupFile : kDataFile);
    const bool hasFile = file != card.card.files.end();
    switch (card.card.appState) {
    case 0:
        text += "pusta";
        break;
    case kOrdinaryCard:
        if (hasFile && file->second.size() >= 8)
            text += "zaprogramowana (wydział " + std::to_string(static_cast<std::int32_t>(Le32(&file->second[0]))) +
                    ", index " + std::to_string(static_cast<std::int32_t>(Le32(&file->second[4]))) + ")";
        else
            text += "przygotowana, bez danych";
        break;
    case kBackupCard:
        text += hasFile ? "kopia zapasowa klucza" : "przygotowana na kopię zapasową";
        break;
    default:
        text += "nieznana";
        break;
    }
    if (onProgrammer_ == index)
        text += ", na programatorze";
    return text;
}

std::array<std::uint8_t, 8> DemoInstallation::NextUid()
{
    // DESFire UIDs begin with the maker's code 04; the rest differs from card to card.
    std::array<std::uint8_t, 8> uid{0x04};
    for (std::size_t i = 1; i < uid.size(); ++i) {
        uidSeed_ = uidSeed_ * 1664525u + 1013904223u;
        uid[i] = static_cast<std::uint8_t>(uidSeed_ >> 24);
    }
    return uid;
}

DemoOutcome DemoInstallation::PlaceNewBlankCard()
{
    cards_.push_back({SimCard::Blank(NextUid()), 0});
    PlaceCard(cards_.size() - 1);
    return {true, "Nowa pusta karta " + Hex(cards_.back().card.uid) + " leży na programatorze."};
}

DemoOutcome DemoInstallation::PlaceCard(std::size_t index)
{
    if (index >= cards_.size())
        return {false, "Nie wybrano karty."};
    if (onProgrammer_ == index)
        return {false, "Ta karta już leży na programatorze."};
    if (onProgrammer_)
        TakeCardOff();
    programmer->PlaceCard(cards_[index].card);
    onProgrammer_ = index;
    return {true, "Karta " + Hex(cards_[index].card.uid) + " leży na programatorze."};
}

DemoOutcome DemoInstallation::TakeCardOff()
{
    if (!onProgrammer_)
        return {false, "Na programatorze nie ma karty."};
    const std::size_t index = *onProgrammer_;
    cards_[index] = Card(index);
    programmer->TakeCard();
    onProgrammer_.reset();
    return {true, "Karta " + Hex(cards_[index].card.uid) + " zdjęta z programatora."};
}

std::optional<std::pair<std::int32_t, std::int32_t>> DemoInstallation::ReadableData(const DemoCard& card,
                                                                                    bool holdsKeys,
                                                                                    std::uint32_t signature)
{
    const auto file = card.card.files.find(kDataFile);
    if (card.card.appState != kOrdinaryCard || file == card.card.files.end() || file->second.size() < 8 ||
        !holdsKeys || card.keySignature == 0 || card.keySignature != signature)
        return std::nullopt;
    return std::pair{static_cast<std::int32_t>(Le32(&file->second[0])),
                     static_cast<std::int32_t>(Le32(&file->second[4]))};
}

std::optional<DemoOutcome> DemoInstallation::RefuseBusEvent(std::size_t index) const
{
    if (index >= manager->bus.size())
        return DemoOutcome{false, "Nie wybrano czytnika."};
    if (!IsPlugged(Device::Manager))
        return DemoOutcome{false, std::string(kManagerTitle) + " jest odłączony: zdarzenie czytnika nie dotrze do programu."};
    const SimReader& reader = *manager->bus[index];
    if (!reader.connected)
        return DemoOutcome{false, ReaderName(index) + " jest odłączony od magistrali."};
    if (!manager->IsOnline(reader))
        return DemoOutcome{false, ReaderName(index) + " pracuje z inną prędkością niż magistrala."};
    return std::nullopt;
}

DemoOutcome DemoInstallation::PresentCard(std::size_t index, std::size_t cardIndex)
{
    if (auto refusal = RefuseBusEvent(index))
        return *refusal;
    if (cardIndex >= cards_.size())
        return {false, "Nie wybrano karty."};
    SimReader& reader = *manager->bus[index];
    const DemoCard card = Card(cardIndex);
    const std::string name = ReaderName(index);
    if (reader.readingMode == ZelManager::BackupCardReading) {
        const auto file = card.card.files.find(kBackupFile);
        const bool sent = card.card.appState == kBackupCard && file != card.card.files.end() &&
                          manager->PresentBackupCard(reader, card.card.uid, file->second);
        if (sent)
            return {true, name + " odczytał kartę zapasową klucza."};
        return {false, name + " czeka na kartę zapasową klucza tej instalacji; tej karty nie przyjął."};
    }
    const auto data = ReadableData(card, reader.HoldsKeys(), reader.keySignature);
    if (!manager->PresentCard(reader, card.card.uid, data))
        return {false, name + " nie odczytuje teraz kart."};
    return {true, name + (data ? " odczytał dane karty QoZEL." : " odczytał UID karty.")};
}

DemoOutcome DemoInstallation::PresentBackupCard(std::size_t index)
{
    for (std::size_t i = cards_.size(); i-- > 0;) {
        const DemoCard card = Card(i);
        if (card.card.appState == kBackupCard && card.card.files.count(kBackupFile) != 0)
            return PresentCard(index, i);
    }
    return {false, "Nie ma karty z kopią zapasową klucza: wykonaj ją na zakładce „Klucz Instalacji”."};
}

DemoOutcome DemoInstallation::PresentPhone(std::size_t index)
{
    if (auto refusal = RefuseBusEvent(index))
        return *refusal;
    if (!manager->ReadPhone(*manager->bus[index], kPhoneId))
        return {false, ReaderName(index) + " ma wyłączony odczyt identyfikatora RoRe telefonu."};
    return {true, ReaderName(index) + " odczytał identyfikator RoRe telefonu."};
}

DemoOutcome DemoInstallation::TypePin(std::size_t index, std::string_view pin)
{
    if (auto refusal = RefuseBusEvent(index))
        return *refusal;
    if (pin.empty())
        return {false, "Wpisz PIN."};
    manager->TypePin(*manager->bus[index], pin);
    return {true, ReaderName(index) + " przesłał PIN " + std::string(pin.substr(0, 8)) + "."};
}

DemoInstallation::Inputs DemoInstallation::InputsOf(std::size_t index) const
{
    if (index >= manager->bus.size())
        return {};
    const auto it = inputs_.find(manager->bus[index].get());
    return it == inputs_.end() ? Inputs{} : it->second;
}

DemoOutcome DemoInstallation::SetInputs(std::size_t index, Inputs inputs)
{
    if (index >= manager->bus.size())
        return {false, "Nie wybrano czytnika."};
    // The inputs change whether or not the change reaches the program.
    inputs_[manager->bus[index].get()] = inputs;
    if (auto refusal = RefuseBusEvent(index))
        return *refusal;
    const std::uint8_t tamper = static_cast<std::uint8_t>((inputs.tamper1 ? 1 : 0) | (inputs.tamper2 ? 2 : 0));
    manager->ChangeInputs(*manager->bus[index], tamper, inputs.powerFault ? kPowerFaultBit : 0);
    auto state = [](bool active) { return active ? "naruszony" : "w spoczynku"; };
    return {true, ReaderName(index) + " zgłosił stan wejść: sabotaż 1 " + state(inputs.tamper1) + ", sabotaż 2 " +
                      state(inputs.tamper2) + ", zasilanie " + (inputs.powerFault ? "z awarią." : "w porządku.")};
}

DemoInstallation::Typing DemoInstallation::KbReaderReadsCard(std::size_t cardIndex) const
{
    const std::string name = kKbReaderTitle;
    if (!IsPlugged(Device::KbReader))
        return {{false, name + " jest odłączony."}, {}};
    if (cardIndex >= cards_.size())
        return {{false, "Nie wybrano karty."}, {}};
    const DemoCard card = Card(cardIndex);
    Typing typing;
    typing.keys = kbReader->TypeCard(card.card.uid,
                                     ReadableData(card, kbReader->keysLoaded(), kbReader->keySignature()));
    if (typing.keys.empty())
        typing.outcome = {false, name + " nie wpisuje nic: jego konfiguracja nie obejmuje pól tej karty."};
    else
        typing.outcome = {true, name + " wpisuje: " + Shown(typing.keys)};
    return typing;
}

DemoInstallation::Typing DemoInstallation::KbReaderReadsPhone() const
{
    const std::string name = kKbReaderTitle;
    if (!IsPlugged(Device::KbReader))
        return {{false, name + " jest odłączony."}, {}};
    Typing typing;
    typing.keys = kbReader->TypePhone(kPhoneId);
    if (typing.keys.empty())
        typing.outcome = {false, name + " nie wpisuje nic: odczyt identyfikatora RoRe jest wyłączony w jego konfiguracji."};
    else
        typing.outcome = {true, name + " wpisuje: " + Shown(typing.keys)};
    return typing;
}

} // namespace qozel::sim
