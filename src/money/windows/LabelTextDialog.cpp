#include "money/windows/LabelTextDialog.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace zp {

LabelTextDialog::LabelTextDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Enter Text"));
    text1_ = new QLineEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setAccessibleName(QStringLiteral("Text"));
    text1_->setMinimumWidth(320);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("OK"));
    ok_->setDefault(true);
    setModal(true);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(text1_, 1);
    layout->addWidget(ok_);
    connect(text1_, &QLineEdit::returnPressed, this, &LabelTextDialog::confirm);
    connect(ok_, &QPushButton::clicked, this, &LabelTextDialog::confirm);
}

void LabelTextDialog::edit(const QString& current, std::function<void(const QString&)> store)
{
    store_ = std::move(store);
    text1_->setText(current);
    text1_->selectAll();
    show();
    raise();
    activateWindow();
    text1_->setFocus();
}

void LabelTextDialog::confirm()
{
    if (store_)
        store_(text1_->text());
    accept();
}

} // namespace zp
