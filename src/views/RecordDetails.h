#pragma once
#include "plan/RecordStore.h"
#include "views/Reminders.h"

#include <QString>
#include <array>
#include <vector>

namespace zp {

// --- record details -----------------------------------------------------------

inline const QString kRecordDetailsCaption = QStringLiteral("Record Details");

// The labelled lines of one record, each ending with CR LF, without a
// heading:
// - the date line, "<Start date label> <date>, <time>", or without the time
//   when the print switch of "Time" is "off" but that of "Start date" is
//   not, and no date line at all when both are "off";
// - always the ten lines finish date, name, phone (ah), phone (bh),
//   message, income, expense, job status, image and audio, each as label,
//   two blanks, value. The job status reads "Done " (with its trailing
//   blank) for a status of exactly "1", else "Pending".
// Labels are those of `labels` (1 ... 12 captions, 13 ... 24 switches).
QString recordDetailsBody(const std::array<QString, 25>& labels, const RecordView& record);

// The Details page text of record `recordNumber`:
// "Planner Record No. 7" CR LF, then the body.
QString recordDetailsText(const RecordStore& store, int recordNumber);

// The details window text of a reminder row:
// "Planner Record Info:" CR LF "No.  7" CR LF (column 0 keeps its leading
// blank), then the body of the row's copied fields.
QString recordDetailsText(const RecordStore& store, const ReminderRow& row);

// What the Details page shows for `currentRecord`: the record is first
// brought into range (0, a negative value or one above the record count
// becomes 1, and stays so in the store). An empty plan shows an empty page.
QString detailsPageText(RecordStore& store);

// The details window text of row `row` (0-based) of the reminders, or
// nothing when the row does not exist or lies beyond the plan's record
// count (the window is then left as it is).
std::optional<QString> recordInfoText(const RecordStore& store, const ReminderList& reminders, int row);

// --- phone book ---------------------------------------------------------------

inline const QString kPhoneBookCaption = QStringLiteral("Zorvik Phone Book");
// The window never becomes smaller than this, in either direction.
constexpr int kPhoneBookMinSizeTwips = 3000;
// Narrowest column; columns widen with the grid beyond 6.2 x this.
constexpr int kPhoneBookMinColumnTwips = 2000;

struct PhoneBookRow {
    QString name;  // "Smith      " (the name and six blanks)
    QString phone; // "(AH) 432 (BH) None"
    friend bool operator==(const PhoneBookRow&, const PhoneBookRow&) = default;
};

struct PhoneBook {
    PhoneBookRow heading{QStringLiteral("Name"), QStringLiteral("Phone")};
    std::vector<PhoneBookRow> rows; // below the heading row
};

// The entry of one record, "<name>      *(AH) <phone ah> (BH) <phone bh>",
// with "None" standing in for each empty field.
QString phoneBookEntry(const RecordView& record);

// The grid rows of one entry: one per "*" among its characters except the
// last four. The first cell is everything before that "*", the second
// everything after it. An ordinary entry has exactly one "*" (the one
// between name and phones) and gives one row; every "*" in a name or a
// phone number gives an extra row cut at that point. A "*" among the last
// four characters (a business phone ending in one) cuts nothing.
std::vector<PhoneBookRow> phoneBookRows(const QString& entry);

// The phone book of the whole plan: the entries of all records sorted
// alphabetically as whole texts, so by name first; letter case is ignored
// (the texts are compared character by character after case folding) and
// entries that compare equal keep store order. Each entry then gives its
// rows. An empty plan gives the heading alone.
PhoneBook buildPhoneBook(const RecordStore& store);

// Width of each of the two columns for a grid `gridWidthTwips` wide:
// 2000 twips while the grid is narrower than 6.2 x 2000, else the grid's
// width / 3.2, rounded to the nearest twip.
int phoneBookColumnWidth(int gridWidthTwips);

} // namespace zp
