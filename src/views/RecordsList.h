#pragma once
#include "plan/DateText.h"
#include "plan/RecordStore.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace zp {

// --- display modes ----------------------------------------------------------

// The display-mode words kept in `displayMode`.
inline const QString kSortByDate = QStringLiteral("sortbydate");
inline const QString kSortByName = QStringLiteral("sortbyname");
inline const QString kSortByTask = QStringLiteral("sortbytask");
inline const QString kSortByDay = QStringLiteral("sortbyday");

// One item of the "&Display" menu. The items are addressed by index 31 ... 34;
// "By da&y" (34) stands first in the menu.
struct DisplayModeItem {
    const char* control; // menu control name
    int index;
    const char* caption;
    const char* shortName; // "date", "name", "task", "day"
    QString word;          // the displayMode word it sets
};

// The four items in index order 31, 32, 33, 34.
const std::array<DisplayModeItem, 4>& displayModeItems();

// Ticks of the four items, in index order, for a mode word: exactly one for
// one of the four words, none for any other word.
std::array<bool, 4> displayModeTicks(const QString& displayMode);

// "date", "name", "task" or "day" to its mode word; nothing for anything else.
std::optional<QString> displayModeFromShortName(QStringView shortName);

// How a line is laid out. A mode word that is none of the four (a damaged
// settings file) lays out the status alone.
enum class LineLayout { ByDate, ByName, ByTask, ByDay, StatusOnly };
LineLayout lineLayoutOf(const QString& displayMode);

// --- list lines -------------------------------------------------------------

// Where the text of one field lies in a list line: field 1 ... 12, or 0 for
// the weekday the day layout shows before the start date.
struct LineSpan {
    int field = 0;
    qsizetype start = 0;
    qsizetype length = 0;
    friend bool operator==(const LineSpan&, const LineSpan&) = default;
};

// Appends the list line of a record to `line`. `order` is the day/month
// order used to read the start date for the weekday of the day layout.
// With `spans`, the place of every field text shown is added to it, in the
// order they appear (the labels and separators around them are no field's).
void appendRecordListLine(QString& line, const RecordView& record, LineLayout layout, DateOrder order,
                          std::vector<LineSpan>* spans = nullptr);

// The list line of one record, e.g. in the date layout
// "05/11/1996, 10:30  - Smith, Quote (I:$120) (AH:432) (Pending) ".
QString recordListLine(const RecordView& record, const QString& displayMode, DateOrder order);
QString recordListLine(const RecordView& record, LineLayout layout, DateOrder order);

// Hands the line of every record to `visit` in store order, row i - 1 for
// record i, dates read in `order`. Every line is made in one reused text, so
// the lines of a whole plan are never held at once; the view is valid only
// during the call.
void forEachRecordsListLine(const RecordStore& store, LineLayout layout, DateOrder order,
                            const std::function<void(int row, QStringView line)>& visit);

// One line per record, line i - 1 for record i, in store order; dates are
// read in the store's current date order.
QStringList buildRecordsListLines(const RecordStore& store, const QString& displayMode);

// --- keyword highlight ------------------------------------------------------

// Whether a line is highlighted for a keyword:
// - an empty keyword or one longer than the line never matches;
// - a keyword exactly as long as the line matches only the identical text,
//   letter case included;
// - a shorter keyword matches when it occurs anywhere in the line, both
//   compared in upper case.
// Upper case is taken character by character, so lengths never change
// ("ß" stays "ß").
bool keywordMatches(QStringView line, QStringView keyword);

// The highlight of every line for a keyword (all false for an empty one).
std::vector<bool> keywordHighlights(const QStringList& lines, const QString& keyword);
// The same for the lines of every record of a store, each line made only
// for the match and dropped again.
std::vector<bool> keywordHighlights(const RecordStore& store, LineLayout layout, DateOrder order,
                                    const QString& keyword);

// --- rebuilding the list ----------------------------------------------------

// Day/month swap applied to the start and finish dates while the
// conversion flag is up.
using DateSwap = std::function<QString(const QString&)>;

// What the records list shows after a rebuild: one row per record, each
// line laid out as `layout` with dates read in `order`. The lines themselves
// are made only when a row is shown.
struct RecordsListContent {
    LineLayout layout = LineLayout::StatusOnly;
    DateOrder order = DateOrder::DayFirst;
    int rowCount = 0;
    std::vector<bool> highlighted; // one per record
};

// What rebuilding the records list does to the data, in order: when
// `convertDates` is set (and `swap` given), fields 1 and 12 of every record
// are first rewritten in place with `swap`; then the layout of
// `displayMode`, the store's date order, one row per record and the keyword
// highlight of each row's line. An empty plan gives no rows. The caller
// hands the result to the list's model in one go and lowers its conversion
// flag afterwards.
RecordsListContent rebuildRecordsListContent(RecordStore& store, const QString& displayMode,
                                             const QString& highlightKeyword, bool convertDates,
                                             const DateSwap& swap);

// --- selecting a line -------------------------------------------------------

// The record a click (or double-click) on a list line makes current: line
// index + 1, where "no line" (-1) counts as the first line.
int recordForListIndex(int index);

// The sound a click plays: `currentSoundPath` when sound is on (1), the plan
// has records and the path is neither empty nor "plandefault".
std::optional<QString> listClickSound(const RecordStore& store, double soundOn);

// Why a record's sound cannot be played, as a status line naming the file
// ("The sound ... cannot be played: It is a folder."), or nothing when its
// file may be opened. The player itself refuses such a file silently, as
// it does the start-up chime; where the user picked the record, this says
// why it stays silent.
std::optional<QString> recordSoundProblem(const QString& path);

// The status line for a picture that cannot be shown; `reason` as the
// picture reader gave it.
QString pictureProblemText(const QString& path, const QString& reason);

// Which picture the Image page shows for a record: the file named by its
// field 10, or nothing when the default picture is to be shown (an empty
// plan, an empty field 10 or "plandefault").
std::optional<QString> imagePagePicturePath(const RecordStore& store, int record);

enum class ImagePagePicture { RecordPicture, DefaultPicture };

// The whole rule of the Image page: `load` is asked to load the record's
// picture and says whether it could. A picture that cannot be loaded is
// forgotten: field 10 of the record becomes "plandefault", silently, and
// the default picture is shown. Without a `load` the picture is taken as
// loadable.
ImagePagePicture chooseImagePagePicture(RecordStore& store, int record,
                                        const std::function<bool(const QString& path)>& load);

} // namespace zp
