#pragma once
#include "app/windows/CalendarServerCommands.h"
#include "plan/CalendarServer.h"

#include <QDialog>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace zp {

// File > Calendar server...: the calendar's (or the server's) URL, user
// name, password and whether to publish after each save. "Test" asks the
// server and says what it answered; given a server's URL it lists the
// user's calendars to choose from.
class CalendarServerDialog : public QDialog {
    Q_OBJECT
public:
    CalendarServerDialog(HttpService& http, const CalendarServerChoice& current, QWidget* parent = nullptr);
    ~CalendarServerDialog() override;
    CalendarServerChoice choice() const;
    // Runs "Test"; the answer shows when the server's reply came.
    void test();
    QString report() const;

private:
    void found(const CalendarDiscovery& discovery);

    HttpService& http_;
    std::unique_ptr<DavConnection> connection_;
    QLineEdit* url_;
    QLineEdit* user_;
    QLineEdit* password_;
    QComboBox* calendars_;
    QCheckBox* afterSave_;
    QLabel* report_;
};

} // namespace zp
