#include "views/windows/Form14.h"

#include "views/RecordDetails.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace zp {

Form14::Form14(QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("Form14"));
    setWindowTitle(kRecordDetailsCaption);
    text1_ = new QPlainTextEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setReadOnly(true);
    text1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(text1_);
    resize(360, 260);
}

void Form14::showText(const QString& text)
{
    // Lines end with CR LF; the box shows each as one line.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text1_->setPlainText(shown);
}

QString Form14::text() const
{
    return text1_->toPlainText();
}

} // namespace zp
