#include "app/LogView.h"

namespace qozel {

bool LogFilter::Matches(const LogEntry& entry) const noexcept
{
    if (readerId != 0 && (!entry.IsReaderEntry() || entry.id != readerId))
        return false;
    switch (kind) {
    case Kind::All: return true;
    case Kind::Cards: return entry.kind == LogKind::CardUid || entry.kind == LogKind::CardData;
    case Kind::RoRe: return entry.kind == LogKind::RoRe;
    case Kind::Pin: return entry.kind == LogKind::Pin;
    case Kind::Tamper: return entry.kind == LogKind::Inputs && (entry.detail2 & 0x03) != 0;
    case Kind::Power: return entry.kind == LogKind::Inputs && (entry.detail2 & 0x04) != 0;
    case Kind::BackupCard: return entry.kind == LogKind::BackupCard;
    case Kind::Devices: return entry.kind >= LogKind::DevicePlugged;
    case Kind::Other: return entry.kind == LogKind::OtherEvent || (entry.kind == LogKind::Inputs && entry.detail2 == 0);
    }
    return false;
}

void LogView::SetFilter(const LogFilter& filter) noexcept
{
    if (filter == filter_)
        return;
    filter_ = filter;
    filterChanged_ = true;
}

LogView::Update LogView::Sync(const EventLog& log)
{
    Update update;
    if (filterChanged_ || generation_ != log.Generation()) {
        seqs_.clear();
        endSeq_ = log.FirstSeq();
        generation_ = log.Generation();
        filterChanged_ = false;
        update.reset = true;
    }
    while (!seqs_.empty() && seqs_.front() < log.FirstSeq()) {
        seqs_.pop_front();
        ++update.dropped;
    }
    for (std::uint64_t seq = std::max(endSeq_, log.FirstSeq()); seq < log.EndSeq(); ++seq) {
        if (filter_.Matches(log.At(seq))) {
            seqs_.push_back(seq);
            ++update.added;
        }
    }
    endSeq_ = log.EndSeq();
    return update;
}

} // namespace qozel
