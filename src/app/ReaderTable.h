#pragma once

#include "app/AppTexts.h"
#include "app/Colour.h"
#include "devices/manager/ReaderEvent.h"
#include "devices/manager/ReaderRecord.h"

#include <array>
#include <cstdint>
#include <string>

namespace qozel {

class Clock;
class WindowView;
class ZelManager;

// One row of the reader table as it is shown.
struct ReaderRowCells {
    enum Column : int { Type, Nr, Soft, Baud, Addr, Key, Show, Pwr, Tamp1, Tamp2, Uid, Data, Tel, Pin };
    static constexpr int kColumns = 14;
    // The six cells that describe the reader and take the selection colour.
    static constexpr int kDataCells = 6;
    // Object names of the row's controls: the prefix, then the two-digit row number.
    static constexpr std::array<const char*, kColumns> kNamePrefixes = {
        "TypeEdit", "NrEdit", "SoftEdit", "BaudEdit", "AddrEdit", "KeyEdit", "ShowBtn",
        "PwrEdit", "Tamp1Edit", "Tamp2Edit", "UidEdit", "DataEdit", "TelEdit", "PinEdit"};

    std::array<std::string, kColumns> text{};        // the identify button keeps its "?"
    std::array<Colour, kColumns> background{};       // all Colour::Window at first
    Colour addressColour = Colour::WindowText;       // text colour of the address cell
    bool bold = false;      // type, number, software, rate and key cells
    bool enabled = false;   // the six data cells and the identify button

    friend bool operator==(const ReaderRowCells&, const ReaderRowCells&) = default;
};

// The header of the Readers tab: the Manager's line and the bus rate.
struct ReadersHeader {
    static constexpr std::array<unsigned, 6> kRates = {9600, 19200, 38400, 57600, 115200, 230400};
    std::string managerText = app_texts::kNoManager;
    Colour managerColour = Colour::Red;
    std::string rateLabel = app_texts::kRateLabel;
    Colour rateColour = Colour::WindowText;   // the rate label and the 32 rate cells
    int rateItem = -1;                         // selected rate, -1 = none ("  ---  ")
    bool managerOpen = false;                  // enables the column labels and the rate controls

    friend bool operator==(const ReadersHeader&, const ReadersHeader&) = default;
};

// The box with the data of the last card read.
struct CardDataBox {
    std::string uid, department, index;
    friend bool operator==(const CardDataBox&, const CardDataBox&) = default;
};

// The table of the Readers tab: 32 rows mirroring the Manager's reader list,
// the live marks of each reader's events, the header and the card data box.
// It owns the selected reader, whose row it colours. It keeps what is shown;
// the window draws the parts it reports as changed.
class ReaderTable {
public:
    static constexpr int kRows = 32;
    // How long the marks of an event stay.
    static constexpr std::uint64_t kMarkLifeUs = 5'000'000;

    ReaderTable(ZelManager& manager, Clock& clock, WindowView& view) noexcept
        : manager_(manager), clock_(clock), view_(view)
    {
    }

    // Full redraw of the header and the rows' enabled state; only while the
    // Readers tab is shown.
    void RefreshReadersTab();
    // Redraws the rows whose bit is set: listed rows from the reader table,
    // rows at or past the reader count as no longer listed. A selected
    // reader that went offline or off the list is deselected.
    void ShowReaderRows(std::uint32_t mask);
    // Clears the row's event marks once they have lived their time.
    void ExpireEventMarks(int row);
    // Shows one event of reader `index`; an event too short for its kind is ignored.
    void ShowReaderEvent(int index, const ReaderEvent& event);
    // The selected reader's row, -1 for none.
    int Selected() const noexcept { return selected_; }
    // Makes `row` the selected one (-1 for none); the selection colour moves with it.
    void Select(int row);
    void Deselect() { Select(-1); }
    // The rate the user chose in the header's list.
    void SetRateItem(int item) noexcept;

    const ReaderRowCells& Row(int row) const { return rows_[static_cast<std::size_t>(row)].cells; }
    bool InUse(int row) const { return rows_[static_cast<std::size_t>(row)].inUse; }
    const ReadersHeader& Header() const noexcept { return header_; }
    const CardDataBox& CardData() const noexcept { return cardData_; }

    // What changed since the last call (everything at the first), for the
    // window to draw.
    struct Changes {
        std::uint32_t rows = 0;
        bool header = false;
        bool cardData = false;
        bool any() const noexcept { return rows != 0 || header || cardData; }
    };
    Changes TakeChanges();

private:
    struct RowState {
        ReaderRowCells cells;
        bool inUse = false;          // has shown a reader since the start
        std::uint64_t expiryUs = 0;  // monotonic time the event marks go; 0 = none
    };

    void ShowReaderRow(int row, const ReaderRecord& record, bool selected, bool sigKnown);
    void EnableReaderRow(int row, bool on);
    void ClearReaderRow(int row);
    void ClearStatusColours(int row);
    void ResetEventMarks(int row);
    void ShowCardData(const ReaderEvent& event, const ReaderRecord& record);
    void MarkEvent(int row, const ReaderEvent& event, const ReaderRecord& record);
    ReaderRowCells& CellsOf(int row);

    ZelManager& manager_;
    Clock& clock_;
    WindowView& view_;
    int selected_ = -1;
    std::array<RowState, kRows> rows_{};
    ReadersHeader header_;
    CardDataBox cardData_;
    // What TakeChanges last handed out.
    struct Drawn {
        bool valid = false;
        std::array<ReaderRowCells, kRows> rows{};
        ReadersHeader header;
        CardDataBox cardData;
    } drawn_;
};

// Whether an event carries every byte its kind needs.
bool EventComplete(const ReaderEvent& event, const ReaderRecord& record) noexcept;

} // namespace qozel
