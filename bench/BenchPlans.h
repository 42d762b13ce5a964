#pragma once
// Plans for the benchmarks: a generator of records shaped like a working
// plan, reproducible from a seed, and the small helpers around it.

#include "plan/RecordStore.h"

#include <QDate>
#include <QString>

#include <algorithm>
#include <array>
#include <random>
#include <tuple>
#include <vector>

namespace zp::bench {

inline QString twoDigits(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

// A date as the plans are written here, dd/mm/yyyy.
inline QString dateText(int day, int month, int year)
{
    return twoDigits(day) + QLatin1Char('/') + twoDigits(month) + QLatin1Char('/') + QString::number(year);
}

// What a generated plan looks like. The defaults give a full plan with dates
// spread in no order over thirty years.
struct PlanShape {
    unsigned seed = 19961105;
    int records = RecordStore::kMaxRecords;
    int firstYear = 1980;
    int lastYear = 2009;
    int datedPercent = 97; // records with a start date
    int timedPercent = 90; // records with a time
    // When `dueAfter` is a date, this share of the records starts one to
    // seven days after it: the coming week of a reminder check on that day.
    QDate dueAfter;
    int duePercent = 0;
    // Records in date order, as a plan is after loading: they are made (and
    // their texts allocated) in that order.
    bool inDateOrder = false;
};

// When a generated record starts: a date (year 0 for none) and a time
// (hour -1 for none).
struct PlanStart {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = -1;
    int minute = 0;

    // Date order as the store sees it: no date first, no time before any time.
    friend bool operator<(const PlanStart& a, const PlanStart& b)
    {
        return std::tie(a.year, a.month, a.day, a.hour, a.minute) < std::tie(b.year, b.month, b.day, b.hour, b.minute);
    }
};

// Field lengths as a working plan has them: a start date, a time on most
// records, a customer's name (in no order, now and then typed in lower
// case), phone numbers, a message of a few words, amounts, and now and then
// a picture, a recording or a finish date.
inline std::vector<PlannerRecord> makePlan(const PlanShape& shape = {})
{
    static const std::array<const char*, 16> firstNames = {
        "Ann", "Bob", "Carmen", "Dmitri", "Eileen", "Frank", "Grace", "Hamid",
        "Ingrid", "Jack", "Kylie", "Lorenzo", "Mei", "Nigel", "Olive", "Pat",
    };
    static const std::array<const char*, 16> surnames = {
        "Smith", "Nguyen", "O'Brien", "Kowalski", "Papadopoulos", "Jones", "MacLeod", "Wong",
        "Rossi", "Fitzgerald", "Baker", "Schmidt", "Hughes", "Tanaka", "Walsh", "Abernethy",
    };
    static const std::array<const char*, 6> messages = {
        "Call about the quote for the kitchen and the back bathroom",
        "Deliver the invoice, ask about the second floor and the garden wall",
        "Meeting",
        "Pick up the samples from the depot before noon and bring them to the site office",
        "Tiles for the bathroom",
        "",
    };

    std::mt19937 rng(shape.seed);
    std::uniform_int_distribution<int> year(shape.firstYear, shape.lastYear);
    std::uniform_int_distribution<int> month(1, 12);
    std::uniform_int_distribution<int> day(1, 28);
    std::uniform_int_distribution<int> ahead(1, 7);
    std::uniform_int_distribution<int> hour(7, 19);
    std::uniform_int_distribution<int> quarter(0, 3);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<std::size_t> pick16(0, 15);
    std::uniform_int_distribution<std::size_t> pickMessage(0, messages.size() - 1);

    std::vector<PlanStart> starts(static_cast<std::size_t>(shape.records));
    for (PlanStart& start : starts) {
        if (shape.dueAfter.isValid() && percent(rng) < shape.duePercent) {
            const QDate due = shape.dueAfter.addDays(ahead(rng));
            start.year = due.year();
            start.month = due.month();
            start.day = due.day();
        } else if (percent(rng) < shape.datedPercent) {
            start.year = year(rng);
            start.month = month(rng);
            start.day = day(rng);
        }
        if (percent(rng) < shape.timedPercent) {
            start.hour = hour(rng);
            start.minute = 15 * quarter(rng);
        }
    }
    if (shape.inDateOrder)
        std::stable_sort(starts.begin(), starts.end());

    std::vector<PlannerRecord> records;
    records.reserve(starts.size());
    for (int i = 0; i < shape.records; ++i) {
        const PlanStart& start = starts[static_cast<std::size_t>(i)];
        PlannerRecord r;
        if (start.year != 0)
            r[Field::StartDate] = dateText(start.day, start.month, start.year);
        if (start.hour >= 0)
            r[Field::Time] = twoDigits(start.hour) + QLatin1Char(':') + twoDigits(start.minute);

        QString name = QString::fromLatin1(firstNames[pick16(rng)]) + QLatin1Char(' ')
                       + QString::fromLatin1(surnames[pick16(rng)]);
        if (percent(rng) < 30)
            name += QStringLiteral(" and Sons Ltd");
        r[Field::Name] = percent(rng) < 20 ? name.toLower() : name;

        if (percent(rng) < 70)
            r[Field::PhoneAfterHours] = QStringLiteral("(02) 9555 %1").arg(1000 + i % 9000);
        if (percent(rng) < 50)
            r[Field::PhoneBusinessHours] = QStringLiteral("(02) 9444 %1").arg(1000 + (i * 7) % 9000);
        r[Field::Message] = QString::fromLatin1(messages[pickMessage(rng)]);
        r[Field::Income] = QString::number((i * 37) % 2000) + QStringLiteral(".00");
        r[Field::Expense] = QString::number((i * 13) % 300);
        r[Field::JobStatus] = percent(rng) < 40 ? QStringLiteral("1") : QStringLiteral("0");
        r[Field::ImagePath] = percent(rng) < 10 ? QStringLiteral("/home/ann/Pictures/site%1.bmp").arg(i)
                                                : kNoAttachment;
        r[Field::AudioPath] = percent(rng) < 5
                                  ? QStringLiteral("/home/ann/.local/share/zorvik/%1.wav").arg(10000000 + i)
                                  : kNoAttachment;
        if (start.year != 0 && percent(rng) < 30)
            r[Field::FinishDate] = dateText(day(rng), month(rng), start.year + 1);
        records.push_back(std::move(r));
    }
    return records;
}

// A store holding `plan` as loaded, in the plan's own order.
inline RecordStore storeOf(std::vector<PlannerRecord> plan)
{
    RecordStore store;
    store.replaceAll(std::move(plan));
    return store;
}

inline RecordStore makeStore(const PlanShape& shape = {})
{
    return storeOf(makePlan(shape));
}

} // namespace zp::bench
