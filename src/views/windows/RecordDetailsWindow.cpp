#include "views/windows/RecordDetailsWindow.h"

#include "views/RecordDetails.h"
#include "ui/KeyboardAccess.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace zp {

RecordDetailsWindow::RecordDetailsWindow(QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("Form14"));
    setWindowTitle(kRecordDetailsCaption);
    closeOnEscape(*this);
    text1_ = new QPlainTextEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setAccessibleName(QStringLiteral("Record details"));
    text1_->setReadOnly(true);
    text1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(text1_);
    resize(360, 260);
}

void RecordDetailsWindow::showText(const QString& text)
{
    // Lines end with CR LF; the box shows each as one line.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text1_->setPlainText(shown);
}

QString RecordDetailsWindow::text() const
{
    return text1_->toPlainText();
}

} // namespace zp
