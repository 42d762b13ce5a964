#include "plan/PlanFile.h"
#include "plan/RecordStore.h"
#include "support/Fakes.h"
#include "support/Helpers.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <random>

namespace zp {
namespace {

PlannerRecord rec(const QString& date, const QString& time, const QString& name = QString())
{
    PlannerRecord r;
    r[Field::StartDate] = date;
    r[Field::Time] = time;
    r[Field::Name] = name;
    return r;
}

// The insertion exactly as the planner has always done it: keys computed on
// the fly, records moved one by one. Records are 1-based; slot 0 unused.
std::optional<int> literalAdd(std::vector<PlannerRecord>& recs, const PlannerRecord& r, DateOrder order)
{
    auto key = [&](int i) { return sortKey(recs[i][Field::StartDate], recs[i][Field::Time], order); };
    const double k = sortKey(r[Field::StartDate], r[Field::Time], order);
    const int n = static_cast<int>(recs.size()) - 1;
    int at = 0;
    if (n == 0)
        at = 1;
    else if (n == 1)
        at = k < key(1) ? 1 : 2;
    else if (k < key(1))
        at = 1;
    else if (k >= key(n))
        at = n + 1;
    else
        for (int b = 1; b <= n - 1 && at == 0; ++b)
            if (key(b) <= k && k < key(b + 1))
                at = b + 1;
    if (at == 0)
        return std::nullopt;
    recs.insert(recs.begin() + at, r);
    return at;
}

std::vector<PlannerRecord> literalChronological(const std::vector<PlannerRecord>& plan, DateOrder order)
{
    std::vector<PlannerRecord> out(1);
    for (const auto& r : plan)
        literalAdd(out, r, order);
    out.erase(out.begin());
    return out;
}

// Few distinct values, so equal keys are common; includes texts that are
// not dates, a time in the date field, day/month-ambiguous dates and dates
// valid in one order only.
std::vector<PlannerRecord> randomPlan(std::mt19937& rng, int count)
{
    static const QStringList dates = {
        "05/11/1996", "11/05/1996", "03/04/1996", "04/03/1996", "13/02/1996", "02/13/1996",
        "01/01/2000", "31/12/1999", "5 Nov 1996", "soon", "", "12abc", "10:30", "1996", "29/02/2000"};
    static const QStringList times = {"", "09:30", "9:30 PM", "12:00", "noon", "23:59", "7", "00:00"};
    std::uniform_int_distribution<int> pickDate(0, static_cast<int>(dates.size()) - 1);
    std::uniform_int_distribution<int> pickTime(0, static_cast<int>(times.size()) - 1);
    std::vector<PlannerRecord> plan;
    for (int i = 0; i < count; ++i)
        plan.push_back(rec(dates[pickDate(rng)], times[pickTime(rng)], QString::number(i)));
    return plan;
}

constexpr double Y = 10000000.0;
constexpr double D = 10000.0;

TEST(SortKey, combinesYearDayOfYearHourAndMinute)
{
    struct Case {
        const char* date;
        const char* time;
        DateOrder order;
        double key;
    };
    const Case cases[] = {
        {"05/11/1996", "14:05", DateOrder::DayFirst, 1996 * Y + 310 * D + 1405},
        {"05/11/1996", "14:05", DateOrder::MonthFirst, 1996 * Y + 132 * D + 1405},
        {"31/12/1999", "", DateOrder::DayFirst, 1999 * Y + 365 * D},
        {"13/02/1996", "", DateOrder::MonthFirst, 1996 * Y + 44 * D}, // only valid day first
        {"05/11/1996", "9:30 PM", DateOrder::DayFirst, 1996 * Y + 310 * D + 2130},
        {"", "", DateOrder::DayFirst, 0},
        {"soon", "", DateOrder::DayFirst, 0},
        {"soon", "10:30", DateOrder::DayFirst, 1030},
        {"12abc", "", DateOrder::DayFirst, 12 * Y + 12 * D},
        {"10:30", "", DateOrder::DayFirst, 1899 * Y + 364 * D}, // a time alone lies on 30 Dec 1899
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(sortKey(c.date, c.time, c.order), c.key) << c.date << " " << c.time;
}

TEST(RecordStore, newStore_isEmptyWithDefaultLabels)
{
    RecordStore store;
    EXPECT_EQ(store.recordCount(), 0);
    EXPECT_EQ(store.record(1), PlannerRecord{});
    EXPECT_EQ(store.fieldLabels[1], "Name");
    EXPECT_EQ(store.fieldLabels[6], "Time");
    EXPECT_EQ(store.fieldLabels[12], "Sound");
    for (int i = 13; i <= 24; ++i)
        EXPECT_EQ(store.fieldLabels[i], "on");
    EXPECT_EQ(RecordStore::defaultFieldLabels()[12], "Sound");
    EXPECT_EQ(store.pendingImagePath, kNoAttachment);
    EXPECT_EQ(store.currentSoundPath, kNoAttachment);
}

TEST(RecordStore, fromList_fillsMissingValuesWithEmptyTexts)
{
    const auto r = PlannerRecord::fromList({"01/02/1996", "10:00", "Ace"});
    EXPECT_EQ(r[Field::Name], "Ace");
    EXPECT_EQ(r[Field::FinishDate], "");
}

TEST(RecordStore, accessOutsideTheRecords_readsBlankAndIgnoresWrites)
{
    RecordStore store;
    store.replaceAll({rec("01/02/1996", "", "a")});
    EXPECT_EQ(store.field(Field::Name, 2), "");
    EXPECT_EQ(store.field(13, 1), "");
    store.setField(Field::Name, 2, "x");
    store.setField(0, 1, "x");
    EXPECT_EQ(store.recordCount(), 1);
    EXPECT_EQ(store.record(1), rec("01/02/1996", "", "a"));
}

TEST(PackedRecord, keepsEveryTextAsGivenAndCopiesAreIndependent)
{
    const QString pair = QString::fromUtf8("\xF0\x9F\x93\x85"); // one character, two UTF-16 units
    const QString longText(100000, QLatin1Char('x'));
    const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    const std::vector<PlannerRecord> cases = {
        PlannerRecord{},
        PlannerRecord::fromList({QStringLiteral("05/11/1996")}),
        PlannerRecord::fromList({"", "", "", "", "", "", "", "", "", "", "", QStringLiteral("13/02/1997")}),
        PlannerRecord::fromList({QStringLiteral("05/11/1996"), QStringLiteral("10:30"), QStringLiteral("Müller ") + pair,
                                 withNul, "", longText, QStringLiteral("120"), "", QStringLiteral("1"),
                                 kNoAttachment, kNoAttachment, ""}),
    };
    for (std::size_t c = 0; c < cases.size(); ++c) {
        SCOPED_TRACE(c);
        const PlannerRecord& r = cases[c];
        const PackedRecord packed(r);
        EXPECT_EQ(RecordView(packed).toRecord(), r);
        EXPECT_TRUE(RecordView(packed) == RecordView(r));
        EXPECT_EQ(RecordView(packed).isDone(), r.isDone());
        EXPECT_TRUE(RecordView(packed)[0].isEmpty());
        EXPECT_TRUE(RecordView(packed)[13].isEmpty());

        PackedRecord copy = packed;
        copy = copy.withField(Field::Name, QStringLiteral("Changed"));
        EXPECT_EQ(RecordView(packed).toRecord(), r) << "the copy's change reached the original";
        PlannerRecord expected = r;
        expected[Field::Name] = QStringLiteral("Changed");
        EXPECT_EQ(RecordView(copy).toRecord(), expected);
    }
}

// A record whose characters are all Latin-1 takes one byte a character; one
// character beyond makes the whole record two bytes a character. Where each
// text ends takes two bytes up to 65,535 characters a record, four beyond.
// Either way every text reads back as given, from memory and from a file,
// and an edit that no longer fits one byte a character widens the record
// instead of losing the character.
TEST(PackedRecord, keepsLatin1RecordsOneByteACharacter)
{
    const QString latin1 = QString::fromUtf8("M\xC3\xBCller \xC3\xBF\xC2\xA0") + QChar(0) + QChar(0x80);
    const QString euro = QString::fromUtf8("\xE2\x82\xAC");
    // With the 15 characters of date and time, 65,535 and 65,536 in all.
    const QString longest = QString(65535 - 15, QLatin1Char('x'));
    const QString tooLong = longest + QLatin1Char('y');
    const struct {
        PlannerRecord record;
        bool narrow;
        int endBytes;
    } cases[] = {
        {rec("05/11/1996", "10:30", latin1), true, 2},
        {rec("05/11/1996", "10:30", latin1 + euro), false, 2},
        {PlannerRecord::fromList({"", "", "", "", "", "", "", "", "", "", "", euro}), false, 2},
        {rec("05/11/1996", "10:30", longest), true, 2},
        {rec("05/11/1996", "10:30", tooLong), true, 4},
        {rec("05/11/1996", "10:30", tooLong + euro), false, 4},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plan.pln"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record[Field::Name].left(20).toStdString());
        const PackedRecord packed(c.record);
        EXPECT_EQ(packed.isNarrow(), c.narrow);
        EXPECT_EQ(RecordView(packed).toRecord(), c.record);
        EXPECT_EQ(RecordView(PackedRecord(packed)).toRecord(), c.record);
        std::size_t length = 0;
        for (int f = 1; f <= Field::Count; ++f)
            length += static_cast<std::size_t>(c.record[f].size());
        EXPECT_EQ(packed.blockBytes(), Field::Count * c.endBytes + length * (c.narrow ? 1 : 2));
        RecordStore written, read;
        written.replaceAll({c.record, rec("06/11/1996", "11:00", "Bob")});
        ASSERT_TRUE(writePlanFile(path, written).ok());
        ASSERT_TRUE(readPlanFile(path, read, written.dateOrder()).loaded());
        EXPECT_EQ(read.record(1).toRecord(), c.record);
        EXPECT_EQ(read.record(2).toRecord(), rec("06/11/1996", "11:00", "Bob"));
    }

    RecordStore store;
    store.replaceAll({rec("05/11/1996", "10:30", "Ann"), rec("06/11/1996", "11:00", "Bob")});
    const struct {
        const char* what;
        std::function<void(RecordStore&)> edit;
        PlannerRecord expected;
    } edits[] = {
        {"same length in place", [](RecordStore& s) { s.setFields(1, {{Field::Name, u"Ann"}, {Field::StartDate, u"11/05/1996"}}); },
         rec("11/05/1996", "10:30", "Ann")},
        {"same length, wider", [&](RecordStore& s) { s.setFields(1, {{Field::Time, u"10:31"}, {Field::Name, QStringView(euro + "nn")}}); },
         rec("11/05/1996", "10:31", euro + "nn")},
        {"narrow again", [](RecordStore& s) { s.setField(Field::Name, 1, QStringLiteral("Ann")); }, rec("11/05/1996", "10:31", "Ann")},
    };
    for (const auto& e : edits) {
        SCOPED_TRACE(e.what);
        e.edit(store);
        EXPECT_EQ(store.record(1).toRecord(), e.expected);
        EXPECT_EQ(store.record(2).toRecord(), rec("06/11/1996", "11:00", "Bob"));
    }
    EXPECT_EQ(store.recordKey(1), sortKey(QStringLiteral("11/05/1996"), QStringLiteral("10:31"), store.dateOrder()));
}

// Records read from a file share one buffer; no change of one record may
// show in another, in the store or in a copy of it.
TEST(RecordStore, editsOfALoadedPlanChangeNoOtherRecord)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plan.pln"));
    {
        RecordStore source;
        source.replaceAll({rec("01/01/1996", "09:00", "One"), rec("02/01/1996", "09:00", "Two"),
                           rec("03/01/1996", "09:00", "Three"), rec("04/01/1996", "09:00", "Four")});
        ASSERT_TRUE(writePlanFile(path, source).ok());
    }
    const QString longer(300, QLatin1Char('L'));
    const struct {
        const char* what;
        std::function<void(RecordStore&)> edit;
        int count;
    } cases[] = {
        {"setField", [](RecordStore& s) { s.setField(Field::Name, 2, QStringLiteral("Changed")); }, 4},
        {"setField longer", [&](RecordStore& s) { s.setField(Field::Name, 2, longer); }, 4},
        {"setField emptied", [](RecordStore& s) { s.setField(Field::Name, 2, QString()); }, 4},
        {"setFields", [](RecordStore& s) { s.setFields(2, {{Field::Name, u"Changed"}, {Field::StartDate, u"soon"}}); }, 4},
        {"setRecord", [](RecordStore& s) { s.setRecord(2, rec("", "", "Changed")); }, 4},
        {"removeRecord", [](RecordStore& s) { s.removeRecord(2); }, 3},
        {"insertRecordAt", [](RecordStore& s) { s.insertRecordAt(2, rec("", "", "New")); }, 5},
        {"insertInDateOrder", [](RecordStore& s) { s.insertInDateOrder(rec("02/01/1996", "10:00", "New")); }, 5},
        {"re-sort then change", [](RecordStore& s) {
             s.setField(Field::StartDate, 1, QStringLiteral("09/01/1996"));
             s.sortChronologically();
             s.setField(Field::Name, 4, QStringLiteral("Changed"));
         }, 4},
        {"change a copy", [](RecordStore& s) {
             RecordStore copy = s;
             copy.setField(Field::Name, 2, QStringLiteral("Changed"));
             copy.removeRecord(1);
         }, 4},
        {"copy outlives the original", [](RecordStore& s) {
             auto original = std::make_unique<RecordStore>();
             ASSERT_TRUE(readPlanFile(s.planFileName, *original, DateOrder::DayFirst).loaded());
             RecordStore copy = *original;
             original.reset();
             s = copy;
         }, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordStore store;
        ASSERT_TRUE(readPlanFile(path, store, DateOrder::DayFirst).loaded());
        store.planFileName = path;
        std::vector<PlannerRecord> before;
        for (int i = 1; i <= store.recordCount(); ++i)
            before.push_back(store.record(i).toRecord());

        c.edit(store);

        ASSERT_EQ(store.recordCount(), c.count);
        int unchanged = 0;
        for (int i = 1; i <= store.recordCount(); ++i) {
            const auto same = std::find_if(before.begin(), before.end(), [&](const PlannerRecord& b) {
                return b[Field::Name] == store.record(i)[Field::Name];
            });
            if (same == before.end())
                continue; // the changed or the new record
            EXPECT_EQ(store.record(i).toRecord(), *same) << "record " << i;
            ++unchanged;
        }
        EXPECT_GE(unchanged, 3);
    }
}

// Same-length texts are written over a record's own block in place; texts
// taken from that very block (start and finish turned round) must not be
// overwritten before they are read.
TEST(RecordStore, setFieldsTurnsDatesRoundInPlaceOrNot)
{
    for (const bool fromOwnBlock : {false, true}) {
        SCOPED_TRACE(fromOwnBlock);
        RecordStore store;
        store.replaceAll({rec("01/02/1996", "09:00", "One"), rec("03/04/1997", "10:00", "Two")});
        store.setField(Field::FinishDate, 2, QStringLiteral("05/06/1998"));
        const QString start = QStringLiteral("05/06/1998"), finish = QStringLiteral("03/04/1997");
        if (fromOwnBlock) {
            const RecordView r = store.record(2);
            store.setFields(2, {{Field::StartDate, r[Field::FinishDate]}, {Field::FinishDate, r[Field::StartDate]}});
        } else {
            store.setFields(2, {{Field::StartDate, start}, {Field::FinishDate, finish}});
        }
        EXPECT_EQ(store.field(Field::StartDate, 2), start);
        EXPECT_EQ(store.field(Field::FinishDate, 2), finish);
        EXPECT_EQ(store.field(Field::Name, 2), QStringLiteral("Two"));
        EXPECT_EQ(store.record(1).toRecord(), rec("01/02/1996", "09:00", "One"));
        EXPECT_EQ(store.recordKey(2), sortKey(start, QStringLiteral("10:00"), DateOrder::DayFirst));
    }
}

TEST(AddChronological, emptyAndOneRecordStores)
{
    RecordStore store;
    EXPECT_EQ(store.insertInDateOrder(rec("05/11/1996", "", "mid")), 1);
    EXPECT_EQ(store.insertInDateOrder(rec("06/11/1996", "", "later")), 2);
    EXPECT_EQ(names(store), (QStringList{"mid", "later"}));

    store.removeRecord(2);
    EXPECT_EQ(store.insertInDateOrder(rec("04/11/1996", "", "earlier")), 1);
    EXPECT_EQ(names(store), (QStringList{"earlier", "mid"}));
}

TEST(AddChronological, equalKeysGoAfterExistingOnes)
{
    RecordStore store;
    store.insertInDateOrder(rec("05/11/1996", "10:00", "a"));
    store.insertInDateOrder(rec("05/11/1996", "10:00", "b"));
    store.insertInDateOrder(rec("01/01/1990", "", "first"));
    store.insertInDateOrder(rec("01/01/2010", "", "last"));
    EXPECT_EQ(store.insertInDateOrder(rec("5 Nov 1996", "10:00 AM", "c")), 4);
    EXPECT_EQ(names(store), (QStringList{"first", "a", "b", "c", "last"}));
}

TEST(AddChronological, undatedRecordSortsFirst)
{
    RecordStore store;
    store.insertInDateOrder(rec("05/11/1996", "", "dated"));
    store.insertInDateOrder(rec("01/01/1980", "", "old"));
    EXPECT_EQ(store.insertInDateOrder(rec("soon", "23:59", "soon")), 1);
}

TEST(AddChronological, unsortedStore_takesFirstQualifyingGap)
{
    // Keys by year: 1990, 2010, 1995, 2020. 2000 fits first between 1990
    // and 2010, although 1995 ... 2020 would also hold it.
    RecordStore store;
    store.replaceAll({rec("01/01/1990", "", "a"), rec("01/01/2010", "", "b"), rec("01/01/1995", "", "c"),
                      rec("01/01/2020", "", "d")});
    EXPECT_EQ(store.insertInDateOrder(rec("01/01/2000", "", "new")), 2);
    EXPECT_EQ(names(store), (QStringList{"a", "new", "b", "c", "d"}));
}

TEST(AddChronological, matchesTheLiteralAlgorithmOnUnsortedStores)
{
    std::mt19937 rng(7);
    for (DateOrder order : {DateOrder::DayFirst, DateOrder::MonthFirst}) {
        for (int round = 0; round < 40; ++round) {
            auto plan = randomPlan(rng, 2 + round % 9);
            RecordStore store;
            store.systemDateStyle = order == DateOrder::MonthFirst ? kAmerican : kEnglishEuro;
            store.replaceAll(plan);
            std::vector<PlannerRecord> reference(1);
            reference.insert(reference.end(), plan.begin(), plan.end());
            for (const auto& extra : randomPlan(rng, 5)) {
                ASSERT_EQ(store.insertInDateOrder(extra), literalAdd(reference, extra, order));
            }
            ASSERT_EQ(store.recordCount(), static_cast<int>(reference.size()) - 1);
            for (int i = 1; i <= store.recordCount(); ++i)
                ASSERT_EQ(store.record(i), reference[i]) << "round " << round << " record " << i;
        }
    }
}

TEST(RemoveRecord, laterRecordsMoveUp)
{
    RecordStore store;
    store.replaceAll({rec("", "", "a"), rec("", "", "b"), rec("", "", "c")});
    store.removeRecord(2);
    EXPECT_EQ(names(store), (QStringList{"a", "c"}));
    store.removeRecord(0);
    store.removeRecord(3);
    EXPECT_EQ(store.recordCount(), 2);
}

TEST(RemoveRecord, lastRecordOfOneRecordPlan_leavesEmptyPlan)
{
    RecordStore store;
    store.insertInDateOrder(rec("05/11/1996", "10:00", "only"));
    store.removeRecord(1);
    EXPECT_EQ(store.recordCount(), 0);
    EXPECT_EQ(store.record(1), PlannerRecord{});
    EXPECT_EQ(store.insertInDateOrder(rec("05/11/1996", "", "again")), 1);
}

TEST(InsertRecordAt, placesAtTheGivenPositionOnly)
{
    RecordStore store;
    EXPECT_TRUE(store.insertRecordAt(1, rec("", "", "b")));
    EXPECT_TRUE(store.insertRecordAt(1, rec("", "", "a")));
    EXPECT_TRUE(store.insertRecordAt(3, rec("", "", "c")));
    EXPECT_FALSE(store.insertRecordAt(5, rec("", "", "x")));
    EXPECT_FALSE(store.insertRecordAt(0, rec("", "", "x")));
    EXPECT_EQ(names(store), (QStringList{"a", "b", "c"}));
}

TEST(RecordKey, followsFieldChangesAndTheDateStyle)
{
    RecordStore store;
    store.replaceAll({rec("05/11/1996", "10:00", "a")});
    EXPECT_DOUBLE_EQ(store.recordKey(1), 1996 * Y + 310 * D + 1000);

    store.systemDateStyle = kAmerican;
    EXPECT_EQ(store.dateOrder(), DateOrder::MonthFirst);
    EXPECT_DOUBLE_EQ(store.recordKey(1), 1996 * Y + 132 * D + 1000);

    store.setField(Field::Time, 1, "11:15");
    EXPECT_DOUBLE_EQ(store.recordKey(1), 1996 * Y + 132 * D + 1115);
    store.setField(Field::StartDate, 1, "soon");
    EXPECT_DOUBLE_EQ(store.recordKey(1), 1115);
    store.setRecord(1, rec("01/02/1996", "", "b"));
    EXPECT_DOUBLE_EQ(store.recordKey(1), 1996 * Y + 2 * D);

    store.systemDateStyle = kEnglishEuro;
    EXPECT_DOUBLE_EQ(store.recordKey(1), 1996 * Y + 32 * D);
}

struct RecordingProgress : ProgressSink {
    void begin() override { events << "begin"; }
    void progress(int percent) override { percents.push_back(percent); }
    void end() override { events << "end"; }
    QStringList events;
    std::vector<int> percents;
};

TEST(Chronological, equalsRepeatedLiteralInsertionOnRandomPlans)
{
    std::mt19937 rng(1996);
    for (DateOrder order : {DateOrder::DayFirst, DateOrder::MonthFirst}) {
        for (int size : {1, 2, 3, 17, 300}) {
            const auto plan = randomPlan(rng, size);
            RecordStore store;
            store.systemDateStyle = order == DateOrder::MonthFirst ? kAmerican : kEnglishEuro;
            store.replaceAll(plan);
            store.sortChronologically();
            const auto expected = literalChronological(plan, order);
            ASSERT_EQ(store.recordCount(), static_cast<int>(expected.size()));
            for (int i = 1; i <= store.recordCount(); ++i)
                ASSERT_EQ(store.record(i), expected[i - 1]) << "size " << size << " record " << i;
        }
    }
}

TEST(Chronological, afterDateStyleChange_usesTheNewOrder)
{
    RecordStore store;
    store.replaceAll({rec("03/04/1996", "", "a"), rec("04/03/1996", "", "b")});
    store.sortChronologically();
    EXPECT_EQ(names(store), (QStringList{"b", "a"}));
    store.systemDateStyle = kAmerican;
    store.sortChronologically();
    EXPECT_EQ(names(store), (QStringList{"a", "b"}));
}

TEST(Chronological, reportsProgressFromBeginToEnd)
{
    RecordStore store;
    std::mt19937 rng(3);
    store.replaceAll(randomPlan(rng, 250));
    RecordingProgress sink;
    store.sortChronologically(&sink);
    EXPECT_EQ(sink.events, (QStringList{"begin", "end"}));
    ASSERT_FALSE(sink.percents.empty());
    EXPECT_EQ(sink.percents.front(), 0);
    EXPECT_EQ(sink.percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(sink.percents.begin(), sink.percents.end()));
}

TEST(Chronological, emptyStore_doesNothing)
{
    RecordStore store;
    RecordingProgress sink;
    store.sortChronologically(&sink);
    EXPECT_TRUE(sink.events.isEmpty());
    EXPECT_TRUE(sink.percents.empty());
    EXPECT_EQ(store.recordCount(), 0);
}

TEST(CheckRoomForInsert, warnsAbove1000AndContinues)
{
    RecordStore store;
    FakeMessageBox messages;
    store.replaceAll(std::vector<PlannerRecord>(1000));
    EXPECT_TRUE(checkRoomForInsert(store, messages));
    EXPECT_TRUE(messages.empty());

    store.insertRecordAt(1, PlannerRecord{});
    EXPECT_TRUE(checkRoomForInsert(store, messages));
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, "Warning, large number of records\n\rTry saving this and making a new file");
    EXPECT_EQ(messages.last().style, MsgStyle::Exclamation);
    EXPECT_EQ(messages.last().title, "");
}

TEST(CheckRoomForInsert, fullPlan_refusesAndNothingIsInserted)
{
    RecordStore store;
    FakeMessageBox messages;
    store.replaceAll(std::vector<PlannerRecord>(RecordStore::kMaxRecords - 1));
    EXPECT_TRUE(checkRoomForInsert(store, messages));
    EXPECT_TRUE(store.insertInDateOrder(rec("soon", "", "last one")).has_value());
    EXPECT_TRUE(store.isFull());

    messages.clear();
    EXPECT_FALSE(checkRoomForInsert(store, messages));
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().style, MsgStyle::Exclamation);
    EXPECT_EQ(messages.last().title, "Planner Record");
    EXPECT_TRUE(messages.last().text.contains("32767"));

