// The main window's Edit page: the entry panel with its scroll bar and
// buttons, the entry grid with its edit box and row buttons, picture
// attachment, the date checks of the two date fields, and the edit-style,
// label and copy commands of the menus. The commands themselves live in
// RecordEditor; this file hands them the widgets' texts and shows what they
// did.

#include "app/windows/MainWindow.h"

#include "accessories/Recorder.h"
#include "app/windows/RecordsListView.h"
#include "ui/Hints.h"
#include "ui/PictureFile.h"
#include "views/EntryGridModel.h"
#include "views/RecordCopyText.h"
#include "views/RecordDetails.h"
#include "views/RecordsList.h"

#include <QAction>
#include <QCheckBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <iterator>

namespace zp {

namespace {

constexpr int kEditPage = 3;
constexpr int kImagePage = 2;
// The grid columns of the picture and sound paths.
constexpr int kGridPictureColumn = 11;
constexpr int kGridSoundColumn = 12;

// The fixed cells of the entry grid (the switch row, the caption row and the
// record numbers) look like headings.
class EntryGridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!index.data(EntryGridModel::FixedCellRole).toBool())
            return;
        option->backgroundBrush = option->palette.button();
        option->palette.setColor(QPalette::Text, option->palette.color(QPalette::ButtonText));
        if (index.row() == 1)
            option->font.setBold(true);
    }
};

// Runs a check when a date field is left for another control of the
// program. Focus going to a message box, a menu or another program is not
// leaving the field: the check's own message would otherwise take the focus
// from the next field and run that field's check, and so on.
class FieldLeaveFilter : public QObject {
public:
    FieldLeaveFilter(std::function<void()> onLeave, QObject* parent) : QObject(parent), onLeave_(std::move(onLeave)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                reason != Qt::MenuBarFocusReason)
                onLeave_();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onLeave_;
};

// A click (press and release inside) on a widget that has no click signal.
class ClickFilter : public QObject {
public:
    ClickFilter(std::function<void()> onClick, QObject* parent) : QObject(parent), onClick_(std::move(onClick)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            auto* widget = static_cast<QWidget*>(watched);
            if (mouse->button() == Qt::LeftButton && widget->rect().contains(mouse->position().toPoint()))
                onClick_();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onClick_;
};

struct EntryField {
    const char* control;
    QString EntryFields::*text;
};

// The entry panel's text boxes and the texts they hold.
constexpr EntryField kEntryFields[] = {
    {"Text2", &EntryFields::text2}, {"Text3", &EntryFields::text3}, {"Text5", &EntryFields::text5},
    {"Text6", &EntryFields::text6}, {"Text7", &EntryFields::text7}, {"Text8", &EntryFields::text8},
    {"Text9", &EntryFields::text9}, {"Text10", &EntryFields::text10}, {"Text11", &EntryFields::text11},
};

struct ControlHint {
    const char* control;
    const char* hint;
};

const ControlHint kEditPageHints[] = {
    {"Text2", "The reminder/start date entry box"},
    {"Text11", "The finish date entry box"},
    {"Text3", "The time entry box"},
    {"Text5", "Entry box for person(s), company or job"},
    {"Text6", "After hours phone number entry"},
    {"Text7", "Business hours phone number entry"},
    {"Text8", "Monetary income entry box"},
    {"Text9", "Monetary loss entry box"},
    {"Text10", "Miscellaneous notes entry box"},
    {"Check1", "Status -  Job done or Job pending"},
    {"Command1", "Clear the entry boxes"},
    {"Command2", "Add the current record"},
    {"Command6", "Change the current record"},
    {"Command3", "Remove the current record"},
    {"Command4", "Inserts a row of blank records into the entry grid"},
    {"Command5", "Deletes a row of records from the entry grid"},
    {"Text4", "Record entry box"},
    {"SSCommand1", "Audio comments button - press to record voice notes"},
    {"Image1", "Image entry box - click to load picture. ADD or CHANGE the record immediately in the EDIT window"},
};

// The caption above each entry box, which also names the box to a screen
// reader (the captions are the plan's own labels, so they change with it).
struct CaptionedField {
    const char* caption;
    const char* field;
};
constexpr CaptionedField kCaptionedFields[] = {
    {"Label7", "Text2"}, {"Label5", "Text3"}, {"Label2", "Text11"}, {"Label4", "Text5"}, {"Label3", "Text6"},
    {"Label12", "Text7"}, {"Label8", "Text8"}, {"Label9", "Text9"}, {"Label6", "Text10"},
};

// Tab goes through the Edit page as the eye reads it: row by row, left to
// right (the message box sits below the Done box and the attachments).
constexpr const char* kEntryTabOrder[] = {"VScroll1", "Text2", "Text3", "Text11", "Text5", "Text6", "Text7",
                                          "Text8", "Text9", "Check1", "SSCommand2", "SSCommand1", "Text10",
                                          "Command1", "Command2", "Command6", "Command3"};
constexpr const char* kGridTabOrder[] = {"Command4", "Command5", "Text4", "Grid1"};

const QString kGridHint = QStringLiteral("Record entry grid - click in the grid to make an entry");

} // namespace

