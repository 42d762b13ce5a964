#pragma once
#include "plan/RecordStore.h"

#include <QDate>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>
#include <vector>

namespace zp {

// --- the reminders window -----------------------------------------------------

inline const QString kRemindersCaption = QStringLiteral("Zorvik Planner - This weeks reminders");
inline const QString kNoReminders = QStringLiteral("No reminders for the coming week !");

// Smallest size of the reminders window, and where its buttons sit: "Exit"
// (Command1) is centred 700 twips left of the middle, both buttons have
// their top 380 twips above the inner bottom edge.
constexpr int kRemindersMinWidthTwips = 1200;
constexpr int kRemindersMinHeightTwips = 4000;
constexpr int kRemindersExitLeftOfMiddleTwips = 700;
constexpr int kRemindersButtonsAboveBottomTwips = 380;

// How many days ahead the window looks: records dated 1 ... 7 days after
// today are listed.
constexpr int kReminderDaysAhead = 7;

// One row of the reminder table: the record's number as shown in the
// details window (" 7", with its leading blank) and a copy of the record's
// twelve fields taken when the list was built.
struct ReminderRow {
    QString number;      // column 0
    PackedRecord record; // columns 1 ... 12

    // Columns 0 ... 12; anything else reads as empty.
    QString column(int c) const;
};

// What the reminders window shows and remembers. Line k of `lines` belongs
// to rows[k] and index[k] (row k + 1 and reminder k + 1 in the window's own
// one-based numbering). When nothing is due the single line
// "No reminders for the coming week !" stands alone and rows and index are
// empty, so a press on it finds nothing.
struct ReminderList {
    QStringList lines;            // List1, exactly as shown
    std::vector<ReminderRow> rows; // reminderTable
    std::vector<int> index;       // reminderIndex: store index per line

    bool hasReminders() const { return !index.empty(); }
};

// The line of one record: "Smith, 12/11/1996, 10:30  (Pending)". Name,
// date and time each appear only when not empty; the status is
// " (Done)" for a job status of exactly "1", else " (Pending)".
QString reminderLine(const RecordView& record);

// Whole calendar days from `today` to a start date, read in `order`;
// nothing when the text is no date (a word, a time alone, empty) or today
// is not a valid date.
std::optional<int> daysUntil(const QString& startDate, const QDate& today, DateOrder order);

// Which records the coming week's reminders list: those dated one to seven
// days after `today`, their dates read in `order`. A command that needs only
// the reminders can read just these records of a plan.
class ComingWeek {
public:
    ComingWeek(const QDate& today, DateOrder order);
    bool contains(const RecordView& record) const;

private:
    std::optional<std::chrono::sys_days> today_;
    DateOrder order_;
};

// The coming week's reminders: every record dated one to seven days after
// `today`, in store order. Records dated today, earlier or later than a
// week ahead, and those without a date are left out. The day difference is
// the true number of calendar days, so the turn of a year (leap year or
// not) needs no special care. Dates are read in the store's date order.
ReminderList buildReminderList(const RecordStore& store, const QDate& today);

// The store index of the record shown on a line (0-based list index), or
// nothing for the "No reminders" line and for any index out of range.
std::optional<int> reminderRecordForLine(const ReminderList& list, int lineIndex);

// What a mouse press on a reminder line leads to.
struct ReminderPress {
    int row = 0;    // 0-based row of the list's table (== the line index)
    int record = 0; // store index of the record
    // The sound to play asynchronously, when sound is on and the record has
    // one.
    std::optional<QString> sound;
    // Why that sound cannot be played (its file is missing, a folder, a
    // pipe or a device), for the details window; empty when it can.
    QString soundProblem;
    // The text for the record details window; empty when the row no longer
    // fits the plan (the window is then not shown).
    QString infoText;
};

// A mouse press (any button) on a line: the record's picture and sound
// become the attachments the next Add or Change would store
// (`pendingImagePath`, `currentSoundPath`), its sound is to be played when
// `soundOn` is 1 and the path is neither empty nor "plandefault" (with why
// it cannot be, when its file cannot be opened), and the details window is
// to show the row. Nothing at all happens (and nothing is returned) for
// the "No reminders" line or a line out of range.
std::optional<ReminderPress> pressReminderLine(RecordStore& store, const ReminderList& list, int lineIndex,
                                               double soundOn);

// Where the record details window goes (its frame's top left), given the
// reminders window's frame, the details window's frame size and the screen's
// free area, all in pixels. It stands beside the reminders window, never
// over its list or buttons: to its right, or to its left when the screen
// has no room there; failing both, below or above it. Beside it, it is as
// high up as the reminders window and the screen allow. With no room
// anywhere it goes where most of it shows, on the screen.
QPoint detailsWindowPlace(const QRect& reminders, const QSize& details, const QRect& screen);

} // namespace zp
