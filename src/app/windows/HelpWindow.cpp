#include "app/windows/HelpWindow.h"

#include "app/HelpTopics.h"
#include "ui/TextFit.h"

#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace zp {

namespace {

const QString kGuideRoot = QStringLiteral("qrc:/help/");

} // namespace

HelpBrowser::HelpBrowser(QWidget* parent) : QTextBrowser(parent)
{
    setOpenExternalLinks(true);
    followPalette();
}

void HelpBrowser::followPalette()
{
    const QPalette& p = palette();
    const QColor base = p.color(QPalette::Base);
    const QColor shade = p.color(QPalette::AlternateBase);
    const QString sheet = QStringLiteral("h1, h2 { color: %1; } th { background-color: %2; color: %3; } "
                                         "pre { background-color: %2; color: %3; }")
                              .arg(readableOn(base, p.color(QPalette::Link)).name(), shade.name(),
                                   readableOn(shade, p.color(QPalette::Text)).name());
    if (document()->defaultStyleSheet() == sheet)
        return;
    document()->setDefaultStyleSheet(sheet);
    if (!source().isEmpty())
        reload();
}

void HelpBrowser::changeEvent(QEvent* event)
{
    QTextBrowser::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        followPalette();
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name)
{
    QVariant data = QTextBrowser::loadResource(type, name);
    if (type == QTextDocument::HtmlResource && (!data.isValid() || data.toByteArray().isEmpty())) {
        const QString path = name.path();
        return missingTopicPage(path.startsWith(QLatin1String("/help/")) ? path.mid(6) : name.toString());
    }
    return data;
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Zorvik Planner Help"));
    createControls();
    createShortcuts();
    connectControls();
    // Two thirds of the screen at first, never below what shows a page.
    // A large font needs more: the buttons and the find box are never squeezed.
    setMinimumSize(QSize(600, 360).expandedTo(layout()->totalMinimumSize()));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    resize(std::max({640, available.width() * 2 / 3, minimumWidth()}), std::max(480, available.height() * 2 / 3));
}

// The buttons and the find box above the pages.
QHBoxLayout* HelpWindow::createButtonBar()
{
    auto button = [this](const char* name, const QString& text, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(text);
        b->setToolTip(tip);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        // Never squeezed below its caption, whatever the font.
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        return b;
    };
    back_ = button("helpBack", QStringLiteral("< &Back"), QStringLiteral("Back to the page before (Alt+Left)"));
    forward_ = button("helpForward", QStringLiteral("&Forward >"), QStringLiteral("Forward again (Alt+Right)"));
    home_ = button("helpHome", QStringLiteral("&Contents"), QStringLiteral("The guide's contents (Alt+Home)"));
    back_->setEnabled(false);
    forward_->setEnabled(false);

    auto* findLabel = new QLabel(QStringLiteral("F&ind:"), this);
    find_ = new QLineEdit(this);
    find_->setObjectName(QStringLiteral("helpFind"));
    find_->setPlaceholderText(QStringLiteral("text on this page"));
    find_->setClearButtonEnabled(true);
    find_->setMinimumWidth(120);
    findLabel->setBuddy(find_);
    findPrevious_ = button("helpFindPrevious", QStringLiteral("Pre&vious"), QStringLiteral("Find the text before (Shift+F3)"));
    findNext_ = button("helpFindNext", QStringLiteral("&Next"), QStringLiteral("Find the text after (F3 or Enter)"));
    findStatus_ = new QLabel(this);
    findStatus_->setObjectName(QStringLiteral("helpFindStatus"));

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w : std::initializer_list<QWidget*>{back_, forward_, home_})
        bar->addWidget(w);
    bar->addSpacing(12);
    bar->addWidget(findLabel);
    bar->addWidget(find_, 1);
    bar->addWidget(findPrevious_);
    bar->addWidget(findNext_);
    bar->addWidget(findStatus_);
    return bar;
}

