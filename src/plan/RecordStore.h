#pragma once
#include "plan/DateText.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace zp {

class MessageBoxService;
class StoreJournal;

// The face of the Edit page, kept in the plan file's header and the
// settings: the entry panel over records in date order, or the entry grid.
// Its number is the one those files hold; a settings file may hold another
// number, which is kept as it is and is neither style.
enum class EditStyle : int { HomeAndOffice = 0, ProjectPlanning = 1 };

// Field numbers of a planner record.
namespace Field {
constexpr int StartDate = 1;
constexpr int Time = 2;
constexpr int Name = 3;
constexpr int PhoneAfterHours = 4;
constexpr int PhoneBusinessHours = 5;
constexpr int Message = 6;
constexpr int Income = 7;
constexpr int Expense = 8;
constexpr int JobStatus = 9;
constexpr int ImagePath = 10;
constexpr int AudioPath = 11;
constexpr int FinishDate = 12;
constexpr int Count = 12;
} // namespace Field

// "plandefault" in the image or audio field means "no attachment".
inline const QString kNoAttachment = QStringLiteral("plandefault");
inline const QString kEnglishEuro = QStringLiteral("englisheuro");
inline const QString kAmerican = QStringLiteral("american");

// One planner record: twelve texts addressed 1 ... 12; slot 0 is unused.
// This is the form a record takes while it is being put together (the
// entry panel, a record to insert); the store keeps its records packed.
struct PlannerRecord {
    std::array<QString, Field::Count + 1> fields;

    const QString& operator[](int field) const { return fields[static_cast<std::size_t>(field)]; }
    QString& operator[](int field) { return fields[static_cast<std::size_t>(field)]; }
    static PlannerRecord fromList(const QStringList& twelveValues); // missing values are empty
    bool isDone() const { return fields[Field::JobStatus] == QLatin1String("1"); }
    friend bool operator==(const PlannerRecord& a, const PlannerRecord& b) { return a.fields == b.fields; }
};

class RecordView;

// Memory for the records of one plan read from a file, taken in large pieces
// and given back all at once: loading and freeing a large plan then cost a
// few allocations instead of one per record. Nothing in it is changed once
// the plan is read; a record that is changed gets a block of its own.
class RecordBuffer {
public:
    // Room for `bytes` bytes, aligned to eight.
    void* allocate(std::size_t bytes);

private:
    // Pieces small enough to come from the heap, so a plan read again reuses
    // the memory of the one it replaces.
    static constexpr std::size_t kPieceWords = std::size_t(1) << 13; // 64 KiB
    std::vector<std::unique_ptr<std::uint64_t[]>> pieces_;
    std::size_t used_ = 0; // 8-byte words used of the last piece
    std::size_t size_ = 0; // 8-byte words in the last piece
};

// The twelve texts of one record in a single block of memory: where each
// text ends, then the texts one after another. A plan of thousands of
// records then costs one block per record rather than twelve strings. The
// ends take two bytes each when the record has fewer than 65,536
// characters (every record of a working plan), else four. When
// every character of the record is in Latin-1 (nearly every record of a
// working plan) the texts take one byte a character instead of two. A
// record whose texts are all empty has no block. The block is the record's
// own, or lies in the RecordBuffer of the plan it was read with. Copying
// always makes a block of its own: no two records ever share one, so
// changing a record can never change another. Its texts are read through a
// RecordView.
class PackedRecord {
public:
    PackedRecord() noexcept = default;
    PackedRecord(const PlannerRecord& record);
    explicit PackedRecord(const RecordView& record);
    // From views of texts 1 ... 12 (slot 0 unused).
    explicit PackedRecord(const std::array<QStringView, Field::Count + 1>& texts);
    // From the texts of fields 1 ... texts.size() (at most twelve, the rest
    // empty), all in one buffer: `ends[k]` is where the text of field k + 1
    // ends in `text`, counted from its start.
    // With `buffer`, the block is taken from it (and the buffer must outlive
    // the record).
    PackedRecord(const std::uint32_t* ends, int count, const QChar* text, RecordBuffer* buffer = nullptr);
    PackedRecord(const PackedRecord& other);
    PackedRecord(PackedRecord&& other) noexcept : bits_(std::exchange(other.bits_, 0)) {}
    PackedRecord& operator=(const PackedRecord& other);
    PackedRecord& operator=(PackedRecord&& other) noexcept;
    ~PackedRecord();

