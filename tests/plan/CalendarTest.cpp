#include "plan/Calendar.h"

#include <gtest/gtest.h>

#include <QTimeZone>

namespace zp {
namespace {

const QDateTime kStamp(QDate(2026, 12, 7), QTime(8, 0), QTimeZone::utc());

PlannerRecord rec(QStringList fields)
{
    return PlannerRecord::fromList(fields);
}

RecordStore inFileOrder(std::vector<PlannerRecord> records)
{
    RecordStore store;
    store.replaceAll(std::move(records));
    return store;
}

RecordStore storeOf(const std::vector<PlannerRecord>& records)
{
    RecordStore store;
    for (const PlannerRecord& r : records)
        store.insertInDateOrder(r);
    return store;
}

CalendarImportOptions options(DateOrder order = DateOrder::DayFirst)
{
    CalendarImportOptions o;
    o.order = order;
    o.today = QDate(2026, 1, 1);
    o.localZone = QTimeZone("Europe/Berlin");
    return o;
}

// Every kind of record the plan can hold, dates day first.
std::vector<PlannerRecord> varietyDayFirst()
{
    return {
        rec({"05/11/1996", "09:30", "Ann, Smith; Ltd", "(02) 9555 1234", "", "Quote \\ for the kitchen", "100.00", "5",
             "1", "plandefault", "plandefault", ""}),
        rec({"05/11/1996", "9:30 AM", "Ann, Smith; Ltd", "", "", "", "", "", "0", "plandefault", "plandefault", ""}),
        rec({"6/11/1996", "", "All day, finishing later", "", "(02) 9444", "", "", "", "x", "/pics/site.bmp",
             "/snd/1.wav", "08/11/1996"}),
        rec({"07/11/1996", "morning", "Finish before start", "", "", "", "", "", "", "", "", "01/11/1996"}),
        rec({"08/11/1996", "14:00", "Timed, finishing later", "", "", "", "", "", "1", "plandefault", "plandefault",
             "10/11/1996"}),
        rec({"soon", "10:00", "Zoë's cafés — üüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüüü", "", "", "Ñandú 🗓", "", "", "1", "plandefault", "plandefault", "later"}),
        rec({"", "", "", "", "", "", "", "", "0", "plandefault", "plandefault", ""}),
    };
}

std::vector<PlannerRecord> records(const RecordStore& store)
{
    std::vector<PlannerRecord> out;
    for (int i = 1; i <= store.recordCount(); ++i)
        out.push_back(store.record(i).toRecord());
    return out;
}

TEST(Calendar, roundTripGivesIdenticalRecordsInBothDateOrders)
{
    for (DateOrder order : {DateOrder::DayFirst, DateOrder::MonthFirst}) {
        std::vector<PlannerRecord> original = varietyDayFirst();
        if (order == DateOrder::MonthFirst)
            for (PlannerRecord& r : original)
                for (int f : {Field::StartDate, Field::FinishDate})
                    if (r[f].count(u'/') == 2)
                        r[f] = r[f].section(u'/', 1, 1) + u'/' + r[f].section(u'/', 0, 0) + u'/' + r[f].section(u'/', 2);
        const RecordStore plan = storeOf(original);
        const QByteArray text = calendarText(plan, order, kStamp);

        RecordStore empty;
        const CalendarImport back = readCalendar(text, empty, options(order));
        ASSERT_TRUE(back.readable) << back.error.toStdString();
        EXPECT_EQ(back.notUnderstood, 0);
        EXPECT_EQ(back.skipped, 0);
        RecordStore imported;
        EXPECT_EQ(addImportedRecords(imported, back.records, int(back.records.size())), plan.recordCount());
        ASSERT_EQ(records(imported), records(plan)) << text.toStdString();
        EXPECT_TRUE(imported.modified);

        // The same file once more: everything is there already.
        const CalendarImport again = readCalendar(text, plan, options(order));
        EXPECT_TRUE(again.records.empty());
        EXPECT_EQ(again.skipped, plan.recordCount());
    }
    // Texts that differ only in where one field ends and the next begins
    // are another record, not one already there.
    const RecordStore mine = storeOf({PlannerRecord::fromList({"05/11/1996", "10:30", "Smith", "555 1234"})});
    const QByteArray theirs = calendarText(storeOf({PlannerRecord::fromList({"05/11/1996", "10:30", "Smith5", "55 1234"})}),
                                           DateOrder::DayFirst, kStamp);
    const CalendarImport split = readCalendar(theirs, mine, options(DateOrder::DayFirst));
    EXPECT_EQ(split.records.size(), 1u);
    EXPECT_EQ(split.skipped, 0);
    // Read where months come first, a day-first export gives month-first dates.
    const QByteArray dayFirst = calendarText(storeOf(varietyDayFirst()), DateOrder::DayFirst, kStamp);
    const CalendarImport other = readCalendar(dayFirst, RecordStore(), options(DateOrder::MonthFirst));
    ASSERT_GE(other.records.size(), 5u);
    EXPECT_EQ(other.records[2][Field::StartDate], "11/05/1996");
    EXPECT_EQ(other.records[4][Field::StartDate], "11/06/1996");
    EXPECT_EQ(other.records[4][Field::FinishDate], "11/08/1996");
}

TEST(Calendar, exportMapsRecordsToEventsAndTodos)
{
    const RecordStore plan = storeOf(varietyDayFirst());
    const QByteArray bytes = calendarText(plan, DateOrder::DayFirst, kStamp);
    const QString text = QString::fromUtf8(bytes);
    const struct {
        const char* line;
        int count;
    } cases[] = {
        {"BEGIN:VEVENT\r\n", 5},
        {"BEGIN:VTODO\r\n", 2},
        {"DTSTART:19961105T093000\r\n", 2},
        {"DTSTART;VALUE=DATE:19961106\r\n", 1},
        {"DTEND;VALUE=DATE:19961109\r\n", 1},   // all day to the end of the 8th
        {"DTEND:19961111T000000\r\n", 1},       // timed, to the end of the 10th
        {"CATEGORIES:Done\r\n", 2},
        {"STATUS:COMPLETED\r\n", 1},
        {"STATUS:NEEDS-ACTION\r\n", 1},
        {"SUMMARY:Ann\\, Smith\\; Ltd\r\n", 2},
        {"DESCRIPTION:Quote \\\\ for the kitchen\r\n", 1},
        {"DTSTAMP:20261207T080000Z\r\n", 7},
        {"X-ZORVIK-INCOME:100.00\r\n", 1},
        {"X-ZORVIK-TIME:9:30 AM\r\n", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text.count(QString::fromUtf8(c.line)), c.count) << c.line;
    // Folded after 75 octets, and never inside a character.
    for (const QByteArray& line : bytes.split('\n')) {
        EXPECT_LE(line.size(), 76) << line.toStdString();
        EXPECT_TRUE(QUtf8StringView(line).isValidUtf8()) << line.toStdString();
    }
}

TEST(Calendar, uidsAreStableAcrossDateStylesAndEditsAndDistinctForTwins)
{
    std::vector<PlannerRecord> plan = {
        rec({"05/11/1996", "09:30", "Ann"}), rec({"05/11/1996", "09:30", "Ann"}), rec({"05/11/1996", "", "Ann"})};
    const auto uids = calendarUids(inFileOrder(plan), DateOrder::DayFirst);
    EXPECT_EQ(uids[1].toStdString(), QString(uids[0]).replace(u'@', QStringLiteral("-2@")).toStdString());
    EXPECT_NE(uids[2], uids[0]);

    plan[0][Field::Message] = QStringLiteral("changed");
    plan[0][Field::JobStatus] = QStringLiteral("1");
    for (PlannerRecord& r : plan)
        r[Field::StartDate] = QStringLiteral("11/05/1996");
    EXPECT_EQ(calendarUids(inFileOrder(plan), DateOrder::MonthFirst), uids);
}

struct ImportCase {
    const char* name;
    const char* body; // the components, between the calendar's own lines
    // Start, time, name, message, status, finish of each new record.
    std::vector<std::array<const char*, 6>> expected;
    int notUnderstood = 0;
};

QByteArray calendar(const char* body)
{
    return QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//EN\r\n") + body + "END:VCALENDAR\r\n";
}

TEST(Calendar, importReadsHandWrittenCalendars)
{
    const ImportCase cases[] = {
        {"all day", "BEGIN:VEVENT\r\nUID:1\r\nDTSTART;VALUE=DATE:20260310\r\nDTEND;VALUE=DATE:20260313\r\n"
                    "SUMMARY:Conference\r\nEND:VEVENT\r\n",
         {{"10/03/2026", "", "Conference", "", "0", "12/03/2026"}}},
        {"one-day all day", "BEGIN:VEVENT\r\nUID:1\r\nDTSTART;VALUE=DATE:20260310\r\nDTEND;VALUE=DATE:20260311\r\n"
                            "SUMMARY:Holiday\r\nEND:VEVENT\r\n",
         {{"10/03/2026", "", "Holiday", "", "0", ""}}},
        {"UTC", "BEGIN:VEVENT\r\nUID:2\r\nDTSTART:20260701T223000Z\r\nSUMMARY:Late call\r\nEND:VEVENT\r\n",
         {{"02/07/2026", "00:30", "Late call", "", "0", ""}}},
        {"TZID with its VTIMEZONE",
         "BEGIN:VTIMEZONE\r\nTZID:Eastern\r\nBEGIN:STANDARD\r\nDTSTART:19701101T020000\r\n"
         "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\nTZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nEND:STANDARD\r\n"
         "BEGIN:DAYLIGHT\r\nDTSTART:19700308T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\n"
         "TZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n"
         "BEGIN:VEVENT\r\nUID:3\r\nDTSTART;TZID=Eastern:20260115T090000\r\nSUMMARY:Winter\r\nEND:VEVENT\r\n"
         "BEGIN:VEVENT\r\nUID:4\r\nDTSTART;TZID=Eastern:20260715T090000\r\nSUMMARY:Summer\r\nEND:VEVENT\r\n",
         {{"15/01/2026", "15:00", "Winter", "", "0", ""}, {"15/07/2026", "15:00", "Summer", "", "0", ""}}},
        {"TZID of the zone database", "BEGIN:VEVENT\r\nUID:5\r\nDTSTART;TZID=Asia/Tokyo:20260601T090000\r\n"
                                      "SUMMARY:Tokyo\r\nEND:VEVENT\r\n",
         {{"01/06/2026", "02:00", "Tokyo", "", "0", ""}}},
        {"recurring, weekly three times with an exception",
         "BEGIN:VEVENT\r\nUID:6\r\nDTSTART:20260105T100000\r\nDTEND:20260105T110000\r\n"
         "RRULE:FREQ=WEEKLY;COUNT=4\r\nEXDATE:20260112T100000\r\nSUMMARY:Team\r\nEND:VEVENT\r\n",
         {{"05/01/2026", "10:00", "Team", "", "0", ""},
          {"19/01/2026", "10:00", "Team", "", "0", ""},
          {"26/01/2026", "10:00", "Team", "", "0", ""}}},
        {"recurring, moved occurrence",
         "BEGIN:VEVENT\r\nUID:7\r\nDTSTART:20260105T100000\r\nRRULE:FREQ=DAILY;COUNT=2\r\nSUMMARY:Daily\r\n"
         "END:VEVENT\r\nBEGIN:VEVENT\r\nUID:7\r\nRECURRENCE-ID:20260106T100000\r\nDTSTART:20260106T150000\r\n"
         "SUMMARY:Daily\r\nEND:VEVENT\r\n",
         {{"05/01/2026", "10:00", "Daily", "", "0", ""}, {"06/01/2026", "15:00", "Daily", "", "0", ""}}},
        {"to-dos", "BEGIN:VTODO\r\nUID:8\r\nSUMMARY:Pay the rent\r\nSTATUS:COMPLETED\r\nEND:VTODO\r\n"
                   "BEGIN:VTODO\r\nUID:9\r\nDUE;VALUE=DATE:20260401\r\nSUMMARY:Taxes\r\nEND:VTODO\r\n",
         {{"", "", "Pay the rent", "", "1", ""}, {"01/04/2026", "", "Taxes", "", "0", ""}}},
        {"folded lines and non-ASCII",
         "BEGIN:VEVENT\r\nUID:10\r\nDTSTART;VALUE=DATE:20260202\r\nSUMMARY:Réunion à \r\n l'hôtel de vil\r\n\tle\r\n"
         "DESCRIPTION:Zeile eins\\nZeile zwei\\, 東京\r\nEND:VEVENT\r\n",
         {{"02/02/2026", "", "Réunion à l'hôtel de ville", "Zeile eins Zeile zwei, 東京", "0", ""}}},
        {"EXDATE in UTC removes the occurrence it names in the event's zone",
         "BEGIN:VEVENT\r\nUID:14\r\nDTSTART;TZID=Europe/Berlin:20260105T003000\r\nRRULE:FREQ=DAILY;COUNT=3\r\n"
         "EXDATE:20260105T233000Z\r\nSUMMARY:Late\r\nEND:VEVENT\r\n",
         {{"05/01/2026", "00:30", "Late", "", "0", ""}, {"07/01/2026", "00:30", "Late", "", "0", ""}}},
        {"RDATEs add occurrences", "BEGIN:VEVENT\r\nUID:15\r\nDTSTART:20260105T100000\r\n"
                                   "RDATE:20260110T100000,20260112T080000\r\nSUMMARY:Extra\r\nEND:VEVENT\r\n",
         {{"05/01/2026", "10:00", "Extra", "", "0", ""},
          {"10/01/2026", "10:00", "Extra", "", "0", ""},
          {"12/01/2026", "08:00", "Extra", "", "0", ""}}},
        {"TZID of the zone database with a prefix",
         "BEGIN:VEVENT\r\nUID:16\r\nDTSTART;TZID=/freeassociation.sourceforge.net/America/New_York:20260601T090000\r\n"
         "SUMMARY:NY\r\nEND:VEVENT\r\n",
         {{"01/06/2026", "15:00", "NY", "", "0", ""}}},
        {"the zone database before the file's own VTIMEZONE",
         "BEGIN:VTIMEZONE\r\nTZID:Asia/Tokyo\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\nTZOFFSETFROM:+0000\r\n"
         "TZOFFSETTO:+0000\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\nBEGIN:VEVENT\r\nUID:17\r\n"
         "DTSTART;TZID=Asia/Tokyo:20260601T090000\r\nSUMMARY:Tokyo\r\nEND:VEVENT\r\n",
         {{"01/06/2026", "02:00", "Tokyo", "", "0", ""}}},
        {"two alike entries with their own UIDs", "BEGIN:VEVENT\r\nUID:18\r\nDTSTART;VALUE=DATE:20260301\r\nSUMMARY:Twin\r\n"
                                                  "END:VEVENT\r\nBEGIN:VEVENT\r\nUID:19\r\nDTSTART;VALUE=DATE:20260301\r\n"
                                                  "SUMMARY:Twin\r\nEND:VEVENT\r\n",
         {{"01/03/2026", "", "Twin", "", "0", ""}, {"01/03/2026", "", "Twin", "", "0", ""}}},
        {"hourly at named hours", "BEGIN:VEVENT\r\nUID:20\r\nDTSTART:20260105T090000\r\n"
                                  "RRULE:FREQ=HOURLY;BYHOUR=9,17;COUNT=3\r\nSUMMARY:Shift\r\nEND:VEVENT\r\n",
         {{"05/01/2026", "09:00", "Shift", "", "0", ""},
          {"05/01/2026", "17:00", "Shift", "", "0", ""},
          {"06/01/2026", "09:00", "Shift", "", "0", ""}}},
        {"last Friday of the month", "BEGIN:VEVENT\r\nUID:21\r\nDTSTART;VALUE=DATE:20260130\r\n"
                                     "RRULE:FREQ=MONTHLY;BYDAY=-1FR;COUNT=3\r\nSUMMARY:Pay\r\nEND:VEVENT\r\n",
         {{"30/01/2026", "", "Pay", "", "0", ""}, {"27/02/2026", "", "Pay", "", "0", ""},
          {"27/03/2026", "", "Pay", "", "0", ""}}},
        {"what is not a record", "BEGIN:VJOURNAL\r\nUID:11\r\nSUMMARY:Diary\r\nEND:VJOURNAL\r\n"
                                 "BEGIN:VEVENT\r\nUID:12\r\nDTSTART:2026XX01\r\nSUMMARY:Bad date\r\nEND:VEVENT\r\n"
                                 "BEGIN:VEVENT\r\nUID:13\r\nSUMMARY:No start\r\nEND:VEVENT\r\n",
         {}, 3},
    };
    for (const ImportCase& c : cases) {
        SCOPED_TRACE(c.name);
        const RecordStore empty;
        const CalendarImport got = readCalendar(calendar(c.body), empty, options());
        ASSERT_TRUE(got.readable) << got.error.toStdString();
        EXPECT_EQ(got.notUnderstood, c.notUnderstood);
        ASSERT_EQ(got.records.size(), c.expected.size());
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            const PlannerRecord& r = got.records[i];
            const int fields[] = {Field::StartDate, Field::Time, Field::Name, Field::Message, Field::JobStatus,
                                  Field::FinishDate};
            for (int k = 0; k < 6; ++k)
                EXPECT_EQ(r[fields[k]], QString::fromUtf8(c.expected[i][std::size_t(k)])) << "record " << i;
            EXPECT_EQ(r[Field::ImagePath], kNoAttachment);
        }
    }
}

TEST(Calendar, recurringWithoutEndIsExpandedForTheChosenSpanFromToday)
{
    const QByteArray monthly = calendar("BEGIN:VEVENT\r\nUID:m\r\nDTSTART;VALUE=DATE:20200115\r\n"
                                        "RRULE:FREQ=MONTHLY\r\nSUMMARY:Rent\r\nEND:VEVENT\r\n");
    // Every minute for a year: no more than one record beyond what a plan holds.
    const QByteArray minutely = calendar("BEGIN:VEVENT\r\nUID:s\r\nDTSTART:20260101T000000\r\n"
                                         "RRULE:FREQ=MINUTELY\r\nSUMMARY:Tick\r\nEND:VEVENT\r\n");
    const struct {
        const QByteArray& text;
        int months;
        int records;
    } cases[] = {{monthly, 12, 12}, {monthly, 3, 3}, {monthly, 0, 0}, {minutely, 12, RecordStore::kMaxRecords + 1}};
    for (const auto& c : cases) {
        CalendarImportOptions o = options();
        o.recurrenceMonths = c.months;
        const CalendarImport got = readCalendar(c.text, RecordStore(), o);
        ASSERT_EQ(got.newRecords, c.records);
        ASSERT_EQ(int(got.records.size()), std::min(c.records, RecordStore::kMaxRecords));
        EXPECT_EQ(got.recurring, 1);
        if (c.records > 0 && c.records < 100) {
            EXPECT_EQ(got.records.front()[Field::StartDate], "15/01/2026");
        }
    }
}

TEST(Calendar, hostileRulesFinishAndWhatCannotBeExpandedIsNotUnderstood)
{
    const auto every = [](int first, int last) {
        QByteArray list = QByteArray::number(first);
        for (int i = first + 1; i <= last; ++i)
            list += ',' + QByteArray::number(i);
        return list;
    };
    const auto repeating = [](const char* start, const QByteArray& rule) {
        return QByteArray("BEGIN:VEVENT\r\nUID:h\r\nDTSTART:") + start + "\r\nRRULE:" + rule
               + "\r\nSUMMARY:h\r\nEND:VEVENT\r\n";
    };
    const struct {
        QByteArray body;
        int records;
        int notUnderstood;
    } cases[] = {
        // A zone whose offset changes every second.
        {"BEGIN:VTIMEZONE\r\nTZID:Tick\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\nRRULE:FREQ=SECONDLY\r\n"
         "TZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\nBEGIN:VEVENT\r\nUID:t\r\n"
         "DTSTART;TZID=Tick:20260301T100000\r\nSUMMARY:t\r\nEND:VEVENT\r\n",
         0, 1},
        // Rules that never match: nothing, after a bounded search.
        {repeating("20250101T000000", "FREQ=SECONDLY;BYMONTH=2;BYMONTHDAY=30"), 0, 0},
        {repeating("20250101T000000", "FREQ=MINUTELY;BYMONTH=2;BYMONTHDAY=30"), 0, 0},
        {repeating("20250101T000000", "FREQ=HOURLY;BYMONTH=2;BYMONTHDAY=30"), 0, 0},
        {repeating("20250101T000000", "FREQ=SECONDLY;BYYEARDAY=366"), 0, 0},
        {repeating("20250101T000000", "FREQ=YEARLY;BYMONTHDAY=31;BYMONTH=2"), 0, 0},
        {repeating("19000101T000000", "FREQ=DAILY;BYMONTH=2;BYMONTHDAY=30;COUNT=2"), 0, 0},
        // Counting every second from the year 1 takes more steps than a file may.
        {repeating("00010101T000000", "FREQ=SECONDLY;COUNT=2000000000"), 0, 1},
        // Every second of every day of a year, gathered a year at a time.
        {repeating("20250101T000000", "FREQ=YEARLY;BYMONTHDAY=" + every(1, 31) + ";BYHOUR=" + every(0, 23)
                                          + ";BYMINUTE=" + every(0, 59) + ";BYSECOND=" + every(0, 59)),
         0, 1},
        // Not a rule at all.
        {repeating("20250101T000000", "FREQ=SECONDLY;BYSECOND=61"), 0, 1},
    };
    for (const auto& c : cases) {
        const CalendarImport got = readCalendar(calendar(c.body.constData()), RecordStore(), options());
        ASSERT_TRUE(got.readable) << c.body.toStdString();
        EXPECT_EQ(int(got.records.size()), c.records) << c.body.toStdString();
        EXPECT_EQ(got.notUnderstood, c.notUnderstood) << c.body.toStdString();
    }
}

TEST(Calendar, importOfADeeplyNestedFile_isRefusedWithAMessage)
{
    const auto nested = [](int levels) {
        QByteArray text = "BEGIN:VCALENDAR\r\n";
        for (int i = 1; i < levels; ++i)
            text += "BEGIN:X\r\n";
        for (int i = 1; i < levels; ++i)
            text += "END:X\r\n";
        return text + "END:VCALENDAR\r\n";
    };
    // The calendar itself is the first of the 64 levels a file may have.
    const struct {
        int levels;
        bool readable;
    } cases[] = {{64, true}, {65, false}, {270000, false}};
    for (const auto& c : cases) {
        const CalendarImport got = readCalendar(nested(c.levels), RecordStore(), options());
        EXPECT_EQ(got.readable, c.readable) << c.levels;
        if (!c.readable) {
            EXPECT_EQ(got.error, "The file is nested too deeply to be a calendar (more than 64 levels).");
        }
    }
}

TEST(Calendar, exportAndImportKeepEveryFieldExactly)
{
    const QString odd[] = {QStringLiteral(" leading"), QStringLiteral("trailing "), QStringLiteral("\ttabs\t"),
                           QStringLiteral("  "), QStringLiteral("a\x01" "b\x1f" "c\x7f"), QString::fromUtf16(u"nul\0here", 8),
                           QStringLiteral("100% %41"), QStringLiteral("a\\,b;c"), QStringLiteral("31/12/3001"),
                           QStringLiteral("01/01/9999")};
    std::vector<PlannerRecord> plan;
    for (const QString& value : odd) {
        for (int f = 1; f <= Field::Count; ++f) {
            PlannerRecord r = rec({"05/11/1996", "09:30", "Name", "", "", "", "", "", "0", "plandefault", "plandefault", ""});
            r[f] = value;
            plan.push_back(r);
        }
    }
    plan.push_back(plan.front()); // twins: two records, two entries
    const RecordStore store = inFileOrder(plan);
    const CalendarImport back = readCalendar(calendarText(store, DateOrder::DayFirst, kStamp), RecordStore(), options());
    ASSERT_TRUE(back.readable) << back.error.toStdString();
    EXPECT_EQ(back.skipped, 0);
    EXPECT_EQ(back.notUnderstood, 0);
    RecordStore imported;
    addImportedRecords(imported, back.records, int(back.records.size()));
    std::vector<PlannerRecord> got = records(imported), want = plan;
    const auto byText = [](const PlannerRecord& a, const PlannerRecord& b) { return a.fields < b.fields; };
    std::sort(got.begin(), got.end(), byText);
    std::sort(want.begin(), want.end(), byText);
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(QStringList(got[i].fields.begin() + 1, got[i].fields.end()).join(u'|').toStdString(),
                  QStringList(want[i].fields.begin() + 1, want[i].fields.end()).join(u'|').toStdString());
}

TEST(Calendar, progressIsAskedDuringLongExpansionsAndCanStopTheRead)
{
    const QByteArray minutely = calendar("BEGIN:VEVENT\r\nUID:s\r\nDTSTART:20260101T000000\r\n"
                                         "RRULE:FREQ=MINUTELY\r\nSUMMARY:Tick\r\nEND:VEVENT\r\n");
    for (const int stopAt : {0, 3, -1}) {
        int calls = 0;
        CalendarImportOptions o = options();
        o.progress = [&](qint64 done, qint64 total) {
            EXPECT_LE(done, total);
            return calls++ != stopAt;
        };
        const CalendarImport got = readCalendar(minutely, RecordStore(), o);
        EXPECT_EQ(got.cancelled, stopAt >= 0);
        EXPECT_EQ(got.readable, stopAt < 0);
        if (stopAt >= 0) {
            EXPECT_TRUE(got.records.empty());
            EXPECT_EQ(calls, stopAt + 1);
        } else {
            EXPECT_GT(calls, 10);
        }
    }
}

TEST(Calendar, malformedFileIsRefusedWithAReason)
{
    const struct {
        QByteArray text;
        const char* reason;
    } cases[] = {
        {"", "BEGIN:VCALENDAR"},
        {"hello\r\n", "BEGIN:VCALENDAR"},
        {"BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:1\r\nDTSTART:20260101T100000\r\nEND:VEVENT\r\n", "END:VCALENDAR"},
        {calendar("BEGIN:VEVENT\r\nUID:1\r\nDTSTART:20260101T100000\r\nSUMMARY:cut\r\nfolded without blank\r\n"
                  "END:VEVENT\r\n"),
         "damaged"},
        {calendar("BEGIN:VEVENT\r\nUID:1\r\nDTSTART:20260101\r\nSUMMARY:caf\xe9\r\nEND:VEVENT\r\n"), "UTF-8"},
        {calendar("BEGIN:VEVENT\r\nUID:1\r\nDTSTART:20260101\r\nEND:VTODO\r\n"),
         "line 7 ends VTODO, but the component open there is VEVENT"},
    };
    for (const auto& c : cases) {
        RecordStore plan = storeOf({rec({"05/11/1996", "", "Keep"})});
        const CalendarImport got = readCalendar(c.text, plan, options());
        EXPECT_FALSE(got.readable) << c.text.toStdString();
        EXPECT_TRUE(got.records.empty());
        EXPECT_TRUE(got.error.contains(QLatin1String(c.reason))) << got.error.toStdString();
    }
    EXPECT_FALSE(readCalendarFile(QStringLiteral("/nonexistent/x.ics"), RecordStore(), options()).readable);
}

TEST(Calendar, addedRecordsGoWhereInsertingEachInDateOrderPutsThem)
{
    const std::vector<PlannerRecord> plan = {rec({"01/01/2026", "", "p1"}), rec({"05/01/2026", "10:00", "p2"}),
                                             rec({"05/01/2026", "10:00", "p3"}), rec({"09/01/2026", "", "p4"})};
    const std::vector<PlannerRecord> incoming = {
        rec({"05/01/2026", "10:00", "n1"}), rec({"soon", "", "n2"}), rec({"31/12/2026", "", "n3"}),
        rec({"05/01/2026", "09:00", "n4"}), rec({"05/01/2026", "10:00", "n5"}), rec({"01/01/2026", "", "n6"})};
    RecordStore expected = storeOf(plan);
    for (const PlannerRecord& r : incoming)
        expected.insertInDateOrder(r);
    RecordStore got = storeOf(plan);
    EXPECT_EQ(addImportedRecords(got, incoming, int(incoming.size())), int(incoming.size()));
    EXPECT_EQ(records(got), records(expected));

    // A plan in the user's own order keeps it; new records go at the end.
    std::vector<PlannerRecord> ownOrder = {plan[3], plan[0]};
    RecordStore project = inFileOrder(ownOrder);
    addImportedRecords(project, incoming, 2);
    ownOrder.insert(ownOrder.end(), incoming.begin(), incoming.begin() + 2);
    EXPECT_EQ(records(project), ownOrder);
}

TEST(Calendar, aCalendarLargerThanAPlanKeepsOnlyTheEarliestRecordsButCountsThemAll)
{
    // Latest first, so the earliest records come last in the file.
    const int events = 2 * RecordStore::kMaxRecords + 100;
    QByteArray body;
    for (int i = events; i >= 1; --i) {
        const QDate day = QDate(2026, 1, 1).addDays(i / 4);
        body += "BEGIN:VEVENT\r\nUID:e" + QByteArray::number(i) + "\r\nDTSTART;VALUE=DATE:"
                + day.toString("yyyyMMdd").toLatin1() + "\r\nSUMMARY:" + QByteArray::number(i)
                + "\r\nEND:VEVENT\r\n";
    }
    const CalendarImport read = readCalendar(calendar(body.constData()), RecordStore(), options());
    ASSERT_TRUE(read.readable);
    EXPECT_EQ(read.newRecords, events);
    ASSERT_EQ(read.records.size(), std::size_t(RecordStore::kMaxRecords));
    // Same-day events keep the file's order (the later number first).
    EXPECT_EQ(read.records.front()[Field::Name], "3");
    EXPECT_EQ(read.records[1][Field::Name], "2");
    EXPECT_EQ(read.records.back()[Field::StartDate], "05/06/2048");
}

TEST(Calendar, importStopsAtThePlanLimit)
{
    std::vector<PlannerRecord> many(std::size_t(RecordStore::kMaxRecords - 2), rec({"01/01/1990", "", "x"}));
    RecordStore plan;
    plan.replaceAll(many);
    const std::vector<PlannerRecord> incoming = {rec({"01/01/2026", "", "a"}), rec({"02/01/2026", "", "b"}),
                                                 rec({"03/01/2026", "", "c"})};
    const int fit = roomForRecords(plan, 3);
    EXPECT_EQ(fit, 2);
    EXPECT_EQ(addImportedRecords(plan, incoming, fit), 2);
    EXPECT_EQ(plan.recordCount(), RecordStore::kMaxRecords);
    EXPECT_EQ(plan.field(Field::Name, plan.recordCount()), "b");
    EXPECT_EQ(roomForRecords(plan, 1), 0);
    EXPECT_TRUE(plan.modified);
}

} // namespace
} // namespace zp
