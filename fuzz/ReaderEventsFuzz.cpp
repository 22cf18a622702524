// Feeds arbitrary reader events through the poll cycle into the Readers
// tab, as the window shows them: the marks and PIN of a reader's row, the
// status colours, the card data box, and a backup card's certificate. The
// readers (plain or modules, online or not, one of them selected) and their
// configuration, which decides how card data is read, come from the input
// too. Every text shown must be well-formed: a tick or nothing for a mark, a
// PIN of at most 8 characters, a 16-digit UID, decimal numbers.
#include "app/PollCycle.h"
#include "platform/Win1250.h"

#include "FuzzInput.h"
#include "ManagerModel.h"
#include "ScriptedPrompts.h"
#include "SilentWindow.h"
#include "SimHidHost.h"
#include "SimUsbHost.h"
#include "VirtualClock.h"

#include <charconv>
#include <cstdlib>

namespace {

using namespace qozel;
using fuzz::Input;

// True when `text` is well-formed UTF-8 of Windows-1250 characters.
bool ShowsWin1250(const std::string& text)
{
    return Win1250ToUtf8(Utf8ToWin1250(text)) == text;
}

bool IsInt32(const std::string& text)
{
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

void CheckShown(const PollCycle& cycle)
{
    for (int row = 0; row < ReaderTable::kRows; ++row) {
        const auto& text = cycle.table.Row(row).text;
        for (const int mark : {ReaderRowCells::Uid, ReaderRowCells::Data, ReaderRowCells::Tel})
            if (!text[mark].empty() && text[mark] != kTickMark)
                std::abort();
        const std::string& pin = text[ReaderRowCells::Pin];
        if (!ShowsWin1250(pin) || Utf8ToWin1250(pin).size() > 8)
            std::abort();
    }
    const CardDataBox& card = cycle.table.CardData();
    if (!(card.uid.empty() || (card.uid.size() == 16 && card.uid.find_first_not_of("0123456789ABCDEF") ==
                                                            std::string::npos)) ||
        !(card.department.empty() || IsInt32(card.department)) || !(card.index.empty() || IsInt32(card.index)))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in{data, size};
    sim::VirtualClock clock;
    sim::SimUsbHost usb(clock);
    sim::SimHidHost hid;
    auto model = std::make_shared<sim::ManagerModel>();
    const int readers = 1 + in.Byte() % 4;
    for (int i = 0; i < readers; ++i) {
        const std::uint8_t state = in.Byte();
        const auto nr = static_cast<std::uint16_t>(i + 1);
        sim::SimReader& reader = state & 8 ? model->AddModule(nr, 0x0048, 0x004B) : model->AddReader(nr, 0x0048);
        reader.connected = state % 8 != 0;
        reader.options = in.Byte();
        reader.config = {in.Byte(), in.Byte(), in.Byte()};
    }
    usb.Attach(std::make_shared<sim::SimUsbDevice>(kManagerGuid, model));
    sim::ScriptedPrompts prompts;
    sim::SilentView view;
    sim::SilentUpgradeBox box;
    PollCycle cycle(usb, hid, clock, prompts, view, box);
    cycle.ManagerTick(); // attaches the Manager and lists its readers
    cycle.pane.RdTabEditClick(in.Byte() % ReaderTable::kRows); // the pane shows the selected reader
    if (in.Byte() % 2)
        cycle.backupWait.Start();
    while (!in.empty()) {
        // Events of listed readers mostly, and some of readers not listed.
        const std::uint8_t source = in.Byte();
        const std::uint32_t id = source < 0xF0 ? model->bus[source % model->bus.size()]->id() : in.Le32();
        model->EmitEvent(id, in.Take(in.Byte()));
        if (source % 4 == 0) {
            cycle.ManagerTick();
            CheckShown(cycle);
            cycle.table.TakeChanges();
        }
    }
    cycle.ManagerTick();
    CheckShown(cycle);
    return 0;
}
