#include "app/windows/AlarmsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace zp {

namespace {

QString leadCaption(int minutes)
{
    if (minutes == 0)
        return QStringLiteral("At the record's time");
    if (minutes == kAlarmLeadOneDay)
        return QStringLiteral("1 day before");
    if (minutes == 60)
        return QStringLiteral("1 hour before");
    return QStringLiteral("%1 minutes before").arg(minutes);
}

} // namespace

AlarmsDialog::AlarmsDialog(const AlarmOptions& options, bool startAtLogin, bool trayAvailable, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AlarmsDialog"));
    setWindowTitle(QStringLiteral("Alarms"));
    on_ = new QCheckBox(QStringLiteral("&Remind me of records with a date"), this);
    on_->setObjectName(QStringLiteral("alarmsOn"));
    on_->setChecked(options.on);
    lead_ = new QComboBox(this);
    lead_->setObjectName(QStringLiteral("leadTime"));
    for (int minutes : kAlarmLeadMinutes)
        lead_->addItem(leadCaption(minutes), minutes);
    lead_->setCurrentIndex(std::max(0, lead_->findData(options.leadMinutes)));
    untimedAt_ = new QTimeEdit(options.untimedAt, this);
    untimedAt_->setObjectName(QStringLiteral("untimedAt"));
    untimedAt_->setDisplayFormat(QStringLiteral("HH:mm"));
    keepInTray_ = new QCheckBox(QStringLiteral("Keep running in the &tray when the window is closed"), this);
    keepInTray_->setObjectName(QStringLiteral("keepInTray"));
    keepInTray_->setChecked(options.keepInTray);
    keepInTray_->setEnabled(trayAvailable);
    if (!trayAvailable)
        keepInTray_->setToolTip(QStringLiteral("This desktop has no tray: closing the window ends the planner."));
    startAtLogin_ = new QCheckBox(QStringLiteral("Start at &login"), this);
    startAtLogin_->setObjectName(QStringLiteral("startAtLogin"));
    startAtLogin_->setChecked(startAtLogin);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("R&emind:"), lead_);
    form->addRow(QStringLiteral("Records without a time &at:"), untimedAt_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto enable = [this] {
        lead_->setEnabled(on_->isChecked());
        untimedAt_->setEnabled(on_->isChecked());
    };
    connect(on_, &QCheckBox::toggled, this, enable);
    enable();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(on_);
    layout->addLayout(form);
    layout->addWidget(keepInTray_);
    layout->addWidget(startAtLogin_);
    layout->addWidget(buttons);
}

AlarmOptions AlarmsDialog::options() const
{
    AlarmOptions o;
    o.on = on_->isChecked();
    o.leadMinutes = lead_->currentData().toInt();
    o.untimedAt = untimedAt_->time();
    o.keepInTray = keepInTray_->isChecked();
    return o;
}

bool AlarmsDialog::startAtLogin() const
{
    return startAtLogin_->isChecked();
}

} // namespace zp