    EXPECT_EQ(store.insertInDateOrder(rec("soon", "", "x")), std::nullopt);
    EXPECT_FALSE(store.insertRecordAt(1, rec("soon", "", "x")));
    EXPECT_EQ(store.recordCount(), RecordStore::kMaxRecords);
}

class DeletionListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        ASSERT_TRUE(QDir(temp.path()).mkpath("rec/sub"));
        ASSERT_TRUE(QDir(temp.path()).mkpath("elsewhere"));
        store.recordingsFolder = temp.filePath("rec");
    }

    QString touch(const QString& relative)
    {
        const QString path = temp.filePath(relative);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return path;
    }

    QTemporaryDir temp;
    RecordStore store;
};

TEST_F(DeletionListTest, deletesOnlyOwnRecordingsAndEmptiesTheList)
{
    const QString own = touch("rec/03140509.WAV");
    const QString ownLower = touch("rec/31235959.wav");
    const QString userFile = touch("elsewhere/03140509.WAV");
    const QString notStamped = touch("rec/notes.wav");
    const QString shortStamp = touch("rec/0314050.WAV");
    const QString nested = touch("rec/sub/01020304.WAV");
    const QString viaDots = touch("rec/01010101.WAV");

    DeferredDeletions list;
    for (const QString& p : {own, ownLower, userFile, notStamped, shortStamp, nested, QString(), kNoAttachment,
                             temp.filePath("rec/sub/../01010101.WAV"), temp.filePath("rec/02020202.WAV")})
        list.add(p);

    EXPECT_EQ(store.emptyDeletionList(list), 3);
    EXPECT_EQ(list.count(), 0);
    EXPECT_FALSE(QFile::exists(own));
    EXPECT_FALSE(QFile::exists(ownLower));
    EXPECT_FALSE(QFile::exists(viaDots));
    EXPECT_TRUE(QFile::exists(userFile));
    EXPECT_TRUE(QFile::exists(notStamped));
    EXPECT_TRUE(QFile::exists(shortStamp));
    EXPECT_TRUE(QFile::exists(nested));
}

TEST_F(DeletionListTest, linkLeadingOutOfTheFolder_isKept)
{
    const QString target = touch("elsewhere/05060708.WAV");
    const QString link = temp.filePath("rec/05060708.WAV");
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_FALSE(store.isOwnRecording(link));

    DeferredDeletions list;
    list.add(link);
    EXPECT_EQ(store.emptyDeletionList(list), 0);
    EXPECT_TRUE(QFile::exists(target));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

TEST_F(DeletionListTest, withoutRecordingsFolder_nothingIsDeleted)
{
    const QString own = touch("rec/03140509.WAV");
    store.recordingsFolder.clear();
    DeferredDeletions list;
    list.add(own);
    EXPECT_EQ(store.emptyDeletionList(list), 0);
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(QFile::exists(own));
}

} // namespace
} // namespace zp
