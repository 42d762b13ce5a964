#include "views/RecordsList.h"

#include "plan/TextNumber.h"
#include "plan/WriteTarget.h"

#include <QChar>

#include <algorithm>

namespace zp {

// --- display modes ----------------------------------------------------------

const std::array<DisplayModeItem, 4>& displayModeItems()
{
    static const std::array<DisplayModeItem, 4> items{{
        {"Datte", 31, "By &date", "date", kSortByDate},
        {"Namme", 32, "By &name", "name", kSortByName},
        {"Taskk", 33, "By &task", "task", kSortByTask},
        {"Dayy", 34, "By da&y", "day", kSortByDay},
    }};
    return items;
}

std::array<bool, 4> displayModeTicks(const QString& displayMode)
{
    std::array<bool, 4> ticks{};
    const auto& items = displayModeItems();
    for (std::size_t i = 0; i < items.size(); ++i)
        ticks[i] = items[i].word == displayMode;
    return ticks;
}

std::optional<QString> displayModeFromShortName(QStringView shortName)
{
    for (const DisplayModeItem& item : displayModeItems())
        if (shortName == QLatin1String(item.shortName))
            return item.word;
    return std::nullopt;
}

LineLayout lineLayoutOf(const QString& displayMode)
{
    if (displayMode == kSortByDate)
        return LineLayout::ByDate;
    if (displayMode == kSortByName)
        return LineLayout::ByName;
    if (displayMode == kSortByTask)
        return LineLayout::ByTask;
    if (displayMode == kSortByDay)
        return LineLayout::ByDay;
    return LineLayout::StatusOnly;
}

// --- list lines -------------------------------------------------------------

namespace {

// Appends a field's text, noting where it went when asked.
inline void field(QString& line, QStringView text, int field, std::vector<LineSpan>* spans)
{
    if (spans && !text.isEmpty())
        spans->push_back({field, line.size(), text.size()});
    line += text;
}

// Appends a field's text followed by `after` when the text is not empty.
inline void part(QString& line, QStringView text, QLatin1String after, int f, std::vector<LineSpan>* spans)
{
    if (text.isEmpty())
        return;
    field(line, text, f, spans);
    line += after;
}

// Room for the labels and separators of the longest layout and a weekday.
constexpr qsizetype kLineOverhead = 64;

// Enough for the whole line, so that it is built in one allocation.
qsizetype estimatedLength(const RecordView& r)
{
    qsizetype n = kLineOverhead;
    for (int f = Field::StartDate; f <= Field::Expense; ++f)
        n += r[f].size();
    // A start date that is not a date stands in for its weekday in the day
    // layout, so it may appear twice.
    return n + r[Field::StartDate].size();
}

} // namespace

void appendRecordListLine(QString& line, const RecordView& r, LineLayout layout, DateOrder order,
                          std::vector<LineSpan>* spans)
{
    const QStringView date = r[Field::StartDate];
    const QStringView time = r[Field::Time];
    const QStringView name = r[Field::Name];
    const QStringView message = r[Field::Message];

    switch (layout) {
    case LineLayout::ByDate:
        part(line, date, QLatin1String(", "), Field::StartDate, spans);
        part(line, time, QLatin1String(" "), Field::Time, spans);
        if (!name.isEmpty()) {
            line += QLatin1String(" - ");
            field(line, name, Field::Name, spans);
            line += QLatin1String(", ");
        }
        part(line, message, QLatin1String(" "), Field::Message, spans);
        break;
    case LineLayout::ByName:
        part(line, name, QLatin1String(", "), Field::Name, spans);
        part(line, message, QLatin1String(" "), Field::Message, spans);
        part(line, date, QLatin1String(" "), Field::StartDate, spans);
        part(line, time, QLatin1String(" "), Field::Time, spans);
        break;
    case LineLayout::ByTask:
        part(line, message, QLatin1String(", "), Field::Message, spans);
        part(line, date, QLatin1String(" "), Field::StartDate, spans);
        part(line, time, QLatin1String(" "), Field::Time, spans);
        part(line, name, QLatin1String(" "), Field::Name, spans);
        break;
    case LineLayout::ByDay:
        if (!date.isEmpty()) {
            // The weekday of the start date; a text that is not a date shows
            // as it stands.
            if (const auto value = parseDateTime(date, order))
                field(line, formatDateTime(*value, u"dddd"), 0, spans);
            else
                field(line, date, 0, spans);
            line += QLatin1String(", ");
        }
        part(line, date, QLatin1String(" "), Field::StartDate, spans);
        part(line, time, QLatin1String(" - "), Field::Time, spans);
        part(line, name, QLatin1String(" "), Field::Name, spans);
        part(line, message, QLatin1String(" "), Field::Message, spans);
        break;
    case LineLayout::StatusOnly:
        line += r.isDone() ? QLatin1String("(Done) ") : QLatin1String("(Pending) ");
        return;
    }

    // Amounts are shown as typed, when their leading number is above 0.
    const QStringView income = r[Field::Income];
    if (textValue(income) > 0) {
        line += QLatin1String("(I:$");
        field(line, income, Field::Income, spans);
        line += QLatin1String(") ");
    }
    const QStringView expense = r[Field::Expense];
    if (textValue(expense) > 0) {
        line += QLatin1String("(E:$");
        field(line, expense, Field::Expense, spans);
        line += QLatin1String(") ");
    }
    const QStringView afterHours = r[Field::PhoneAfterHours];
    if (!afterHours.isEmpty()) {
        line += QLatin1String("(AH:");
        field(line, afterHours, Field::PhoneAfterHours, spans);
        line += QLatin1String(") ");
    }
    const QStringView business = r[Field::PhoneBusinessHours];
    if (!business.isEmpty()) {
        line += QLatin1String("(BH:");
        field(line, business, Field::PhoneBusinessHours, spans);
        line += QLatin1Char(')'); // the status follows without a blank
    }
    line += r.isDone() ? QLatin1String("(Done) ") : QLatin1String("(Pending) ");
}

QString recordListLine(const RecordView& record, const QString& displayMode, DateOrder order)
{
    return recordListLine(record, lineLayoutOf(displayMode), order);
}

QString recordListLine(const RecordView& record, LineLayout layout, DateOrder order)
{
    QString line;
    line.reserve(estimatedLength(record));
    appendRecordListLine(line, record, layout, order);
    return line;
}

void forEachRecordsListLine(const RecordStore& store, LineLayout layout, DateOrder order,
                            const std::function<void(int row, QStringView line)>& visit)
{
    const int count = store.recordCount();
    QString line;
    for (int i = 1; i <= count; ++i) {
        const RecordView record = store.record(i);
        line.resize(0); // keeps the room of the longest line so far
        line.reserve(estimatedLength(record));
        appendRecordListLine(line, record, layout, order);
        visit(i - 1, line);
    }
}

QStringList buildRecordsListLines(const RecordStore& store, const QString& displayMode)
{
    QStringList lines;
    lines.reserve(store.recordCount());
    forEachRecordsListLine(store, lineLayoutOf(displayMode), store.dateOrder(),
                           [&lines](int, QStringView line) { lines.append(line.toString()); });
    return lines;
}

// --- keyword highlight ------------------------------------------------------

namespace {

// Upper case, one UTF-16 unit at a time, so positions stay where they were.
void upperCaseInto(QStringView text, QString& out)
{
    out.resize(text.size());
    QChar* d = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80)
            d[i] = QChar(c >= u'a' && c <= u'z' ? char16_t(c - (u'a' - u'A')) : c);
        else if (QChar::isSurrogate(c))
            d[i] = QChar(c);
        else
            d[i] = QChar(c).toUpper();
    }
}

