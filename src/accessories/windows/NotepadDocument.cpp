#include "accessories/windows/NotepadDocument.h"

#include "accessories/Notepad.h"
#include "accessories/TextSearch.h"
#include "accessories/windows/NotepadWindow.h"
#include "plan/TextEncoding.h"
#include "plan/WriteTarget.h"
#include "ui/Artwork.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace zp {

namespace {

// The hourglass while a file is read or written.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

NotepadDocument::NotepadDocument(NotepadWindow& frame, int slot, int untitledNumber)
    : frame_(frame), slot_(slot), untitledNumber_(untitledNumber)
{
    setObjectName(QStringLiteral("frmNotePad"));
    setProperty("tag", QString::number(slot));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(documentName());
    setWindowIcon(QIcon(toolbarPicture(QStringLiteral("Image9"))));
    text1_ = new QPlainTextEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setAccessibleName(QStringLiteral("Text"));
    setWidget(text1_);
    text1_->installEventFilter(this);
    connect(text1_, &QPlainTextEdit::textChanged, this, [this] {
        if (!loading_ && !isDirty())
            setDirty(true);
    });
    createMenus();
}

bool NotepadDocument::isDirty() const
{
    return frame_.documentTable().isDirty(slot_);
}

QString NotepadDocument::documentName() const
{
    return filePath_.isEmpty() ? untitledName(untitledNumber_) : documentCaption(filePath_);
}

void NotepadDocument::setDirty(bool dirty)
{
    frame_.documentTable().setDirty(slot_, dirty);
    setWindowTitle(markedCaption(documentName(), dirty));
}

void NotepadDocument::createMenus()
{
    struct Item {
        const char* name;
        const char* caption;
        const char* shortcut;
        void (NotepadDocument::*run)();
    };
    auto addMenu = [this](const char* name, const char* caption, std::initializer_list<Item> items) {
        auto* menu = new QMenu(QString::fromLatin1(caption), this);
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        for (const Item& item : items) {
            if (!item.name) {
                menu->addSeparator();
                continue;
            }
            QAction* a = menu->addAction(QString::fromLatin1(item.caption));
            a->setObjectName(QString::fromLatin1(item.name));
            if (*item.shortcut)
                a->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
            actions_[a->objectName()] = a;
            if (item.run)
                connect(a, &QAction::triggered, this, [this, run = item.run] { (this->*run)(); });
        }
        menus_ << menu;
        return menu;
    };
    using D = NotepadDocument;

    // Cut, Copy, Paste, Delete and Select All keep the text box's own keys;
    // a shortcut here would take them from it.
    addMenu("mnuFile", "&File",
            {{"mnuFNew", "&New", "Ctrl+N", nullptr},
             {"mnuFOpen", "&Open...", "Ctrl+O", nullptr},
             {"mnuFClose", "&Close", "Ctrl+F4", nullptr},
             {"mnuFSave", "&Save", "Ctrl+S", nullptr},
             {"mnuFSaveAs", "Save &As...", "", nullptr},
             {nullptr, nullptr, nullptr, nullptr},
             {"mnuFExit", "E&xit", "", nullptr}});
    addMenu("mnuEdit", "&Edit",
            {{"mnuEUndo", "&Undo", "", nullptr},
             {"mnuERedo", "&Redo", "", nullptr},
             {nullptr, nullptr, nullptr, nullptr},
             {"mnuECut", "Cu&t", "", &D::cut},
             {"mnuECopy", "&Copy", "", &D::copy},
             {"mnuEPaste", "&Paste", "", &D::paste},
             {"mnuEDelete", "De&lete", "", &D::deleteSelection},
             {nullptr, nullptr, nullptr, nullptr},
             {"mnuESelectAll", "Select &All", "", &D::selectAll},
             {"mnuETime", "Time/&Date", "F5", &D::insertTimeDate}});
    addMenu("mnuSearch", "&Search",
            {{"mnuSFind", "&Find", "Ctrl+F", nullptr}, {"mnuSFindNext", "Find &Next", "F3", nullptr}});
    QMenu* options = addMenu("mnuOptions", "&Options", {{"mnuOToolbar", "&Toolbar", "", nullptr}});
    addMenu("mnuWindow", "&Window",
            {{"mnuWCascade", "&Cascade", "", nullptr},
             {"mnuWTile", "&Tile", "", nullptr},
             {"mnuWArrange", "&Arrange Icons", "", nullptr}});

    NotepadWindow& f = frame_;
    connect(actions_["mnuFNew"], &QAction::triggered, &f, [&f] { f.newDocument(); });
    connect(actions_["mnuFOpen"], &QAction::triggered, &f, [&f] { f.openDocument(); });
    connect(actions_["mnuFClose"], &QAction::triggered, this, &QWidget::close);
    connect(actions_["mnuFSave"], &QAction::triggered, this, [this] { save(); });
    connect(actions_["mnuFSaveAs"], &QAction::triggered, this, [this] { saveAs(); });
    connect(actions_["mnuFExit"], &QAction::triggered, &f, [&f] { f.closeNotepad(); });
    connect(actions_["mnuSFind"], &QAction::triggered, &f, [&f] { f.showFindDialog(); });
    connect(actions_["mnuSFindNext"], &QAction::triggered, &f, [&f] { f.findNext(); });
    connect(actions_["mnuWCascade"], &QAction::triggered, &f, [&f] { f.cascadeDocuments(); });
    connect(actions_["mnuWTile"], &QAction::triggered, &f, [&f] { f.tileDocuments(); });
    connect(actions_["mnuWArrange"], &QAction::triggered, &f, [&f] { f.arrangeIcons(); });
    // The text box's own undo stack, with the system's keys (the text box
    // takes them while it has the focus); Ctrl+Y redoes everywhere.
    QAction* undo = actions_["mnuEUndo"];
    QAction* redo = actions_["mnuERedo"];
    undo->setShortcuts(QKeySequence::Undo);
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y)))
        redoKeys << QKeySequence(Qt::CTRL | Qt::Key_Y);
    redo->setShortcuts(redoKeys);
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(undo, &QAction::triggered, text1_, &QPlainTextEdit::undo);
    connect(redo, &QAction::triggered, text1_, &QPlainTextEdit::redo);
    connect(text1_, &QPlainTextEdit::undoAvailable, undo, &QAction::setEnabled);
    connect(text1_, &QPlainTextEdit::redoAvailable, redo, &QAction::setEnabled);

    QAction* toolbar = actions_["mnuOToolbar"];
    toolbar->setCheckable(true);
    connect(options, &QMenu::aboutToShow, this, [this, toolbar] { toolbar->setChecked(frame_.toolbarVisible()); });
    connect(toolbar, &QAction::triggered, &f, [&f] { f.setToolbarVisible(!f.toolbarVisible()); });
}

