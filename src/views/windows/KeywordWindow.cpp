#include "views/windows/KeywordWindow.h"

#include "ui/QtPlatform.h"
#include "ui/WindowGeometry.h"
#include "ui/KeyboardAccess.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zp {

KeywordWindow::KeywordWindow(ProgramState& state, const Platform& platform, std::function<void()> rebuildList, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), platform_(platform), twips_(platform.screen),
      rebuildList_(std::move(rebuildList))
{
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(QStringLiteral("Key Word Highlite"));
    closeOnEscape(*this);
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel3D1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    text1_ = new QLineEdit(panel);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setAccessibleName(QStringLiteral("Key word"));
    command1_ = new QPushButton(QStringLiteral("OK"), panel);
    command1_->setObjectName(QStringLiteral("Command1"));
    command1_->setAutoDefault(false);
    auto* row = new QHBoxLayout(panel);
    row->addWidget(text1_, 1);
    row->addWidget(command1_);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(panel);
    resize(twips_.toPixelsX(3120), twips_.toPixelsY(900));

    connect(command1_, &QPushButton::clicked, this, [this] { confirm(true); });
    connect(text1_, &QLineEdit::returnPressed, this, [this] { confirm(false); });
}

void KeywordWindow::open()
{
    centreOnScreen(*this, platform_.screen);
    applyFont();
    state_.highlightKeyword.clear();
    text1_->clear();
    show();
    raise();
    activateWindow();
    text1_->setFocus();
}

void KeywordWindow::confirm(bool rememberPlace)
{
    state_.highlightKeyword = text1_->text();
    if (rememberPlace)
        place_.remember();
    hide();
    if (rebuildList_)
        rebuildList_();
}

void KeywordWindow::closeEvent(QCloseEvent* event)
{
    place_.remember();
    QWidget::closeEvent(event);
}

void KeywordWindow::applyFont()
{
    showInDisplayFont(*text1_, state_.settings.font, palette());
}

} // namespace zp
