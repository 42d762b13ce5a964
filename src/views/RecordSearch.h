#pragma once
#include "plan/RecordStore.h"
#include "views/RecordsList.h"

#include <QString>
#include <QStringView>
#include <span>
#include <vector>

namespace zp {

// --- folding ------------------------------------------------------------------

// Find compares texts folded: accents dropped (each character decomposed,
// its combining marks left out) and case folded ("Müller" and "MULLER"
// both fold to "muller", "Straße" to "strasse"). Every character folds on
// its own, so a folded text can be mapped back to the text it came from.
QString foldForFind(QStringView text);

// Appends the folded form of `text` to `out`; for every character added,
// `from` and `to` get where in `text` the character it came from begins and
// ends (the marks dropped after a character count as part of it).
void foldForFindMapped(QStringView text, QString& out, std::vector<qsizetype>& from, std::vector<qsizetype>& to);

// --- searching ----------------------------------------------------------------

// The fields Find looks in: the name, the message, both phones, the dates
// and the time as typed (which is how the list shows them) and the amounts
// as typed. In the day layout the weekday the list shows counts too.
inline constexpr int kFindFields[] = {Field::StartDate, Field::Time,    Field::Name,   Field::PhoneAfterHours,
                                      Field::PhoneBusinessHours, Field::Message, Field::Income, Field::Expense,
                                      Field::FinishDate};

// One Find text, ready to test records with. The text is taken literally:
// no character has a meaning of its own. A text that folds to nothing (an
// empty one, or accents alone) looks for nothing, and every record has it.
class RecordSearch {
public:
    RecordSearch() = default;
    explicit RecordSearch(QStringView text);

    const QString& text() const { return text_; }
    const QString& folded() const { return folded_; }
    bool looksForNothing() const { return folded_.isEmpty(); }
    // Whether every record this search finds is also found by `earlier`
    // (its folded text holds the earlier one's), so it need only look
    // among the earlier finds.
    bool narrows(const RecordSearch& earlier) const { return folded_.contains(earlier.folded_); }

    bool matches(const RecordView& record, LineLayout layout, DateOrder order) const;
    // The records (1 ... recordCount) that match, in store order.
    std::vector<int> find(const RecordStore& store, LineLayout layout, DateOrder order) const;
    // The same among `records` only, which must be records of the store.
    std::vector<int> findAmong(const RecordStore& store, std::span<const int> records, LineLayout layout,
                               DateOrder order) const;

    // Where the text occurs in a record's list line, as (start, length) in
    // the line, within the fields' texts only (never in a label or the
    // status), in order and not overlapping.
    struct Mark {
        qsizetype start = 0;
        qsizetype length = 0;
        friend bool operator==(const Mark&, const Mark&) = default;
    };
    std::vector<Mark> marks(QStringView line, std::span<const LineSpan> spans) const;

private:
    bool fieldsMatch(const RecordView& record, QString& buffer) const;
    bool weekdayMatches(const RecordView& record, DateOrder order) const;

    QString text_;
    QString folded_;
    // The weekdays (bit 0 Sunday ... bit 6 Saturday) whose name has the
    // text: only when there are any does the day layout read the dates.
    unsigned weekdays_ = 0;
};

// --- the find in the records list --------------------------------------------

// "N of M records", for the status bar.
QString findCountText(int found, int total);

// The record Enter and F3 (forward) or Shift+F3 (back) move to among the
// found records: the next one after `current` in store order, going round
// at the end; 0 when nothing is found.
int nextFoundRecord(std::span<const int> found, int current, bool forward);

// What the records list shows while it is narrowed: the text typed so far
// and the records that have it. Typing on narrows the earlier finds rather
// than reading every record again.
class RecordsFind {
public:
    // The records that have `text`, in store order.
    const std::vector<int>& search(const RecordStore& store, LineLayout layout, DateOrder order, QStringView text);
    // The same text looked for afresh: the plan, its layout or its date
    // order has changed.
    const std::vector<int>& refresh(const RecordStore& store, LineLayout layout, DateOrder order);

    const RecordSearch& current() const { return search_; }
    const std::vector<int>& found() const { return found_; }

private:
    RecordSearch search_;
    std::vector<int> found_;
    bool valid_ = false;
    LineLayout layout_ = LineLayout::StatusOnly;
    DateOrder order_ = DateOrder::DayFirst;
};

} // namespace zp
