#pragma once

#include "app/DrawnCopy.h"
#include "devices/manager/ReaderConfig.h"
#include "devices/manager/ReaderRecord.h"

#include <string>

namespace qozel {

class PollCycle;

// What the selected-reader pane, the configuration and module groups show.
// The window writes the user's edits back into the editable fields.
struct ReaderPaneFields {
    std::string readerName;     // RdRdLbl
    std::string supplyU;        // RdUEdit, volts with one decimal
    std::string supplyUpp;      // RdUppEdit, millivolts
    std::string supplyMaxUpp;   // RdMaxUppEdit, millivolts
    std::string address;        // RdAddrEdit (editable, digits only)
    ReaderConfig config;        // RdCfg0* check boxes (editable)
    ModuleConfig module;        // RdCfg1TimCb, RdCfg1Rd1IoCb, RdCfg1Rd2IoCb (editable)
    std::string module1Name;    // RdCfg1Rd1Lbl
    std::string module2Name;    // RdCfg1Rd2Lbl

    bool configEnabled = false;  // configuration check boxes, card data box, keys and write-to-all
    bool paneEnabled = false;    // name, power, address and write-to-selected
    bool moduleEnabled = false;  // the QO-L74 group

    friend bool operator==(const ReaderPaneFields&, const ReaderPaneFields&) = default;
};

// The selected reader of the Readers tab and the tab's actions: bus rate,
// address, configuration, module settings, identify and keys.
class ReaderPane {
public:
    // Which button the pane asks to get the keyboard focus.
    enum class Focus { None, WriteAddress, WriteConfigToAll };

    static constexpr int kModuleTimeItems = 16;

    explicit ReaderPane(PollCycle& cycle) noexcept : cycle_(cycle) {}

    // Change-driven update of the tab (only while it is shown).
    void PollReadersTab();
    void UpdateSelectedReaderPane();
    void ShowPowerValues(const ReaderRecord& record);
    // Makes row `index` the selected one and loads the pane; may throw a device error.
    void SelectReader(int index);

    // Handlers of the tab's controls; each catches every device error.
    void RdBaudCbChange(int item);
    void RdWrKeysBtnClick();
    void RdAddrEditExit();
    void RdWrAddrBtnClick();
    void RdTabEditClick(int row);
    void RdIdentifyBtnClick(int row);
    void RdCfg0WrBtnClick();
    void RdCfg0WrAllBtnClick();
    void RdCfg1WrBtnClick();

    ReaderPaneFields& Fields() noexcept { return fields_; }
    const ReaderPaneFields& Fields() const noexcept { return fields_; }
    // True when the pane changed since the last call (always at the first),
    // for the window to draw.
    bool TakeChanged();
    // The focus request since the last call, for the window to apply.
    Focus TakeFocus() noexcept;

private:
    void ShowReaderDetails(const ReaderRecord& record);
    void ShowModuleConfig(int index);
    void WriteSelectedAddress();
    void WriteKeysToReaders();
    void WriteConfigToSelected();
    void WriteConfigToAllReaders();
    void WriteModuleConfig();
    bool SelectionListed() const noexcept;
    // Runs `action` as a user action of the tab: the bracket, a Manager
    // device error closing the Manager with its message, then PollReadersTab.
    template <class F>
    void RunAction(F&& action);
    // True when `row` is a listed reader that is online.
    bool RowAvailable(int row) const noexcept;

    PollCycle& cycle_;
    ReaderPaneFields fields_;
    // Last seen (Manager open, bus rate) for PollReadersTab.
    bool lastManagerOpen_ = false;
    long lastRate_ = -1;
    // Last seen (selection, configuration enabled) for UpdateSelectedReaderPane.
    int lastSelection_ = -2;
    bool lastConfigEnabled_ = false;
    DrawnCopy<ReaderPaneFields> drawn_;
    Focus focus_ = Focus::None;
};

} // namespace qozel
