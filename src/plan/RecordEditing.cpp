#include "plan/RecordEditing.h"

#include "plan/DateStyle.h"
#include "plan/HistorySteps.h"
#include "plan/TextNumber.h"
#include "ui/Clock.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBox.h"

#include <algorithm>
#include <chrono>

namespace zp {

namespace {

const QLatin1String kDone("1");
const QLatin1String kPending("0");

// Grid columns 1 ... 12 and the fields they show.
constexpr std::array<int, kGridColumns> kColumnFields = {
    0,
    Field::Name, Field::StartDate, Field::FinishDate, Field::Income, Field::Expense, Field::Time,
    Field::PhoneAfterHours, Field::PhoneBusinessHours, Field::JobStatus, Field::Message,
    Field::ImagePath, Field::AudioPath};

constexpr int kStartDateColumn = 2;
constexpr int kFinishDateColumn = 3;
constexpr int kStatusColumn = 9;
constexpr int kImageColumn = 11;
constexpr int kAudioColumn = 12;
constexpr int kCaptionRow = 1;
constexpr int kFirstDataRow = 2;

bool isNoAttachment(const QString& path)
{
    return path.isEmpty() || path == kNoAttachment;
}

bool hasLineBreak(const QString& text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

// A file chosen in a dialog, or nothing when cancelled. A name with a line
// break cannot be kept in the line-oriented plan file, so it counts as a
// failed choice.
std::optional<QString> chooseFile(FileDialogs& dialogs, const QString& title, const QString& filter)
{
    FileDialogRequest request;
    request.title = title;
    request.filter = filter;
    request.filterIndex = 2;
    std::optional<QString> path = dialogs.openFileName(request);
    if (!path || path->isEmpty() || hasLineBreak(*path))
        return std::nullopt;
    return path;
}

QString todayText(QDate today, const QString& systemDateStyle)
{
    const std::chrono::year_month_day ymd{std::chrono::year{today.year()},
                                          std::chrono::month{static_cast<unsigned>(today.month())},
                                          std::chrono::day{static_cast<unsigned>(today.day())}};
    return formatDateTime(dateValue(ymd), datePatternFor(systemDateStyle));
}

PlannerRecord blankDatedRecord(const QString& date)
{
    PlannerRecord r;
    r[Field::StartDate] = date;
    r[Field::FinishDate] = date;
    r[Field::JobStatus] = kPending;
    r[Field::ImagePath] = kNoAttachment;
    r[Field::AudioPath] = kNoAttachment;
    return r;
}

// The start/finish rule as a warning: it never refuses anything.
void warnIfStartAfterFinish(const QString& start, const QString& finish, DateOrder order, MessageBoxService& messages)
{
    if (breaksStartFinishRule(start, finish, order))
        messages.msgBox(kStartAfterFinishWarning, MsgStyle::Exclamation, kStartAfterFinishTitle);
}

enum class DateRole { Start, Finish };

std::optional<std::chrono::year> yearOf(const QDate& today)
{
    if (!today.isValid())
        return std::nullopt;
    return std::chrono::year{today.year()};
}

// A date typed without a year, given the current one in the system's
// pattern; any other text as it is.
QString withYear(const QString& date, const QString& systemDateStyle, std::optional<std::chrono::year> currentYear)
{
    const DateOrder order = dateOrderFor(systemDateStyle);
    if (!currentYear || parseDateTime(date, order) || !parseDateTime(date, order, currentYear))
        return date;
    return renderDateText(date, datePatternFor(systemDateStyle), order, currentYear);
}

// The checks shared by the two date fields and the two date columns: the
// date test (message on failure), the start/finish warning when the other
// date is given, and the re-rendering in the system's pattern. An empty
// finish date passes as it is: the record has none.
DateFieldCheck checkDate(const QString& text, const QString& otherDate, DateRole role, const QString& systemDateStyle,
                         const QString& failureMessage, MessageBoxService& messages,
                         std::optional<std::chrono::year> currentYear)
{
    const DateOrder order = dateOrderFor(systemDateStyle);
    DateFieldCheck result{false, text};
    if (role == DateRole::Finish && text.isEmpty()) {
        result.valid = true;
        return result;
    }
    if (!isDateText(text, order, currentYear)) {
        messages.msgBox(failureMessage, MsgStyle::Exclamation, kPlannerRecordTitle);
        return result;
    }
    if (!otherDate.isEmpty()) {
        const QString date = withYear(text, systemDateStyle, currentYear);
        const QString other = withYear(otherDate, systemDateStyle, currentYear);
        if (role == DateRole::Start)
            warnIfStartAfterFinish(date, other, order, messages);
        else
            warnIfStartAfterFinish(other, date, order, messages);
    }
    result.valid = true;
    result.text = renderDateText(text, datePatternFor(systemDateStyle), order, currentYear);
    return result;
}

} // namespace

// --- values -----------------------------------------------------------------

QString singleLine(const QString& text)
{
    if (!hasLineBreak(text))
        return text;
    QString out = text;
    out.remove(u'\r');
    out.remove(u'\n');
    return out;
}

EntryFields entryFieldsOf(const RecordView& record)
{
    EntryFields f;
    f.text2 = record[Field::StartDate].toString();
    f.text3 = record[Field::Time].toString();
    f.text5 = record[Field::Name].toString();
    f.text6 = record[Field::PhoneAfterHours].toString();
    f.text7 = record[Field::PhoneBusinessHours].toString();
    f.text8 = record[Field::Income].toString();
    f.text9 = record[Field::Expense].toString();
    f.text10 = record[Field::Message].toString();
    f.text11 = record[Field::FinishDate].toString();
    f.done = record.isDone();
    return f;
}

const std::array<EntryPanelLabel, 9>& entryPanelLabels()
{
    static const std::array<EntryPanelLabel, 9> labels = {{
        {"Label4", 1}, {"Label7", 2}, {"Label2", 3}, {"Label8", 4}, {"Label9", 5},
        {"Label5", 6}, {"Label3", 7}, {"Label12", 8}, {"Label6", 10},
    }};
    return labels;
}

// --- the entry grid ---------------------------------------------------------

int gridColumnField(int column)
{
    if (column < 1 || column >= kGridColumns)
        return 0;
    return kColumnFields[static_cast<std::size_t>(column)];
}

QList<QStringList> entryGridRows(const RecordStore& store)
{
    const int count = store.recordCount();
    QList<QStringList> rows;
    rows.reserve(count + 2);

    QStringList switches{QString()};
    QStringList captions{QStringLiteral("No.")};
    for (int col = 1; col < kGridColumns; ++col) {
        switches << store.fieldLabels[static_cast<std::size_t>(12 + col)];
        captions << store.fieldLabels[static_cast<std::size_t>(col)];
    }
    rows << switches << captions;

    for (int r = 1; r <= count; ++r) {
        const RecordView record = store.record(r);
        QStringList row;
        row.reserve(kGridColumns);
        row << plainNumber(r);
        for (int col = 1; col < kGridColumns; ++col)
            row << record[gridColumnField(col)].toString();
        rows << row;
    }
    return rows;
}

int entryGridCurrentRow(RecordStore& store)
{
    const int count = store.recordCount();
    if (count == 0)
        return -1;
    if (store.currentRecord <= 0)
        store.currentRecord = 1;
    return std::min(store.currentRecord, count) + 1;
}

// --- date entry checks --------------------------------------------------------

DateFieldCheck checkStartDateField(const QString& text2, const QString& text11, const QString& systemDateStyle,
                                   MessageBoxService& messages, const QDate& today)
{
    return checkDate(singleLine(text2), singleLine(text11), DateRole::Start, systemDateStyle, kDateFormatMessage,
                     messages, yearOf(today));
}

DateFieldCheck checkFinishDateField(const QString& text2, const QString& text11, const QString& systemDateStyle,
                                    MessageBoxService& messages, const QDate& today)
{
    return checkDate(singleLine(text11), singleLine(text2), DateRole::Finish, systemDateStyle, kDateFormatMessage,
                     messages, yearOf(today));
}

// --- the editor -----------------------------------------------------------------

RecordEditor::RecordEditor(RecordStore& store, MessageBoxService& messages, const Clock* clock)
    : store_(store), messages_(messages), clock_(clock)
{
    scroll_.maximum = std::max(1, store_.recordCount());
    scroll_.value = std::clamp(store_.currentRecord, 1, scroll_.maximum);
}

EditOutcome RecordEditor::outcome() const
{
    EditOutcome out;
    out.scroll = scroll_;
    return out;
}

bool RecordEditor::validStartDate(const QString& text2)
{
    if (isDateText(singleLine(text2), store_.dateOrder(), currentYear()))
        return true;
    messages_.msgBox(kDateFormatMessage, MsgStyle::Exclamation, kPlannerRecordTitle);
    return false;
}

std::optional<std::chrono::year> RecordEditor::currentYear() const
{
    return clock_ ? yearOf(clock_->today()) : std::nullopt;
}

// A date typed without a year is stored with the current one: kept as
// typed it would name another day every year.
QString RecordEditor::withCurrentYear(const QString& date) const
{
    return withYear(date, store_.systemDateStyle, currentYear());
}

bool RecordEditor::isDataRow(int row) const
{
    return row >= kFirstDataRow && row <= store_.recordCount() + 1;
}

RecordDisplay RecordEditor::showRecordInEntryFields(const AttachmentCheck& loadPicture, const AttachmentCheck& useSound)
{
    RecordDisplay display;
    const int count = store_.recordCount();
    if (count == 0) {
        display.scroll = scroll_;
        return display;
    }
    store_.currentRecord = std::clamp(store_.currentRecord, 1, count);
    const int current = store_.currentRecord;
    scroll_ = {count, current};
    display.scroll = scroll_;
    display.empty = false;

    const RecordView record = store_.record(current);
    display.fields = entryFieldsOf(record);

    store_.pendingImagePath = record[Field::ImagePath].toString();
    if (!isNoAttachment(store_.pendingImagePath)) {
        if (!loadPicture || loadPicture(store_.pendingImagePath)) {
            display.pictureShown = true;
        } else {
            store_.pendingImagePath = kNoAttachment;
            store_.setField(Field::ImagePath, current, kNoAttachment);
        }
    }

    store_.currentSoundPath = record[Field::AudioPath].toString();
    if (isNoAttachment(store_.currentSoundPath)) {
        store_.currentSoundPath = kNoAttachment;
    } else if (useSound && !useSound(store_.currentSoundPath)) {
        store_.currentSoundPath = kNoAttachment;
        store_.setField(Field::AudioPath, current, kNoAttachment);
    }
    return display;
}

RecordDisplay RecordEditor::showEntryPanel(const AttachmentCheck& loadPicture, const AttachmentCheck& useSound)
{
    const int count = store_.recordCount();
    if (count == 0) {
        scroll_ = {1, 1};
        store_.currentRecord = 1;
    } else {
        if (store_.currentRecord < 1 || store_.currentRecord > count)
            store_.currentRecord = 1;
        scroll_ = {count, store_.currentRecord};
    }
    return showRecordInEntryFields(loadPicture, useSound);
}

EditOutcome RecordEditor::scrollMoved(int value)
{
    if (changeInProgress_)
        return outcome();
    // A recording made for the record being left and never stored.
    if (store_.recorderState == RecorderState::Recorded)
        store_.newRecordings.add(store_.currentSoundPath);
    store_.recorderState = RecorderState::Untouched;
    store_.currentRecord = value;
    scroll_.value = value;
    EditOutcome out = outcome();
    out.done = true;
    out.showRecord = true;
    return out;
}

EditOutcome RecordEditor::newRecord()
{
    store_.modified = true;
    if (store_.recorderState == RecorderState::Recorded)
        store_.newRecordings.add(store_.currentSoundPath);
    store_.pendingImagePath = kNoAttachment;
    store_.currentSoundPath = kNoAttachment;
    store_.recorderState = RecorderState::Untouched;
    EditOutcome out = outcome();
    out.done = true;
    out.clearFields = true;
    out.clearPicture = true;
    return out;
}

// Add's steps up to the insertion. When no date-order position is found
// nothing changes but `modified`: the recorder's bookkeeping waits for a
// record that really holds the recording.
std::optional<int> RecordEditor::addEntry(const EntryFields& fields)
{
    if (!checkRoomForInsert(store_, messages_))
        return std::nullopt;
    store_.modified = true;
    if (!validStartDate(fields.text2))
        return std::nullopt;
    store_.currentRecord = scroll_.value;

    PlannerRecord record;
    record[Field::StartDate] = withCurrentYear(singleLine(fields.text2));
    record[Field::Time] = singleLine(fields.text3);
    record[Field::Name] = singleLine(fields.text5);
    record[Field::PhoneAfterHours] = singleLine(fields.text6);
    record[Field::PhoneBusinessHours] = singleLine(fields.text7);
    record[Field::Message] = singleLine(fields.text10);
    record[Field::Income] = singleLine(fields.text8);
    record[Field::Expense] = singleLine(fields.text9);
    record[Field::JobStatus] = fields.done ? kDone : kPending;
    record[Field::ImagePath] = singleLine(store_.pendingImagePath);
    // Recorder closed without recording: the record has no sound.
    record[Field::AudioPath] = store_.recorderState == RecorderState::ClosedWithoutRecording ? kNoAttachment : singleLine(store_.currentSoundPath);
    record[Field::FinishDate] = withCurrentYear(singleLine(fields.text11));

    const std::optional<int> at = store_.insertInDateOrder(record);
    if (!at)
        return std::nullopt;

    if (store_.recorderState == RecorderState::ClosedWithoutRecording)
        store_.currentSoundPath = kNoAttachment;
    else if (store_.recorderState == RecorderState::Recorded)
        store_.recordingsToDeleteOnDiscard.add(store_.currentSoundPath);
    scroll_.maximum = store_.recordCount();
    store_.currentRecord = *at;
    scroll_.value = *at;
    store_.recorderState = RecorderState::Untouched;
    return at;
}

EditOutcome RecordEditor::addRecord(const EntryFields& fields)
{
    const HistoryStep step(store_.journal(), historyStepName(kAddStep, singleLine(fields.text5), kAddUnnamedStep));
    const int valueBefore = scroll_.value;
    const std::optional<int> at = addEntry(fields);
    EditOutcome out = outcome();
    if (!at)
        return out;
    out.done = true;
    out.refreshList = true;
    // Moving the bar to the new record shows it, as a move by hand would.
    out.showRecord = scroll_.value != valueBefore;
    return out;
}

EditOutcome RecordEditor::change(const EntryFields& fields)
{
    const int count = store_.recordCount();
    if (count <= 0)
        return outcome();
    if (store_.currentRecord != scroll_.value) {
        messages_.msgBox(kChangeErrorMessage, MsgStyle::Exclamation, kChangeErrorTitle);
        return outcome();
    }
    if (!validStartDate(fields.text2))
        return outcome();
    const HistoryStep step(store_.journal(), historyStepName(kChangeStep, recordName(store_, store_.currentRecord),
                                                              kChangeUnnamedStep));

    // The record leaves the store and comes back through Add at the place its
    // new date gives it. Should Add find no place (a store not in date order)
    // the unchanged record goes back where it was.
    const int old = store_.currentRecord;
    const ScrollState scrollBefore = scroll_;
    const bool modifiedBefore = store_.modified;
    std::optional<PlannerRecord> removed;
    changeInProgress_ = true;
    if (old >= 1 && old <= count) {
        removed = store_.record(old).toRecord();
        store_.removeRecord(old);
        if (scroll_.maximum > 1)
            --scroll_.maximum;
        scroll_.value = std::min(scroll_.value, scroll_.maximum);
    } else {
        messages_.msgBox(kChangeErrorMessage, MsgStyle::Exclamation, kChangeErrorTitle);
    }

    const std::optional<int> at = addEntry(fields);
    changeInProgress_ = false;
    if (!at) {
        if (removed) {
            store_.insertRecordAt(old, *removed);
            store_.currentRecord = old;
            scroll_ = scrollBefore;
            store_.modified = modifiedBefore;
            messages_.msgBox(kChangeErrorMessage, MsgStyle::Exclamation, kChangeErrorTitle);
        }
        return outcome();
    }
    EditOutcome out = outcome();
    out.done = true;
    out.refreshList = true;
    out.showRecord = true;
    return out;
}

EditOutcome RecordEditor::removeCurrentRecord()
{
    store_.modified = true;
    store_.currentRecord = scroll_.value;
    const int current = store_.currentRecord;
    const HistoryStep step(store_.journal(), historyStepName(kRemoveStep, recordName(store_, current), kRemoveUnnamedStep));

    // The removed record's sound is deleted when the plan is next saved; a
    // recording made for it and never stored goes at the next file command.
    switch (store_.recorderState) {
    case RecorderState::Recorded:
        store_.newRecordings.add(store_.currentSoundPath);
        store_.supersededSounds.add(store_.previousSoundPath);
        break;
    case RecorderState::ClosedWithoutRecording:
        store_.supersededSounds.add(store_.previousSoundPath);
        break;
    case RecorderState::Untouched:
        store_.supersededSounds.add(store_.currentSoundPath);
        break;
    }
    store_.recorderState = RecorderState::Untouched;

    const int count = store_.recordCount();
    if (current <= 1 && scroll_.maximum <= 1 && count == 0)
        return outcome();

    EditOutcome out;
    if (current == 1 && scroll_.maximum == 1 && count == 1) {
        store_.pendingImagePath = kNoAttachment;
        store_.currentSoundPath = kNoAttachment;
        store_.clearStore();
        scroll_ = {1, 1};
        out.clearFields = true;
        out.clearPicture = true;
    } else if (current < count) {
        store_.removeRecord(current);
        scroll_.maximum = std::max(1, scroll_.maximum - 1);
        scroll_.value = std::max(1, current);
        out.showRecord = true;
    } else if (current == count) {
        store_.removeRecord(current);
        scroll_.maximum = std::max(1, scroll_.maximum - 1);
        // The bar moves to the record before: showing it follows.
        scroll_.value = scroll_.maximum;
        store_.currentRecord = scroll_.value;
        out.showRecord = true;
    }
    out.done = store_.recordCount() != count;
    out.refreshList = true;
    out.scroll = scroll_;
    return out;
}

EditOutcome RecordEditor::attachPicture(PictureEntry entry, FileDialogs& dialogs, const PictureHooks& hooks)
{
    store_.currentRecord = scroll_.value;
    EditOutcome out = outcome();
    // Cancelling the dialog, or declining the picture, changes nothing: the
    // record keeps the picture it had. "No picture" is how one is removed.
    const QString previous = store_.pendingImagePath;
    const std::optional<QString> path = chooseFile(dialogs, kLoadImageTitle, kLoadImageFilter);
    if (!path)
        return out;
    if (hooks.loadAndShow && !hooks.loadAndShow(*path)) {
        restorePicture(previous, hooks, out);
        return out;
    }
    store_.pendingImagePath = *path;

    if (hooks.beforeQuestion)
        hooks.beforeQuestion();
    const QString& question = entry == PictureEntry::ImageBox ? kUsePictureFromImageBox : kUsePictureFromImageButton;
    const int answer = messages_.msgBox(question, MsgStyle::YesNoQuestion, kAddImageTitle);
    if (hooks.afterQuestion)
        hooks.afterQuestion();

    if (answer == MsgAnswer::Yes)
        out.done = true;
    else
        restorePicture(previous, hooks, out);
    return out;
}

void RecordEditor::restorePicture(const QString& previous, const PictureHooks& hooks, EditOutcome& out)
{
    store_.pendingImagePath = previous;
    if (previous == kNoAttachment || previous.isEmpty() || !hooks.loadAndShow || !hooks.loadAndShow(previous))
        out.clearPicture = true;
}

EditOutcome RecordEditor::removePicture()
{
    store_.currentRecord = scroll_.value;
    EditOutcome out = outcome();
    store_.pendingImagePath = kNoAttachment;
    out.done = true;
    out.clearPicture = true;
    return out;
}

// --- entry grid -------------------------------------------------------------------

EditOutcome RecordEditor::insertRow(int selectedRow, QDate today)
{
    if (!checkRoomForInsert(store_, messages_))
        return outcome();
    store_.modified = true;
    const HistoryStep step(store_.journal(), kInsertRowStep);
    const QString date = todayText(today, store_.systemDateStyle);
    const int count = store_.recordCount();

    EditOutcome out;
    if (count == 0) {
        store_.insertRecordAt(1, blankDatedRecord(date));
        store_.currentRecord = 1;
        out.text4 = date;
        // The edit box shows the date: make the start date the current
        // cell, so that Enter puts it back there and not into the name.
        out.gridColumn = 2;
    } else if (selectedRow >= kFirstDataRow && selectedRow <= count + 1) {
        // The blank record goes before the one selected.
        store_.insertRecordAt(selectedRow - 1, blankDatedRecord(date));
        store_.currentRecord = selectedRow - 1;
    } else {
        return outcome();
    }
    out.done = true;
    out.fillGrid = true;
    out.scroll = scroll_;
    return out;
}

EditOutcome RecordEditor::deleteRow(int selectedRow)
{
    store_.modified = true;
    const int count = store_.recordCount();
    if (count == 0 || !isDataRow(selectedRow))
        return outcome();
    const HistoryStep step(store_.journal(),
                           historyStepName(kDeleteRowStep, recordName(store_, selectedRow - 1), kDeleteRowUnnamedStep));
    store_.removeRecord(selectedRow - 1);
    // After the last row goes, the row above it is the current one.
    store_.currentRecord = std::clamp(selectedRow - 1, 1, std::max(1, store_.recordCount()));
    EditOutcome out = outcome();
    out.done = true;
    out.fillGrid = true;
    return out;
}

EditOutcome RecordEditor::commitGridCell(int row, int column, const QString& text4)
{
    EditOutcome out = outcome();
    QString text = singleLine(text4);

    if (row == kCaptionRow) {
        if (column < 1 || column >= kGridColumns)
            return out;
        store_.fieldLabels[static_cast<std::size_t>(column)] = text;
        out.done = true;
        out.text4 = text;
        out.cellText = text;
        out.applyLabels = true;
        return out;
    }

    const int field = gridColumnField(column);
    if (!isDataRow(row) || field == 0)
        return out;
    const int record = row - 1;

    if (column == kStatusColumn) {
        // The status is toggled by a double-click, not typed: the cell keeps
        // its "0" or "1" and anything else becomes pending.
        const QString& status = store_.field(Field::JobStatus, record);
        text = status == kDone || status == kPending ? status : QString(kPending);
    } else if (column == kStartDateColumn || column == kFinishDateColumn) {
        const bool start = column == kStartDateColumn;
        const QString& other = store_.field(start ? Field::FinishDate : Field::StartDate, record);
        const DateFieldCheck check = checkDate(text, other, start ? DateRole::Start : DateRole::Finish,
                                               store_.systemDateStyle, kGridDateFormatMessage, messages_, currentYear());
        if (!check.valid)
            return out;
        text = check.text;
    }

    const HistoryStep step(store_.journal(), historyStepName(kEditCellStep, recordName(store_, record), kEditCellUnnamedStep));
    store_.setField(field, record, text);
    store_.modified = true;
    out.done = true;
    out.text4 = text;
    out.cellText = text;
    return out;
}

EditOutcome RecordEditor::doubleClickGrid(int row, int column, FileDialogs& dialogs)
{
    store_.modified = true;
    EditOutcome out = outcome();
    // The cell's text: header cells from the labels, data cells from the
    // record they show.
    QString cell;
    if (row == 0 && column >= 1 && column < kGridColumns)
        cell = store_.fieldLabels[static_cast<std::size_t>(12 + column)];
    else if (row == kCaptionRow && column == 0)
        cell = QStringLiteral("No.");
    else if (row == kCaptionRow && column < kGridColumns)
        cell = store_.fieldLabels[static_cast<std::size_t>(column)];
    else if (isDataRow(row) && column == 0)
        cell = plainNumber(row - 1);
    else if (isDataRow(row))
        cell = store_.field(gridColumnField(column), row - 1);
    out.text4 = cell;
    // The caption rows make record 0 (or -1) current; whoever shows the
    // current record takes that as record 1.
    store_.currentRecord = row - 1;

    if (isDataRow(row)) {
        const int record = row - 1;
        const QString name = recordName(store_, record);
        if (column == kStatusColumn) {
            const HistoryStep step(store_.journal(), historyStepName(kStatusStep, name, kStatusUnnamedStep));
            const QString toggled = cell == kDone ? QString(kPending) : QString(kDone);
            store_.setField(Field::JobStatus, record, toggled);
            out.cellText = toggled;
            out.done = true;
        } else if (column == kImageColumn || column == kAudioColumn) {
            const bool image = column == kImageColumn;
            const std::optional<QString> path =
                chooseFile(dialogs, image ? kLoadImageTitle : kLoadSoundTitle, image ? kLoadImageFilter : kLoadSoundFilter);
            // A cancelled dialog leaves the cell as it was.
            if (path) {
                const HistoryStep step(store_.journal(), image ? historyStepName(kPictureStep, name, kPictureUnnamedStep)
                                                               : historyStepName(kSoundStep, name, kSoundUnnamedStep));
                (image ? store_.pendingImagePath : store_.currentSoundPath) = *path;
                store_.setField(image ? Field::ImagePath : Field::AudioPath, record, *path);
                out.cellText = *path;
                out.text4 = *path;
                out.done = true;
            }
        }
    }
    out.gridColumn = 1;
    out.focusText4 = true;
    return out;
}

EditOutcome RecordEditor::removeGridAttachment(int row, int column)
{
    EditOutcome out = outcome();
    if (!isDataRow(row) || (column != kImageColumn && column != kAudioColumn))
        return out;
    const bool image = column == kImageColumn;
    const int field = image ? Field::ImagePath : Field::AudioPath;
    const int record = row - 1;
    if (store_.field(field, record) == kNoAttachment)
        return out;
    // The record's sound goes the way a replaced one does: deleted at the
    // next save when it is one of our recordings and nothing names it then.
    if (!image)
        store_.supersededSounds.add(store_.field(field, record));
    const QString name = recordName(store_, record);
    const HistoryStep step(store_.journal(), image ? historyStepName(kNoPictureStep, name, kNoPictureUnnamedStep)
                                                   : historyStepName(kNoSoundStep, name, kNoSoundUnnamedStep));
    store_.setField(field, record, kNoAttachment);
    store_.modified = true;
    out.cellText = kNoAttachment;
    out.text4 = kNoAttachment;
    out.done = true;
    return out;
}

// --- menu commands ------------------------------------------------------------

EditOutcome RecordEditor::switchToHomeAndOffice(ProgressSink* progress)
{
    EditOutcome out = outcome();
    if (store_.editStyle == EditStyle::HomeAndOffice) {
        out.applyEditStyle = true;
        return out;
    }
    if (messages_.msgBox(kResortQuestion, MsgStyle::YesNoQuestion, kEditStyleTitle) != MsgAnswer::Yes)
        return out;
    const HistoryStep step(store_.journal(), kResortStep);
    store_.sortChronologically(progress);
    // The edit style is written into the plan file: a switch is a change.
    store_.editStyle = EditStyle::HomeAndOffice;
    store_.modified = true;
    out.done = true;
    out.applyEditStyle = true;
    out.relayout = true;
    out.refreshList = true;
    out.showRecord = true;
    return out;
}

EditOutcome RecordEditor::switchToProjectPlanning()
{
    if (store_.editStyle != EditStyle::ProjectPlanning)
        store_.modified = true;
    store_.editStyle = EditStyle::ProjectPlanning;
    EditOutcome out = outcome();
    out.done = true;
    out.applyEditStyle = true;
    out.fillGrid = true;
    return out;
}

EditOutcome RecordEditor::setLabelsToDefault()
{
    const auto& defaults = RecordStore::defaultFieldLabels();
    for (std::size_t i = 1; i < defaults.size(); ++i)
        store_.fieldLabels[i] = defaults[i];
    // The one caption the label editor has always restored differently:
    // its twelfth is "Audio", where a new plan and a first start say "Sound".
    store_.fieldLabels[12] = kLabelEditorSoundCaption;
    EditOutcome out = outcome();
    out.done = true;
    out.applyLabels = true;
    return out;
}

EditOutcome RecordEditor::editRecords(int selectedLine)
{
    store_.currentRecord = (selectedLine < 0 ? 0 : selectedLine) + 1;
    EditOutcome out = outcome();
    out.done = true;
    out.recordPage = 3;
    return out;
}

} // namespace zp
