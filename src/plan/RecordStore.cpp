#include "plan/RecordStore.h"

#include "plan/StoreJournal.h"
#include "plan/TextNumber.h"
#include "ui/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <limits>
#include <numeric>

namespace zp {

namespace {

constexpr double kNoKey = std::numeric_limits<double>::quiet_NaN();

const PackedRecord& blankRecord()
{
    static const PackedRecord blank;
    return blank;
}

// Whether every character fits in one byte (Latin-1).
bool fitsNarrow(QStringView text) noexcept
{
    char16_t above = 0;
    for (const QChar c : text)
        above |= c.unicode() & 0xFF00;
    return above == 0;
}

std::size_t textBytes(std::size_t length, bool narrow)
{
    return length * (narrow ? 1 : sizeof(QChar));
}

void narrowInto(char* out, QStringView text) noexcept
{
    const QChar* in = text.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = static_cast<char>(in[i].unicode());
}

// The recorder names its files after the day, hour, minute and second of
// the recording, two digits each, with "-2", "-3", ... when that name was
// taken.
const QRegularExpression& recordingNamePattern()
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9]{8}(-[0-9]+)?\\.wav$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

} // namespace

// --- PlannerRecord ---------------------------------------------------------

PlannerRecord PlannerRecord::fromList(const QStringList& twelveValues)
{
    PlannerRecord record;
    const int n = std::min<int>(static_cast<int>(twelveValues.size()), Field::Count);
    for (int f = 1; f <= n; ++f)
        record[f] = twelveValues[f - 1];
    return record;
}

QStringView RecordView::widened(int field) const
{
    const auto [begin, end] = packed_->span(field);
    if (begin == end)
        return {};
    if (!wide_) {
        const std::uint32_t length = packed_->length();
        if (length > kInlineLength) {
            heap_.resize(static_cast<qsizetype>(length));
            wide_ = reinterpret_cast<char16_t*>(heap_.data());
        } else {
            wide_ = inline_;
        }
    }
    // Only the texts read are widened: a scan over the dates of a plan
    // widens ten characters a record, not the whole record.
    const std::uint32_t bit = std::uint32_t(1) << field;
    if (!(widenedFields_ & bit)) {
        packed_->widenText(field, wide_);
        widenedFields_ |= bit;
    }
    return QStringView(wide_ + begin, static_cast<qsizetype>(end - begin));
}

PlannerRecord RecordView::toRecord() const
{
    PlannerRecord record;
    for (int f = 1; f <= Field::Count; ++f)
        record[f] = string(f);
    return record;
}

// --- RecordBuffer ------------------------------------------------------------

void* RecordBuffer::allocate(std::size_t bytes)
{
    const std::size_t words = (bytes + 7) / 8;
    if (words > size_ - used_) {
        size_ = std::max(words, kPieceWords);
        pieces_.emplace_back(new std::uint64_t[size_]);
        used_ = 0;
    }
    std::uint64_t* at = pieces_.back().get() + used_;
    used_ += words;
    return at;
}

// --- PackedRecord ------------------------------------------------------------

