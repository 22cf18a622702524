#include "app/ReaderTable.h"

#include "app/HexText.h"
#include "devices/manager/ZelManager.h"
#include "platform/Clock.h"
#include "app/WindowView.h"
#include "link/Frame.h"
#include "platform/Win1250.h"

#include <algorithm>
#include <string>

namespace qozel {
namespace {

using Cells = ReaderRowCells;

constexpr std::array<int, Cells::kDataCells> kDataColumns = {Cells::Type, Cells::Nr,   Cells::Soft,
                                                              Cells::Baud, Cells::Addr, Cells::Key};
constexpr std::array<int, 3> kStatusColumns = {Cells::Pwr, Cells::Tamp1, Cells::Tamp2};
constexpr std::array<int, 3> kMarkColumns = {Cells::Uid, Cells::Data, Cells::Tel};

constexpr std::size_t kUidSize = 8;
constexpr std::size_t kNumberSize = 4;
constexpr std::size_t kMaxPinChars = 8;

void Paint(Cells& cells, std::span<const int> columns, Colour colour)
{
    for (const int c : columns)
        cells.background[static_cast<std::size_t>(c)] = colour;
}

// Bytes of a card data event: kind, one byte, then the fields the reader's
// configuration enables.
std::size_t CardDataLength(const ReaderRecord& record)
{
    return 2 + ((record.config2 & 1) ? kUidSize : 0) + ((record.config2 & 2) ? kNumberSize : 0) +
           ((record.config2 & 4) ? kNumberSize : 0);
}

} // namespace

bool EventComplete(const ReaderEvent& event, const ReaderRecord& record) noexcept
{
    switch (event.kind()) {
    case ReaderEvent::NoKind:
        return false;
    case ReaderEvent::CardUid:
    case ReaderEvent::RoRe:
        return event.length >= 2 + kUidSize;
    case ReaderEvent::CardData:
        return event.length >= CardDataLength(record);
    case ReaderEvent::InputStatus:
        return event.length >= 3;
    default:
        return true;
    }
}

ReaderRowCells& ReaderTable::CellsOf(int row)
{
    return rows_[static_cast<std::size_t>(row)].cells;
}

void ReaderTable::RefreshReadersTab()
{
    if (view_.ShownTab() != WindowView::Tab::Readers)
        return;
    ZelManager& manager = manager_;
    const bool open = manager.IsOpen();
    ReadersHeader header = header_;
    header.managerOpen = open;
    if (open) {
        header.managerText = app_texts::kManagerLine + std::to_string(manager.info.nr) +
                             ", Soft: " + std::to_string(manager.info.soft);
        header.managerColour = Colour::WindowText;
    } else {
        header.managerText = app_texts::kNoManager;
        header.managerColour = Colour::Red;
        manager.ResetReaderList();
        for (int row = 0; row < kRows && rows_[static_cast<std::size_t>(row)].inUse; ++row) {
            ClearReaderRow(row);
            EnableReaderRow(row, false);
            ResetEventMarks(row);
            ClearStatusColours(row);
        }
    }
    const unsigned rate = manager.info.flags * 100u;
    const bool rateMissing = open && rate == 0;
    header.rateLabel = rateMissing ? app_texts::kRateMissingLabel : app_texts::kRateLabel;
    header.rateColour = rateMissing ? Colour::Red : Colour::WindowText;
    if (open && rate != 0) {
        // The user's choice stands until the Manager or its rate goes.
        if (header.rateItem < 0) {
            const auto it = std::find(ReadersHeader::kRates.begin(), ReadersHeader::kRates.end(), rate);
            header.rateItem = it == ReadersHeader::kRates.end() ? -1
                                                                 : static_cast<int>(it - ReadersHeader::kRates.begin());
        }
    } else {
        header.rateItem = -1;
    }
    header_ = header;
}

void ReaderTable::SetRateItem(int item) noexcept
{
    header_.rateItem = item;
}

void ReaderTable::ShowReaderRows(std::uint32_t mask)
{
    if (mask == 0)
        return;
    const ZelManager& manager = manager_;
    const bool sigKnown = manager.sentKeySignature != 0;
    for (int i = 0; i < kRows; ++i) {
        if ((mask & (1u << i)) == 0)
            continue;
        if (i >= manager.readerCount) {
            // No longer on the list: nothing to show, nothing to click.
            if (i == selected_)
                Deselect();
            ClearReaderRow(i);
            EnableReaderRow(i, false);
            ResetEventMarks(i);
            ClearStatusColours(i);
            continue;
        }
        const ReaderRecord& record = manager.readers[static_cast<std::size_t>(i)];
        if (i == selected_ && !record.online)
            Deselect();
        ShowReaderRow(i, record, i == selected_, sigKnown);
        EnableReaderRow(i, record.online);
    }
}

void ReaderTable::ShowReaderRow(int row, const ReaderRecord& record, bool selected, bool sigKnown)
{
    Cells& cells = CellsOf(row);
    cells.text[Cells::Type] = ShortName(record.info);
    cells.text[Cells::Nr] = std::to_string(record.info.nr);
    cells.text[Cells::Soft] = std::to_string(record.info.soft);
    cells.text[Cells::Baud] = std::to_string(static_cast<unsigned long>(record.baud100) * 100);
    cells.text[Cells::Addr] = std::to_string(record.address());
    cells.addressColour = record.address() != 0 ? Colour::WindowText : Colour::Red;
    // Keys 21 and 22; once a signature is known, also its match.
    const std::uint8_t required = sigKnown ? 7 : 3;
    cells.text[Cells::Key] = (record.keyState() & required) == required ? kTickMark : "";
    rows_[static_cast<std::size_t>(row)].inUse = true;
    cells.bold = record.address() != 0;
    Paint(cells, kDataColumns, !record.online ? Colour::Yellow : selected ? Colour::Lime : Colour::Window);
    if (!record.online)
        Paint(cells, kStatusColumns, Colour::Yellow);
    else if (cells.background[Cells::Pwr] == Colour::Yellow)
        Paint(cells, kStatusColumns, Colour::Window);
}

void ReaderTable::EnableReaderRow(int row, bool on)
{
    CellsOf(row).enabled = on;
}

void ReaderTable::ClearReaderRow(int row)
{
    Cells& cells = CellsOf(row);
    for (const int c : kDataColumns)
        cells.text[static_cast<std::size_t>(c)].clear();
    Paint(cells, kDataColumns, Colour::Window);
}

void ReaderTable::ClearStatusColours(int row)
{
    Paint(CellsOf(row), kStatusColumns, Colour::Window);
}

void ReaderTable::ResetEventMarks(int row)
{
    Cells& cells = CellsOf(row);
    for (const int c : kMarkColumns)
        cells.text[static_cast<std::size_t>(c)].clear();
    Paint(cells, kMarkColumns, Colour::Window);
    cells.text[Cells::Pin].clear();
    rows_[static_cast<std::size_t>(row)].expiryUs = 0;
}

void ReaderTable::ExpireEventMarks(int row)
{
    const std::uint64_t expiry = rows_[static_cast<std::size_t>(row)].expiryUs;
    if (expiry != 0 && clock_.Microseconds() > expiry)
        ResetEventMarks(row);
}

void ReaderTable::Select(int row)
{
    if (selected_ >= 0)
        Paint(CellsOf(selected_), kDataColumns, Colour::Window);
    selected_ = row;
    if (row >= 0)
        Paint(CellsOf(row), kDataColumns, Colour::Lime);
}

void ReaderTable::ShowReaderEvent(int index, const ReaderEvent& event)
{
    const ReaderRecord& record = manager_.readers[static_cast<std::size_t>(index)];
    if (!EventComplete(event, record))
        return;
    ShowCardData(event, record);
    MarkEvent(index, event, record);
    if (event.kind() < ReaderEvent::InputStatus)
        rows_[static_cast<std::size_t>(index)].expiryUs = clock_.Microseconds() + kMarkLifeUs;
}

void ReaderTable::ShowCardData(const ReaderEvent& event, const ReaderRecord& record)
{
    const std::uint8_t kind = event.kind();
    if (kind > ReaderEvent::RoRe)
        return;
    cardData_ = {};
    const std::uint8_t* data = event.bytes.data() + 2;
    if (kind == ReaderEvent::CardUid || kind == ReaderEvent::RoRe) {
        cardData_.uid = HexText(std::span(data, kUidSize));
    } else if (kind == ReaderEvent::CardData) {
        if (record.config2 & 1) {
            cardData_.uid = HexText(std::span(data, kUidSize));
            data += kUidSize;
        }
        if (record.config2 & 2) {
            cardData_.department = std::to_string(static_cast<std::int32_t>(GetLe32(data)));
            data += kNumberSize;
        }
        if (record.config2 & 4)
            cardData_.index = std::to_string(static_cast<std::int32_t>(GetLe32(data)));
    }
}

void ReaderTable::MarkEvent(int row, const ReaderEvent& event, const ReaderRecord& record)
{
    Cells& cells = CellsOf(row);
    auto mark = [&](int column) {
        ResetEventMarks(row);
        cells.text[static_cast<std::size_t>(column)] = kTickMark;
        cells.background[static_cast<std::size_t>(column)] = Colour::Lime;
    };
    const auto& b = event.bytes;
    switch (event.kind()) {
    case ReaderEvent::CardUid:
        mark(Cells::Uid);
        break;
    case ReaderEvent::CardData:
        mark(Cells::Data);
        break;
    case ReaderEvent::RoRe:
        mark(Cells::Tel);
        break;
    case ReaderEvent::Pin: {
        // At most 8 characters, and only those that arrived.
        const std::size_t end = std::min(event.length, 1 + kMaxPinChars);
        std::string pin;
        for (std::size_t k = 1; k < end && b[k] != 0; ++k)
            pin += static_cast<char>(b[k]);
        cells.text[Cells::Pin] = Win1250ToUtf8(pin);
        break;
    }
    case ReaderEvent::InputStatus: {
        auto tamper = [&](std::uint32_t present, std::uint8_t bit) {
            return (record.options & present) == 0 ? Colour::Window : (b[1] & bit) ? Colour::Red : Colour::Lime;
        };
        cells.background[Cells::Pwr] = (b[2] & 3) != 0 ? Colour::Red : Colour::Lime;
        cells.background[Cells::Tamp1] = tamper(ReaderRecord::kHasTamper1, 1);
        cells.background[Cells::Tamp2] = tamper(ReaderRecord::kHasTamper2, 2);
        break;
    }
    default:
        break;
    }
}

ReaderTable::Changes ReaderTable::TakeChanges()
{
    // Compared with what was last handed out for drawing, so that setting a
    // cell to what it shows already costs the window nothing.
    Changes changes;
    for (int i = 0; i < kRows; ++i) {
        auto& drawn = drawn_.rows[static_cast<std::size_t>(i)];
        if (!drawn_.valid || drawn != CellsOf(i)) {
            drawn = CellsOf(i);
            changes.rows |= 1u << i;
        }
    }
    changes.header = !drawn_.valid || drawn_.header != header_;
    changes.cardData = !drawn_.valid || drawn_.cardData != cardData_;
    drawn_.header = header_;
    drawn_.cardData = cardData_;
    drawn_.valid = true;
    return changes;
}

} // namespace qozel