// --- building and wiring -------------------------------------------------------

void MainWindow::createEntryGrid()
{
    gridModel_ = new EntryGridModel(kGridColumns, this);
    grid1_ = new QTableView(ssTab1_);
    grid1_->setObjectName(QStringLiteral("Grid1"));
    grid1_->setModel(gridModel_);
    grid1_->setItemDelegate(new EntryGridDelegate(grid1_));
    grid1_->horizontalHeader()->hide();
    grid1_->verticalHeader()->hide();
    // Every row is one line high: a full plan must not be measured row by row.
    grid1_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid1_->verticalHeader()->setDefaultSectionSize(grid1_->fontMetrics().height() + 6);
    grid1_->setWordWrap(false);
    grid1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid1_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid1_->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid1_->installEventFilter(this);
    gridModel_->setRows(entryGridRows(state_.store).mid(0, EntryGridModel::kFixedRows));
}

void MainWindow::connectEditPage()
{
    editor_ = std::make_unique<RecordEditor>(state_.store, platform_.messages, &platform_.clock);
    // The panel covers the grid's edit box and row buttons in the
    // home-and-office face: it must not let them show through.
    ssPanel2_->setAutoFillBackground(true);
    auto button = [this](const char* name) { return static_cast<QPushButton*>(control(QString::fromLatin1(name))); };
    auto* scroll = static_cast<QScrollBar*>(control(QStringLiteral("VScroll1")));

    connect(scroll, &QScrollBar::valueChanged, this, [this](int value) { runEntryCommand(editor_->scrollMoved(value)); });
    connect(button("Command1"), &QPushButton::clicked, this, [this] {
        runEntryCommand(editor_->newRecord());
        // The new record is typed at once, into its first box.
        if (QWidget* first = control(QStringLiteral("Text2")); first->isVisible())
            first->setFocus(Qt::OtherFocusReason);
    });
    connect(button("Command2"), &QPushButton::clicked, this,
            [this] { runEntryCommand(editor_->addRecord(entryFields())); });
    connect(button("Command6"), &QPushButton::clicked, this, [this] { runEntryCommand(editor_->change(entryFields())); });
    connect(button("Command3"), &QPushButton::clicked, this, [this] { runEntryCommand(editor_->removeCurrentRecord()); });
    connect(button("SSCommand2"), &QPushButton::clicked, this, [this] { attachPicture(PictureEntry::ImageButton); });
    connect(button("SSCommand1"), &QPushButton::clicked, this, [this] {
        if (openRecorder_)
            openRecorder_();
    });
    image1_->installEventFilter(new ClickFilter([this] { attachPicture(PictureEntry::ImageBox); }, this));
    image1_->setCursor(Qt::PointingHandCursor);
    createRemoveAttachmentActions();

    // The date fields are checked when Enter is pressed and when they are
    // left. Leaving is checked once the focus has settled, so the message
    // box never opens in the middle of a focus change.
    for (const bool start : {true, false}) {
        auto* field = static_cast<QLineEdit*>(control(QString::fromLatin1(start ? "Text2" : "Text11")));
        connect(field, &QLineEdit::returnPressed, this, [this, start] { checkEntryDate(start); });
        field->installEventFilter(new FieldLeaveFilter(
            [this, field, start] {
                QTimer::singleShot(0, this, [this, field, start] {
                    // Leaving the Edit page is not leaving the field.
                    if (field->isVisible())
                        checkEntryDate(start);
                });
            },
            this));
    }

    connect(button("Command4"), &QPushButton::clicked, this,
            [this] { applyEditOutcome(editor_->insertRow(gridCurrentRow(), platform_.clock.today())); });
    connect(button("Command5"), &QPushButton::clicked, this,
            [this] { applyEditOutcome(editor_->deleteRow(gridCurrentRow())); });
    connect(text4_, &QLineEdit::returnPressed, this, &MainWindow::commitGridCell);
    connect(grid1_, &QTableView::doubleClicked, this, &MainWindow::doubleClickGrid);
    // The edit box always shows the cell it would commit to.
    connect(grid1_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { showCurrentCellInText4(); });

    connect(menuAction(QStringLiteral("homeandoffice")), &QAction::triggered, this, [this] {
        applyEditOutcome(editor_->switchToHomeAndOffice(&progressSink()));
        applyEditStyle(); // a No leaves the ticks as the style is, not as the click left them
    });
    connect(menuAction(QStringLiteral("projectplanning")), &QAction::triggered, this, [this] {
        applyEditOutcome(editor_->switchToProjectPlanning());
        applyEditStyle();
    });
    connect(menuAction(QStringLiteral("Settodefault")), &QAction::triggered, this,
            [this] { applyEditOutcome(editor_->setLabelsToDefault()); });
    connect(menuAction(QStringLiteral("Editrecords")), &QAction::triggered, this,
            [this] { applyEditOutcome(editor_->editRecords(selectedListLine())); });
    connect(menuAction(QStringLiteral("copyall")), &QAction::triggered, this,
            [this] { copyAllRecords(state_.store, platform_.clipboard, platform_.messages); });
    connect(menuAction(QStringLiteral("copytoclipboard")), &QAction::triggered, this,
            [this] { copySelectedRecord(state_.store, selectedListLine(), platform_.clipboard, platform_.messages); });

    attachEditPageHints();
    auto chain = [this](const auto& order) {
        for (std::size_t i = 1; i < std::size(order); ++i)
            setTabOrder(control(QString::fromLatin1(order[i - 1])), control(QString::fromLatin1(order[i])));
    };
    chain(kEntryTabOrder);
    chain(kGridTabOrder);
    grid1_->setAccessibleName(kGridHint);
    nameEntryFields();
}

