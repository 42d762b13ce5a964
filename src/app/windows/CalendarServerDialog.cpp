#include "app/windows/CalendarServerDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace zp {

CalendarServerDialog::CalendarServerDialog(HttpService& http, const CalendarServerChoice& current, QWidget* parent)
    : QDialog(parent), http_(http)
{
    setObjectName(QStringLiteral("CalendarServer"));
    setWindowTitle(kCalendarServerTitle);
    auto* form = new QFormLayout;
    auto field = [&](const char* name, const QString& label, const QString& text) {
        auto* edit = new QLineEdit(text, this);
        edit->setObjectName(QString::fromLatin1(name));
        // The screen reader says the caption without its key mark.
        edit->setAccessibleName(QString(label).remove(QLatin1Char('&')));
        form->addRow(label, edit);
        return edit;
    };
    url_ = field("calendarServerUrl", QStringLiteral("Calendar or server &URL:"), current.url);
    url_->setMinimumWidth(380);
    calendars_ = new QComboBox(this);
    calendars_->setObjectName(QStringLiteral("calendarServerCalendars"));
    calendars_->setAccessibleName(QStringLiteral("Calendars found"));
    calendars_->setEnabled(false);
    form->addRow(QStringLiteral("Calendars &found:"), calendars_);
    user_ = field("calendarServerUser", QStringLiteral("User &name:"), current.user);
    password_ = field("calendarServerPassword", QStringLiteral("&Password:"), current.password);
    password_->setEchoMode(QLineEdit::Password);
    password_->setPlaceholderText(QStringLiteral("kept in the keyring; empty: unchanged"));
    afterSave_ = new QCheckBox(QStringLiteral("Publish after each &save"), this);
    afterSave_->setObjectName(QStringLiteral("calendarServerPublishAfterSave"));
    afterSave_->setChecked(current.publishAfterSave);
    form->addRow(QString(), afterSave_);

    auto* testRow = new QHBoxLayout;
    auto* testButton = new QPushButton(QStringLiteral("&Test"), this);
    testButton->setObjectName(QStringLiteral("calendarServerTest"));
    report_ = new QLabel(this);
    report_->setObjectName(QStringLiteral("calendarServerReport"));
    report_->setWordWrap(true);
    report_->setTextFormat(Qt::PlainText);
    testRow->addWidget(testButton);
    testRow->addWidget(report_, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addLayout(testRow);
    column->addWidget(buttons);

    connect(testButton, &QPushButton::clicked, this, &CalendarServerDialog::test);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(calendars_, &QComboBox::activated, this, [this](int index) {
        url_->setText(calendars_->itemData(index).toUrl().toString());
    });
}

CalendarServerDialog::~CalendarServerDialog() = default;

CalendarServerChoice CalendarServerDialog::choice() const
{
    return {url_->text().trimmed(), user_->text().trimmed(), password_->text(), afterSave_->isChecked()};
}

QString CalendarServerDialog::report() const
{
    return report_->text();
}

void CalendarServerDialog::test()
{
    const QUrl url(url_->text().trimmed(), QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))) {
        report_->setText(QStringLiteral("Enter an address that starts with https:// (or http://)."));
        return;
    }
    report_->setText(QStringLiteral("Asking the server ..."));
    connection_ = std::make_unique<DavConnection>(http_, CalendarServerAccount{url, user_->text().trimmed(), password_->text()});
    discoverCalendars(*connection_, [this](const CalendarDiscovery& d) {
        QTimer::singleShot(0, this, [this, d] { found(d); });
    });
}

void CalendarServerDialog::found(const CalendarDiscovery& discovery)
{
    report_->setText(discoveryReport(discovery));
    calendars_->clear();
    for (const ServerCalendar& c : discovery.calendars)
        calendars_->addItem(c.name.isEmpty() ? c.url.path() : c.name, c.url);
    calendars_->setEnabled(!discovery.calendars.empty());
    // A server's URL becomes the first calendar's: publishing needs one.
    if (!discovery.urlIsCalendar && !discovery.calendars.empty())
        url_->setText(discovery.calendars.front().url.toString());
}

} // namespace zp
