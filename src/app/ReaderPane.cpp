#include "app/ReaderPane.h"

#include "app/AppTexts.h"
#include "app/DecimalText.h"
#include "app/ManagerAccess.h"
#include "app/ReaderTable.h"
#include "app/WindowView.h"
#include "devset/ZelDevSet.h"
#include "devices/manager/ZelManager.h"
#include "platform/SecureMemory.h"

#include <algorithm>
#include <string>
#include <utility>

namespace qozel {
namespace {

// Certificate classes and numbers of the two reader keys.
constexpr std::uint8_t kReaderKeyClass = 1;
constexpr std::uint8_t kReaderKeyFirst = 21;
constexpr std::uint8_t kReaderKeySecond = 22;

} // namespace

template <class F>
void ReaderPane::RunManagerAction(F&& action)
{
    RunAction([&] { access_.Guarded(action); });
}

bool ReaderPane::ReadersTabShown() const
{
    return view_.ShownTab() == WindowView::Tab::Readers;
}

bool ReaderPane::RowAvailable(int row) const noexcept
{
    return row >= 0 && row < manager_.readerCount && manager_.readers[static_cast<std::size_t>(row)].online;
}

bool ReaderPane::SelectionListed() const noexcept
{
    return table_.Selected() >= 0 && table_.Selected() < manager_.readerCount;
}

bool ReaderPane::CheckSelectedReader()
{
    // An action's EnsureManager may have run a pass that dropped or shortened
    // the list; index -1 would address every reader on the bus.
    if (RowAvailable(table_.Selected()))
        return true;
    prompts_.ShowErrorMsg(app_texts::kSelectedReaderGone);
    return false;
}

void ReaderPane::PollReadersTab()
{
    if (!ReadersTabShown())
        return;
    UpdateSelectedReaderPane();
    const bool open = manager_.IsOpen();
    const long rate = static_cast<long>(manager_.info.flags) * 100;
    if (open != lastManagerOpen_ || rate != lastRate_) {
        lastManagerOpen_ = open;
        lastRate_ = rate;
        table_.RefreshReadersTab();
    }
}

void ReaderPane::UpdateSelectedReaderPane()
{
    const ZelManager& manager = manager_;
    const int selected = table_.Selected();
    const bool configEnabled = manager.IsOpen() && manager.anyReaderOnline;
    const bool paneEnabled = manager.IsOpen() && selected >= 0;
    const bool moduleEnabled =
        paneEnabled && selected < ReaderTable::kRows &&
        IsModuleType(manager.readers[static_cast<std::size_t>(selected)].info.type);
    if (selected == lastSelection_ && configEnabled == lastConfigEnabled_)
        return;
    if (lastSelection_ >= 0 && !paneEnabled) {
        fields_.readerName.clear();
        fields_.supplyU.clear();
        fields_.supplyUpp.clear();
        fields_.supplyMaxUpp.clear();
        fields_.address.clear();
    }
    lastSelection_ = selected;
    lastConfigEnabled_ = configEnabled;
    fields_.configEnabled = configEnabled;
    fields_.paneEnabled = paneEnabled;
    fields_.moduleEnabled = moduleEnabled;
    if (ReadersTabShown())
        focus_ = paneEnabled ? Focus::WriteAddress : configEnabled ? Focus::WriteConfigToAll : Focus::None;
}

void ReaderPane::ShowPowerValues(const ReaderRecord& record)
{
    fields_.supplyU = std::to_string(record.supplyU / 100) + "." + std::to_string(record.supplyU % 100 / 10);
    fields_.supplyUpp = std::to_string(record.supplyUpp * 10);
    fields_.supplyMaxUpp = std::to_string(record.supplyMaxUpp * 10);
}

void ReaderPane::SelectReader(int index)
{
    if (index == table_.Selected())
        return;
    table_.Select(index);
    const ReaderRecord& record = manager_.readers[static_cast<std::size_t>(index)];
    if (IsModuleType(record.info.type)) {
        ShowModuleConfig(index);
    } else {
        fields_.module1Name.clear();
        fields_.module2Name.clear();
    }
    ShowReaderDetails(record);
}

void ReaderPane::ShowModuleConfig(int index)
{
    // A record the module refuses leaves its controls as they were rather
    // than showing (and later writing back) bytes that never came.
    ZelManager& manager = manager_;
    std::array<std::uint8_t, 8> data{};
    if (manager.ReadModuleData(index, ZelManager::ModuleConfigData, data) == 0)
        fields_.module = ModuleConfig::FromBytes(data);
    data.fill(0);
    if (manager.ReadModuleData(index, ZelManager::ModuleReader1, data) == 0)
        fields_.module1Name = LongName(DevInfo::FromBytes(data));
    data.fill(0);
    if (manager.ReadModuleData(index, ZelManager::ModuleReader2, data) == 0)
        fields_.module2Name = LongName(DevInfo::FromBytes(data));
}

void ReaderPane::ShowReaderDetails(const ReaderRecord& record)
{
    fields_.readerName = LongName(record.info);
    ShowPowerValues(record);
    // A reader without an address is offered the next one after the highest on the bus.
    unsigned address = record.address() != 0 ? record.address() : manager_.maxReaderAddress + 1u;
    if (address > ZelManager::kHighestAddress)
        address = 0;
    fields_.address = std::to_string(address);
    fields_.config = ReaderConfig::FromRecord(record);
    // A reader is selected only on the Readers tab: polling it takes the
    // new selection into the pane.
    PollReadersTab();
    if (ReadersTabShown() && fields_.paneEnabled)
        focus_ = Focus::WriteAddress;
}

void ReaderPane::RdBaudCbChange(int item)
{
    if (item < 0 || item >= static_cast<int>(ReadersHeader::kRates.size()))
        return;
    table_.SetRateItem(item);
    RunManagerAction([&] {
        if (access_.EnsureManager())
            manager_.SetBusRate(ReadersHeader::kRates[static_cast<std::size_t>(item)]);
    });
}

void ReaderPane::RdAddrEditExit()
{
    if (DecimalOrZero<unsigned>(fields_.address) > ZelManager::kHighestAddress)
        fields_.address = std::to_string(ZelManager::kHighestAddress);
}

void ReaderPane::RdWrAddrBtnClick()
{
    RunManagerAction([&] { WriteSelectedAddress(); });
}

void ReaderPane::WriteSelectedAddress()
{
    if (!SelectionListed())
        return;
    // An edit that never lost the focus was not clamped yet.
    RdAddrEditExit();
    const auto address = static_cast<std::uint8_t>(DecimalOrZero<unsigned>(fields_.address));
    Prompts& prompts = prompts_;
    if (address == 0) {
        prompts.ShowInfoMsg(app_texts::kAddressZero);
    } else if (manager_.AddressInUse(table_.Selected(), address)) {
        prompts.ShowErrorMsg(app_texts::kAddressInUse);
        return;
    }
    if (!access_.EnsureManager() || !CheckSelectedReader())
        return;
    if (manager_.SetReaderAddress(table_.Selected(), address) != 0)
        prompts.ShowErrorMsg(app_texts::kAddressRefused);
}

void ReaderPane::RdWrKeysBtnClick()
{
    RunManagerAction([&] { WriteKeysToReaders(); });
}

void ReaderPane::WriteKeysToReaders()
{
    if (!access_.EnsureManager() || !devices_.EnsureArLogin() || !devices_.CheckHasMasterKey())
        return;
    SecretBytes<ZelArkan::kCertificateSize> first;
    SecretBytes<ZelArkan::kCertificateSize> second;
    for (int i = 0; i < manager_.readerCount; ++i) {
        const ReaderRecord& reader = manager_.readers[static_cast<std::size_t>(i)];
        if (!reader.online)
            continue;
        const bool issued = devices_.Guarded(DevKind::Arkan, [&] {
            if (devices_.ar.IssueCertificate(kReaderKeyClass, kReaderKeyFirst, reader.readerId(), first.bytes) &&
                devices_.ar.IssueCertificate(kReaderKeyClass, kReaderKeySecond, reader.readerId(), second.bytes))
                return true;
            prompts_.ShowErrorMsg(app_texts::kNoKeysFromArkan);
            return false;
        });
        if (!issued)
            return;
        if (manager_.WriteReaderKeyCertificate(i, first.span()) != 0 ||
            manager_.WriteReaderKeyCertificate(i, second.span()) != 0) {
            prompts_.ShowErrorMsg(app_texts::kKeysRefused);
            return;
        }
    }
    prompts_.ShowInfoMsg(app_texts::kKeysWritten);
}

void ReaderPane::RdCfg0WrBtnClick()
{
    RunManagerAction([&] {
        WriteSelectedConfig(ZelManager::ReaderConfigKind, fields_.config.Bytes(), app_texts::kConfigWritten,
                            app_texts::kConfigRefused);
    });
}

void ReaderPane::WriteSelectedConfig(ZelManager::ConfigKind kind, const ConfigBytes& bytes, const char* written,
                                     const char* refused)
{
    if (!SelectionListed() || !access_.EnsureManager() || !CheckSelectedReader())
        return;
    if (manager_.WriteReaderConfig(table_.Selected(), kind, bytes))
        prompts_.ShowInfoMsg(written);
    else
        prompts_.ShowErrorMsg(refused);
}

void ReaderPane::RdCfg0WrAllBtnClick()
{
    RunManagerAction([&] { WriteConfigToAllReaders(); });
}

void ReaderPane::WriteConfigToAllReaders()
{
    if (!access_.EnsureManager())
        return;
    if (table_.Selected() >= 0 && !CheckSelectedReader())
        return;
    if (manager_.WriteReaderConfigToAll(fields_.config.Bytes()))
        prompts_.ShowInfoMsg(app_texts::kConfigWrittenToAll);
    else
        prompts_.ShowErrorMsg(app_texts::kConfigRefusedBySome);
}

void ReaderPane::RdCfg1WrBtnClick()
{
    RunManagerAction([&] {
        WriteSelectedConfig(ZelManager::ModuleConfigKind, fields_.module.Bytes(), app_texts::kModuleWritten,
                            app_texts::kModuleRefused);
    });
}

void ReaderPane::RdTabEditClick(int row)
{
    // Rows of readers that are offline or no longer listed are disabled.
    if (!RowAvailable(row))
        return;
    UserFunction bracket(bracket_);
    access_.Guarded([&] { SelectReader(row); });
}

void ReaderPane::RdIdentifyBtnClick(int row)
{
    UserFunction bracket(bracket_);
    if (!access_.EnsureManager())
        return;
    // The pass EnsureManager ran may have dropped the reader.
    if (!RowAvailable(row)) {
        prompts_.ShowErrorMsg(app_texts::kSelectedReaderGone);
        return;
    }
    access_.Guarded([&] {
        manager_.IdentifyReader(row);
        SelectReader(row);
    });
}

ReaderPane::Focus ReaderPane::TakeFocus() noexcept
{
    return std::exchange(focus_, Focus::None);
}

} // namespace qozel