void MainWindow::nameEntryFields()
{
    for (const CaptionedField& f : kCaptionedFields)
        control(QString::fromLatin1(f.field))
            ->setAccessibleName(static_cast<QLabel*>(control(QString::fromLatin1(f.caption)))->text());
}

void MainWindow::attachEditPageHints()
{
    for (const ControlHint& h : kEditPageHints) {
        QWidget* w = control(QString::fromLatin1(h.control));
        // Buttons and labels pass a plain mouse move on to their parents,
        // whose own hints would then replace theirs.
        w->setAttribute(Qt::WA_NoMousePropagation);
        hints_->attach(w, QString::fromLatin1(h.hint));
    }
    hints_->attach(grid1_, kGridHint);
    hints_->attach(grid1_->viewport(), kGridHint);
}

// --- outcomes ------------------------------------------------------------------

void MainWindow::runEntryCommand(const EditOutcome& out)
{
    // A picture kept for the next Add or Change is used or dropped by any
    // entry-panel command that acts.
    if (out.done)
        attachedPicture_.reset();
    applyEditOutcome(out);
}

void MainWindow::applyEditOutcome(const EditOutcome& out, int cellRow, int cellColumn)
{
    // The command has already done what moving the bar would do.
    setEntryScroll(out.scroll);
    if (out.clearFields)
        clearEntryFields();
    if (out.clearPicture)
        image1_->clear();
    if (out.showRecord)
        showRecordInEntryFields();
    if (out.fillGrid)
        fillEntryGrid();

    if (out.cellText) {
        const int row = cellRow >= 0 ? cellRow : gridCurrentRow();
        const int column = cellColumn >= 0 ? cellColumn : grid1_->currentIndex().column();
        gridModel_->setText(row, column, *out.cellText);
    }
    if (out.text4)
        text4_->setText(*out.text4);
    if (out.gridColumn) {
        // Text4 follows the cell, so an Enter after a double-click commits
        // what the new cell holds rather than the double-clicked cell's text.
        const int row = gridCurrentRow();
        if (row >= 0)
            grid1_->setCurrentIndex(gridModel_->index(row, *out.gridColumn));
    }
    if (out.focusText4)
        text4_->setFocus(Qt::OtherFocusReason);

    if (out.refreshList)
        rebuildRecordsList();
    if (out.applyLabels)
        applyEntryLabels();
    if (out.applyEditStyle)
        applyEditStyle();
    if (out.relayout)
        layoutMainWindow();
    if (out.recordPage)
        showRecordTab(*out.recordPage);
}

