#include "views/Reminders.h"

#include "plan/TextNumber.h"
#include "views/RecordDetails.h"
#include "views/RecordsList.h"

#include <algorithm>
#include <chrono>

namespace zp {

QString ReminderRow::column(int c) const
{
    if (c == 0)
        return number;
    return RecordView(record).string(c);
}

QString reminderLine(const RecordView& record)
{
    const QStringView name = record[Field::Name];
    const QStringView date = record[Field::StartDate];
    const QStringView time = record[Field::Time];

    QString line;
    line.reserve(name.size() + date.size() + time.size() + 16);
    if (!name.isEmpty()) {
        line += name;
        line += QLatin1String(", ");
    }
    if (!date.isEmpty()) {
        line += date;
        line += QLatin1String(", ");
    }
    if (!time.isEmpty()) {
        line += time;
        line += QLatin1Char(' ');
    }
    line += record.isDone() ? QLatin1String(" (Done)") : QLatin1String(" (Pending)");
    return line;
}

namespace {

std::optional<std::chrono::sys_days> calendarDay(const QDate& date)
{
    if (!date.isValid())
        return std::nullopt;
    const std::chrono::year_month_day ymd{std::chrono::year{date.year()},
                                          std::chrono::month{static_cast<unsigned>(date.month())},
                                          std::chrono::day{static_cast<unsigned>(date.day())}};
    if (!ymd.ok())
        return std::nullopt;
    return std::chrono::sys_days{ymd};
}

std::optional<int> daysBetween(QStringView startDate, std::chrono::sys_days today, DateOrder order)
{
    // Nothing but an empty text is cheaper to turn away than to read.
    if (startDate.isEmpty())
        return std::nullopt;
    const auto value = parseDateTime(startDate, order);
    if (!value || !value->hasDate)
        return std::nullopt;
    return static_cast<int>((std::chrono::sys_days{value->date} - today).count());
}

} // namespace

std::optional<int> daysUntil(const QString& startDate, const QDate& today, DateOrder order)
{
    const auto day = calendarDay(today);
    if (!day)
        return std::nullopt;
    return daysBetween(startDate, *day, order);
}

ComingWeek::ComingWeek(const QDate& today, DateOrder order) : today_(calendarDay(today)), order_(order) {}

bool ComingWeek::contains(const RecordView& record) const
{
    if (!today_)
        return false;
    const auto d = daysBetween(record[Field::StartDate], *today_, order_);
    return d && *d >= 1 && *d <= kReminderDaysAhead;
}

ReminderList buildReminderList(const RecordStore& store, const QDate& today)
{
    ReminderList list;
    const ComingWeek week(today, store.dateOrder());
    const int count = store.recordCount();
    if (count >= 1) {
        for (int i = 1; i <= count; ++i) {
            const RecordView record = store.record(i);
            if (!week.contains(record))
                continue;
            list.lines.append(reminderLine(record));
            list.index.push_back(i);
            list.rows.push_back(ReminderRow{plainNumber(i), PackedRecord(record)});
        }
    }
    if (list.lines.isEmpty())
        list.lines.append(kNoReminders);
    return list;
}

std::optional<int> reminderRecordForLine(const ReminderList& list, int lineIndex)
{
    if (lineIndex < 0 || static_cast<std::size_t>(lineIndex) >= list.index.size())
        return std::nullopt;
    const int record = list.index[static_cast<std::size_t>(lineIndex)];
    if (record < 1)
        return std::nullopt;
    return record;
}

std::optional<ReminderPress> pressReminderLine(RecordStore& store, const ReminderList& list, int lineIndex,
                                               double soundOn)
{
    const auto record = reminderRecordForLine(list, lineIndex);
    if (!record)
        return std::nullopt;

    ReminderPress press;
    press.row = lineIndex;
    press.record = *record;
    // The attachments come from the plan itself, so a following Add or
    // Change carries the record's own picture and sound.
    store.pendingImagePath = store.field(Field::ImagePath, *record);
    store.currentSoundPath = store.field(Field::AudioPath, *record);
    const QString& sound = store.currentSoundPath;
    if (soundOn == 1 && !sound.isEmpty() && sound != kNoAttachment) {
        press.sound = sound;
        press.soundProblem = recordSoundProblem(sound).value_or(QString());
    }
    if (const auto text = recordInfoText(store, list, lineIndex))
        press.infoText = *text;
    return press;
}

QPoint detailsWindowPlace(const QRect& reminders, const QSize& details, const QRect& screen)
{
    constexpr int gap = 2;
    const int w = details.width();
    const int h = details.height();
    // Kept on the screen along one axis: the far edge first, then the near
    // one, so a window larger than the screen shows its top left.
    auto clampTo = [](int at, int size, int first, int last) { return std::max(first, std::min(at, last - size + 1)); };
    const int roomRight = screen.right() - reminders.right() - gap;
    const int roomLeft = reminders.left() - screen.left() - gap;
    const int roomBelow = screen.bottom() - reminders.bottom() - gap;
    const int roomAbove = reminders.top() - screen.top() - gap;
    const int besideTop = clampTo(reminders.top(), h, screen.top(), screen.bottom());
    const int underLeft = clampTo(reminders.left(), w, screen.left(), screen.right());
    if (roomRight >= w)
        return {reminders.right() + 1 + gap, besideTop};
    if (roomLeft >= w)
        return {reminders.left() - gap - w, besideTop};
    if (roomBelow >= h)
        return {underLeft, reminders.bottom() + 1 + gap};
    if (roomAbove >= h)
        return {underLeft, reminders.top() - gap - h};
    // No room anywhere: the side with the most width, the rest on the screen.
    const int left = roomRight >= roomLeft ? reminders.right() + 1 + gap : reminders.left() - gap - w;
    return {clampTo(left, w, screen.left(), screen.right()), besideTop};
}

} // namespace zp
