#include "views/windows/PrintWindow.h"

#include "plan/TextNumber.h"
#include "ui/WindowGeometry.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zp {

namespace {
QString checkCaption(const QString& label)
{
    // A label is the user's own text: an "&" in it is shown, not an access key.
    QString caption = label;
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    return caption;
}
} // namespace

PrintWindow::PrintWindow(ProgramState& state, const Platform& platform, std::function<void(Action)> run,
                         QWidget* parent)
    : QDialog(parent), state_(state), platform_(platform), run_(std::move(run))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Planner Print"));
    createControls();
}

void PrintWindow::createControls()
{
    auto* outer = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("Print which columns?"), this);
    heading->setObjectName(QStringLiteral("Label1"));
    outer->addWidget(heading);

    auto* columns = new QGridLayout;
    for (int i = 1; i <= 13; ++i) {
        auto* box = new QCheckBox(this);
        box->setObjectName(QStringLiteral("SSCheck%1").arg(i));
        checks_[static_cast<std::size_t>(i)] = box;
        // Two columns, seven boxes down the first.
        columns->addWidget(box, (i - 1) % 7, (i - 1) / 7);
    }
    outer->addLayout(columns);
    // The number column always prints.
    connect(checks_[1], &QCheckBox::clicked, this, [this] { checks_[1]->setChecked(true); });

    auto* all = new QCheckBox(QStringLiteral("Print all records in file"), this);
    all->setObjectName(QStringLiteral("SSCheck14"));
    checks_[14] = all;
    outer->addWidget(all);
    connect(all, &QCheckBox::toggled, this, &PrintWindow::setAllRecords);

    auto* range = new QHBoxLayout;
    auto* fromLabel = new QLabel(QStringLiteral("from"), this);
    fromLabel->setObjectName(QStringLiteral("Label2"));
    text1_ = new QLineEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    auto* toLabel = new QLabel(QStringLiteral("to"), this);
    toLabel->setObjectName(QStringLiteral("Label3"));
    text2_ = new QLineEdit(this);
    text2_->setObjectName(QStringLiteral("Text2"));
    fromLabel->setBuddy(text1_);
    toLabel->setBuddy(text2_);
    const int boxWidth = text1_->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12;
    text1_->setMaximumWidth(boxWidth);
    text2_->setMaximumWidth(boxWidth);
    range->addWidget(fromLabel);
    range->addWidget(text1_);
    range->addWidget(toLabel);
    range->addWidget(text2_);
    range->addStretch(1);
    outer->addLayout(range);

    auto* buttons = new QHBoxLayout;
    print_ = new QPushButton(QStringLiteral("&Print"), this);
    print_->setObjectName(QStringLiteral("SSCommand1"));
    print_->setDefault(true);
    preview_ = new QPushButton(QStringLiteral("Pre&view"), this);
    preview_->setObjectName(QStringLiteral("PreviewButton"));
    preview_->setAutoDefault(false);
    cancel_ = new QPushButton(QStringLiteral("CANCEL"), this);
    cancel_->setObjectName(QStringLiteral("SSCommand2"));
    cancel_->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(print_);
    buttons->addWidget(preview_);
    buttons->addWidget(cancel_);
    outer->addLayout(buttons);

    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(print_, &QPushButton::clicked, this, [this] {
        if (!takeChoices())
            return;
        hide();
        if (run_)
            run_(Action::Print);
    });
    connect(preview_, &QPushButton::clicked, this, [this] {
        if (takeChoices() && run_)
            run_(Action::Preview);
    });
}

void PrintWindow::openForPrinting()
{
    const RecordStore& store = state_.store;
    checks_[1]->setText(QStringLiteral("No."));
    checks_[1]->setChecked(true);
    for (int k = 1; k <= 12; ++k) {
        QCheckBox* box = checks_[static_cast<std::size_t>(k + 1)];
        box->setText(checkCaption(store.fieldLabels[static_cast<std::size_t>(k)]));
        box->setChecked(store.fieldLabels[static_cast<std::size_t>(12 + k)] == QLatin1String("on"));
    }
    checks_[14]->setChecked(true);
    setAllRecords(true);
    text1_->setText(QStringLiteral("1"));
    text2_->setText(plainNumber(store.recordCount()));
    adjustSize();
    centreOnScreen(*this, platform_.screen);
    show();
    raise();
    activateWindow();
    print_->setFocus();
}

void PrintWindow::setAllRecords(bool all)
{
    state_.printAllRecords = all;
    text1_->setEnabled(!all);
    text2_->setEnabled(!all);
}

bool PrintWindow::takeChoices()
{
    const double a = textValue(text1_->text());
    const double b = textValue(text2_->text());
    if (!state_.printAllRecords) {
        const int count = state_.store.recordCount();
        if (a < 1 || b < 1 || a > count || b > count || a > b) {
            platform_.messages.msgBox(QStringLiteral("Invalid record range selected"), MsgStyle::Exclamation,
                                      QStringLiteral("Planner range error"));
            return false;
        }
    }
    state_.printFrom = a;
    state_.printTo = b;
    for (int k = 1; k <= 12; ++k) {
        const bool on = checks_[static_cast<std::size_t>(k + 1)]->isChecked();
        state_.store.fieldLabels[static_cast<std::size_t>(12 + k)] = on ? QStringLiteral("on") : QStringLiteral("off");
    }
    return true;
}

} // namespace zp
