// The poll cycle's CPU per pass on a full simulated installation (with the
// event log recording and without), one bulk exchange, and one entry of the
// event log, each against a reference measured in the same run.
// Prints poll_pass_us=, poll_pass_no_log_us=, poll_pass_log_ratio=,
// poll_pass_vs_frame_us=, exchange_us=, event_log_append_ns= and event_log_rss_mb=.
#include "BenchTiming.h"
#include "app/LogView.h"
#include "app/PollCycle.h"
#include "link/Frame.h"
#include "link/QoWUsbBulkD.h"

#include "ArkanModel.h"
#include "ScriptedModel.h"
#include "SilentCycle.h"
#include "SimUsbHost.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <ctime>
#include <memory>
#include <vector>

namespace {

using namespace qozel;

void ClearRecords(sim::SimInstallation& install)
{
    for (sim::SimDeviceModel* model : std::initializer_list<sim::SimDeviceModel*>{
             install.arkan.get(), install.programmer.get(), install.manager.get(), install.kbReader.get()})
        model->ClearRequests();
    for (auto* device : {install.arkanDevice.get(), install.programmerDevice.get(), install.managerDevice.get()}) {
        device->written.clear();
        device->pipeTimeouts.clear();
    }
    install.kbReaderDevice->reports.clear();
}

// The lengths of the request frames the devices received since the last clear.
std::vector<std::size_t> RequestFrameLengths(const sim::SimInstallation& install)
{
    std::vector<std::size_t> lengths;
    for (const sim::SimDeviceModel* model : std::initializer_list<const sim::SimDeviceModel*>{
             install.arkan.get(), install.programmer.get(), install.manager.get(), install.kbReader.get()})
        for (const auto& request : model->requests())
            lengths.push_back(request.payload.size() + kFrameOverhead);
    return lengths;
}

void PollPass()
{
    sim::SilentCycle rig;
    sim::SimInstallation& install = rig.install;
    PollCycle& cycle = rig.cycle;
    auto pass = [&] { rig.Pass(); };
    // Settle: every device opened, every reader read, the slow checks run once.
    for (int i = 0; i < 200; ++i) {
        install.manager->TypePin(*install.manager->bus[static_cast<std::size_t>(i % 32)], "1");
        pass();
        ClearRecords(install);
    }

    constexpr int kPasses = 2000;
    std::vector<double> passUs;
    std::vector<double> noLogUs;
    std::vector<double> frameUs;
    passUs.reserve(kPasses);
    frameUs.reserve(kPasses);
    FrameBuffer frame{};
    std::vector<std::uint8_t> payload(kMaxPayload, 0x5A);
    std::size_t frames = 0;
    // Keeps the checks from being optimised away (a payload-less frame is not a valid one).
    volatile std::size_t checked = 0;
    std::size_t typed = 0;
    for (int i = 0; i < kPasses; ++i) {
        typed += install.manager->TypePin(*install.manager->bus[static_cast<std::size_t>(i % 32)], "1");
        // Passes with and without the log alternate, so that both meet the same machine.
        cycle.log.recording = i % 2 == 0;
        const double start = ThreadCpuUs();
        pass();
        (cycle.log.recording ? passUs : noLogUs).push_back(ThreadCpuUs() - start);

        // Reference: building and checking frames of the lengths the pass
        // sent, once for the request and once more for its reply.
        const std::vector<std::size_t> lengths = RequestFrameLengths(install);
        frames += lengths.size();
        const double frameStart = ThreadCpuUs();
        for (std::size_t length : lengths) {
            for (int side = 0; side < 2; ++side) {
                const std::size_t n = BuildFrame(static_cast<std::uint8_t>(length),
                                                 std::span(payload.data(), length - kFrameOverhead), frame);
                checked = checked + IsValidFrame(std::span(frame.data(), n));
            }
        }
        frameUs.push_back(ThreadCpuUs() - frameStart);
        ClearRecords(install);
    }
    const double pass_ = Median(passUs);
    const double noLog = std::max(Median(noLogUs), 0.001);
    const double frame_ = std::max(Median(frameUs), 0.001);
    std::printf("poll_pass_us=%.1f\n", pass_);
    std::printf("poll_pass_no_log_us=%.1f\n", noLog);
    std::printf("poll_pass_log_ratio=%.3f\n", pass_ / noLog);
    std::printf("poll_pass_log_entries=%zu\n", cycle.log.Size());
    std::printf("poll_pass_requests=%.1f\n", static_cast<double>(frames) / kPasses);
    std::printf("poll_pass_events_raised=%zu/%d\n", typed, kPasses);
    int shown = 0;
    for (int row = 0; row < ReaderTable::kRows; ++row)
        shown += cycle.table.InUse(row);
    std::printf("poll_pass_readers=%d\npoll_pass_manager_readers=%d\n", shown, static_cast<int>(cycle.manager.readerCount));
    std::printf("poll_pass_frame_ref_us=%.2f\n", frame_);
    std::printf("poll_pass_vs_frame_us=%.0f\n", pass_ / frame_);
}

void Exchange()
{
    sim::VirtualClock clock;
    sim::SimUsbHost host{clock};
    auto model = std::make_shared<sim::ScriptedModel>(0x1247, 0x010E, 3, 0x0005);
    auto device = std::make_shared<sim::SimUsbDevice>(kArkanGuid, model);
    host.Attach(device);
    QoWUsbBulkD bulk{host, clock, kArkanGuid};
    if (!bulk.Open()) {
        std::printf("exchange_us=n/a\n");
        return;
    }
    constexpr int kBatch = 1000;
    std::vector<double> perExchange;
    std::vector<double> reference;
    FrameBuffer frame{};
    for (int round = 0; round < 50; ++round) {
        double start = ThreadCpuUs();
        for (int i = 0; i < kBatch; ++i)
            bulk.ReadState();
        perExchange.push_back((ThreadCpuUs() - start) / kBatch);
        model->ClearRequests();
        device->written.clear();
        device->pipeTimeouts.clear();

        // Reference: the two frames of a ReadState exchange built and checked.
        const std::uint8_t info[8] = {1, 2, 3, 4, 5, 6, 7, 8};
        volatile std::size_t valid = 0;
        start = ThreadCpuUs();
        for (int i = 0; i < kBatch; ++i) {
            std::size_t n = BuildFrame(kCmdReadState, {}, frame);
            valid = valid + IsValidFrame(std::span(frame.data(), n));
            n = BuildFrame(kCmdReadState | kReplyBit, info, frame);
            valid = valid + IsValidFrame(std::span(frame.data(), n));
        }
        reference.push_back((ThreadCpuUs() - start) / kBatch);
    }
    const double ex = Median(perExchange);
    const double ref = std::max(Median(reference), 0.001);
    std::printf("exchange_us=%.2f\n", ex);
    std::printf("exchange_frame_ref_us=%.3f\n", ref);
    std::printf("exchange_vs_frame=%.0f\n", ex / ref);
}

// Resident memory of the process in MB.
double RssMb()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

void EventLogAppend()
{
    // The real clock, read once per entry as in the program.
    SystemClock clock;
    const double rssBefore = RssMb();
    EventLog log{clock};
    ReaderRecord reader;
    reader.info = {12, 70, 3, 5};
    reader.config2 = 7;
    std::vector<ReaderEvent> events(4);
    const std::vector<std::vector<std::uint8_t>> kinds = {
        {0, 0, 1, 2, 3, 4, 5, 6, 7, 8}, {6, '1', '2', '3', '4'}, {8, 1, 0}, {2, 0, 1, 2, 3, 4, 5, 6, 7, 8, 1, 0, 0, 0, 2, 0, 0, 0}};
    for (std::size_t i = 0; i < events.size(); ++i) {
        std::copy(kinds[i].begin(), kinds[i].end(), events[i].bytes.begin());
        events[i].length = kinds[i].size();
    }
    // Full first, as after a long walk test: every append then overwrites the oldest.
    for (std::size_t i = 0; i < EventLog::kEntries; ++i)
        log.RecordEvent(static_cast<int>(i % 32), reader, events[i % events.size()]);
    LogView view;
    view.Sync(log);
    const double rss = RssMb() - rssBefore;

    constexpr int kBatch = 100'000;
    std::vector<double> appendNs;
    std::vector<double> referenceNs;
    ReaderEvent copy;
    for (int round = 0; round < 20; ++round) {
        double start = ThreadCpuUs();
        for (int i = 0; i < kBatch; ++i)
            log.RecordEvent(i % 32, reader, events[static_cast<std::size_t>(i) % events.size()]);
        appendNs.push_back((ThreadCpuUs() - start) * 1000.0 / kBatch);

        // Reference: copying the event as it came off the wire, once.
        start = ThreadCpuUs();
        for (int i = 0; i < kBatch; ++i) {
            std::memcpy(&copy, &events[static_cast<std::size_t>(i) % events.size()], sizeof copy);
            asm volatile("" : : "r"(&copy) : "memory");
        }
        referenceNs.push_back((ThreadCpuUs() - start) * 1000.0 / kBatch);
    }
    const double append = Median(appendNs);
    const double reference = std::max(Median(referenceNs), 0.001);
    std::printf("event_log_append_ns=%.1f\n", append);
    std::printf("event_log_copy_ref_ns=%.1f\n", reference);
    std::printf("event_log_append_vs_copy=%.1f\n", append / reference);
    std::printf("event_log_entry_bytes=%zu\n", sizeof(LogEntry));
    std::printf("event_log_rss_mb=%.2f (%zu entries and a view of them)\n", rss, log.Size());
}

} // namespace

int main()
{
    PollPass();
    Exchange();
    EventLogAppend();
    return 0;
}
