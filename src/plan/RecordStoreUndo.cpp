// The record store's side of undo and redo: records put back exactly as
// the history kept them, in one pass over the store for the steps that
// moved many at once, and without telling the journal (the history is
// doing the putting back).
#include "plan/RecordStore.h"

#include "plan/StoreJournal.h"

#include <cmath>
#include <limits>

namespace zp {

namespace {
constexpr double kUnknownKey = std::numeric_limits<double>::quiet_NaN();
} // namespace

RecordStore::JournalLink& RecordStore::JournalLink::operator=(const JournalLink&)
{
    if (to)
        to->planReplaced();
    return *this;
}

void RecordStore::exchangeRecord(int index, PackedRecord& other)
{
    if (index < 1 || index > recordCount())
        return;
    std::swap(records_[std::size_t(index)], other);
    invalidateKey(index);
}

PackedRecord RecordStore::takeRecord(int index)
{
    if (index < 1 || index > recordCount())
        return {};
    PackedRecord record = std::move(records_[std::size_t(index)]);
    records_.erase(records_.begin() + index);
    keys_.erase(keys_.begin() + index);
    return record;
}

void RecordStore::putRecord(int index, PackedRecord record)
{
    if (index < 1 || index > recordCount() + 1)
        return;
    records_.insert(records_.begin() + index, std::move(record));
    keys_.insert(keys_.begin() + index, kUnknownKey);
}

std::vector<PackedRecord> RecordStore::takeRecords(std::span<const int> positions)
{
    std::vector<PackedRecord> taken;
    taken.reserve(positions.size());
    std::size_t out = 1;
    std::size_t next = 0;
    for (std::size_t i = 1; i < records_.size(); ++i) {
        if (next < positions.size() && std::size_t(positions[next]) == i) {
            taken.push_back(std::move(records_[i]));
            ++next;
            continue;
        }
        if (out != i) {
            records_[out] = std::move(records_[i]);
            keys_[out] = keys_[i];
        }
        ++out;
    }
    records_.resize(out);
    keys_.resize(out);
    return taken;
}

void RecordStore::putRecords(std::span<const int> positions, std::vector<PackedRecord>&& records)
{
    const std::size_t total = records_.size() + records.size();
    std::vector<PackedRecord> merged;
    std::vector<double> keys;
    merged.reserve(total);
    keys.reserve(total);
    merged.emplace_back();
    keys.push_back(kUnknownKey);
    std::size_t old = 1;
    std::size_t next = 0;
    while (merged.size() < total) {
        if (next < positions.size() && std::size_t(positions[next]) == merged.size()) {
            merged.push_back(std::move(records[next++]));
            keys.push_back(kUnknownKey);
        } else if (old < records_.size()) {
            merged.push_back(std::move(records_[old]));
            keys.push_back(keys_[old++]);
        } else {
            break; // positions beyond the end: the history and the store disagree
        }
    }
    records_ = std::move(merged);
    keys_ = std::move(keys);
    records.clear();
}

void RecordStore::reorder(std::span<const int> order, bool inverse)
{
    if (order.size() != std::size_t(recordCount()))
        return;
    std::vector<PackedRecord> moved(records_.size());
    std::vector<double> keys(records_.size(), kUnknownKey);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const std::size_t from = inverse ? i + 1 : std::size_t(order[i]);
        const std::size_t to = inverse ? std::size_t(order[i]) : i + 1;
        moved[to] = std::move(records_[from]);
        keys[to] = keys_[from];
    }
    records_ = std::move(moved);
    keys_ = std::move(keys);
}

} // namespace zp