std::uintptr_t PackedRecord::allocateBlock(std::size_t length, bool narrow, RecordBuffer* buffer)
{
    if (length == 0)
        return 0;
    if (length > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("planner record too long");
    const bool shortEnds = length <= std::numeric_limits<std::uint16_t>::max();
    const std::size_t bytes = Field::Count * (shortEnds ? 2 : 4) + textBytes(length, narrow);
    void* block = buffer ? buffer->allocate(bytes) : std::malloc(bytes);
    if (!block)
        throw std::bad_alloc();
    // Both allocators align to eight at least, which leaves three bits free.
    Q_ASSERT((reinterpret_cast<std::uintptr_t>(block) & kFlags) == 0);
    return reinterpret_cast<std::uintptr_t>(block) | (buffer ? kInBuffer : 0) | (narrow ? kNarrow : 0) |
           (shortEnds ? kShortEnds : 0);
}

void PackedRecord::setEnd(int k, std::uint32_t end) noexcept
{
    if (bits_ & kShortEnds)
        static_cast<std::uint16_t*>(block())[k] = static_cast<std::uint16_t>(end);
    else
        static_cast<std::uint32_t*>(block())[k] = end;
}

template<typename TextOf>
std::uintptr_t PackedRecord::packTexts(TextOf textOf)
{
    std::size_t length = 0;
    bool narrow = true;
    for (int f = 1; f <= Field::Count; ++f) {
        const QStringView text = textOf(f);
        length += static_cast<std::size_t>(text.size());
        narrow = narrow && fitsNarrow(text);
    }
    PackedRecord packed;
    packed.bits_ = allocateBlock(length, narrow);
    if (!packed.bits_)
        return 0;
    char* out = packed.texts();
    std::uint32_t end = 0;
    for (int f = 1; f <= Field::Count; ++f) {
        const QStringView text = textOf(f);
        if (!text.isEmpty()) {
            if (narrow)
                narrowInto(out + end, text);
            else
                std::memcpy(out + std::size_t(end) * sizeof(QChar), text.data(),
                            static_cast<std::size_t>(text.size()) * sizeof(QChar));
        }
        end += static_cast<std::uint32_t>(text.size());
        packed.setEnd(f - 1, end);
    }
    return std::exchange(packed.bits_, 0);
}

PackedRecord::PackedRecord(const PlannerRecord& record)
    : bits_(packTexts([&record](int f) { return QStringView(record[f]); }))
{
}

PackedRecord::PackedRecord(const std::array<QStringView, Field::Count + 1>& texts)
    : bits_(packTexts([&texts](int f) { return texts[static_cast<std::size_t>(f)]; }))
{
}

PackedRecord::PackedRecord(const RecordView& record)
{
    // A packed record is copied block and all, without widening its texts.
    if (const PackedRecord* packed = record.packedRecord())
        *this = PackedRecord(*packed);
    else
        bits_ = packTexts([&record](int f) { return record[f]; });
}

PackedRecord::PackedRecord(const std::uint32_t* ends, int count, const QChar* text, RecordBuffer* buffer)
{
    count = std::clamp(count, 0, Field::Count);
    const std::uint32_t length = count > 0 ? ends[count - 1] : 0;
    if (length == 0)
        return;
    const QStringView all(text, static_cast<qsizetype>(length));
    const bool narrow = fitsNarrow(all);
    bits_ = allocateBlock(length, narrow, buffer);
    for (int k = 0; k < Field::Count; ++k)
        setEnd(k, k < count ? ends[k] : length);
    if (narrow)
        narrowInto(texts(), all);
    else
        std::memcpy(texts(), text, std::size_t(length) * sizeof(QChar));
}

PackedRecord::PackedRecord(const PackedRecord& other)
{
    // Its own block, of the same layout.
    bits_ = allocateBlock(other.length(), other.isNarrow());
    if (bits_)
        std::memcpy(block(), other.block(), other.blockBytes());
}

PackedRecord& PackedRecord::operator=(const PackedRecord& other)
{
    if (this != &other)
        *this = PackedRecord(other);
    return *this;
}

PackedRecord& PackedRecord::operator=(PackedRecord&& other) noexcept
{
    std::swap(bits_, other.bits_);
    return *this;
}

PackedRecord::~PackedRecord()
{
    if (!(bits_ & kInBuffer))
        std::free(block());
}

void PackedRecord::widenText(int field, char16_t* out) const noexcept
{
    const auto [begin, end] = span(field);
    if (begin == end)
        return;
    if (isNarrow()) {
        // Latin-1 is the first 256 code points of UTF-16.
        const auto* in = reinterpret_cast<const unsigned char*>(texts());
        for (std::uint32_t i = begin; i < end; ++i)
            out[i] = in[i];
    } else {
        std::memcpy(out + begin, reinterpret_cast<const char16_t*>(texts()) + begin,
                    std::size_t(end - begin) * sizeof(QChar));
    }
}

PackedRecord PackedRecord::withField(int field, QStringView value) const
{
    const RecordView texts(*this);
    PackedRecord changed;
    changed.bits_ = packTexts([&texts, field, value](int f) { return f == field ? value : texts[f]; });
    return changed;
}

bool PackedRecord::overwriteField(int field, QStringView value) noexcept
{
    const auto [begin, end] = span(field);
    if ((bits_ & kInBuffer) || qsizetype(end - begin) != value.size() || begin == end)
        return false;
    char* out = texts();
    if (isNarrow()) {
        if (!fitsNarrow(value))
            return false;
        narrowInto(out + begin, value);
    } else {
        std::memmove(out + std::size_t(begin) * sizeof(QChar), value.data(),
                     static_cast<std::size_t>(value.size()) * sizeof(QChar));
    }
    return true;
}

std::size_t PackedRecord::blockBytes() const noexcept
{
    return bits_ ? endsBytes() + textBytes(length(), isNarrow()) : 0;
}

// --- sortKey ---------------------------------------------------------------

double sortKey(QStringView dateText, QStringView timeText, DateOrder order)
{
    // Same as rendering each text with "yyyy", "y", "h" and "n" and taking
    // the numbers, but each text is read once: a text that is no date or
    // time renders as itself, whose number is its leading number.
    double year, dayOfYearValue, hour, minute;
    if (const auto d = parseDateTime(dateText, order)) {
        year = static_cast<int>(d->date.year());
        dayOfYearValue = dayOfYear(d->date);
    } else {
        year = dayOfYearValue = textValue(dateText);
    }
    if (const auto t = parseDateTime(timeText, order)) {
        hour = t->hour;
        minute = t->minute;
    } else {
        hour = minute = textValue(timeText);
    }
    const double key = year * 10000000.0 + dayOfYearValue * 10000.0 + hour * 100.0 + minute;
    return std::isnan(key) ? 0.0 : key;
}

// --- RecordStore -------------------------------------------------------------

RecordStore::RecordStore()
    : records_(1), keys_(1, kNoKey)
{
    const auto& labels = defaultFieldLabels();
    for (std::size_t i = 1; i < labels.size(); ++i)
        fieldLabels[i] = labels[i];
    for (std::size_t i = 13; i <= 24; ++i)
        fieldLabels[i] = QStringLiteral("on");
}

// The one list of the column captions a new plan, the settings without a
// file and the label editor's "Set to default" all start from.
const std::array<QString, 13>& RecordStore::defaultFieldLabels()
{
    static const std::array<QString, 13> labels = {
        QString(),
        QStringLiteral("Name"), QStringLiteral("Start date"), QStringLiteral("Finish date"),
        QStringLiteral("Income"), QStringLiteral("Expense"), QStringLiteral("Time"),
        QStringLiteral("Phone(ah)"), QStringLiteral("Phone(bh)"), QStringLiteral("Job status"),
        QStringLiteral("Message"), QStringLiteral("Image"), QStringLiteral("Sound")};
    return labels;
}

RecordView RecordStore::record(int index) const
{
    if (index < 1 || index > recordCount())
        return blankRecord();
    return records_[static_cast<std::size_t>(index)];
}

void RecordStore::setField(int field, int index, QStringView value)
{
    if (field < 1 || field > Field::Count || index < 1 || index > recordCount())
        return;
    PackedRecord& record = records_[static_cast<std::size_t>(index)];
    if (RecordView(record)[field] == value)
        return;
    if (journal_.to)
        journal_.to->recordChanging(index, record);
    record = record.withField(field, value);
    if (field == Field::StartDate || field == Field::Time)
        invalidateKey(index);
}

void RecordStore::setFields(int index, std::initializer_list<std::pair<int, QStringView>> changes)
{
    if (index < 1 || index > recordCount())
        return;
    PackedRecord& record = records_[static_cast<std::size_t>(index)];
    const RecordView current(record);
    // The record's new texts: a change, or what it has.
    std::array<QStringView, Field::Count + 1> texts;
    bool changed = false;
    for (int f = 1; f <= Field::Count; ++f)
        texts[static_cast<std::size_t>(f)] = current[f];
    bool sameLengths = true;
    for (const auto& [field, value] : changes) {
        if (field < 1 || field > Field::Count || texts[static_cast<std::size_t>(field)] == value)
            continue;
        sameLengths = sameLengths && texts[static_cast<std::size_t>(field)].size() == value.size();
        texts[static_cast<std::size_t>(field)] = value;
        changed = true;
        if (field == Field::StartDate || field == Field::Time)
            invalidateKey(index);
    }
    if (!changed)
        return;
    if (journal_.to)
        journal_.to->recordChanging(index, record);
    // A date turned round keeps its length: a block of the record's own
    // takes the new texts where the old ones were, unless a new text is read
    // from that very block.
    // (A narrow block holds no UTF-16 text a change could be read from.)
    if (const auto [blockBegin, blockEnd] = record.wideTexts(); blockBegin) {
        for (const auto& change : changes)
            if (std::less_equal<const QChar*>()(blockBegin, change.second.data())
                && std::less<const QChar*>()(change.second.data(), blockEnd))
                sameLengths = false;
    }
    if (sameLengths) {
        bool overwritten = true;
        for (const auto& [field, value] : changes)
            if (field >= 1 && field <= Field::Count && current[field] != value)
                overwritten = record.overwriteField(field, value) && overwritten;
        if (overwritten)
            return;
    }
    record = PackedRecord(texts);
}

void RecordStore::setRecord(int index, const PlannerRecord& record)
{
    if (index < 1 || index > recordCount())
        return;
    if (journal_.to)
        journal_.to->recordChanging(index, records_[static_cast<std::size_t>(index)]);
    records_[static_cast<std::size_t>(index)] = PackedRecord(record);
    invalidateKey(index);
}

void RecordStore::clearStore()
{
    if (journal_.to && journal_.to->inStep()) {
        // Removing the last records is a step that can be undone: they go
        // to the history one by one, and the memory they may lie in stays.
        while (recordCount() > 0)
            removeRecord(recordCount());
        return;
    }
    if (journal_.to)
        journal_.to->planReplaced();
    records_.clear();
    records_.emplace_back();
    records_.shrink_to_fit();
    buffer_.reset();
    keys_.assign(1, kNoKey);
    keys_.shrink_to_fit();
}

void RecordStore::replaceAll(const std::vector<PlannerRecord>& records)
{
    if (journal_.to)
        journal_.to->planReplaced();
    std::vector<PackedRecord> packed;
    packed.reserve(records.size() + 1);
    packed.emplace_back();
    for (const PlannerRecord& r : records)
        packed.emplace_back(r);
    records_ = std::move(packed);
    buffer_.reset();
    keys_.assign(records_.size(), kNoKey);
}

void RecordStore::adoptRecords(std::vector<PackedRecord> records, std::shared_ptr<const RecordBuffer> buffer)
{
    // The records stay where they are, with the blank record 0 put in
    // front: a large plan is not copied into a second list. The old records
    // go before the buffer they may lie in.
    if (journal_.to)
        journal_.to->planReplaced();
    records.emplace(records.begin());
    records_ = std::move(records);
    buffer_ = std::move(buffer);
    keys_.assign(records_.size(), kNoKey);
}

DateOrder RecordStore::dateOrder() const
{
    return systemDateStyle == kAmerican ? DateOrder::MonthFirst : DateOrder::DayFirst;
}

void RecordStore::syncKeyOrder() const
{
    const DateOrder order = dateOrder();
    if (order != keyOrder_) {
        std::fill(keys_.begin(), keys_.end(), kNoKey);
        keyOrder_ = order;
    }
}

double RecordStore::recordKey(int index) const
{
    syncKeyOrder();
    if (index < 1 || index > recordCount())
        return sortKey(QString(), QString(), keyOrder_);
    return cachedKey(index);
}

double RecordStore::cachedKey(int index) const
{
    double& key = keys_[static_cast<std::size_t>(index)];
    if (std::isnan(key)) {
        const PackedRecord& r = records_[static_cast<std::size_t>(index)];
        if (r.isNarrow()) {
            // Only the two texts the key is made of are widened, on the stack.
            const QLatin1StringView date = r.narrowText(Field::StartDate);
            const QLatin1StringView time = r.narrowText(Field::Time);
            QVarLengthArray<char16_t, 64> wide(date.size() + time.size());
            for (qsizetype i = 0; i < date.size(); ++i)
                wide[i] = static_cast<unsigned char>(date[i].toLatin1());
            for (qsizetype i = 0; i < time.size(); ++i)
                wide[date.size() + i] = static_cast<unsigned char>(time[i].toLatin1());
            key = sortKey(QStringView(wide.data(), date.size()), QStringView(wide.data() + date.size(), time.size()),
                          keyOrder_);
        } else {
            key = sortKey(r.wideText(Field::StartDate), r.wideText(Field::Time), keyOrder_);
        }
    }
    return key;
}

void RecordStore::invalidateKey(int index)
{
    keys_[static_cast<std::size_t>(index)] = kNoKey;
}

void RecordStore::insertAt(int index, PackedRecord record, double key)
{
    const auto pos = static_cast<std::ptrdiff_t>(index);
    records_.insert(records_.begin() + pos, std::move(record));
    keys_.insert(keys_.begin() + pos, key);
    if (journal_.to)
        journal_.to->recordInserted(index);
}

std::optional<int> RecordStore::insertInDateOrder(const PlannerRecord& record)
{
    if (isFull())
        return std::nullopt;
    syncKeyOrder();
    const double k = sortKey(record[Field::StartDate], record[Field::Time], keyOrder_);
    const int n = recordCount();

    int position = 0;
    if (n == 0) {
        position = 1;
    } else if (k < cachedKey(1)) {
        position = 1;
    } else if (k >= cachedKey(n)) {
        position = n + 1;
    } else {
        // The first b with key(b) <= k < key(b+1). In a store in date order
        // this is the place after the last equal key; in a store the user
        // has arranged by hand there may be none.
        double keyB = cachedKey(1);
        for (int b = 1; b < n; ++b) {
            const double keyNext = cachedKey(b + 1);
            if (keyB <= k && k < keyNext) {
                position = b + 1;
                break;
            }
            keyB = keyNext;
        }
        if (position == 0)
            return std::nullopt;
    }
    insertAt(position, PackedRecord(record), k);
    return position;
}

int RecordStore::insertAllInDateOrder(std::span<const PlannerRecord> records)
{
    const int n = recordCount();
    const int count = static_cast<int>(std::min<std::size_t>(records.size(), std::size_t(kMaxRecords - std::min(n, kMaxRecords))));
    if (count == 0)
        return 0;
    syncKeyOrder();
    bool inDateOrder = true;
    for (int i = 2; i <= n && inDateOrder; ++i)
        inDateOrder = cachedKey(i - 1) <= cachedKey(i);
    std::vector<std::pair<double, int>> incoming; // key, index in `records`
    incoming.reserve(std::size_t(count));
    for (int k = 0; k < count; ++k) {
        const PlannerRecord& r = records[std::size_t(k)];
        incoming.emplace_back(sortKey(r[Field::StartDate], r[Field::Time], keyOrder_), k);
    }
    if (inDateOrder)
        std::stable_sort(incoming.begin(), incoming.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

    // The store's own records move into the merged list; none is copied.
    std::vector<PackedRecord> merged;
    std::vector<double> keys;
    merged.reserve(std::size_t(n + count + 1));
    keys.reserve(std::size_t(n + count + 1));
    merged.emplace_back();
    keys.push_back(kNoKey);
    std::size_t next = 0;
    std::vector<int> positions; // where the new records land, for the history
    if (journal_.to)
        positions.reserve(std::size_t(count));
    const auto takeIncoming = [&] {
        if (journal_.to)
            positions.push_back(int(merged.size()));
        merged.emplace_back(RecordView(records[std::size_t(incoming[next].second)]));
        keys.push_back(incoming[next].first);
        ++next;
    };
    for (int i = 1; i <= n; ++i) {
        if (inDateOrder) {
            const double key = cachedKey(i);
            while (next < incoming.size() && incoming[next].first < key)
                takeIncoming();
        }
        merged.push_back(std::move(records_[std::size_t(i)]));
        keys.push_back(keys_[std::size_t(i)]);
    }
    while (next < incoming.size())
        takeIncoming();
    records_ = std::move(merged);
    keys_ = std::move(keys);
    if (journal_.to)
        journal_.to->recordsInserted(std::move(positions));
    return count;
}

bool RecordStore::insertRecordAt(int index, const PlannerRecord& record)
{
    if (isFull() || index < 1 || index > recordCount() + 1)
        return false;
    insertAt(index, PackedRecord(record), kNoKey);
    return true;
}

void RecordStore::removeRecord(int index)
{
    if (index < 1 || index > recordCount())
        return;
    const auto pos = static_cast<std::ptrdiff_t>(index);
    if (journal_.to)
        journal_.to->recordRemoved(index, std::move(records_[std::size_t(index)]));
    records_.erase(records_.begin() + pos);
    keys_.erase(keys_.begin() + pos);
}

// Inserting the records one by one with insertInDateOrder into an emptied
// store keeps that store in date order at every step and places each record
// after the ones with an equal key, so the outcome is exactly a stable sort
// by key. Sorting directly gives the same order without the quadratic cost
// of the record-by-record rebuild.
void RecordStore::sortChronologically(ProgressSink* progress)
{
    const int n = recordCount();
    if (n == 0)
        return;
    if (progress) {
        progress->begin();
        progress->progress(0);
    }

    // Computing the keys (reading every date) is the slow part; the bar
    // follows it.
    syncKeyOrder();
    int shownPercent = 0;
    for (int i = 1; i <= n; ++i) {
        cachedKey(i);
        if (progress) {
            const int percent = static_cast<int>(static_cast<long long>(i) * 99 / n);
            if (percent != shownPercent) {
                shownPercent = percent;
                progress->progress(percent);
            }
        }
    }

    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 1);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return keys_[static_cast<std::size_t>(a)] < keys_[static_cast<std::size_t>(b)];
    });

    std::vector<PackedRecord> sorted;
    std::vector<double> sortedKeys;
    sorted.reserve(static_cast<std::size_t>(n) + 1);
    sortedKeys.reserve(static_cast<std::size_t>(n) + 1);
    sorted.emplace_back();
    sortedKeys.push_back(kNoKey);
    for (int i : order) {
        sorted.push_back(std::move(records_[static_cast<std::size_t>(i)]));
        sortedKeys.push_back(keys_[static_cast<std::size_t>(i)]);
    }
    records_ = std::move(sorted);
    keys_ = std::move(sortedKeys);
    if (journal_.to)
        journal_.to->recordsReordered(std::move(order));

    if (progress) {
        progress->progress(100);
        progress->end();
    }
}

