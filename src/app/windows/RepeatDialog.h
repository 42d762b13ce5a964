#pragma once
#include "plan/RecordRepeat.h"

#include <QDialog>
#include <functional>
#include <vector>

class QButtonGroup;
class QComboBox;
class QDateEdit;
class QDialogButtonBox;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace zp {

// Edit > Repeat record...: how often and how long the current record
// repeats. It says how many records the repeat adds, before OK adds them;
// OK hands the copies to `add`.
class RepeatDialog : public QDialog {
    Q_OBJECT
public:
    explicit RepeatDialog(QWidget* parent = nullptr);

    // Shows the dialog for record `index` of `store`.
    void repeat(const RecordStore& store, int index, std::function<void(std::vector<PlannerRecord>)> add);
    RepeatRule rule() const;

private:
    void recount();
    void confirm();

    const RecordStore* store_ = nullptr;
    int index_ = 0;
    std::vector<PlannerRecord> copies_;
    std::function<void(std::vector<PlannerRecord>)> add_;
    QLabel* record_ = nullptr;
    QComboBox* every_ = nullptr;
    QRadioButton* byCount_ = nullptr;
    QRadioButton* byDate_ = nullptr;
    QSpinBox* count_ = nullptr;
    QDateEdit* until_ = nullptr;
    QLabel* summary_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

} // namespace zp
