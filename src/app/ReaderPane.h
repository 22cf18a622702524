#pragma once

#include "app/TabModel.h"
#include "devices/manager/ReaderConfig.h"
#include "devices/manager/ReaderRecord.h"
#include "devices/manager/ZelManager.h"

#include <string>

namespace qozel {

class ManagerAccess;
class Prompts;
class ReaderTable;
class WindowView;
class ZelDevSet;

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
// address, configuration, module settings, identify and keys. The table owns
// the selection; the pane selects through it.
class ReaderPane : public TabModel<ReaderPane, ReaderPaneFields> {
public:
    // Which button the pane asks to get the keyboard focus.
    enum class Focus { None, WriteAddress, WriteConfigToAll };

    static constexpr int kModuleTimeItems = 16;

    ReaderPane(ZelManager& manager, ZelDevSet& devices, ReaderTable& table, ManagerAccess& access,
               ActionBracket& bracket, Prompts& prompts, WindowView& view) noexcept
        : TabModel(bracket, &ReaderPane::PollReadersTab), manager_(manager), devices_(devices), table_(table),
          access_(access), prompts_(prompts), view_(view)
    {
    }

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

    // The focus request since the last call, for the window to apply.
    Focus TakeFocus() noexcept;

private:
    void ShowReaderDetails(const ReaderRecord& record);
    void ShowModuleConfig(int index);
    void WriteSelectedAddress();
    void WriteKeysToReaders();
    void WriteConfigToAllReaders();
    // Writes a configuration record to the selected reader and says how it went.
    void WriteSelectedConfig(ZelManager::ConfigKind kind, const ConfigBytes& bytes, const char* written,
                             const char* refused);
    bool SelectionListed() const noexcept;
    // After a pass an action ran: the selected reader is still listed and
    // online, else the message that it is gone.
    bool CheckSelectedReader();
    // Runs `action` as a user action of the tab, a Manager device error
    // closing the Manager with its message, then PollReadersTab.
    template <class F>
    void RunManagerAction(F&& action);
    bool ReadersTabShown() const;
    // True when `row` is a listed reader that is online.
    bool RowAvailable(int row) const noexcept;

    ZelManager& manager_;
    ZelDevSet& devices_;
    ReaderTable& table_;
    ManagerAccess& access_;
    Prompts& prompts_;
    WindowView& view_;
    // Last seen (Manager open, bus rate) for PollReadersTab.
    bool lastManagerOpen_ = false;
    long lastRate_ = -1;
    // Last seen (selection, configuration enabled) for UpdateSelectedReaderPane.
    int lastSelection_ = -2;
    bool lastConfigEnabled_ = false;
    Focus focus_ = Focus::None;
};

} // namespace qozel
