#pragma once
// Record entry and editing: the entry panel (New, Add, Change, Remove, the
// record scroll bar, picture attachment), the entry grid (Insert row, Delete
// row, cell commit, double-click), the date checks of the start and finish
// date fields and the edit-style and label commands. Plain values in, plain
// values out: the main window keeps the widgets, hands their texts in and
// applies the returned outcome to them. Its questions and warnings go
// through the MessageBoxService it is given, never to Qt directly.

#include "plan/RecordStore.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <chrono>
#include <functional>
#include <optional>

namespace zp {

class Clock;
class FileDialogs;
class MessageBoxService;

// --- texts ------------------------------------------------------------------

inline const QString kPlannerRecordTitle = QStringLiteral("Planner Record");
inline const QString kControlPanelNote =
    QStringLiteral("Note: Use the control panel to set the date format specific to your country.");
// Entry panel (Add, Change and the start and finish date fields).
inline const QString kDateFormatMessage =
    QStringLiteral("Date format not correct. Please re-enter.") + QStringLiteral("\n") + kControlPanelNote;
// Entry grid.
inline const QString kGridDateFormatMessage =
    QStringLiteral("Date format not correct. Please re-enter (e.g. 1/1/98).") + QStringLiteral("\n") + kControlPanelNote;
inline const QString kStartAfterFinishWarning = QStringLiteral("Warning, start date is greater than finish date");
inline const QString kStartAfterFinishTitle = QStringLiteral("Zorvik Planner Edit");
inline const QString kChangeErrorMessage = QStringLiteral("Error changing record");
inline const QString kChangeErrorTitle = QStringLiteral("Zorvik Planner edit");
inline const QString kResortQuestion =
    QStringLiteral("This style of editing will re-sort your records list into chronological order.")
    + QStringLiteral("\n\r") + QStringLiteral("Do you wish to continue...");
inline const QString kEditStyleTitle = QStringLiteral("Zorvik Planner Edit Style");
inline const QString kUsePictureFromImageBox =
    QStringLiteral("Use this picture - if yes, do ADD or CHANGE in EDIT window");
inline const QString kUsePictureFromImageButton =
    QStringLiteral("Use this picture, if so remember to click ADD or CHANGE");
inline const QString kAddImageTitle = QStringLiteral("Add Image");
inline const QString kLoadImageTitle = QStringLiteral("Load Image");
inline const QString kLoadImageFilter =
    QStringLiteral("All files (*.*) |*.*|Bitmap Files (*.bmp) |*.BMP|Icon Files (*.ico) |*.ICO|");
inline const QString kLoadSoundTitle = QStringLiteral("Load Sound");
inline const QString kLoadSoundFilter = QStringLiteral("All files (*.*) |*.*|Wave Files (*.wav) |*.WAV|");

// --- values -----------------------------------------------------------------

// A record field is one line of the plan file, so no stored value may hold
// a line break: pasted text loses its carriage returns and line feeds.
QString singleLine(const QString& text);

// The texts of the entry panel and its "Done" box.
struct EntryFields {
    QString text2;  // start date (field 1)
    QString text3;  // time (2)
    QString text5;  // name (3)
    QString text6;  // phone after hours (4)
    QString text7;  // phone business hours (5)
    QString text8;  // income (7)
    QString text9;  // expense (8)
    QString text10; // message (6)
    QString text11; // finish date (12)
    bool done = false; // Check1: field 9 is "1"
    friend bool operator==(const EntryFields&, const EntryFields&) = default;
};

EntryFields entryFieldsOf(const RecordView& record);

// Which label caption each entry-panel label shows.
struct EntryPanelLabel {
    const char* control;
    int label; // index into fieldLabels
};
const std::array<EntryPanelLabel, 9>& entryPanelLabels();

// --- the entry grid ---------------------------------------------------------

constexpr int kGridColumns = 13;
// The field shown in grid column 1 ... 12 (name, start date, finish date,
// income, expense, time, phone ah, phone bh, status, message, image, audio);
// 0 for column 0 (the record number) and anything outside the grid.
int gridColumnField(int column);

// The grid's whole content: row 0 the print switches (labels 13 ... 24),
// row 1 "No." and the captions (labels 1 ... 12), then one row per record,
// column 0 its number with a leading blank. Every row has 13 cells.
QList<QStringList> entryGridRows(const RecordStore& store);

// The row to select after filling the grid: the current record's row. A
// current record of 0 or less becomes 1 first. -1 for an empty plan.
int entryGridCurrentRow(RecordStore& store);

// --- date entry checks --------------------------------------------------------

struct DateFieldCheck {
    bool valid = false;
    QString text; // what the field shows afterwards: re-rendered when valid
};

// Leaving the start date field or pressing Enter in it. A text that is no
// date gets the date message and is kept as typed. A start after a non-empty
// finish date gets a warning and still passes. A date is re-rendered
// "dd/mm/yyyy" or "mm/dd/yyyy", as the system's date style has it; one
// typed without a year takes the year of `today` (when valid).
DateFieldCheck checkStartDateField(const QString& text2, const QString& text11, const QString& systemDateStyle,
                                   MessageBoxService& messages, const QDate& today = QDate());
// The same for the finish date field, except that an empty finish date
// passes silently: the record has none.
DateFieldCheck checkFinishDateField(const QString& text2, const QString& text11, const QString& systemDateStyle,
                                    MessageBoxService& messages, const QDate& today = QDate());

// --- the editor -----------------------------------------------------------------

// The entry panel's record scroll bar: maximum recordCount (1 when empty),
// value the current record.
struct ScrollState {
    int maximum = 1;
    int value = 1;
    friend bool operator==(const ScrollState&, const ScrollState&) = default;
};

// What the window does after a command, in this order: set VScroll1 from
// `scroll` (with its change signal blocked: the command has already done
// what moving the bar would do), clear what is to be cleared, show the
// record or fill the grid, set Text4 and the current grid cell, rebuild the
// records list.
struct EditOutcome {
    bool done = false;            // the command acted (false: refused or nothing to do)
    bool refreshList = false;     // rebuildRecordsList
    bool showRecord = false;      // showRecordInEntryFields
    bool clearFields = false;     // empty the entry fields, untick Check1
    bool clearPicture = false;    // Image1 shows no picture
    bool fillGrid = false;        // fillEntryGrid
    bool applyLabels = false;     // entry-panel labels and grid row 1 from fieldLabels
    bool applyEditStyle = false;  // menu ticks and Edit page face from editStyle
    bool relayout = false;        // layoutMainWindow
    std::optional<int> recordPage; // switch the record tabs to this page
    std::optional<QString> text4;    // new text of Text4
    std::optional<QString> cellText; // new text of the grid's current cell
    std::optional<int> gridColumn;   // move the grid's current column
    bool focusText4 = false;
    ScrollState scroll;           // VScroll1 after the command
};

// What the entry panel shows for the current record.
struct RecordDisplay {
    bool empty = true;          // no records: entry fields emptied, picture cleared
    EntryFields fields;
    bool pictureShown = false;  // the picture of field 10 is in Image1; else clear it
    ScrollState scroll;
};

// Asked whether an attachment can be used: the picture loaded and shown in
// Image1, the sound handed to the player. A missing callback says yes.
using AttachmentCheck = std::function<bool(const QString& path)>;

enum class PictureEntry { ImageBox, ImageButton };

struct PictureHooks {
    // Loads the file and shows it in Image1; false when it cannot be read
    // (missing, not a picture, too large).
    AttachmentCheck loadAndShow;
    // Around the "Add Image" question: the Image button shows the Image page
    // (2) while it asks and the Edit page (3) again afterwards.
    std::function<void()> beforeQuestion;
    std::function<void()> afterQuestion;
};

class RecordEditor {
public:
    // `clock` (may be null) gives the year a date typed without one takes.
    RecordEditor(RecordStore& store, MessageBoxService& messages, const Clock* clock = nullptr);