    // Whether the texts are kept one byte (Latin-1) a character.
    bool isNarrow() const noexcept { return (bits_ & kNarrow) != 0; }
    // Characters in all twelve texts together.
    std::uint32_t length() const noexcept { return bits_ ? endOf(Field::Count - 1) : 0; }
    // Where the text of field 1 ... 12 begins and ends among all the texts
    // (0, 0 for anything else).
    std::pair<std::uint32_t, std::uint32_t> span(int field) const noexcept
    {
        if (!bits_ || field < 1 || field > Field::Count)
            return {0, 0};
        return {field == 1 ? 0 : endOf(field - 2), endOf(field - 1)};
    }
    // The text of a field of a record that is not narrow; empty otherwise.
    QStringView wideText(int field) const noexcept
    {
        const auto [begin, end] = span(field);
        if (isNarrow() || begin == end)
            return {};
        return QStringView(reinterpret_cast<const QChar*>(texts()) + begin, static_cast<qsizetype>(end - begin));
    }
    // The same of a narrow record; empty otherwise.
    QLatin1StringView narrowText(int field) const noexcept
    {
        const auto [begin, end] = span(field);
        if (!isNarrow() || begin == end)
            return {};
        return QLatin1StringView(texts() + begin, static_cast<qsizetype>(end - begin));
    }
    // Where the texts of a record that is not narrow lie (both null for a
    // narrow or empty record).
    std::pair<const QChar*, const QChar*> wideTexts() const noexcept
    {
        if (isNarrow() || !bits_)
            return {nullptr, nullptr};
        const QChar* begin = reinterpret_cast<const QChar*>(texts());
        return {begin, begin + length()};
    }
    // All the texts of a narrow record one after another; empty otherwise.
    QLatin1StringView allNarrowTexts() const noexcept
    {
        if (!isNarrow() || !bits_)
            return {};
        return QLatin1StringView(texts(), qsizetype(length()));
    }
    // Writes the text of a field in UTF-16 to `out`, where it lies among all
    // the texts: `out` has room for length() characters.
    void widenText(int field, char16_t* out) const noexcept;

    // The same record with one text replaced (a new block).
    PackedRecord withField(int field, QStringView value) const;
    // Overwrites a text with one of the same length, in place; false (and
    // nothing changed) when the lengths differ, the block is not the
    // record's own or a narrow record cannot hold the new text.
    bool overwriteField(int field, QStringView value) noexcept;
    // Bytes of memory the record's block takes (without the allocator's own).
    std::size_t blockBytes() const noexcept;

private:
    static constexpr std::uintptr_t kInBuffer = 1;
    static constexpr std::uintptr_t kNarrow = 2;
    static constexpr std::uintptr_t kShortEnds = 4;
    static constexpr std::uintptr_t kFlags = kInBuffer | kNarrow | kShortEnds;
    // Null when every text is empty. The three lowest bits of bits_ say
    // whether the block lies in a RecordBuffer, whether its texts are
    // narrow and whether its ends are two bytes each.
    void* block() const noexcept { return reinterpret_cast<void*>(bits_ & ~kFlags); }
    std::size_t endsBytes() const noexcept { return Field::Count * ((bits_ & kShortEnds) ? 2 : 4); }
    // Where text k + 1 ends (k = 0 ... 11) of a record with a block.
    std::uint32_t endOf(int k) const noexcept
    {
        return (bits_ & kShortEnds) ? static_cast<const std::uint16_t*>(block())[k]
                                    : static_cast<const std::uint32_t*>(block())[k];
    }
    void setEnd(int k, std::uint32_t end) noexcept;
    const char* texts() const noexcept { return static_cast<const char*>(block()) + endsBytes(); }
    char* texts() noexcept { return static_cast<char*>(block()) + endsBytes(); }
    // A block for `length` characters, its own or from `buffer`, as bits_
    // with its flags; 0 when `length` is 0.
    static std::uintptr_t allocateBlock(std::size_t length, bool narrow, RecordBuffer* buffer = nullptr);
    // Packs texts 1 ... 12 given by `textOf(field)`.
    template<typename TextOf>
    static std::uintptr_t packTexts(TextOf textOf);

