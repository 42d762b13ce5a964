#include "views/RecordDetails.h"

#include "plan/TextNumber.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace zp {

namespace {

const QLatin1String kCrLf("\r\n");
const QLatin1String kOff("off");

// Label number and field of the ten lines that always follow the date
// line, in the order they are shown. The job status is shown as a word.
struct DetailsLine {
    int label;
    int field;
};
constexpr std::array<DetailsLine, 10> kDetailsLines{{
    {3, Field::FinishDate},
    {1, Field::Name},
    {7, Field::PhoneAfterHours},
    {8, Field::PhoneBusinessHours},
    {10, Field::Message},
    {4, Field::Income},
    {5, Field::Expense},
    {9, Field::JobStatus},
    {11, Field::ImagePath},
    {12, Field::AudioPath},
}};

constexpr int kStartDateLabel = 2;
constexpr int kTimeLabel = 6;
constexpr int kSwitchOffset = 12; // the print switch of label k is label 12 + k

const QString& label(const std::array<QString, 25>& labels, int k)
{
    return labels[static_cast<std::size_t>(k)];
}

bool switchedOff(const std::array<QString, 25>& labels, int k)
{
    return label(labels, kSwitchOffset + k) == kOff;
}

} // namespace

// --- record details -----------------------------------------------------------

QString recordDetailsBody(const std::array<QString, 25>& labels, const RecordView& record)
{
    QString text;
    if (!switchedOff(labels, kTimeLabel)) {
        text += label(labels, kStartDateLabel);
        text += QLatin1Char(' ');
        text += record[Field::StartDate];
        text += QLatin1String(", ");
        text += record[Field::Time];
        text += kCrLf;
    } else if (!switchedOff(labels, kStartDateLabel)) {
        text += label(labels, kStartDateLabel);
        text += QLatin1Char(' ');
        text += record[Field::StartDate];
        text += kCrLf;
    }
    for (const DetailsLine& line : kDetailsLines) {
        text += label(labels, line.label);
        text += QLatin1String("  ");
        if (line.field == Field::JobStatus)
            text += record.isDone() ? QLatin1String("Done ") : QLatin1String("Pending");
        else
            text += record[line.field];
        text += kCrLf;
    }
    return text;
}

QString recordDetailsText(const RecordStore& store, int recordNumber)
{
    return QLatin1String("Planner Record No.") + plainNumber(recordNumber) + kCrLf
           + recordDetailsBody(store.fieldLabels, store.record(recordNumber));
}

QString recordDetailsText(const RecordStore& store, const ReminderRow& row)
{
    return QLatin1String("Planner Record Info:") + kCrLf + QLatin1String("No. ") + row.number + kCrLf
           + recordDetailsBody(store.fieldLabels, row.record);
}

QString detailsPageText(RecordStore& store)
{
    if (store.currentRecord < 1 || store.currentRecord > store.recordCount())
        store.currentRecord = 1;
    if (store.recordCount() < 1)
        return QString();
    return recordDetailsText(store, store.currentRecord);
}

std::optional<QString> recordInfoText(const RecordStore& store, const ReminderList& reminders, int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= reminders.rows.size() || row + 1 > store.recordCount())
        return std::nullopt;
    return recordDetailsText(store, reminders.rows[static_cast<std::size_t>(row)]);
}

// --- phone book ---------------------------------------------------------------

namespace {

QStringView orNone(QStringView text)
{
    return text.isEmpty() ? QStringView(u"None") : text;
}

// Case folding one UTF-16 unit at a time, the way a case-ignoring
// comparison of two texts sees them; plain ASCII, the usual content of a
// name, takes the short way.
QString foldedCase(const QString& text)
{
    QString folded(text.size(), Qt::Uninitialized);
    QChar* out = folded.data();
    const QChar* in = text.constData();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = in[i].unicode();
        if (c < 0x80)
            out[i] = QChar(c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c);
        else if (QChar::isSurrogate(c))
            out[i] = QChar(c);
        else
            out[i] = QChar(c).toCaseFolded();
    }
    return folded;
}

} // namespace

QString phoneBookEntry(const RecordView& record)
{
    const QStringView name = orNone(record[Field::Name]);
    const QStringView afterHours = orNone(record[Field::PhoneAfterHours]);
    const QStringView business = orNone(record[Field::PhoneBusinessHours]);
    QString entry;
    entry.reserve(name.size() + afterHours.size() + business.size() + 24);
    entry += name;
    entry += QLatin1String("      *(AH) ");
    entry += afterHours;
    entry += QLatin1String(" (BH) ");
    entry += business;
    return entry;
}

std::vector<PhoneBookRow> phoneBookRows(const QString& entry)
{
    std::vector<PhoneBookRow> rows;
    // Positions 0 ... length - 5, the 1 ... length - 4 of a one-based count.
    const qsizetype last = entry.size() - 5;
    const QChar* text = entry.constData();
    for (qsizetype p = 0; p <= last; ++p) {
        if (text[p] == u'*')
            rows.push_back({entry.left(p), entry.mid(p + 1)});
    }
    return rows;
}

PhoneBook buildPhoneBook(const RecordStore& store)
{
    PhoneBook book;
    const int count = store.recordCount();
    if (count < 1)
        return book;

    std::vector<QString> entries;
    std::vector<QString> keys; // case-folded once, compared many times
    entries.reserve(static_cast<std::size_t>(count));
    keys.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
        entries.push_back(phoneBookEntry(store.record(i)));
        keys.push_back(foldedCase(entries.back()));
    }

    std::vector<std::size_t> order(entries.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&keys](std::size_t a, std::size_t b) {
        return QStringView(keys[a]).compare(QStringView(keys[b]), Qt::CaseSensitive) < 0;
    });

    book.rows.reserve(entries.size());
    for (std::size_t i : order) {
        for (PhoneBookRow& row : phoneBookRows(entries[i]))
            book.rows.push_back(std::move(row));
    }
    return book;
}

int phoneBookColumnWidth(int gridWidthTwips)
{
    if (gridWidthTwips / 6.2 < kPhoneBookMinColumnTwips)
        return kPhoneBookMinColumnTwips;
    return static_cast<int>(std::lround(gridWidthTwips / 3.2));
}

} // namespace zp