void MainWindow::setEntryScroll(const ScrollState& scroll)
{
    auto* bar = static_cast<QScrollBar*>(control(QStringLiteral("VScroll1")));
    const QSignalBlocker block(bar);
    bar->setRange(1, std::max(1, scroll.maximum));
    bar->setValue(scroll.value);
}

void MainWindow::resetEntryPanel()
{
    const RecordStore& store = state_.store;
    ScrollState scroll;
    scroll.maximum = std::max(1, store.recordCount());
    scroll.value = std::clamp(store.currentRecord, 1, scroll.maximum);
    editor_->setScroll(scroll);
    setEntryScroll(scroll);
    attachedPicture_.reset();
    pictureJustAttached_ = false;
}

// --- entry panel -----------------------------------------------------------------

EntryFields MainWindow::entryFields() const
{
    EntryFields fields;
    for (const EntryField& f : kEntryFields)
        fields.*f.text = static_cast<QLineEdit*>(control(QString::fromLatin1(f.control)))->text();
    fields.done = static_cast<QCheckBox*>(control(QStringLiteral("Check1")))->isChecked();
    return fields;
}

void MainWindow::clearEntryFields()
{
    for (const EntryField& f : kEntryFields)
        static_cast<QLineEdit*>(control(QString::fromLatin1(f.control)))->clear();
    static_cast<QCheckBox*>(control(QStringLiteral("Check1")))->setChecked(false);
}

void MainWindow::showEntryFields(const RecordDisplay& display)
{
    setEntryScroll(display.scroll);
    if (display.empty) {
        clearEntryFields();
        image1_->clear();
        return;
    }
    for (const EntryField& f : kEntryFields) {
        auto* field = static_cast<QLineEdit*>(control(QString::fromLatin1(f.control)));
        field->setText(display.fields.*f.text);
        field->setCursorPosition(0); // long texts show their beginning
    }
    static_cast<QCheckBox*>(control(QStringLiteral("Check1")))->setChecked(display.fields.done);
    if (!display.pictureShown)
        image1_->clear();
}

void MainWindow::showRecordInEntryFields()
{
    showEntryFields(editor_->showRecordInEntryFields(pictureLoader()));
    playRecordSound(state_.store.currentSoundPath);
}

void MainWindow::playRecordSound(const QString& path)
{
    if (!shouldPlaySound(state_.settings.soundOn, path))
        return;
    playSound(path);
    if (const auto problem = recordSoundProblem(path))
        hints_->show(*problem);
}

AttachmentCheck MainWindow::pictureLoader()
{
    return [this](const QString& path) { return showPictureInImage1(path); };
}

