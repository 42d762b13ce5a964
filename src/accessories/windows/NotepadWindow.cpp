#include "accessories/windows/NotepadWindow.h"

#include "accessories/windows/FindDialog.h"
#include "accessories/windows/NotepadDocument.h"
#include "ui/Artwork.h"
#include "ui/ImageButton.h"
#include "ui/QtPlatform.h"
#include "ui/WindowGeometry.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStyle>
#include <QDir>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>

namespace zp {

namespace {

struct StripButton {
    const char* name;
    const char* tip;
};
constexpr StripButton kStripButtons[] = {
    {"imgFileNewButton", "New"},  {"imgFileOpenButton", "Open"}, {"imgCutButton", "Cut"},
    {"imgCopyButton", "Copy"},    {"imgPasteButton", "Paste"},
};

// The hourglass while a file is read.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

NotepadWindow::NotepadWindow(ProgramState& state, const Platform& platform, QWidget* parent)
    : QMainWindow(parent), state_(state), platform_(platform), twips_(platform.screen)
{
    setObjectName(QStringLiteral("frmMDI"));
    setWindowTitle(kNotepadCaption);
    auto* client = new QWidget(this);
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    createToolStrip();
    column->addWidget(picToolbar_);
    area_ = new QMdiArea(client);
    area_->setObjectName(QStringLiteral("MDIClient"));
    column->addWidget(area_, 1);
    // Shown only while a long file is read in.
    progress_ = new QProgressBar(client);
    progress_->setObjectName(QStringLiteral("ProgressBar1"));
    progress_->setRange(0, 100);
    progress_->hide();
    column->addWidget(progress_);
    setCentralWidget(client);
    createMenus();
    connect(area_, &QMdiArea::subWindowActivated, this, &NotepadWindow::showMenusOf);
    setMinimumSize(twips_.toPixelsX(4500), twips_.toPixelsY(3000));
    updateEditButtons();
}

NotepadWindow::~NotepadWindow()
{
    // The documents go first, while the frame they report to is whole.
    disconnect(area_, nullptr, this, nullptr);
    delete area_;
}

void NotepadWindow::applyFontTo(NotepadDocument& document) const
{
    showInDisplayFont(*document.editor(), state_.settings.font, palette());
}

void NotepadWindow::createToolStrip()
{
    picToolbar_ = new QWidget(this);
    picToolbar_->setObjectName(QStringLiteral("picToolbar"));
    picToolbar_->setAutoFillBackground(true);
    auto* row = new QHBoxLayout(picToolbar_);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(2);
    const int size = 28;
    for (const StripButton& b : kStripButtons) {
        const QString name = QString::fromLatin1(b.name);
        QPixmap normal = toolbarPicture(name);
        if (!normal.isNull())
            normal = normal.scaled(size - 4, size - 4, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        auto* button = new ImageButton(name, normal, pressedLook(normal), picToolbar_);
        button->setFixedSize(size, size);
        button->setAlignment(Qt::AlignCenter);
        button->setToolTip(QString::fromLatin1(b.tip));
        button->setAccessibleName(QString::fromLatin1(b.tip));
        row->addWidget(button);
        buttons_[name] = button;
    }
    row->addStretch(1);

    connect(buttons_["imgFileNewButton"], &ImageButton::clicked, this, [this] { newDocument(); });
    connect(buttons_["imgFileOpenButton"], &ImageButton::clicked, this, [this] { openDocument(); });
    connect(buttons_["imgCutButton"], &ImageButton::clicked, this, [this] {
        if (NotepadDocument* d = activeDocument())
            d->cut();
    });
    connect(buttons_["imgCopyButton"], &ImageButton::clicked, this, [this] {
        if (NotepadDocument* d = activeDocument())
            d->copy();
    });
    connect(buttons_["imgPasteButton"], &ImageButton::clicked, this, [this] {
        if (NotepadDocument* d = activeDocument())
            d->paste();
    });
}

void NotepadWindow::createMenus()
{
    auto add = [this](QMenu* menu, const char* name, const char* caption, const char* shortcut) {
        QAction* a = menu->addAction(QString::fromLatin1(caption));
        a->setObjectName(QString::fromLatin1(name));
        if (*shortcut)
            a->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
        actions_[a->objectName()] = a;
        return a;
    };
    auto* file = new QMenu(QStringLiteral("&File"), this);
    file->setObjectName(QStringLiteral("mnuFile"));
    connect(add(file, "mnuFNew", "&New", "Ctrl+N"), &QAction::triggered, this, [this] { newDocument(); });
    connect(add(file, "mnuFOpen", "&Open", "Ctrl+O"), &QAction::triggered, this, [this] { openDocument(); });
    connect(add(file, "mnuFExit", "E&xit", ""), &QAction::triggered, this, [this] { closeNotepad(); });
    auto* options = new QMenu(QStringLiteral("&Options"), this);
    options->setObjectName(QStringLiteral("mnuOptions"));
    QAction* toolbar = add(options, "mnuOToolbar", "&Toolbar", "");
    toolbar->setCheckable(true);
    connect(options, &QMenu::aboutToShow, this, [this, toolbar] { toolbar->setChecked(toolbarVisible()); });
    connect(toolbar, &QAction::triggered, this, [this] { setToolbarVisible(!toolbarVisible()); });
    frameMenus_ = {file, options};
    showMenusOf(nullptr);
}

QAction* NotepadWindow::menuAction(const QString& name) const
{
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

void NotepadWindow::showMenusOf(QMdiSubWindow* active)
{
    // Leaving the frame for another window deactivates its document too;
    // the menus stay those of the document last active.
    auto* document = qobject_cast<NotepadDocument*>(active);
    if (!document)
        document = activeDocument();
    if (document && document == current_ && !menuBar()->actions().isEmpty())
        return;
    current_ = document;
    menuBar()->clear();
    for (QMenu* menu : document ? document->menus() : frameMenus_)
        menuBar()->addMenu(menu);
}

void NotepadWindow::open()
{
    if (!state_.notepadOpen) {
        table_.reset();
        place_.restore();
        show();
        state_.notepadOpen = true;
    }
    newDocument();
    raise();
    activateWindow();
}

NotepadDocument* NotepadWindow::addDocument()
{
    const QList<NotepadDocument*> open = documents();
    std::vector<int> untitled;
    for (NotepadDocument* d : open)
        untitled.push_back(d->untitledNumber());
    auto* document = new NotepadDocument(*this, table_.takeSlot(), firstFreeNumber(untitled));
    area_->addSubWindow(document);
    // Wholly inside the frame, each a title bar's height down and right
    // of the one opened before, back at the corner when it would not fit.
    const QSize room = area_->viewport()->size();
    const QSize size = QSize(room.width() * 3 / 4, room.height() * 3 / 4).expandedTo(QSize(200, 120)).boundedTo(room);
    const int step = std::max(16, document->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, document));
    QPoint at(0, 0);
    const NotepadDocument* previous = open.isEmpty() ? nullptr : open.last();
    if (previous && !previous->isMinimized() && !previous->isMaximized())
        at = previous->pos() + QPoint(step, step);
    if (at.x() < 0 || at.y() < 0 || at.x() + size.width() > room.width() || at.y() + size.height() > room.height())
        at = QPoint(0, 0);
    document->setGeometry(QRect(at, size));
    // Every document shows the display font, not only the first.
    applyFontTo(*document);
    return document;
}

NotepadDocument* NotepadWindow::newDocument()
{
    NotepadDocument* document = addDocument();
    document->show();
    area_->setActiveSubWindow(document);
    document->editor()->setFocus();
    showMenusOf(document);
    updateEditButtons();
    return document;
}

NotepadDocument* NotepadWindow::openDocument()
{
    const std::optional<QString> name = askOpenName();
    if (!name)
        return nullptr;
    return openFile(*name);
}

NotepadDocument* NotepadWindow::openFile(const QString& path)
{
    NotepadDocument* document = nullptr;
    QString error;
    {
        BusyCursor busy;
        // Only a regular file is read: a pipe or device would never end.
        std::optional<QByteArray> bytes = readFileBytes(path, &error, kMaxTextFileBytes);
        // Binary data shown as text is garbage, and saved it is damage.
        if (bytes) {
            if (const std::optional<QString> problem = notTextProblem(*bytes)) {
                error = *problem;
                bytes.reset();
            }
        }
        if (bytes) {
            document = addDocument();
            // The window paints the progress but takes no input meanwhile.
            auto showProgress = [this](int percent) {
                progress_->setValue(percent);
                progress_->show();
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            };
            document->setContent(decodeTextFile(*bytes), QFileInfo(path).absoluteFilePath(),
                                 FileFingerprint::of(*bytes), showProgress);
            progress_->hide();
        }
    }
    if (!document) {
        platform_.messages.msgBox(cannotOpenMessage(path, error), MsgStyle::Exclamation);
        return nullptr;
    }
    fileUsed(path);
    document->show();
    area_->setActiveSubWindow(document);
    document->editor()->setFocus();
    showMenusOf(document);
    updateEditButtons();
    return document;
}

bool NotepadWindow::closeNotepad()
{
    if (!state_.notepadOpen && isHidden())
        return true;
    return close();
}

void NotepadWindow::closeEvent(QCloseEvent* event)
{
    // Every changed document is settled first; Cancel on any keeps them
    // all, and the frame, open.
    const QList<NotepadDocument*> open = documents();
    for (NotepadDocument* d : open) {
        area_->setActiveSubWindow(d);
        if (!d->settleUnsavedChanges()) {
            event->ignore();
            return;
        }
    }
    place_.remember();
    for (NotepadDocument* d : open)
        d->closeSettled();
    if (findDialog_)
        findDialog_->hide();
    table_.reset();
    state_.notepadOpen = false;
    event->accept();
}

void NotepadWindow::documentClosed(NotepadDocument* document)
{
    if (current_ == document)
        current_ = nullptr;
    // The sub-window is still listed until it is deleted.
    QMdiSubWindow* next = nullptr;
    for (NotepadDocument* d : documents())
        next = d;
    if (area_->activeSubWindow() == document || !area_->activeSubWindow())
        showMenusOf(next);
    updateEditButtons();
}

void NotepadWindow::updateEditButtons()
{
    const bool any = table_.openCount() > 0;
    for (const char* name : {"imgCutButton", "imgCopyButton", "imgPasteButton"})
        buttons_[QString::fromLatin1(name)]->setEnabled(any);
}

NotepadDocument* NotepadWindow::activeDocument() const
{
    auto* d = qobject_cast<NotepadDocument*>(area_->currentSubWindow());
    if (d && !d->isClosed())
        return d;
    return current_ && !current_->isClosed() ? current_.data() : nullptr;
}

QList<NotepadDocument*> NotepadWindow::documents() const
{
    QList<NotepadDocument*> list;
    for (QMdiSubWindow* w : area_->subWindowList(QMdiArea::CreationOrder)) {
        auto* d = qobject_cast<NotepadDocument*>(w);
        if (d && !d->isClosed())
            list << d;
    }
    return list;
}

FindDialog* NotepadWindow::findDialog() const
{
    return findDialog_.data();
}

void NotepadWindow::showFindDialog()
{
    NotepadDocument* d = activeDocument();
    if (!d)
        return;
    if (!findDialog_) {
        findDialog_ = new FindDialog(state_, platform_, find_, this);
        connect(findDialog_, &FindDialog::findRequested, this, &NotepadWindow::search);
    }
    QString selected = d->editor()->textCursor().selectedText();
    // A selection over a line break gives its first line to find.
    selected = selected.section(QChar::ParagraphSeparator, 0, 0);
    find_.firstTime = true;
    findDialog_->start(selected);
}

void NotepadWindow::findNext()
{
    if (find_.text.isEmpty())
        showFindDialog();
    else
        search();
}

void NotepadWindow::search()
{
    NotepadDocument* d = activeDocument();
    if (!d)
        return;
    QPlainTextEdit* editor = d->editor();
    QTextCursor cursor = editor->textCursor();
    const std::optional<qsizetype> at = searchText(editor->toPlainText(), cursor.selectionStart(), find_);
    if (!at) {
        platform_.messages.msgBox(cannotFindMessage(find_.text), MsgStyle::Exclamation);
        return;
    }
    cursor.setPosition(int(*at));
    cursor.setPosition(int(*at + find_.text.size()), QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
    editor->ensureCursorVisible();
}

void NotepadWindow::cascadeDocuments()
{
    area_->cascadeSubWindows();
}

void NotepadWindow::tileDocuments()
{
    area_->tileSubWindows();
}

void NotepadWindow::arrangeIcons()
{
    // Minimised documents in a row along the bottom, from the left.
    int x = 0;
    int y = -1;
    const QRect room = area_->viewport()->rect();
    for (NotepadDocument* d : documents()) {
        if (!d->isMinimized())
            continue;
        const QSize s = d->size();
        if (y < 0)
            y = room.bottom() + 1 - s.height();
        if (x > 0 && x + s.width() > room.width()) {
            x = 0;
            y -= s.height();
        }
        d->move(x, y);
        x += s.width();
    }
}

void NotepadWindow::setToolbarVisible(bool visible)
{
    picToolbar_->setVisible(visible);
}

bool NotepadWindow::toolbarVisible() const
{
    return !picToolbar_->isHidden();
}

void NotepadWindow::applyFont()
{
    for (NotepadDocument* d : documents())
        applyFontTo(*d);
}

QString NotepadWindow::startFolder() const
{
    // A folder that does not exist would be offered as a file name.
    return !lastFolder_.isEmpty() && QFileInfo(lastFolder_).isDir() ? lastFolder_ : QDir::homePath();
}

std::optional<QString> NotepadWindow::askOpenName()
{
    return platform_.fileDialogs.openFileName(
        FileDialogRequest{QStringLiteral("Open"), kNotepadFileFilter, 1, startFolder(), QString()});
}

std::optional<QString> NotepadWindow::askSaveName(const QString& initialPath)
{
    const QString suffix = QStringLiteral("txt");
    const std::optional<QString> name = platform_.fileDialogs.saveFileName(FileDialogRequest{
        QStringLiteral("Save As"), kNotepadFileFilter, 1, initialPath.isEmpty() ? startFolder() : initialPath, suffix});
    if (!name || name->isEmpty())
        return std::nullopt;
    // A dialog that did not add the extension did not ask about the file
    // it now names either.
    const QString path = withTextExtension(*name);
    if (path != *name && QFileInfo::exists(path)
        && platform_.messages.msgBox(replaceFileQuestion(path), MsgStyle::YesNoQuestion | kSecondButtonDefault,
                                     kNotepadCaption)
               != MsgAnswer::Yes)
        return std::nullopt;
    return path;
}

void NotepadWindow::fileUsed(const QString& path)
{
    lastFolder_ = QFileInfo(path).absolutePath();
}

} // namespace zp