    std::uintptr_t bits_ = 0;
};

// A record read in place, from the store or from a PlannerRecord: its texts
// are views that hold as long as the record they come from is neither
// changed nor removed, and as long as this view object itself (a narrow
// record's texts are widened into the view when first read; a copy of the
// view widens them again). Keep the view in a variable while its texts are
// in use, and pass it on by reference.
class RecordView {
public:
    RecordView() noexcept = default;
    RecordView(const PackedRecord& record) noexcept : packed_(&record) {}
    RecordView(const PlannerRecord& record) noexcept : loose_(&record) {}
    RecordView(const RecordView& other) noexcept : packed_(other.packed_), loose_(other.loose_) {}
    RecordView& operator=(const RecordView& other) noexcept
    {
        packed_ = other.packed_;
        loose_ = other.loose_;
        wide_ = nullptr;
        widenedFields_ = 0;
        heap_.clear();
        return *this;
    }

    // The text of field 1 ... 12; anything else reads as empty.
    QStringView operator[](int field) const
    {
        if (packed_)
            return packed_->isNarrow() ? widened(field) : packed_->wideText(field);
        if (loose_ && field >= 1 && field <= Field::Count)
            return (*loose_)[field];
        return {};
    }
    // The text of field 1 ... 12 as a string of its own. A one-byte
    // record's is made straight from its bytes, without widening them into
    // the view first; a loose record's is shared.
    QString string(int field) const
    {
        if (packed_ && packed_->isNarrow())
            return QString(packed_->narrowText(field));
        if (loose_ && field >= 1 && field <= Field::Count)
            return (*loose_)[field];
        return (*this)[field].toString();
    }
    bool isDone() const
    {
        if (packed_ && packed_->isNarrow())
            return packed_->narrowText(Field::JobStatus) == QLatin1StringView("1");
        return (*this)[Field::JobStatus] == u"1";
    }
    // An independent copy of the twelve texts.
    PlannerRecord toRecord() const;
    // The packed record read, if it is one.
    const PackedRecord* packedRecord() const noexcept { return packed_; }

    friend bool operator==(const RecordView& a, const RecordView& b)
    {
        for (int f = 1; f <= Field::Count; ++f)
            if (a[f] != b[f])
                return false;
        return true;
    }

private:
    QStringView widened(int field) const;
    const PackedRecord* packed_ = nullptr;
    const PlannerRecord* loose_ = nullptr;
    // A narrow record's texts in UTF-16, made on first reading: in the view
    // itself when they fit, so reading a record costs no allocation.
    static constexpr std::uint32_t kInlineLength = 256;
    mutable char16_t* wide_ = nullptr;
    mutable std::uint32_t widenedFields_ = 0; // bit f: text f is in wide_
    mutable QString heap_;
    mutable char16_t inline_[kInlineLength];
};

// Date-order key of a date text and a time text:
// year * 10 000 000 + day of year * 10 000 + hour * 100 + minute, where each
// part is the numeric value of the text rendered with "yyyy", "y", "h" and
// "n". A text that is not a date or time renders unchanged, so an empty date
// counts as 0 and the word "soon" too. The key is never NaN (a text of
// overflowing numbers could otherwise make one): NaN counts as 0, so every
// record keeps a place in the date order.
double sortKey(QStringView dateText, QStringView timeText, DateOrder order);
inline double sortKey(const QString& dateText, const QString& timeText, DateOrder order)
{
    return sortKey(QStringView(dateText), QStringView(timeText), order);
}

