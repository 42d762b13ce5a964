#include "views/windows/FindBar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace zp {

namespace {

QToolButton* barButton(const char* name, const QString& text, const QString& tip, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setAutoRaise(true);
    // The keys of the text box and the window serve the keyboard; Tab
    // goes from the text straight back to the list.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

FindBar::FindBar(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("FindBar"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    label_ = new QLabel(QStringLiteral("Find:"), this);
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("FindText"));
    text_->setAccessibleName(QStringLiteral("Find records"));
    text_->setAccessibleDescription(
        QStringLiteral("The records list shows only the records with this text; Enter goes to the next one, Escape "
                       "brings the whole list back"));
    text_->setClearButtonEnabled(true);
    text_->installEventFilter(this);
    setFocusProxy(text_);
    label_->setBuddy(text_);
    previous_ = barButton("FindPrevious", QStringLiteral("\u25B2"), QStringLiteral("Previous record found (Shift+F3)"), this);
    next_ = barButton("FindNext", QStringLiteral("\u25BC"), QStringLiteral("Next record found (F3)"), this);
    close_ = barButton("FindClose", QStringLiteral("\u2715"), QStringLiteral("Close the find bar (Escape)"), this);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 1, 1, 1);
    row->setSpacing(2);
    row->addWidget(label_);
    row->addWidget(text_, 1);
    row->addWidget(previous_);
    row->addWidget(next_);
    row->addWidget(close_);

    connect(text_, &QLineEdit::textChanged, this, &FindBar::textChanged);
    connect(previous_, &QToolButton::clicked, this, &FindBar::previousWanted);
    connect(next_, &QToolButton::clicked, this, &FindBar::nextWanted);
    connect(close_, &QToolButton::clicked, this, &FindBar::closeWanted);
}

QString FindBar::text() const
{
    return text_->text();
}

void FindBar::start()
{
    show();
    text_->setFocus(Qt::ShortcutFocusReason);
    text_->selectAll();
}

void FindBar::setNothingFound(bool nothing)
{
    // A light red that dark text reads well on, in every theme; the
    // palette, not a style sheet, so the box keeps the list's font.
    QPalette colours = palette();
    if (nothing) {
        colours.setColor(QPalette::Base, QColor(255, 214, 214));
        colours.setColor(QPalette::Text, Qt::black);
    }
    text_->setPalette(colours);
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == text_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (key->modifiers() & Qt::ShiftModifier)
                emit previousWanted();
            else
                emit nextWanted();
            return true;
        case Qt::Key_Escape:
            emit closeWanted();
            return true;
        default:
            break;
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace zp
