#include "views/RecordCopyText.h"

#include "plan/TextNumber.h"
#include "ui/Clipboard.h"
#include "ui/MessageBox.h"

#include <QTextStream>

#include <array>

namespace zp {

namespace {

const QLatin1String kCrLf("\r\n");
const QLatin1String kOff("off");

constexpr int kStartDateLabel = 2;
constexpr int kTimeLabel = 6;
constexpr int kSwitchOffset = 12; // the print switch of label k is label 12 + k

// The lines after the date line, in order: label and field. Image and
// audio always take two blanks after the label.
struct CopyLine {
    int label;
    int field;
    bool wide;
};
constexpr std::array<CopyLine, 10> kCopyLines{{
    {3, Field::FinishDate, false},
    {1, Field::Name, false},
    {7, Field::PhoneAfterHours, false},
    {8, Field::PhoneBusinessHours, false},
    {10, Field::Message, false},
    {4, Field::Income, false},
    {5, Field::Expense, false},
    {9, Field::JobStatus, false},
    {11, Field::ImagePath, true},
    {12, Field::AudioPath, true},
}};

const QString& label(const RecordStore& store, int k)
{
    return store.fieldLabels[static_cast<std::size_t>(k)];
}

bool switchedOn(const RecordStore& store, int k)
{
    return label(store, kSwitchOffset + k) != kOff;
}

void appendBlock(QString& text, const RecordStore& store, int number, QLatin1String separator, QLatin1String lineBreak)
{
    const RecordView record = store.record(number);
    text += QLatin1String("Planner Record No.") + plainNumber(number) + lineBreak;

    if (switchedOn(store, kTimeLabel)) {
        text += label(store, kStartDateLabel);
        text += QLatin1Char(' ');
        text += record[Field::StartDate];
        text += QLatin1String(", ");
        text += record[Field::Time];
        text += lineBreak;
    } else if (switchedOn(store, kStartDateLabel)) {
        text += label(store, kStartDateLabel);
        text += QLatin1Char(' ');
        text += record[Field::StartDate];
        text += lineBreak;
    }

    for (const CopyLine& line : kCopyLines) {
        if (!switchedOn(store, line.label))
            continue;
        text += label(store, line.label);
        text += line.wide ? QLatin1String("  ") : separator;
        if (line.field == Field::JobStatus)
            text += record.isDone() ? QLatin1String("Done ") : QLatin1String("Pending");
        else
            text += record[line.field];
        text += lineBreak;
    }
}

// A record's block of "Copy all", with the two empty lines after it.
void appendCopyAllBlock(QString& text, const RecordStore& store, int number, QLatin1String lineBreak)
{
    appendBlock(text, store, number, QLatin1String(" "), lineBreak);
    text += lineBreak;
    text += lineBreak;
}

} // namespace

QString copyAllText(const RecordStore& store)
{
    QString text;
    for (int i = 1; i <= store.recordCount(); ++i)
        appendCopyAllBlock(text, store, i, kCrLf);
    return text;
}

void writeCopyAllText(const RecordStore& store, QTextStream& out, QLatin1String lineBreak)
{
    QString block;
    for (int i = 1; i <= store.recordCount(); ++i) {
        block.resize(0); // keeps its room for the next block
        appendCopyAllBlock(block, store, i, lineBreak);
        out << block;
    }
}

QString copySelectedText(const RecordStore& store, int record)
{
    QString text;
    if (record >= 1 && record <= store.recordCount())
        appendBlock(text, store, record, QLatin1String("  "), kCrLf);
    return text;
}

bool copyAllRecords(const RecordStore& store, ClipboardService& clipboard, MessageBoxService& messages)
{
    if (store.recordCount() == 0) {
        messages.msgBox(kNoRecordsToCopy, MsgStyle::Exclamation);
        return false;
    }
    clipboard.setText(copyAllText(store));
    return true;
}

bool copySelectedRecord(RecordStore& store, int selectedLine, ClipboardService& clipboard,
                        MessageBoxService& messages)
{
    if (selectedLine < 0) {
        messages.msgBox(kNoRecordSelected, MsgStyle::Exclamation);
        return false;
    }
    store.currentRecord = selectedLine + 1;
    clipboard.setText(copySelectedText(store, store.currentRecord));
    return true;
}

} // namespace zp
