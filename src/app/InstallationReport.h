#pragma once

#include "devices/manager/ReaderConfig.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace qozel {

class EventLog;
class PollCycle;
class ZelDevSet;
class ZelManager;

// One part of the report: a title, lines of text and a table (either may be empty).
struct ReportSection {
    std::string title;
    std::vector<std::string> lines;
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
};

// The installation report as plain text in sections, for the window to lay
// out and print. It holds what the devices show of themselves, never a key,
// password, PIN or card content, and says which devices were absent.
struct InstallationReport {
    std::string title = "Raport instalacji";
    std::vector<ReportSection> sections;
};

// Who made the report: the program with its version, and the computer.
struct ReportHeader {
    std::string program;
    std::string computer;
};

// The settings a QO-L74 module answered with.
struct ModuleSettings {
    ModuleConfig config;
    std::string reader1;   // long names of the two attached readers
    std::string reader2;
};
using ModuleReads = std::array<std::optional<ModuleSettings>, kMaxReaders>;

InstallationReport BuildInstallationReport(const ReportHeader& header, const ZelManager& manager,
                                           const ZelDevSet& devices, const EventLog& log, const ModuleReads& modules);

// The report of the installation as it is now: a user action that reads the
// settings of the QO-L74 modules online, then builds the report. A failing
// Manager is closed with its message; the report then says it is absent.
InstallationReport MakeInstallationReport(PollCycle& cycle, const ReportHeader& header);

} // namespace qozel
