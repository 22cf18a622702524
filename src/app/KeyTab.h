#pragma once

#include "app/DevicePane.h"
#include "app/TabModel.h"

#include <string>

namespace qozel {

class KeyGrain;
class Prompts;
class WindowView;
class ZelDevSet;

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
class KeyTab : public TabModel<KeyTab, KeyTabFields> {
public:
    KeyTab(ZelDevSet& devices, KeyGrain& grain, ActionBracket& bracket, Prompts& prompts, WindowView& view) noexcept
        : TabModel(bracket, &KeyTab::RefreshKeyTab), devices_(devices), grain_(grain), prompts_(prompts), view_(view)
    {
    }

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


private:
    void ClearGeneratedKey();

    ZelDevSet& devices_;
    KeyGrain& grain_;
    Prompts& prompts_;
    WindowView& view_;
};

} // namespace qozel
