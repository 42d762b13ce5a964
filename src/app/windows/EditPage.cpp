#include "app/windows/EditPage.h"

#include "accessories/Recorder.h"
#include "app/MainLayout.h"
#include "ui/Hints.h"
#include "ui/PictureFile.h"
#include "views/EntryGridModel.h"
#include "views/RecordCopyText.h"
#include "views/RecordDetails.h"
#include "views/RecordsList.h"

#include <QAction>
#include <QCheckBox>
#include <QFocusEvent>
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
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <iterator>

namespace zp {

namespace {

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

EditPage::EditPage(ProgramState& state, Platform& platform, EditPageHost& host, QTabWidget* tabs, QLabel* image1)
    : QObject(tabs), state_(state), platform_(platform), host_(host), ssTab1_(tabs), image1_(image1)
{
    ssPanel2_ = new QFrame(tabs);
    ssPanel2_->setObjectName(QStringLiteral("SSPanel2"));
    ssPanel2_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    createEntryGrid(tabs);
    text4_ = new QLineEdit(tabs);
    text4_->setObjectName(QStringLiteral("Text4"));
    text4_->setAccessibleName(QStringLiteral("Record entry box"));
    auto* insRow = new QPushButton(QStringLiteral("&Ins row"), tabs);
    insRow->setObjectName(QStringLiteral("Command4"));
    auto* delRow = new QPushButton(QStringLiteral("Del ro&w"), tabs);
    delRow->setObjectName(QStringLiteral("Command5"));
    // The shared picture box is one of the page's controls too: it takes
    // pictures clicked in and carries a hint of its own here.
    for (QWidget* w : std::initializer_list<QWidget*>{image1_, ssPanel2_, grid1_, text4_, insRow, delRow})
        controls_[w->objectName()] = w;
    createEntryPanel(ssPanel2_);
}

EditPage::~EditPage() = default;

QWidget* EditPage::control(const QString& name) const
{
    auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

void EditPage::connectPage()
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
    connect(button("SSCommand1"), &QPushButton::clicked, this, [this] { host_.openRecorder(); });
    image1_->installEventFilter(new ClickFilter([this] { attachPicture(PictureEntry::ImageBox); }, this));
    image1_->setCursor(Qt::PointingHandCursor);
    createRemoveAttachmentActions();

    watchDateFields();
    connectGrid();
    connectMenuCommands();

    attachEditPageHints();
    auto chain = [this](const auto& order) {
        for (std::size_t i = 1; i < std::size(order); ++i)
            QWidget::setTabOrder(control(QString::fromLatin1(order[i - 1])), control(QString::fromLatin1(order[i])));
    };
    chain(kEntryTabOrder);
    chain(kGridTabOrder);
    grid1_->setAccessibleName(kGridHint);
    nameEntryFields();
}

void EditPage::watchDateFields()
{
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
}

void EditPage::connectMenuCommands()
{
    connect(host_.menuAction(QStringLiteral("homeandoffice")), &QAction::triggered, this, [this] {
        applyEditOutcome(editor_->switchToHomeAndOffice(&host_.progressSink()));
        applyEditStyle(); // a No leaves the ticks as the style is, not as the click left them
    });
    connect(host_.menuAction(QStringLiteral("projectplanning")), &QAction::triggered, this, [this] {
        applyEditOutcome(editor_->switchToProjectPlanning());
        applyEditStyle();
    });
    connect(host_.menuAction(QStringLiteral("Settodefault")), &QAction::triggered, this,
            [this] { applyEditOutcome(editor_->setLabelsToDefault()); });
    connect(host_.menuAction(QStringLiteral("Editrecords")), &QAction::triggered, this,
            [this] { applyEditOutcome(editor_->editRecords(host_.selectedListLine())); });
    connect(host_.menuAction(QStringLiteral("copyall")), &QAction::triggered, this,
            [this] { copyAllRecords(state_.store, platform_.clipboard, platform_.messages); });
    connect(host_.menuAction(QStringLiteral("copytoclipboard")), &QAction::triggered, this,
            [this] { copySelectedRecord(state_.store, host_.selectedListLine(), platform_.clipboard, platform_.messages); });
}

void EditPage::nameEntryFields()
{
    for (const CaptionedField& f : kCaptionedFields)
        control(QString::fromLatin1(f.field))
            ->setAccessibleName(static_cast<QLabel*>(control(QString::fromLatin1(f.caption)))->text());
}

void EditPage::attachEditPageHints()
{
    for (const ControlHint& h : kEditPageHints) {
        QWidget* w = control(QString::fromLatin1(h.control));
        // Buttons and labels pass a plain mouse move on to their parents,
        // whose own hints would then replace theirs.
        w->setAttribute(Qt::WA_NoMousePropagation);
        host_.hints().attach(w, QString::fromLatin1(h.hint));
    }
    host_.hints().attach(grid1_, kGridHint);
    host_.hints().attach(grid1_->viewport(), kGridHint);
    host_.hints().attach(ssPanel2_, QStringLiteral("Planner records entry window"));
    // A control that does not follow the mouse swallows the moves over it;
    // the panel's captions pass them on to the panel.
    for (QLabel* caption : ssPanel2_->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        caption->setMouseTracking(true);
}

void EditPage::createEntryPanel(QWidget* panel)
{
    auto label = [this, panel](const char* name, const char* caption) {
        auto* l = new QLabel(QString::fromUtf8(caption), panel);
        l->setObjectName(QString::fromLatin1(name));
        controls_[l->objectName()] = l;
    };
    auto field = [this, panel](const char* name, int maxLength) {
        auto* t = new QLineEdit(panel);
        t->setObjectName(QString::fromLatin1(name));
        t->setMaxLength(maxLength);
        controls_[t->objectName()] = t;
    };
    auto button = [this](QWidget* parent, const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption), parent);
        b->setObjectName(QString::fromLatin1(name));
        controls_[b->objectName()] = b;
    };
    auto* scroll = new QScrollBar(Qt::Vertical, panel);
    scroll->setObjectName(QStringLiteral("VScroll1"));
    scroll->setRange(1, 1);
    scroll->setAccessibleName(QStringLiteral("Record"));
    controls_[scroll->objectName()] = scroll;