// --- deferred deletions --------------------------------------------------------

bool RecordStore::isOwnRecording(const QString& path) const
{
    if (recordingsFolder.isEmpty() || path.isEmpty() || path == kNoAttachment)
        return false;

    const QFileInfo info(path);
    if (!recordingNamePattern().match(info.fileName()).hasMatch())
        return false;

    const QString folder = QDir::cleanPath(QFileInfo(recordingsFolder).absoluteFilePath());
    const QString file = QDir::cleanPath(info.absoluteFilePath());
    if (QFileInfo(file).absolutePath() != folder)
        return false;

    // A file that exists must really live in the folder: a link that leads
    // elsewhere, or a folder reached through one, is not ours.
    if (info.exists() || info.isSymLink()) {
        if (info.isDir())
            return false;
        const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
        const QString canonicalFile = info.canonicalFilePath();
        if (canonicalFolder.isEmpty() || canonicalFile.isEmpty())
            return false;
        if (QFileInfo(canonicalFile).absolutePath() != canonicalFolder)
            return false;
    }
    return true;
}

int RecordStore::emptyDeletionList(DeferredDeletions& list) const
{
    return emptyDeletionList(list, [](const QString& path) { return QFile::remove(path); });
}

int RecordStore::emptyDeletionList(DeferredDeletions& list, const std::function<bool(const QString&)>& discard) const
{
    int deleted = 0;
    for (const QString& path : std::as_const(list.paths)) {
        if (path.isEmpty() || path == kNoAttachment)
            continue;
        if (isOwnRecording(path) && discard(path))
            ++deleted;
    }
    list.paths.clear();
    return deleted;
}

// --- size checks -------------------------------------------------------------

bool checkRoomForInsert(const RecordStore& store, MessageBoxService& messages)
{
    if (store.isFull()) {
        messages.msgBox(QStringLiteral("This plan is full: it holds %1 records, the most a plan can hold.\n"
                                       "Save it and start a new plan for further records.")
                            .arg(RecordStore::kMaxRecords),
                        MsgStyle::Exclamation, QStringLiteral("Planner Record"));
        return false;
    }
    if (store.recordCount() > RecordStore::kLargePlanWarningAbove) {
        messages.msgBox(QStringLiteral("Warning, large number of records") + QStringLiteral("\n\r")
                            + QStringLiteral("Try saving this and making a new file"),
                        MsgStyle::Exclamation);
    }
    return true;
}

} // namespace zp
