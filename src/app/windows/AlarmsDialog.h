#pragma once
#include "state/AlarmSchedule.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QTimeEdit;

namespace zp {

// Options > Alarms...: whether and how early records remind, when records
// without a time do, the tray and the start at login.
class AlarmsDialog : public QDialog {
    Q_OBJECT
public:
    // Without a tray the tray choice is shown but cannot be made.
    AlarmsDialog(const AlarmOptions& options, bool startAtLogin, bool trayAvailable, QWidget* parent = nullptr);

    AlarmOptions options() const;
    bool startAtLogin() const;

private:
    QCheckBox* on_ = nullptr;
    QComboBox* lead_ = nullptr;
    QTimeEdit* untimedAt_ = nullptr;
    QCheckBox* keepInTray_ = nullptr;
    QCheckBox* startAtLogin_ = nullptr;
};

} // namespace zp