class KeywordMatcher {
public:
    explicit KeywordMatcher(QStringView keyword) : keyword_(keyword) { upperCaseInto(keyword, upperKeyword_); }

    bool matches(QStringView line)
    {
        const qsizetype a = keyword_.size();
        const qsizetype b = line.size();
        if (a == 0 || a > b)
            return false;
        if (a == b)
            return line == keyword_;
        upperCaseInto(line, upperLine_);
        return QStringView(upperLine_).contains(QStringView(upperKeyword_), Qt::CaseSensitive);
    }

private:
    QStringView keyword_;
    QString upperKeyword_;
    QString upperLine_; // reused from line to line
};

} // namespace

bool keywordMatches(QStringView line, QStringView keyword)
{
    return KeywordMatcher(keyword).matches(line);
}

std::vector<bool> keywordHighlights(const QStringList& lines, const QString& keyword)
{
    std::vector<bool> highlighted(static_cast<std::size_t>(lines.size()), false);
    if (keyword.isEmpty())
        return highlighted;
    KeywordMatcher matcher(keyword);
    for (qsizetype i = 0; i < lines.size(); ++i)
        highlighted[static_cast<std::size_t>(i)] = matcher.matches(lines[i]);
    return highlighted;
}

std::vector<bool> keywordHighlights(const RecordStore& store, LineLayout layout, DateOrder order,
                                    const QString& keyword)
{
    std::vector<bool> highlighted(static_cast<std::size_t>(std::max(store.recordCount(), 0)), false);
    if (keyword.isEmpty())
        return highlighted;
    KeywordMatcher matcher(keyword);
    forEachRecordsListLine(store, layout, order, [&](int row, QStringView line) {
        highlighted[static_cast<std::size_t>(row)] = matcher.matches(line);
    });
    return highlighted;
}