    // --- entry panel ---
    // showRecordInEntryFields: the current record (brought into 1 ...
    // recordCount) with its picture and sound. A picture or sound that
    // cannot be used is forgotten: the pending path and the record's field
    // become "plandefault", silently.
    RecordDisplay showRecordInEntryFields(const AttachmentCheck& loadPicture = {},
                                          const AttachmentCheck& useSound = {});
    // The entry panel coming into view (the Edit page shown, a plan opened):
    // the bar is set to the plan (maximum 1 and record 1 for an empty plan; a
    // current record outside the plan becomes 1), then the record is shown.
    RecordDisplay showEntryPanel(const AttachmentCheck& loadPicture = {}, const AttachmentCheck& useSound = {});
    // VScroll1 moved by the user.
    EditOutcome scrollMoved(int value);
    EditOutcome newRecord();
    EditOutcome addRecord(const EntryFields& fields);
    EditOutcome change(const EntryFields& fields);
    EditOutcome removeCurrentRecord();
    // Clicking Image1 or the "Image" button: choose a picture for the next
    // Add or Change.
    // Cancelling the dialog or declining the picture keeps the picture the
    // record had.
    EditOutcome attachPicture(PictureEntry entry, FileDialogs& dialogs, const PictureHooks& hooks);
    // "No picture": the next Add or Change stores the record without one.
    EditOutcome removePicture();

    // --- entry grid (rows and columns as in the grid; `selectedRow` the
    // grid's current row) ---
    EditOutcome insertRow(int selectedRow, QDate today);
    EditOutcome deleteRow(int selectedRow);
    // Enter in Text4 with the grid's current cell at (row, column).
    EditOutcome commitGridCell(int row, int column, const QString& text4);
    EditOutcome doubleClickGrid(int row, int column, FileDialogs& dialogs);
    // "No picture" / "No sound" on a cell of the picture or sound column.
    EditOutcome removeGridAttachment(int row, int column);

    // --- menu commands ---
    EditOutcome switchToHomeAndOffice(ProgressSink* progress = nullptr);
    EditOutcome switchToProjectPlanning();
    EditOutcome setLabelsToDefault();
    // "&Edit records": `selectedLine` the records list's selected line, -1
    // for none.
    EditOutcome editRecords(int selectedLine);

    // The scroll bar as the editor last left it. The window sets VScroll1
    // only from outcomes; should it set it itself, it tells the editor.
    const ScrollState& scroll() const { return scroll_; }
    void setScroll(const ScrollState& scroll) { scroll_ = scroll; }
    // Raised while Change moves the record, when moving the bar must not
    // show another record.
    bool changeInProgress() const { return changeInProgress_; }

private:
    std::optional<int> addEntry(const EntryFields& fields);
    bool validStartDate(const QString& text2);
    std::optional<std::chrono::year> currentYear() const;
    QString withCurrentYear(const QString& date) const;
    bool isDataRow(int row) const;
    // Back to the picture the record had before a declined choice.
    void restorePicture(const QString& previous, const PictureHooks& hooks, EditOutcome& out);
    EditOutcome outcome() const;

    RecordStore& store_;
    MessageBoxService& messages_;
    const Clock* clock_ = nullptr;
    ScrollState scroll_;
    bool changeInProgress_ = false;
};

} // namespace zp
