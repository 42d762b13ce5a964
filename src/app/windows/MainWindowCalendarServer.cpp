// The main window's part in calendar server publishing and import: the
// menu items, the settings window, and the progress with Cancel in the
// status bar while a publish or fetch runs (the window stays usable).
#include "app/windows/CalendarCommands.h"
#include "app/windows/CalendarServerCommands.h"
#include "app/windows/CalendarServerDialog.h"
#include "app/windows/CalendarServerHookup.h"
#include "app/windows/MainStatusBar.h"
#include "app/windows/MainWindow.h"
#include "app/windows/RecentPlansMenu.h"
#include "views/windows/PrintCommands.h"
#include "ui/Hints.h"
#include "ui/QtHttp.h"
#include "ui/QtPasswordStore.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <QPushButton>

namespace zp {

CalendarServerCommands& MainWindow::calendarServerCommands()
{
    return *calendarServer_->commands;
}

void MainWindow::connectCalendarServer()
{
    calendarServer_ = std::make_unique<CalendarServerHookup>();
    auto* panel = new QWidget(statusBar_);
    panel->setObjectName(QStringLiteral("calendarServerProgress"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(panel);
    auto* bar = new QProgressBar(panel);
    bar->setMaximumWidth(twips_.toPixelsX(1500));
    bar->setAccessibleName(QStringLiteral("Calendar server progress"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), panel);
    cancel->setObjectName(QStringLiteral("calendarServerCancel"));
    row->addWidget(label);
    row->addWidget(bar);
    row->addWidget(cancel);
    panel->hide();
    statusBar_->layout()->addWidget(panel);

    auto showProgress = [panel, label, bar](bool shown, const QString& text, int done, int total) {
        panel->setVisible(shown);
        label->setText(text);
        bar->setRange(0, total); // 0 ... 0: busy, no measure yet
        bar->setValue(done);
    };
    auto editSettings = [this](const CalendarServerChoice& current) -> std::optional<CalendarServerChoice> {
        CalendarServerDialog dialog(calendarServer_->http, current, this);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.choice();
    };
    CalendarServerHookup& h = *calendarServer_;
    h.commands = std::make_unique<CalendarServerCommands>(
        state_, platform_, CalendarServerCommands::Services{h.http, h.passwords, h.prompt, editSettings, showProgress},
        *calendar_, [this](const QString& text) { hints_->show(text); });
    connect(cancel, &QPushButton::clicked, h.commands.get(), &CalendarServerCommands::cancel);
    connect(menuAction(QStringLiteral("Calendarserver")), &QAction::triggered, this,
            [this] { calendarServer_->commands->editSettings(); });
    connect(menuAction(QStringLiteral("Publishcalendar")), &QAction::triggered, this,
            [this] { calendarServer_->commands->publish(); });
    connect(menuAction(QStringLiteral("Importcalendarserver")), &QAction::triggered, this,
            [this] { calendarServer_->commands->importFromServer(); });
}

} // namespace zp
