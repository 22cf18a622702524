#pragma once

#include "app/DrawnCopy.h"
#include "app/DevicePane.h"

#include <string>

namespace qozel {

class PollCycle;

// What the Installation key tab shows; the window writes the user's edits
// (key kind and symbol) back.
struct KeyTabFields {
    DevicePane arkan;
    DevicePane programmer;
    // Generation and storing are possible: no Arkan, or one without a target key.
    bool editable = true;

    bool target = false;      // KeyTmpRGrp: "Docelowy" chosen (editable)
    std::string symbol;       // KeyNameEdit, at most 8 characters (editable)
    std::string signature;    // KeySygnEdit
    std::string key;          // KeyMiEdit, 64 hex digits

    std::string grainFirstHalf = std::string(64, '0');   // KeyGrain0Edit
    std::string grainSecondHalf = std::string(64, '0');  // KeyGrain1Edit
    int level = 0;                                       // KeyGrainProgrBar, 0..64
    bool grainSufficient = false;                        // KeyGrainDescrLbl's text changed

    friend bool operator==(const KeyTabFields&, const KeyTabFields&) = default;
};

// The Installation key tab: the grain, generating the master key and storing
// it in the Arkan, the installer password, the programmer's keys and the
// backup card.
class KeyTab {
public:
    static constexpr const char* kArInfo = "Arkan przechowuje klucz Master Instalacji.";
    static constexpr const char* kArInfo2 =
        "Hasło Instalatora pozwala w programie DiRizErurad\npobrać z Arkan klucze dla czytników.";
    static constexpr const char* kPrgrInfo =
        "Aby programator QO-G30 mógł programować karty potrzebuje zestawu kluczy generowanych przez Arkan z "
        "klucza Master Instalacji.";
    static constexpr const char* kTagInfo1 =
        "Programator QO-G30, w obecności Arkan pozwala zaprogramować kartę zawierającą zaszyfrowaną kopię "
        "zapasową docelowego klucza Master Instalacji.\nW przypadku uszkodzenia Arkan karta ta pozwoli wgrać Klucz "
        "Master Instalacji do innej sztuki Arkan.\nJest to mozliwe tylko w danej instalacji (tylko czytniki tej "
        "instalacji posiadają klucze niezbędne do odczytania i rozszyfrowania karty).";
    static constexpr const char* kTargetExplanation =
        "Klucz docelowy jest generowany\njednorazowo dla danej instalacji.\nPo wpisaniu do Arkan nie może\nbyć on "
        "zastąpiony innym kluczem.";
    static constexpr const char* kTemporaryExplanation =
        "Klucz tymczasowy służy do testów\nsystemu QoZEL z kontrolerem OSDP.\nLiczba kart zaprogramowanych "
        "kluczem\ntymczasowym jest ograniczona do 4.";
    // When the operating system gives no random bytes, no key is generated.
    static constexpr const char* kNoRandomness =
        "System operacyjny nie dostarczył danych losowych.\nKlucz nie został wygenerowany.";

    explicit KeyTab(PollCycle& cycle) noexcept : cycle_(cycle) {}

    void PollKeyTab();
    void RefreshKeyTab();

    // A mouse button pressed at (x, y) in the grain field (no user action).
    void KeyGrainMemoMouseDown(int x, int y);
    // Handlers of the tab's buttons; each runs as a user action.
    void KeyGenKeyMiBtnClick();
    void ArkamKeyMIBtnClick();
    void KeySetInstPassBtnClick();
    void KeyKeysToPrgrBtnClick();
    void KeyGenKeyMiTagBtnClick();

    KeyTabFields& Fields() noexcept { return fields_; }
    const KeyTabFields& Fields() const noexcept { return fields_; }
    bool TakeChanged();

private:
    template <class F>
    void RunAction(F&& action);
    void ClearGeneratedKey();

    PollCycle& cycle_;
    KeyTabFields fields_;
    DrawnCopy<KeyTabFields> drawn_;
    unsigned lastState_ = 0x8000;
};

} // namespace qozel
