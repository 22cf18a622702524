#include "app/ReaderPane.h"

#include "app/DecimalText.h"
#include "app/PollCycle.h"
#include "app/WindowView.h"
#include "link/DeviceErrors.h"
#include "platform/SecureMemory.h"

#include <algorithm>
#include <string>
#include <utility>

namespace qozel {
namespace texts {
inline constexpr const char* kAddressZero =
    "Ustawiając Adres = 0 oznaczasz czytnik jako nie posiadający jeszcze ustawionego adresu.";
inline constexpr const char* kAddressInUse = "Ten adres jest już przypisany innemu czytnikowi.";
inline constexpr const char* kAddressRefused = "Zapis adresu się nie powiódł.";
inline constexpr const char* kNoKeysFromArkan = "Problem z uzyskaniem kluczy od Arkan.";
inline constexpr const char* kKeysRefused = "Problem z zapisaniem kluczy do czytnika.";
inline constexpr const char* kKeysWritten = "Klucze wpisane do wszystkich dostępnych czytników.";
inline constexpr const char* kConfigRefused = "Zapis konfiguracji do czytnika się nie powiódł.";
inline constexpr const char* kConfigWritten = "Konfiguracja zapisana do aktualnie wybranego czytnika.";
inline constexpr const char* kConfigRefusedBySome =
    "Zapis konfiguracji do niektórych z dostępnych czytników się nie powiódł.";
inline constexpr const char* kConfigWrittenToAll = "Konfiguracja zapisana do wszystkich dostępnych czytników.";
inline constexpr const char* kModuleRefused = "Zapis konfiguracji QO-L74 się nie powiódł.";
inline constexpr const char* kModuleWritten = "Konfiguracja QO-L74 zapisana.";
} // namespace texts

namespace {

// Certificate classes and numbers of the two reader keys.
constexpr std::uint8_t kReaderKeyClass = 1;
constexpr std::uint8_t kReaderKeyFirst = 21;
constexpr std::uint8_t kReaderKeySecond = 22;

} // namespace

template <class F>
void ReaderPane::RunAction(F&& action)
{
    UserFunction bracket(cycle_);
    try {
        action();
    } catch (const WUsbErr&) {
        cycle_.manager.CloseManager();
        cycle_.prompts().ShowErrorMsg(kManagerNoConnection);
    }
    PollReadersTab();
}

bool ReaderPane::RowAvailable(int row) const noexcept
{
    const ZelManager& manager = cycle_.manager;
    return row >= 0 && row < manager.readerCount && manager.readers[static_cast<std::size_t>(row)].online;
}

bool ReaderPane::SelectionListed() const noexcept
{
    return cycle_.selectedReader >= 0 && cycle_.selectedReader < cycle_.manager.readerCount;
}

void ReaderPane::PollReadersTab()
{
    if (!cycle_.ReadersTabShown())
        return;
    UpdateSelectedReaderPane();
    const bool open = cycle_.manager.IsOpen();
    const long rate = static_cast<long>(cycle_.manager.info.flags) * 100;
    if (open != lastManagerOpen_ || rate != lastRate_) {
        lastManagerOpen_ = open;
        lastRate_ = rate;
        cycle_.table.RefreshReadersTab();
    }
}

void ReaderPane::UpdateSelectedReaderPane()
{
    const ZelManager& manager = cycle_.manager;
    const int selected = cycle_.selectedReader;
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
    if (cycle_.ReadersTabShown())
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
    if (index == cycle_.selectedReader)
        return;
    cycle_.table.MoveSelection(cycle_.selectedReader, index);
    cycle_.selectedReader = index;
    const ReaderRecord& record = cycle_.manager.readers[static_cast<std::size_t>(index)];
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
    ZelManager& manager = cycle_.manager;
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
    unsigned address = record.address() != 0 ? record.address() : cycle_.manager.maxReaderAddress + 1u;
    if (address > ZelManager::kHighestAddress)
        address = 0;
    fields_.address = std::to_string(address);
    fields_.config = ReaderConfig::FromRecord(record);
    cycle_.RefreshShownTab();
    if (cycle_.ReadersTabShown() && fields_.paneEnabled)
        focus_ = Focus::WriteAddress;
}

void ReaderPane::RdBaudCbChange(int item)
{
    if (item < 0 || item >= static_cast<int>(ReadersHeader::kRates.size()))
        return;
    cycle_.table.SetRateItem(item);
    RunAction([&] {
        if (cycle_.EnsureManager())
            cycle_.manager.SetBusRate(ReadersHeader::kRates[static_cast<std::size_t>(item)]);
    });
}

void ReaderPane::RdAddrEditExit()
{
    if (DecimalOrZero<unsigned>(fields_.address) > ZelManager::kHighestAddress)
        fields_.address = std::to_string(ZelManager::kHighestAddress);
}

void ReaderPane::RdWrAddrBtnClick()
{
    RunAction([&] { WriteSelectedAddress(); });
}

void ReaderPane::WriteSelectedAddress()
{
    if (!SelectionListed())
        return;
    // An edit that never lost the focus was not clamped yet.
    RdAddrEditExit();
    const auto address = static_cast<std::uint8_t>(DecimalOrZero<unsigned>(fields_.address));
    Prompts& prompts = cycle_.prompts();
    if (address == 0) {
        prompts.ShowInfoMsg(texts::kAddressZero);
    } else if (cycle_.manager.AddressInUse(cycle_.selectedReader, address)) {
        prompts.ShowErrorMsg(texts::kAddressInUse);
        return;
    }
    if (!cycle_.EnsureManager() || !cycle_.CheckSelectedReader())
        return;
    if (cycle_.manager.SetReaderAddress(cycle_.selectedReader, address) != 0)
        prompts.ShowErrorMsg(texts::kAddressRefused);
}

void ReaderPane::RdWrKeysBtnClick()
{
    RunAction([&] { WriteKeysToReaders(); });
}

void ReaderPane::WriteKeysToReaders()
{
    ZelDevSet& devices = cycle_.devices;
    if (!cycle_.EnsureManager() || !devices.EnsureArLogin() || !devices.CheckHasMasterKey())
        return;
    ZelManager& manager = cycle_.manager;
    Prompts& prompts = cycle_.prompts();
    ZelArkan::Certificate first{};
    ZelArkan::Certificate second{};
    struct Wipe {
        ZelArkan::Certificate& a;
        ZelArkan::Certificate& b;
        ~Wipe()
        {
            SecureWipe(a);
            SecureWipe(b);
        }
    } wipe{first, second};
    for (int i = 0; i < manager.readerCount; ++i) {
        const ReaderRecord& reader = manager.readers[static_cast<std::size_t>(i)];
        if (!reader.online)
            continue;
        bool issued = false;
        try {
            issued = devices.ar.IssueCertificate(kReaderKeyClass, kReaderKeyFirst, reader.readerId(), first) &&
                     devices.ar.IssueCertificate(kReaderKeyClass, kReaderKeySecond, reader.readerId(), second);
        } catch (const WUsbErr&) {
            devices.DropDevice(DevKind::Arkan);
            return;
        }
        if (!issued) {
            prompts.ShowErrorMsg(texts::kNoKeysFromArkan);
            return;
        }
        if (manager.WriteReaderKeyCertificate(i, first) != 0 || manager.WriteReaderKeyCertificate(i, second) != 0) {
            prompts.ShowErrorMsg(texts::kKeysRefused);
            return;
        }
    }
    prompts.ShowInfoMsg(texts::kKeysWritten);
}

void ReaderPane::RdCfg0WrBtnClick()
{
    RunAction([&] { WriteConfigToSelected(); });
}

void ReaderPane::WriteConfigToSelected()
{
    if (!SelectionListed() || !cycle_.EnsureManager() || !cycle_.CheckSelectedReader())
        return;
    const bool written =
        cycle_.manager.WriteReaderConfig(cycle_.selectedReader, ZelManager::ReaderConfigKind, fields_.config.Bytes());
    if (written)
        cycle_.prompts().ShowInfoMsg(texts::kConfigWritten);
    else
        cycle_.prompts().ShowErrorMsg(texts::kConfigRefused);
}

void ReaderPane::RdCfg0WrAllBtnClick()
{
    RunAction([&] { WriteConfigToAllReaders(); });
}

void ReaderPane::WriteConfigToAllReaders()
{
    if (!cycle_.EnsureManager())
        return;
    if (cycle_.selectedReader >= 0 && !cycle_.CheckSelectedReader())
        return;
    if (cycle_.manager.WriteReaderConfigToAll(fields_.config.Bytes()))
        cycle_.prompts().ShowInfoMsg(texts::kConfigWrittenToAll);
    else
        cycle_.prompts().ShowErrorMsg(texts::kConfigRefusedBySome);
}

void ReaderPane::RdCfg1WrBtnClick()
{
    RunAction([&] { WriteModuleConfig(); });
}

void ReaderPane::WriteModuleConfig()
{
    if (!SelectionListed() || !cycle_.EnsureManager() || !cycle_.CheckSelectedReader())
        return;
    const bool written =
        cycle_.manager.WriteReaderConfig(cycle_.selectedReader, ZelManager::ModuleConfigKind, fields_.module.Bytes());
    if (written)
        cycle_.prompts().ShowInfoMsg(texts::kModuleWritten);
    else
        cycle_.prompts().ShowErrorMsg(texts::kModuleRefused);
}

void ReaderPane::RdTabEditClick(int row)
{
    // Rows of readers that are offline or no longer listed are disabled.
    if (!RowAvailable(row))
        return;
    UserFunction bracket(cycle_);
    try {
        SelectReader(row);
    } catch (const WUsbErr&) {
        cycle_.manager.CloseManager();
        cycle_.prompts().ShowErrorMsg(kManagerNoConnection);
    }
}

void ReaderPane::RdIdentifyBtnClick(int row)
{
    UserFunction bracket(cycle_);
    if (!cycle_.EnsureManager())
        return;
    // The pass EnsureManager ran may have dropped the reader.
    if (!RowAvailable(row)) {
        cycle_.prompts().ShowErrorMsg(kSelectedReaderGone);
        return;
    }
    try {
        cycle_.manager.IdentifyReader(row);
        SelectReader(row);
    } catch (const WUsbErr&) {
        cycle_.manager.CloseManager();
        cycle_.prompts().ShowErrorMsg(kManagerNoConnection);
    }
}

bool ReaderPane::TakeChanged()
{
    return drawn_.Changed(fields_);
}

ReaderPane::Focus ReaderPane::TakeFocus() noexcept
{
    return std::exchange(focus_, Focus::None);
}

} // namespace qozel