// --- rebuilding the list ----------------------------------------------------

RecordsListContent rebuildRecordsListContent(RecordStore& store, const QString& displayMode,
                                             const QString& highlightKeyword, bool convertDates,
                                             const DateSwap& swap)
{
    RecordsListContent content;
    content.layout = lineLayoutOf(displayMode);
    content.order = store.dateOrder();
    const int count = store.recordCount();
    if (count < 1)
        return content;
    if (convertDates && swap) {
        // The dates are handed to the swap in place, not copied: the record
        // stays as it is until both results are stored in one step.
        auto inPlace = [](QStringView text) { return QString::fromRawData(text.data(), text.size()); };
        for (int i = 1; i <= count; ++i) {
            const RecordView r = store.record(i);
            const QString start = swap(inPlace(r[Field::StartDate]));
            const QString finish = swap(inPlace(r[Field::FinishDate]));
            store.setFields(i, {{Field::StartDate, start}, {Field::FinishDate, finish}});
        }
    }
    content.rowCount = count;
    content.highlighted = keywordHighlights(store, content.layout, content.order, highlightKeyword);
    return content;
}

// --- selecting a line -------------------------------------------------------

int recordForListIndex(int index)
{
    return (index < 0 ? 0 : index) + 1;
}

std::optional<QString> listClickSound(const RecordStore& store, double soundOn)
{
    const QString& path = store.currentSoundPath;
    if (soundOn != 1 || store.recordCount() < 1 || path.isEmpty() || path == kNoAttachment)
        return std::nullopt;
    return path;
}

std::optional<QString> recordSoundProblem(const QString& path)
{
    if (const auto why = readSourceProblem(path))
        return QStringLiteral("The sound %1 cannot be played: %2").arg(path, *why);
    return std::nullopt;
}

QString pictureProblemText(const QString& path, const QString& reason)
{
    return QStringLiteral("The picture %1 cannot be shown: %2").arg(path, reason);
}

std::optional<QString> imagePagePicturePath(const RecordStore& store, int record)
{
    if (store.recordCount() < 1)
        return std::nullopt;
    const QString path = store.field(Field::ImagePath, record); // empty outside the plan
    if (path.isEmpty() || path == kNoAttachment)
        return std::nullopt;
    return path;
}

ImagePagePicture chooseImagePagePicture(RecordStore& store, int record,
                                        const std::function<bool(const QString& path)>& load)
{
    const auto path = imagePagePicturePath(store, record);
    if (!path)
        return ImagePagePicture::DefaultPicture;
    if (!load || load(*path))
        return ImagePagePicture::RecordPicture;
    store.setField(Field::ImagePath, record, kNoAttachment);
    return ImagePagePicture::DefaultPicture;
}

} // namespace zp