    label("Label7", "Start Date");
    field("Text2", 10);
    label("Label5", "Time");
    field("Text3", 10);
    label("Label2", "Finish Date");
    field("Text11", 10);
    label("Label4", "Name, company or job");
    field("Text5", 200);
    label("Label3", "Phone AH");
    field("Text6", 100);
    label("Label12", "Phone BH");
    field("Text7", 100);
    label("Label8", "Income $");
    field("Text8", 100);
    label("Label9", "Expense $");
    field("Text9", 100);
    label("Label6", "Message");
    field("Text10", 255);
    // The message box is one line of text but tall: the text starts at the top.
    static_cast<QLineEdit*>(control(QStringLiteral("Text10")))->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* done = new QCheckBox(QStringLiteral("Done"), panel);
    done->setObjectName(QStringLiteral("Check1"));
    controls_[done->objectName()] = done;
    auto* attachments = new QFrame(panel);
    attachments->setObjectName(QStringLiteral("SSPanel1"));
    attachments->setFrameStyle(QFrame::Panel | QFrame::Raised);
    controls_[attachments->objectName()] = attachments;
    button(attachments, "SSCommand2", "Image");
    button(attachments, "SSCommand1", "Speak");
    button(panel, "Command1", "&New");
    button(panel, "Command2", "&Add");
    button(panel, "Command6", "&Change");
    button(panel, "Command3", "&Remove");
}

// --- outcomes ------------------------------------------------------------------

void EditPage::runEntryCommand(const EditOutcome& out)
{
    // A picture kept for the next Add or Change is used or dropped by any
    // entry-panel command that acts.
    if (out.done)
        attachedPicture_.reset();
    applyEditOutcome(out);
}

void EditPage::applyEditOutcome(const EditOutcome& out, int cellRow, int cellColumn)
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
        host_.rebuildRecordsList();
    if (out.applyLabels)
        applyEntryLabels();
    if (out.applyEditStyle)
        applyEditStyle();
    if (out.relayout)
        host_.layoutMainWindow();
    if (out.recordPage)
        host_.showRecordTab(*out.recordPage);
}

void EditPage::setEntryScroll(const ScrollState& scroll)
{
    auto* bar = static_cast<QScrollBar*>(control(QStringLiteral("VScroll1")));
    const QSignalBlocker block(bar);
    bar->setRange(1, std::max(1, scroll.maximum));
    bar->setValue(scroll.value);
}

void EditPage::resetEntryPanel()
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

EntryFields EditPage::entryFields() const
{
    EntryFields fields;
    for (const EntryField& f : kEntryFields)
        fields.*f.text = static_cast<QLineEdit*>(control(QString::fromLatin1(f.control)))->text();
    fields.done = static_cast<QCheckBox*>(control(QStringLiteral("Check1")))->isChecked();
    return fields;
}

void EditPage::clearEntryFields()
{
    for (const EntryField& f : kEntryFields)
        static_cast<QLineEdit*>(control(QString::fromLatin1(f.control)))->clear();
    static_cast<QCheckBox*>(control(QStringLiteral("Check1")))->setChecked(false);
}

void EditPage::showEntryFields(const RecordDisplay& display)
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

void EditPage::showRecordInEntryFields()
{
    showEntryFields(editor_->showRecordInEntryFields(pictureLoader()));
    host_.playRecordSound(state_.store.currentSoundPath);
}

void EditPage::checkEntryDate(bool startDate)
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

// --- labels, style and pages ----------------------------------------------------------

void EditPage::applyEntryLabels()
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

void EditPage::switchToProjectStyle()
{
    applyEditOutcome(editor_->switchToProjectPlanning());
    applyEditStyle();
    host_.showRecordTab(kEditPage);
    fillEntryGrid();
}

void EditPage::tickEditStyle()
{
    const EditStyle style = state_.store.editStyle;
    host_.setMenuTick(QStringLiteral("homeandoffice"), style == EditStyle::HomeAndOffice);
    host_.setMenuTick(QStringLiteral("projectplanning"), style == EditStyle::ProjectPlanning);
}

void EditPage::applyEditStyle()
{
    tickEditStyle();
    if (host_.editPageShowing())
        showEditFace();
}

void EditPage::showEditFace()
{
    const bool panel = state_.store.editStyle == EditStyle::HomeAndOffice;
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

void EditPage::hideEditFace()
{
    for (QWidget* w : std::initializer_list<QWidget*>{ssPanel2_, grid1_, text4_, control(QStringLiteral("Command4")),
                                                      control(QStringLiteral("Command5"))})
        w->hide();
}

void EditPage::showEditPage()
{
    RecordStore& store = state_.store;
    if (store.editStyle == EditStyle::HomeAndOffice) {
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

void EditPage::followRecord(int record)
{
    runEntryCommand(editor_->scrollMoved(record));
}

void EditPage::clearGridEditBox()
{
    text4_->clear();
}

} // namespace zp