bool MainWindow::showPictureInImage1(const QString& path, QString* problem)
{
    const std::optional<QPixmap> picture = readPictureFile(path, problem);
    if (!picture)
        return false;
    // Larger pictures are shrunk to the box, keeping their shape.
    const QSize room = image1_->contentsRect().size();
    if (room.width() > 0 && room.height() > 0 && (picture->width() > room.width() || picture->height() > room.height()))
        image1_->setPixmap(picture->scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else
        image1_->setPixmap(*picture);
    return true;
}

void MainWindow::checkEntryDate(bool startDate)
{
    if (checkingDate_)
        return;
    checkingDate_ = true;
    auto* text2 = static_cast<QLineEdit*>(control(QStringLiteral("Text2")));
    auto* text11 = static_cast<QLineEdit*>(control(QStringLiteral("Text11")));
    const QString& style = state_.store.systemDateStyle;
    const QDate today = platform_.clock.today();
    const DateFieldCheck check = startDate
                                     ? checkStartDateField(text2->text(), text11->text(), style, platform_.messages, today)
                                     : checkFinishDateField(text2->text(), text11->text(), style, platform_.messages, today);
    QLineEdit* field = startDate ? text2 : text11;
    if (field->text() != check.text)
        field->setText(check.text);
    checkingDate_ = false;
}

void MainWindow::attachPicture(PictureEntry entry)
{
    PictureHooks hooks;
    // The picture the user chose is the first one loaded; when it cannot be
    // shown the hint panel says why (the one it had is put back silently).
    QString refused;
    bool chosen = true;
    hooks.loadAndShow = [this, &refused, &chosen](const QString& path) {
        QString why;
        const bool shown = showPictureInImage1(path, &why);
        if (!shown && chosen)
            refused = pictureProblemText(path, why);
        chosen = false;
        return shown;
    };
    if (entry == PictureEntry::ImageButton && ssTab1_->currentIndex() == kEditPage) {
        hooks.beforeQuestion = [this] { peekRecordTab(kImagePage); };
        hooks.afterQuestion = [this] { peekRecordTab(kEditPage); };
    }
    const EditOutcome out = editor_->attachPicture(entry, platform_.fileDialogs, hooks);
    if (out.done) {
        attachedPicture_ = state_.store.pendingImagePath;
        pictureJustAttached_ = true;
    } else {
        attachedPicture_.reset();
        pictureJustAttached_ = false;
    }
    applyEditOutcome(out);
    // Refused or unreadable on the Image page: it shows the record's own
    // picture again.
    if (!out.done && ssTab1_->currentIndex() == kImagePage)
        showImagePage();
    if (!refused.isEmpty())
        hints_->show(refused);
}

// Cancelling a picture or sound dialog keeps what the record has; these
// are how an attachment is taken away: "No picture" on the picture of the
// entry panel (its context menu, or the menu key on the "Image" button), and
// "No picture" / "No sound" on a cell of the grid's picture or sound column.
void MainWindow::createRemoveAttachmentActions()
{
    auto* noPicture = new QAction(QStringLiteral("No picture"), this);
    noPicture->setObjectName(QStringLiteral("NoPicture"));
    connect(noPicture, &QAction::triggered, this, [this] {
        attachedPicture_.reset();
        pictureJustAttached_ = false;
        applyEditOutcome(editor_->removePicture());
    });
    for (QWidget* w : {static_cast<QWidget*>(image1_), control(QStringLiteral("SSCommand2"))}) {
        w->setContextMenuPolicy(Qt::ActionsContextMenu);
        w->addAction(noPicture);
    }

    auto* gridNoPicture = new QAction(QStringLiteral("No picture"), this);
    gridNoPicture->setObjectName(QStringLiteral("GridNoPicture"));
    auto* gridNoSound = new QAction(QStringLiteral("No sound"), this);
    gridNoSound->setObjectName(QStringLiteral("GridNoSound"));
    for (QAction* action : {gridNoPicture, gridNoSound}) {
        connect(action, &QAction::triggered, this, [this] {
            const QModelIndex current = grid1_->currentIndex();
            if (current.isValid())
                applyEditOutcome(editor_->removeGridAttachment(current.row(), current.column()), current.row(),
                                 current.column());
        });
    }
    grid1_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid1_, &QWidget::customContextMenuRequested, this, [this, gridNoPicture, gridNoSound](const QPoint& at) {
        const QModelIndex index = grid1_->indexAt(at);
        if (index.isValid())
            grid1_->setCurrentIndex(index);
        const QModelIndex current = grid1_->currentIndex();
        const bool picture = current.isValid() && current.column() == kGridPictureColumn;
        const bool sound = current.isValid() && current.column() == kGridSoundColumn;
        if (!picture && !sound)
            return;
        QMenu menu(grid1_);
        menu.addAction(picture ? gridNoPicture : gridNoSound);
        menu.exec(grid1_->viewport()->mapToGlobal(at));
    });
}

// --- entry grid -------------------------------------------------------------------

