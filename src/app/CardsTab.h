#pragma once

#include "app/DevicePane.h"
#include "app/TabModel.h"
#include "devices/kbreader/KbRdConfig.h"

#include <array>
#include <string>

namespace qozel {

class Prompts;
class WindowView;
class ZelDevSet;

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
class CardsTab : public TabModel<CardsTab, CardsTabFields> {
public:
    CardsTab(ZelDevSet& devices, ActionBracket& bracket, Prompts& prompts, WindowView& view) noexcept
        : TabModel(bracket, &CardsTab::RefreshCardsTab), devices_(devices), prompts_(prompts), view_(view)
    {
    }

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

    // True (once) after a full refresh: the window moves the focus to the
    // text area unless the user is typing into the department or index edit.
    bool TakeFocusRequest() noexcept;

private:
    // A card operation of the programmer after checking its keys: a device
    // error drops the programmer, a refusal shows the card's result text.
    template <class Operation>
    bool RunCardOperation(Operation&& operation);

    ZelDevSet& devices_;
    Prompts& prompts_;
    WindowView& view_;
    bool focusRequest_ = false;
};

} // namespace qozel
