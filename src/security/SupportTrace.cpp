#include "security/SupportTrace.h"

#include "security/TraceSecrets.h"

namespace qozel {

std::unique_ptr<SupportTrace> SupportTrace::Start(const std::string& path, Clock& clock)
{
    auto file = TraceFile::Create(path);
    if (!file)
        return nullptr;
    return std::unique_ptr<SupportTrace>(new SupportTrace(std::move(file), clock));
}

SupportTrace::SupportTrace(std::unique_ptr<TraceFile> file, Clock& clock)
    : file_(std::move(file)),
      arkan_(*file_, clock, "Arkan", ArkanFrameCarriesSecret),
      programmer_(*file_, clock, "G30", ProgrammerFrameCarriesSecret),
      manager_(*file_, clock, "Manager", ManagerFrameCarriesSecret),
      kbReader_(*file_, clock, "K31", KbReaderFrameCarriesSecret)
{
    TraceAr = &arkan_;
    TracePrgr = &programmer_;
    TraceMan = &manager_;
    TraceKbRd = &kbReader_;
}

SupportTrace::~SupportTrace()
{
    for (TraceSet** sink : {&TraceAr, &TracePrgr, &TraceMan, &TraceKbRd})
        *sink = &GlobalTrace();
}

} // namespace qozel