// Receives progress of long store operations (re-sorting a large plan): the
// main window suspends its periodic timer and shows its progress bar.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void begin() = 0;
    virtual void progress(int percent) = 0;
    virtual void end() = 0;
};

// What the recorder did for the record on show, since it was shown: its
// sound is then kept, dropped (closed without recording) or the new file.
enum class RecorderState { Untouched, ClosedWithoutRecording, Recorded };

// A list of files to delete later, kept while a plan is open.
struct DeferredDeletions {
    QStringList paths;
    int count() const { return static_cast<int>(paths.size()); }
    void add(const QString& path) { paths.append(path); }
};

// The open plan. Records are numbered 1 ... recordCount().
// The record operations leave `modified` alone: the commands that call them
// decide whether the change counts as unsaved.
// "Set to default" in the label editor gives the sound column this caption
// instead of the table's "Sound" (see RecordEditor::setLabelsToDefault).
inline const QString kLabelEditorSoundCaption = QStringLiteral("Audio");

class RecordStore {
public:
    static constexpr int kMaxRecords = 32767;
    static constexpr int kLargePlanWarningAbove = 1000;

    RecordStore();

    // --- records ---------------------------------------------------------
    int recordCount() const { return static_cast<int>(records_.size()) - 1; }
    // Reading outside 1 ... recordCount (record 1 of the empty plan, say)
    // gives a blank record rather than failing. The view holds until the
    // record is changed or removed, or the plan replaced.
    RecordView record(int index) const;
    // A copy of one text, to keep.
    QString field(int field, int index) const { return record(index)[field].toString(); }
    // Writing outside 1 ... recordCount is ignored.
    void setField(int field, int index, QStringView value);
    void setField(int field, int index, const QString& value) { setField(field, index, QStringView(value)); }
    // Several texts of one record at once: (field, text) pairs.
    void setFields(int index, std::initializer_list<std::pair<int, QStringView>> changes);
    void setRecord(int index, const PlannerRecord& record);

    // The empty plan: no records.
    void clearStore();
    // Replaces every record at once (plan loading); no ordering is applied.
    void replaceAll(const std::vector<PlannerRecord>& records);
    // The same with records already packed, taken over as they are, with
    // the buffer holding their blocks.
    void adoptRecords(std::vector<PackedRecord> records, std::shared_ptr<const RecordBuffer> buffer = {});
    // Inserts in date order; ties go after existing records with the same
    // key. Returns the new record's index, or nothing when no position
    // qualifies (a store not in date order) or the store is full.
    std::optional<int> insertInDateOrder(const PlannerRecord& record);
    // Inserts many records at once, each where insertInDateOrder would put
    // it (after existing records with the same key; records with equal keys
    // keep their given order), in one pass over the store. A store not in
    // date order (arranged by hand) gets them at the end. Only as many as
    // fit are inserted; returns how many.
    int insertAllInDateOrder(std::span<const PlannerRecord> records);
    // Inserts at a given position (1 ... recordCount + 1), for the entry grid.
    bool insertRecordAt(int index, const PlannerRecord& record);
    // Removes record i; later records move up.
    void removeRecord(int index);
    // Stable re-sort of the whole store by date order.
    void sortChronologically(ProgressSink* progress = nullptr);

    // The key of record i under the current date order.
    double recordKey(int index) const;
    // Day/month order used for reading dates: follows systemDateStyle.
    DateOrder dateOrder() const;

    bool isFull() const { return recordCount() >= kMaxRecords; }