QAction* NotepadDocument::menuAction(const QString& name) const
{
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

bool NotepadDocument::eventFilter(QObject* watched, QEvent* event)
{
    // Shift+Enter would put a line separator (U+2028) into the line, which
    // the file would keep as that character; it starts a new line instead.
    if (watched == text1_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && (key->modifiers() & Qt::ShiftModifier)) {
            text1_->textCursor().insertBlock();
            text1_->ensureCursorVisible();
            return true;
        }
    }
    return QMdiSubWindow::eventFilter(watched, event);
}

QStringList NotepadDocument::lines() const
{
    // A block's own text, not toPlainText(), which turns no-break spaces
    // into spaces and line separators into line feeds.
    QStringList lines;
    const QTextDocument* document = text1_->document();
    lines.reserve(document->blockCount());
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}

void NotepadDocument::setContent(const TextFileContent& content, const QString& path, const FileFingerprint& disk,
                                 const std::function<void(int)>& progress)
{
    // Pieces of a megabyte or so keep the window painting its progress.
    constexpr qsizetype kPiece = 1 << 20;
    loading_ = true;
    if (content.text.size() <= kPiece || !progress) {
        text1_->setPlainText(content.text);
    } else {
        text1_->setReadOnly(true);
        text1_->clear();
        QTextDocument* document = text1_->document();
        document->setUndoRedoEnabled(false);
        QTextCursor end(document);
        qsizetype done = 0;
        for (QStringView piece : textPieces(content.text, kPiece)) {
            end.movePosition(QTextCursor::End);
            end.insertText(piece.toString());
            done += piece.size();
            progress(int(done * 100 / content.text.size()));
        }
        document->setUndoRedoEnabled(true);
        text1_->setReadOnly(false);
        text1_->moveCursor(QTextCursor::Start);
    }
    loading_ = false;
    filePath_ = path;
    format_ = content.format;
    layout_ = TextFileLayout(content);
    disk_ = disk;
    setDirty(false);
}

bool NotepadDocument::save()
{
    if (filePath_.isEmpty()) {
        const std::optional<QString> name = frame_.askSaveName();
        if (!name)
            return false;
        return saveTo(*name);
    }
    return saveTo(filePath_);
}

bool NotepadDocument::saveAs()
{
    const std::optional<QString> name = frame_.askSaveName();
    return name && saveTo(*name);
}