int MainWindow::gridCurrentRow() const
{
    const QModelIndex current = grid1_->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void MainWindow::fillEntryGrid()
{
    RecordStore& store = state_.store;
    gridModel_->setRows(entryGridRows(store));
    const int row = entryGridCurrentRow(store);
    if (row >= 0) {
        const QModelIndex current = grid1_->currentIndex();
        const int column = current.isValid() && current.column() >= 1 ? current.column() : 1;
        const QModelIndex at = gridModel_->index(row, column);
        grid1_->setCurrentIndex(at);
        grid1_->scrollTo(at);
    }
    showCurrentCellInText4();
}

void MainWindow::showCurrentCellInText4()
{
    const QModelIndex current = grid1_->currentIndex();
    text4_->setText(current.isValid() ? gridModel_->text(current.row(), current.column()) : QString());
}

void MainWindow::commitGridCell()
{
    const QModelIndex current = grid1_->currentIndex();
    if (!current.isValid())
        return;
    applyEditOutcome(editor_->commitGridCell(current.row(), current.column(), text4_->text()), current.row(),
                     current.column());
}

void MainWindow::doubleClickGrid(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    applyEditOutcome(editor_->doubleClickGrid(index.row(), index.column(), platform_.fileDialogs), index.row(),
                     index.column());
}

// --- labels, style and pages ----------------------------------------------------------

void MainWindow::applyEntryLabels()
{
    const RecordStore& store = state_.store;
    for (const EntryPanelLabel& l : entryPanelLabels())
        static_cast<QLabel*>(control(QString::fromLatin1(l.control)))
            ->setText(store.fieldLabels[static_cast<std::size_t>(l.label)]);
    QStringList captions{QStringLiteral("No.")};
    for (int col = 1; col < kGridColumns; ++col)
        captions << store.fieldLabels[static_cast<std::size_t>(col)];
    gridModel_->setRow(1, captions);
    nameEntryFields();
}

void MainWindow::switchToProjectStyle()
{
    applyEditOutcome(editor_->switchToProjectPlanning());
    applyEditStyle();
    showRecordTab(kEditPage);
    fillEntryGrid();
}

void MainWindow::applyEditStyle()
{
    const int style = state_.store.editStyle;
    setMenuTick(QStringLiteral("homeandoffice"), style == 0);
    setMenuTick(QStringLiteral("projectplanning"), style == 1);
    if (ssTab1_->currentIndex() == kEditPage && currentPage_ == kEditPage)
        showEditFace();
}

void MainWindow::showEditFace()
{
    const bool panel = state_.store.editStyle == 0;
    ssPanel2_->setVisible(panel);
    grid1_->setVisible(!panel);
    // In the home-and-office face the entry panel lies over these; they
    // are off there too, so their access keys cannot insert a row into a
    // plan that must stay in date order.
    for (QWidget* w : std::initializer_list<QWidget*>{text4_, control(QStringLiteral("Command4")),
                                                      control(QStringLiteral("Command5"))}) {
        w->show();
        w->setEnabled(!panel);
    }
}

void MainWindow::hideEditFace()
{
    for (QWidget* w : std::initializer_list<QWidget*>{ssPanel2_, grid1_, text4_, control(QStringLiteral("Command4")),
                                                      control(QStringLiteral("Command5"))})
        w->hide();
}

void MainWindow::showEditPage()
{
    RecordStore& store = state_.store;
    if (store.editStyle == 0) {
        showEntryFields(editor_->showEntryPanel(pictureLoader()));
        if (attachedPicture_) {
            store.pendingImagePath = *attachedPicture_;
            showPictureInImage1(*attachedPicture_);
        }
    } else {
        fillEntryGrid();
    }
    showEditFace();
}

void MainWindow::showRecordDetailsPage()
{
    text1_->setPlainText(detailsPageText(state_.store));
}

void MainWindow::showRecordTab(int page)
{
    if (ssTab1_->currentIndex() == page)
        showRecordPage(page);
    else
        ssTab1_->setCurrentIndex(page);
}

void MainWindow::peekRecordTab(int page)
{
    {
        const QSignalBlocker block(ssTab1_);
        ssTab1_->setCurrentIndex(page);
    }
    if (page == kImagePage) {
        hideEditFace();
        image1_->show();
    } else {
        image1_->hide();
        showEditFace();
    }
}

int MainWindow::selectedListLine() const
{
    const QModelIndex current = viewlist_->currentIndex();
    return current.isValid() ? current.row() : -1;
}

} // namespace zp