    // --- plan-wide state -------------------------------------------------
    int currentRecord = 1;
    bool modified = false;
    QString planFileName;
    QString fileDateStyle = kEnglishEuro;
    QString systemDateStyle = kEnglishEuro;
    EditStyle editStyle = EditStyle::HomeAndOffice;
    // Character encoding the plan file was read in, "UTF-8" or
    // "windows-1252"; a save writes it back the same way. New plans use UTF-8.
    QByteArray planEncoding = QByteArrayLiteral("UTF-8");
    QString keepBackups = QStringLiteral("0");
    std::array<QString, 25> fieldLabels; // 1 ... 24; slot 0 unused
    static const std::array<QString, 13>& defaultFieldLabels(); // 1 ... 12

    // --- attachment state ------------------------------------------------
    QString pendingImagePath = kNoAttachment;
    QString currentSoundPath = kNoAttachment;
    QString previousSoundPath = kNoAttachment;
    RecorderState recorderState = RecorderState::Untouched;
    // A plan named at start-up that could not be opened: the settings keep
    // remembering it until another plan is opened, saved or created.
    QString unopenedStartupPlan;

    DeferredDeletions supersededSounds;
    DeferredDeletions recordingsToDeleteOnDiscard;
    DeferredDeletions newRecordings;

    // Folder where the recorder puts its date-stamped recordings; only files
    // there are ever deleted by emptying a deferred-deletion list.
    QString recordingsFolder;
    // Deletes every listed file that is one of our own recordings and
    // empties the list. Other paths (a sound the user picked from disk) are
    // left alone. Returns how many files were deleted.
    int emptyDeletionList(DeferredDeletions& list) const;
    // The same, with `discard` doing away with each own recording (to the
    // trash, say) and saying whether it went.
    int emptyDeletionList(DeferredDeletions& list, const std::function<bool(const QString&)>& discard) const;
    bool isOwnRecording(const QString& path) const;

    // --- history -----------------------------------------------------------
    // Told of every change to the records (null: nobody keeps a history).
    void setJournal(StoreJournal* journal) { journal_.to = journal; }
    StoreJournal* journal() const { return journal_.to; }
    // Undo and redo put records back through these; the journal is not told
    // (RecordStoreUndo.cpp).
    void exchangeRecord(int index, PackedRecord& other);
    PackedRecord takeRecord(int index);
    void putRecord(int index, PackedRecord record);
    // Positions ascending, counted in the store holding the records.
    std::vector<PackedRecord> takeRecords(std::span<const int> positions);
    void putRecords(std::span<const int> positions, std::vector<PackedRecord>&& records);
    // New position i + 1 gets the record at order[i]; `inverse` undoes that.
    void reorder(std::span<const int> order, bool inverse);

private:
    void invalidateKey(int index);
    // Drops every cached key when the date order has changed since they were
    // computed.
    void syncKeyOrder() const;
    // Key of record 1 ... recordCount, computed on first use; the caller has
    // synchronised the date order.
    double cachedKey(int index) const;
    void insertAt(int index, PackedRecord record, double key);
    std::vector<PackedRecord> records_; // slot 0 unused
    // Where the records of the plan as it was read lie; given back when the
    // plan is replaced. Shared by copies of the store, which never write it.
    std::shared_ptr<const RecordBuffer> buffer_;
    mutable std::vector<double> keys_;   // cached keys, NaN = not computed
    mutable DateOrder keyOrder_ = DateOrder::DayFirst;
    // A copy of the store has no history of its own; a store given another
    // whole plan by assignment keeps its history, emptied.
    struct JournalLink {
        StoreJournal* to = nullptr;
        JournalLink() = default;
        JournalLink(const JournalLink&) noexcept {}
        JournalLink& operator=(const JournalLink&);
    };
    JournalLink journal_;
};

// Before an Add or Insert row: shows "Warning, large number of records ..."
// when the plan holds more than 1000 records, and refuses (with a message)
// when it is full. Returns whether the insert may go ahead.
bool checkRoomForInsert(const RecordStore& store, MessageBoxService& messages);

} // namespace zp