void HelpWindow::createControls()
{
    QHBoxLayout* bar = createButtonBar();
    contents_ = new QListWidget(this);
    contents_->setObjectName(QStringLiteral("helpContents"));
    contents_->setAccessibleName(QStringLiteral("Contents"));
    for (const HelpTopic& topic : helpTopics()) {
        auto* item = new QListWidgetItem(topic.title, contents_);
        item->setData(Qt::UserRole, topic.file);
    }
    browser_ = new HelpBrowser(this);
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setAccessibleName(QStringLiteral("Help page"));

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(contents_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    // The contents show their longest title whole, at any font.
    const int titles = contents_->sizeHintForColumn(0) + 2 * contents_->frameWidth() +
                       contents_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, contents_) + 4;
    splitter->setSizes({std::max(200, titles), 600});
    contents_->setMinimumWidth(120);
    splitter->setChildrenCollapsible(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(bar);
    layout->addWidget(splitter, 1);
}

void HelpWindow::createShortcuts()
{
    auto shortcut = [this](const QKeySequence& keys, auto slot) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence::Back, [this] { browser_->backward(); });
    shortcut(QKeySequence::Forward, [this] { browser_->forward(); });
    shortcut(QKeySequence(Qt::ALT | Qt::Key_Home), [this] { showTopic(kHelpContentsTopic); });
    shortcut(QKeySequence::Find, [this] {
        find_->setFocus();
        find_->selectAll();
    });
    shortcut(QKeySequence::FindNext, [this] { findNext(false); });
    shortcut(QKeySequence::FindPrevious, [this] { findNext(true); });
    shortcut(QKeySequence(Qt::Key_Escape), [this] {
        if (find_->hasFocus() && !find_->text().isEmpty())
            find_->clear();
        else
            close();
    });
}

void HelpWindow::connectControls()
{
    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(home_, &QToolButton::clicked, this, [this] { showTopic(kHelpContentsTopic); });
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::followSource);
    connect(contents_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showTopic(item->data(Qt::UserRole).toString()); });
    connect(contents_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showTopic(item->data(Qt::UserRole).toString()); });
    connect(find_, &QLineEdit::returnPressed, this, [this] { findNext(false); });
    connect(find_, &QLineEdit::textEdited, this, [this] {
        // Search again from the top of the page as the text is typed.
        QTextCursor c = browser_->textCursor();
        c.movePosition(QTextCursor::Start);
        browser_->setTextCursor(c);
        findNext(false);
    });
    connect(findNext_, &QToolButton::clicked, this, [this] { findNext(false); });
    connect(findPrevious_, &QToolButton::clicked, this, [this] { findNext(true); });
}

void HelpWindow::showTopic(const QString& topic)
{
    browser_->setSource(QUrl(kGuideRoot + (topic.isEmpty() ? kHelpContentsTopic : topic)));
}

QString HelpWindow::currentTopic() const
{
    const QString s = browser_->source().toString();
    return s.startsWith(kGuideRoot) ? s.mid(kGuideRoot.size()) : s;
}

void HelpWindow::followSource(const QUrl& source)
{
    // The contents list marks the topic showing.
    const QString file = source.adjusted(QUrl::RemoveFragment).fileName();
    for (int i = 0; i < contents_->count(); ++i) {
        if (contents_->item(i)->data(Qt::UserRole).toString() == file) {
            contents_->setCurrentRow(i);
            break;
        }
    }
    findStatus_->clear();
    setWindowTitle(QStringLiteral("Zorvik Planner Help - ") + browser_->documentTitle());
}

bool HelpWindow::findNext(bool backwards)
{
    const QString text = find_->text();
    if (text.isEmpty()) {
        findStatus_->clear();
        return false;
    }
    const QTextDocument::FindFlags flags = backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    bool found = browser_->find(text, flags);
    if (!found) {
        // Wrap round to the other end of the page once.
        QTextCursor c = browser_->textCursor();
        c.movePosition(backwards ? QTextCursor::End : QTextCursor::Start);
        browser_->setTextCursor(c);
        found = browser_->find(text, flags);
    }
    findStatus_->setText(found ? QString() : QStringLiteral("Not found"));
    return found;
}

} // namespace zp
