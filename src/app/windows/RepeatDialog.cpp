#include "app/windows/RepeatDialog.h"

#include "plan/CalendarFields.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace zp {

RepeatDialog::RepeatDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("RepeatDialog"));
    setWindowTitle(kRepeatTitle);
    record_ = new QLabel(this);
    record_->setObjectName(QStringLiteral("repeatRecord"));
    every_ = new QComboBox(this);
    every_->setObjectName(QStringLiteral("repeatEvery"));
    every_->addItems({QStringLiteral("day"), QStringLiteral("week"), QStringLiteral("two weeks"),
                      QStringLiteral("month"), QStringLiteral("year")});
    every_->setCurrentIndex(int(RepeatEvery::Week));
    byCount_ = new QRadioButton(QStringLiteral("&Times:"), this);
    byCount_->setObjectName(QStringLiteral("repeatByCount"));
    byCount_->setChecked(true);
    count_ = new QSpinBox(this);
    count_->setObjectName(QStringLiteral("repeatCount"));
    count_->setRange(1, RecordStore::kMaxRecords);
    count_->setValue(10);
    count_->setAccessibleName(QStringLiteral("Times"));
    byDate_ = new QRadioButton(QStringLiteral("&Until:"), this);
    byDate_->setObjectName(QStringLiteral("repeatByDate"));
    until_ = new QDateEdit(this);
    until_->setObjectName(QStringLiteral("repeatUntil"));
    until_->setCalendarPopup(true);
    until_->setAccessibleName(QStringLiteral("Until"));
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("repeatSummary"));
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Every:"), every_);
    form->addRow(byCount_, count_);
    form->addRow(byDate_, until_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(record_);
    layout->addLayout(form);
    layout->addWidget(summary_);
    layout->addWidget(buttons_);

    connect(every_, &QComboBox::currentIndexChanged, this, &RepeatDialog::recount);
    connect(count_, &QSpinBox::valueChanged, this, [this] {
        byCount_->setChecked(true);
        recount();
    });
    connect(until_, &QDateEdit::dateChanged, this, [this] {
        byDate_->setChecked(true);
        recount();
    });
    connect(byCount_, &QRadioButton::toggled, this, &RepeatDialog::recount);
    // Alt+T and Alt+U lead on to the box they choose.
    connect(byCount_, &QRadioButton::clicked, count_, [this] { count_->setFocus(); });
    connect(byDate_, &QRadioButton::clicked, until_, [this] { until_->setFocus(); });
    connect(buttons_, &QDialogButtonBox::accepted, this, &RepeatDialog::confirm);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void RepeatDialog::repeat(const RecordStore& store, int index, std::function<void(std::vector<PlannerRecord>)> add)
{
    store_ = &store;
    index_ = index;
    add_ = std::move(add);
    const RecordView record = store.record(index);
    record_->setText(QStringLiteral("Repeat '%1' of %2").arg(record.string(Field::Name), record.string(Field::StartDate)));
    const DateOrder order = store.dateOrder();
    until_->setDisplayFormat(order == DateOrder::MonthFirst ? QStringLiteral("MM/dd/yyyy") : QStringLiteral("dd/MM/yyyy"));
    const QDate start = calendar::recordDate(record[Field::StartDate], order).value_or(QDate::currentDate());
    {
        const QSignalBlocker blocker(until_);
        until_->setDate(start.addMonths(3));
    }
    recount();
    open();
}

RepeatRule RepeatDialog::rule() const
{
    RepeatRule rule;
    rule.every = RepeatEvery(every_->currentIndex());
    rule.count = count_->value();
    if (byDate_->isChecked())
        rule.until = until_->date();
    return rule;
}

void RepeatDialog::recount()
{
    copies_ = store_ ? repeatCopies(*store_, index_, rule()) : std::vector<PlannerRecord>{};
    summary_->setText(repeatCountText(int(copies_.size())));
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(!copies_.empty());
}

void RepeatDialog::confirm()
{
    accept();
    if (add_ && !copies_.empty())
        add_(std::move(copies_));
    copies_.clear();
}

} // namespace zp
