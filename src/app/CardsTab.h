#pragma once

#include "app/DrawnCopy.h"
#include "app/DevicePane.h"
#include "devices/kbreader/KbRdConfig.h"

#include <array>
#include <string>

namespace qozel {

class PollCycle;

// What the Cards tab shows; the window writes the user's edits back into the
// editable fields.
struct CardsTabFields {
    DevicePane programmer;
    DevicePane kbReader;

    std::string programmedUid;   // TagPrUidLbl
    std::string department;      // TagPrDepEdit (editable, at most 5 digits)
    std::string index;           // TagPrIdxEdit (editable, at most 5 digits)
    std::string readUid;         // TagRdUidLbl
    std::string readDepartment;  // TagRdDepEdit
    std::string readIndex;       // TagRdIdxEdit

    // Output field rows RoRe, UID, department, index (editable): the field
    // check box, the HEX box and the separator list.
    std::array<KbRdFieldSetting, 4> outputFields{{{false, false, 0}, {true, true, 0}, {false, false, 0}, {false, false, 0}}};
    int endItem = 0;          // TagEndCharCb (editable)
    bool enterAtEnd = true;   // TagEnterChkBx (editable)

    friend bool operator==(const CardsTabFields&, const CardsTabFields&) = default;
};

// The Cards tab: programming, clearing and reading cards through the
// programmer, its keys and user password, and the keyboard reader's keys and
// output configuration.
class CardsTab {
public:
    static constexpr const char* kPrgrInfo =
        "Administrator systemu wgrywa do programatora QO-G30 klucze i ustala początkowe hasło użytkownika.";
    static constexpr const char* kPrgrInfo2 =
        "Kartę można odczytać tylko w przypadku gdy do jej zaprogramowania zostały użyte te same klucze, które "
        "posiada aktualnie Programator QO-G30.\nKarta zaprogramowana kluczami tymczasowymi może być skasowana przez "
        "Programator QO-G30 posiadający dowolne klucze tymczasowe.\nKartę zaprogramowaną kluczami docelowymi może "
        "skasować tylko programator QO-G30 posiadający te same klucze.";

    explicit CardsTab(PollCycle& cycle) noexcept : cycle_(cycle) {}

    void PollCardsTab();
    void RefreshCardsTab();

    // Handlers of the tab's buttons; each runs as a user action.
    void TagKeysToPrgrBtnClick();
    void TagSetUsrPassBtnClick();
    void TagProgrTagBtnClick();
    void TagClearTagBtnClick();
    void TagReadTagBtnClick();
    void TagKeysToKbRdBtnClick();
    void TagWrCfgBtnClick();
    // A field check box or Enter was clicked (no user action).
    void TagFieldChkBx0Click();

    // The record the output configuration controls give.
    KbRdConfig OutputConfig() const noexcept;

    CardsTabFields& Fields() noexcept { return fields_; }
    const CardsTabFields& Fields() const noexcept { return fields_; }
    // True when the tab changed since the last call (always at the first).
    bool TakeChanged();
    // True (once) after a full refresh: the window moves the focus to the
    // text area unless the user is typing into the department or index edit.
    bool TakeFocusRequest() noexcept;

private:
    template <class F>
    void RunAction(F&& action);
    // A card operation of the programmer after checking its keys: a device
    // error drops the programmer, a refusal shows the card's result text.
    template <class Operation>
    bool RunCardOperation(Operation&& operation);
    void WriteOutputConfig();

    PollCycle& cycle_;
    CardsTabFields fields_;
    DrawnCopy<CardsTabFields> drawn_;
    bool focusRequest_ = false;
    unsigned lastState_ = 0x8000;
};

} // namespace qozel
