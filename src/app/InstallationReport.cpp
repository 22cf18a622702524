#include "app/InstallationReport.h"

#include "app/DevicePane.h"
#include "app/EventLog.h"
#include "app/LogTexts.h"
#include "app/PollCycle.h"
#include "app/WalkSummary.h"
#include "devset/ZelDevSet.h"

namespace qozel {
namespace {

constexpr const char* kNone = "—";
constexpr std::array<const char*, 3> kModuleModes = {"Wejścia i Wyjścia", "Wejścia", "Wyjścia"};

const char* YesNo(bool on)
{
    return on ? "tak" : "nie";
}

// A device's match with the Arkan's key signature, in words.
std::string MatchText(const DevicePane& pane, bool hasKeys, std::uint32_t arkanSignature)
{
    if (!pane.present)
        return kNone;
    if (!hasKeys)
        return "brak kluczy";
    if (arkanSignature == 0)
        return "brak Arkan do porównania";
    return pane.mismatch ? "niezgodna z Arkan" : "zgodna z Arkan";
}

std::vector<std::string> DeviceRow(const char* title, const DevicePane& pane, const DevInfo& info, std::string match)
{
    if (!pane.present)
        return {title, "nieobecny", kNone, kNone, kNone, kNone};
    return {title, std::to_string(info.nr), std::to_string(info.soft), pane.keys, pane.signature, std::move(match)};
}

ReportSection DeviceSection(const ZelDevSet& devices)
{
    ReportSection section;
    section.title = "Urządzenia USB";
    section.headers = {"Urządzenie", "Nr", "Soft", "Klucze", "Sygnatura kluczy", "Zgodność z Arkan"};
    const std::uint32_t arkanSignature = devices.ar.IsOpen() ? devices.ar.keySignature : 0;
    const DevicePane arkan = ArkanPane(devices.ar);
    const DevicePane programmer = ProgrammerPane(devices.prgr, arkanSignature);
    const DevicePane kbReader = KbReaderPane(devices.kbRd, arkanSignature);
    auto arkanRow = DeviceRow(kArkanTitle, arkan, devices.ar.info, kNone);
    // The Arkan's master key is what the others are compared with.
    if (arkan.present && devices.ar.HasMasterKey())
        arkanRow.back() = "wzorzec";
    section.rows.push_back(std::move(arkanRow));
    section.rows.push_back(DeviceRow(kProgrammerTitle, programmer, devices.prgr.info,
                                     MatchText(programmer, devices.prgr.HasKeys(), arkanSignature)));
    section.rows.push_back(DeviceRow(kKbReaderTitle, kbReader, devices.kbRd.info,
                                     MatchText(kbReader, devices.kbRd.HasKeys(), arkanSignature)));
    for (const DevicePane* pane : {&arkan, &programmer, &kbReader})
        if (!pane->present)
            section.lines.push_back(pane->line);
    return section;
}

std::string ReaderKeys(const ReaderRecord& reader, const ZelManager& manager, std::uint32_t arkanSignature)
{
    if (!reader.HasKeyBits(ReaderRecord::kKeyBit0 | ReaderRecord::kKeyBit1))
        return "brak kluczy";
    if (arkanSignature == 0)
        return "są; brak Arkan do porównania";
    if (manager.sentKeySignature != arkanSignature)
        return "są; zgodność niesprawdzona";
    return reader.HasKeyBits(ReaderRecord::kKeyMatchesSignature) ? "zgodne z Arkan" : "niezgodne z Arkan";
}

std::string ConfigWords(const ReaderRecord& reader)
{
    const ReaderConfig config = ReaderConfig::FromRecord(reader);
    std::string fields;
    for (const auto& [on, name] : {std::pair{config.sendUid, "UID"}, std::pair{config.sendDepartment, "Wydział"},
                                   std::pair{config.sendIndex, "Index"}}) {
        if (on)
            fields += (fields.empty() ? "" : ", ") + std::string(name);
    }
    return "Dane z karty QoZEL: " + (fields.empty() ? std::string("żadne") : fields) +
           "; PIN wysyłany w całości: " + YesNo(config.pinWhole) +
           "; gwiazdka kasuje wprowadzone cyfry: " + YesNo(config.starClears) +
           "; odczyt identyfikatora RoRe telefonu: " + YesNo(config.roRe);
}

std::string ModuleWords(const ReaderRecord& reader, const std::optional<ModuleSettings>& module)
{
    if (!IsModuleType(reader.info.type))
        return kNone;
    if (!module)
        return reader.online ? "nie odczytano" : "nie odczytano (czytnik nie odpowiada)";
    const ModuleConfig& config = module->config;
    return "Czas aktywności czytników: " + std::to_string(ModuleConfig::ActivitySeconds(config.activityIndex)) +
           "s; Czytnik 1: " + module->reader1 + ", rejestruje: " + kModuleModes[config.reader1 % 3] +
           "; Czytnik 2: " + module->reader2 + ", rejestruje: " + kModuleModes[config.reader2 % 3];
}

void AddManagerSections(InstallationReport& report, const ZelManager& manager, const ZelDevSet& devices,
                        const ModuleReads& modules)
{
    ReportSection section;
    section.title = kManagerTitle;
    if (!manager.IsOpen()) {
        section.lines = {"Brak QoZEL Managera: magistrala czytników nie została odczytana."};
        report.sections.push_back(std::move(section));
        return;
    }
    const unsigned rate = manager.info.flags * 100u;
    section.lines = {std::string(kManagerTitle) + " Nr: " + std::to_string(manager.info.nr) +
                         ", Soft: " + std::to_string(manager.info.soft),
                     "Prędkość OSDP Bus: " + (rate != 0 ? std::to_string(rate) : std::string("nieustawiona")),
                     "Czytników na magistrali: " + std::to_string(manager.readerCount)};
    report.sections.push_back(std::move(section));

    const std::uint32_t arkanSignature = devices.ar.IsOpen() ? devices.ar.keySignature : 0;
    ReportSection readers;
    readers.title = "Czytniki";
    readers.headers = {"Wiersz", "Typ", "Nr", "Soft", "Adres", "Baud", "Stan", "Klucze"};
    ReportSection configs;
    configs.title = "Konfiguracja czytników";
    configs.headers = {"Wiersz", "Konfiguracja", "Konfiguracja QO-L74"};
    for (int i = 0; i < manager.readerCount; ++i) {
        const ReaderRecord& reader = manager.readers[static_cast<std::size_t>(i)];
        const std::string row = std::to_string(i + 1);
        readers.rows.push_back({row, ShortName(reader.info), std::to_string(reader.info.nr),
                                std::to_string(reader.info.soft),
                                reader.address() != 0 ? std::to_string(reader.address()) : "brak",
                                std::to_string(reader.baud100 * 100u), reader.online ? "odpowiada" : "nie odpowiada",
                                ReaderKeys(reader, manager, arkanSignature)});
        configs.rows.push_back({row, ConfigWords(reader), ModuleWords(reader, modules[static_cast<std::size_t>(i)])});
    }
    if (readers.rows.empty())
        readers.lines = {"Brak czytników na magistrali."};
    report.sections.push_back(std::move(readers));
    if (!configs.rows.empty())
        report.sections.push_back(std::move(configs));
}

ReportSection WalkSection(const EventLog& log, const ZelManager& manager)
{
    ReportSection section;
    section.title = "Test obchodu";
    const std::vector<WalkRow> rows = WalkSummary(log, ListedReaders(manager));
    section.lines = {"Rozpoczęty: " + LocalSecondsText(log.Walk().StartUtcMs(), log.clock()),
                     "Wpisów w dzienniku: " + std::to_string(log.Size())};
    section.headers.assign(WalkRow::kHeaders.begin(), WalkRow::kHeaders.end());
    std::size_t silent = 0;
    for (const WalkRow& row : rows) {
        const auto cells = row.Cells();
        section.rows.emplace_back(cells.begin(), cells.end());
        silent += row.noCard;
    }
    if (!rows.empty())
        section.lines.push_back("Czytników bez odczytanej karty: " + std::to_string(silent) + " z " +
                                std::to_string(rows.size()));
    return section;
}

std::optional<ModuleSettings> ReadModuleSettings(ZelManager& manager, int index)
{
    std::array<std::uint8_t, 8> data{};
    if (manager.ReadModuleData(index, ZelManager::ModuleConfigData, data) != 0)
        return std::nullopt;
    ModuleSettings settings;
    settings.config = ModuleConfig::FromBytes(data);
    for (auto [code, name] : {std::pair{ZelManager::ModuleReader1, &settings.reader1},
                              std::pair{ZelManager::ModuleReader2, &settings.reader2}}) {
        data.fill(0);
        *name = manager.ReadModuleData(index, code, data) == 0 ? LongName(DevInfo::FromBytes(data)) : kNone;
    }
    return settings;
}

} // namespace

InstallationReport BuildInstallationReport(const ReportHeader& header, const ZelManager& manager,
                                           const ZelDevSet& devices, const EventLog& log, const ModuleReads& modules)
{
    InstallationReport report;
    ReportSection made;
    made.title = "Sporządzono";
    made.lines = {"Data i godzina: " + LocalSecondsText(log.clock().UtcMilliseconds(), log.clock()),
                  "Program: " + header.program, "Komputer: " + header.computer};
    report.sections.push_back(std::move(made));
    report.sections.push_back(DeviceSection(devices));
    AddManagerSections(report, manager, devices, modules);
    report.sections.push_back(WalkSection(log, manager));
    return report;
}

InstallationReport MakeInstallationReport(PollCycle& cycle, const ReportHeader& header)
{
    ModuleReads modules{};
    {
        UserFunction bracket(cycle.bracket);
        ZelManager& manager = cycle.manager;
        cycle.managerAccess.Guarded(
            [&] {
                for (int i = 0; manager.IsOpen() && i < manager.readerCount; ++i) {
                    const ReaderRecord& reader = manager.readers[static_cast<std::size_t>(i)];
                    if (reader.online && IsModuleType(reader.info.type))
                        modules[static_cast<std::size_t>(i)] = ReadModuleSettings(manager, i);
                }
            },
            [&] { cycle.table.Deselect(); });
    }
    return BuildInstallationReport(header, cycle.manager, cycle.devices, cycle.log, modules);
}

} // namespace qozel
