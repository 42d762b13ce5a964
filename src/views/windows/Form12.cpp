#include "views/windows/Form12.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace zp {

Form12::Form12(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form12"));
    setWindowTitle(QStringLiteral("Zorvik Planner - This weeks reminders"));
    list1_ = new QListWidget(this);
    list1_->setObjectName(QStringLiteral("List1"));
    command2_ = new QPushButton(QStringLiteral("Run Planner"), this);
    command2_->setObjectName(QStringLiteral("Command2"));
    command1_ = new QPushButton(QStringLiteral("Exit"), this);
    command1_->setObjectName(QStringLiteral("Command1"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(command2_);
    buttons->addWidget(command1_);
    auto* column = new QVBoxLayout(this);
    column->addWidget(list1_);
    column->addLayout(buttons);

    connect(command2_, &QPushButton::clicked, this, [this] {
        hide();
        if (runPlanner_)
            runPlanner_();
    });
    connect(command1_, &QPushButton::clicked, this, [this] {
        if (exit_)
            exit_();
    });
}

} // namespace zp
