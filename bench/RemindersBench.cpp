// Reminders and phone book on a full plan (32767 records).
//
//   BM_BuildReminderList/0   dates spread over thirty years: a handful due
//   BM_BuildReminderList/1   every record due in the coming week (each
//                            line and table row is built)
//   BM_BuildPhoneBook        entries, the case-ignoring sort and the rows
//
// Goal: each well under 100 ms.

#include "views/RecordDetails.h"
#include "views/Reminders.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

namespace Field = zp::Field;
using zp::PlannerRecord;
using zp::RecordStore;

const QDate kToday(1996, 11, 5);

QString twoDigits(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

RecordStore makeStore(bool allDue)
{
    std::mt19937 rng(19961105);
    std::uniform_int_distribution<int> year(1980, 2009);
    std::uniform_int_distribution<int> month(1, 12);
    std::uniform_int_distribution<int> day(1, 28);
    std::uniform_int_distribution<int> ahead(1, 7);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> letter(0, 25);
    std::vector<PlannerRecord> records;
    records.reserve(RecordStore::kMaxRecords);
    for (int i = 0; i < RecordStore::kMaxRecords; ++i) {
        PlannerRecord r;
        if (allDue) {
            r[Field::StartDate] = kToday.addDays(ahead(rng)).toString(QStringLiteral("dd/MM/yyyy"));
        } else if (percent(rng) >= 3) {
            r[Field::StartDate] = twoDigits(day(rng)) + '/' + twoDigits(month(rng)) + '/' + QString::number(year(rng));
        }
        r[Field::Time] = QStringLiteral("10:30");
        if (percent(rng) >= 5) {
            // Names in no order, varying in case, so the sort has work to do.
            QString name;
            for (int k = 0; k < 8; ++k)
                name += QChar((percent(rng) < 20 ? u'a' : u'A') + letter(rng));
            r[Field::Name] = name + QStringLiteral(" Plumbing %1").arg(i);
        }
        if (percent(rng) >= 30)
            r[Field::PhoneAfterHours] = QStringLiteral("9432 %1").arg(1000 + i % 9000);
        if (percent(rng) >= 50)
            r[Field::PhoneBusinessHours] = QStringLiteral("9555 %1").arg(1000 + i % 9000);
        r[Field::Message] = QStringLiteral("Call about the quote for the kitchen and the back bathroom");
        r[Field::JobStatus] = QString::number(i % 2);
        r[Field::ImagePath] = zp::kNoAttachment;
        r[Field::AudioPath] = zp::kNoAttachment;
        records.push_back(std::move(r));
    }
    RecordStore store;
    store.replaceAll(std::move(records));
    return store;
}

const RecordStore& spreadStore()
{
    static const RecordStore store = makeStore(false);
    return store;
}

const RecordStore& dueStore()
{
    static const RecordStore store = makeStore(true);
    return store;
}

void BM_BuildReminderList(benchmark::State& state)
{
    const RecordStore& store = state.range(0) == 0 ? spreadStore() : dueStore();
    std::size_t due = 0;
    for (auto _ : state) {
        zp::ReminderList list = zp::buildReminderList(store, kToday);
        due = list.index.size();
        benchmark::DoNotOptimize(list.lines.size());
    }
    state.counters["due"] = static_cast<double>(due);
}
BENCHMARK(BM_BuildReminderList)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_BuildPhoneBook(benchmark::State& state)
{
    const RecordStore& store = spreadStore();
    for (auto _ : state) {
        zp::PhoneBook book = zp::buildPhoneBook(store);
        benchmark::DoNotOptimize(book.rows.size());
    }
}
BENCHMARK(BM_BuildPhoneBook)->Unit(benchmark::kMillisecond);

} // namespace