bool NotepadDocument::saveTo(const QString& path)
{
    MessageBoxService& messages = frame_.platform().messages;
    if (const std::optional<QString> problem = writeTargetProblem(path, frame_.openPlanFile())) {
        messages.msgBox(cannotSaveMessage(path, *problem), MsgStyle::Exclamation, kNotepadCaption);
        return false;
    }
    if (const std::optional<QString> problem = readOnlyProblem(path)) {
        if (messages.msgBox(readOnlyQuestion(path, *problem), MsgStyle::YesNoQuestion, kNotepadCaption)
            != MsgAnswer::Yes)
            return false;
        return saveAs();
    }
    if (!filePath_.isEmpty() && sameFile(path, filePath_) && changedOnDisk(path, disk_)) {
        const int answer = messages.msgBox(changedOnDiskQuestion(path), MsgStyle::YesNoQuestion | kSecondButtonDefault,
                                           kNotepadCaption);
        if (answer != MsgAnswer::Yes)
            return false;
    }
    QString error;
    const QStringList text = lines();
    const std::vector<LineBreak> breaks = layout_.breaksFor(text, format_.newLineBreak);
    TextFileFormat written = format_;
    const QByteArray bytes = encodeTextFile(text, breaks, format_, &written.encoding);
    // Every line not edited would change too: only when the user agrees.
    if (written.encoding != format_.encoding
        && messages.msgBox(wholeFileAsUtf8Question(path), MsgStyle::YesNoQuestion, kNotepadCaption) != MsgAnswer::Yes)
        return false;
    bool saved = false;
    {
        BusyCursor busy;
        saved = writeFileBytes(path, bytes, &error);
    }
    if (!saved) {
        // A failed save says what the system said, and no more.
        messages.msgBox(error, MsgStyle::Exclamation);
        return false;
    }
    if (written.encoding != kUtf8Encoding)
        written.byteOrderMark = false;
    format_ = written;
    layout_ = TextFileLayout(text, breaks);
    disk_ = FileFingerprint::of(bytes);
    filePath_ = path;
    frame_.fileUsed(path);
    setDirty(false);
    return true;
}

QString NotepadDocument::selectedText() const
{
    QString s = text1_->textCursor().selectedText();
    s.replace(QChar::ParagraphSeparator, u'\n');
    s.replace(QChar::LineSeparator, u'\n');
    return s;
}

void NotepadDocument::cut()
{
    frame_.platform().clipboard.setText(selectedText());
    text1_->textCursor().removeSelectedText();
}

void NotepadDocument::copy()
{
    frame_.platform().clipboard.setText(selectedText());
}

void NotepadDocument::paste()
{
    text1_->insertPlainText(frame_.platform().clipboard.text());
}

void NotepadDocument::deleteSelection()
{
    QTextCursor cursor = text1_->textCursor();
    if (!cursor.hasSelection()) {
        // Widening looks at no more than the two characters after the
        // caret, so a long text is not copied for it.
        const int start = cursor.position();
        QTextCursor peek(text1_->document());
        peek.setPosition(start);
        peek.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, 2);
        QString after = peek.selectedText();
        after.replace(QChar::ParagraphSeparator, u'\n');
        const TextSpan span = deletionSpan(after, 0, 0);
        if (span.length == 0) // at the very end: nothing goes
            return;
        cursor.setPosition(start + int(span.length), QTextCursor::KeepAnchor);
    }
    cursor.removeSelectedText();
    text1_->setTextCursor(cursor);
}

void NotepadDocument::selectAll()
{
    text1_->selectAll();
}

void NotepadDocument::insertTimeDate()
{
    text1_->insertPlainText(generalDateText(frame_.platform().clock.now()));
}

bool NotepadDocument::settleUnsavedChanges()
{
    if (!isDirty())
        return true;
    const int answer = frame_.platform().messages.msgBox(unsavedChangesMessage(documentName()),
                                                         MsgStyle::YesNoCancelWarning, kNotepadCaption);
    if (answer == MsgAnswer::No)
        return true;
    if (answer != MsgAnswer::Yes)
        return false;
    const std::optional<QString> name = frame_.askSaveName(filePath_);
    // A save that failed keeps the document open, so nothing is lost.
    return name && saveTo(*name);
}

void NotepadDocument::closeSettled()
{
    settled_ = true;
    close();
}

void NotepadDocument::closeEvent(QCloseEvent* event)
{
    if (!settled_ && !settleUnsavedChanges()) {
        event->ignore();
        return;
    }
    settled_ = false;
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted()) {
        closed_ = true;
        frame_.documentTable().release(slot_);
        frame_.documentClosed(this);
    }
}

} // namespace zp
