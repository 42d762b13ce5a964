#include "plan/DateStyle.h"
#include "plan/RecordStore.h"

#include <gtest/gtest.h>

namespace zp {
namespace {

using enum DateOrder;

TEST(SwapDayMonth, exchangesTheFirstTwoComponentsOfTheDayMonthYearShape)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"05/11/1996", "11/05/1996"},
        {"13/02/1996", "02/13/1996"},
        {"5/11/1996", "11/5/1996"},
        {"11/5/1996", "5/11/1996"},
        {"5/6/1996", "6/5/1996"},
        {"01/01/2000", "01/01/2000"},
        // Without the shape the text stays as it is.
        {"", ""},
        {"soon", "soon"},
        {"5/11/96", "5/11/96"},
        {"123/1/1996", "123/1/1996"},
        {"1/123/1996", "1/123/1996"},
        {"05-11-1996", "05-11-1996"},
        {"05/11/19960", "05/11/19960"},
        {"a5/11/1996", "a5/11/1996"},
        {"05/1a/1996", "05/1a/1996"},
        {"05/11/1996 ", "05/11/1996 "},
        {" 05/11/1996", " 05/11/1996"},
        {"//1996", "//1996"},
        {"05/11/", "05/11/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(swapDayMonth(QString::fromLatin1(c.in)), QString::fromLatin1(c.out));
    }
}

TEST(DateStyleWords, mapToOrderAndPattern)
{
    EXPECT_EQ(dateStyleFor(MonthFirst), QStringLiteral("american"));
    EXPECT_EQ(dateStyleFor(DayFirst), QStringLiteral("englisheuro"));

    const struct {
        const char* word;
        DateOrder order;
        const char* pattern;
        bool known;
    } cases[] = {
        {"american", MonthFirst, "mm/dd/yyyy", true},
        {"englisheuro", DayFirst, "dd/mm/yyyy", true},
        {"english", DayFirst, "dd/mm/yyyy", false}, // the settings file's default
        {"", DayFirst, "dd/mm/yyyy", false},
        {"American", DayFirst, "dd/mm/yyyy", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        const QString word = QString::fromLatin1(c.word);
        EXPECT_EQ(dateOrderFor(word), c.order);
        EXPECT_EQ(datePatternFor(word), QString::fromLatin1(c.pattern));
        EXPECT_EQ(isKnownDateStyle(word), c.known);
    }
}

TEST(DetectDateStyle, followsTheSystemOrder)
{
    EXPECT_EQ(detectDateStyle(DayFirst), QStringLiteral("englisheuro"));
    EXPECT_EQ(detectDateStyle(MonthFirst), QStringLiteral("american"));
}

TEST(StartFinishRule, startAfterFinishBreaksItEqualDatesDoNot)
{
    const struct {
        const char* start;
        const char* finish;
        DateOrder order;
        bool breaks;
    } cases[] = {
        {"05/11/1996", "04/11/1996", DayFirst, true},
        {"05/11/1996", "05/11/1996", DayFirst, false},
        {"04/11/1996", "05/11/1996", DayFirst, false},
        {"5/11/1996", "05/11/1996", DayFirst, false},
        {"31/12/1996", "01/01/1997", DayFirst, false},
        {"01/01/1997", "31/12/1996", DayFirst, true},
        // The same texts read month first: 11 May against 11 April.
        {"05/11/1996", "04/11/1996", MonthFirst, true},
        {"04/12/1996", "05/11/1996", MonthFirst, false},
        // Under the other order the day and month change places.
        {"04/12/1996", "05/11/1996", DayFirst, true},
        // A text that is no date counts as the earliest possible.
        {"soon", "05/11/1996", DayFirst, false},
        {"05/11/1996", "soon", DayFirst, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " .. " + c.finish);
        EXPECT_EQ(breaksStartFinishRule(QString::fromLatin1(c.start), QString::fromLatin1(c.finish), c.order),
                  c.breaks);
    }
}

RecordStore storeWith(const std::vector<std::array<const char*, 3>>& startTimeFinish)
{
    RecordStore store;
    std::vector<PlannerRecord> records;
    for (const auto& r : startTimeFinish) {
        PlannerRecord rec;
        rec[Field::StartDate] = QString::fromLatin1(r[0]);
        rec[Field::Time] = QString::fromLatin1(r[1]);
        rec[Field::FinishDate] = QString::fromLatin1(r[2]);
        rec[Field::Message] = QStringLiteral("05/11/1996");
        records.push_back(rec);
    }
    store.replaceAll(std::move(records));
    return store;
}

TEST(ConvertStoreDates, swapsStartAndFinishOfEveryRecordAndKeysFollow)
{
    RecordStore store = storeWith({{"05/11/1996", "10:00", "13/11/1996"}, {"soon", "", ""}, {"01/02/1997", "", "02/02/1997"}});
    store.systemDateStyle = kEnglishEuro;
    store.modified = false;
    const double before = store.recordKey(1);

    EXPECT_EQ(convertStoreDates(store, kEnglishEuro, kAmerican), 3); // 02/02/1997 reads the same
    store.systemDateStyle = kAmerican;

    EXPECT_EQ(store.field(Field::StartDate, 1), QStringLiteral("11/05/1996"));
    EXPECT_EQ(store.field(Field::FinishDate, 1), QStringLiteral("11/13/1996"));
    EXPECT_EQ(store.field(Field::StartDate, 2), QStringLiteral("soon"));
    EXPECT_EQ(store.field(Field::FinishDate, 2), QString());
    EXPECT_EQ(store.field(Field::StartDate, 3), QStringLiteral("02/01/1997"));
    EXPECT_EQ(store.field(Field::FinishDate, 3), QStringLiteral("02/02/1997"));
    // Other fields are no dates of the plan and stay as they are.
    EXPECT_EQ(store.field(Field::Message, 1), QStringLiteral("05/11/1996"));
    // The same day under the new order: the cached key is still right.
    EXPECT_EQ(store.recordKey(1), before);
    EXPECT_EQ(store.recordKey(1), sortKey(QStringLiteral("11/05/1996"), QStringLiteral("10:00"), MonthFirst));
    EXPECT_FALSE(store.modified);
    EXPECT_EQ(store.fileDateStyle, kEnglishEuro); // the caller's to set
}

TEST(ConvertStoreDates, sameStyleChangesNothing)
{
    RecordStore store = storeWith({{"05/11/1996", "", "13/11/1996"}});
    EXPECT_EQ(convertStoreDates(store, kAmerican, kAmerican), 0);
    EXPECT_EQ(store.field(Field::StartDate, 1), QStringLiteral("05/11/1996"));
}

} // namespace
} // namespace zp
