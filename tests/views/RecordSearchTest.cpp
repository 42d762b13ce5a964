// Find: which records a text finds, where it is marked in their lines, and
// the narrowing as the user types.

#include "views/RecordSearch.h"
#include "views/RecordsListModel.h"

#include <gtest/gtest.h>

namespace zp {
namespace {

using namespace Qt::StringLiterals;

PlannerRecord withField(int field, const QString& text)
{
    PlannerRecord r;
    r[Field::ImagePath] = r[Field::AudioPath] = kNoAttachment;
    r[Field::JobStatus] = QStringLiteral("0");
    r[field] = text;
    return r;
}

struct FindCase {
    const char* what;
    int field;
    QString fieldText;
    QString findText;
    bool found;
    LineLayout layout = LineLayout::ByDate;
};

class RecordSearchMatchTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(RecordSearchMatchTest, findsTheRecordOrNot)
{
    const FindCase& c = GetParam();
    const PlannerRecord record = withField(c.field, c.fieldText);
    EXPECT_EQ(RecordSearch(c.findText).matches(record, c.layout, DateOrder::DayFirst), c.found) << c.what;
}

const QString kTenThousandA(10000, u'a');

INSTANTIATE_TEST_SUITE_P(CaseAccentsAndFields, RecordSearchMatchTest, ::testing::Values(
    // Case and accents.
    FindCase{"lower case finds upper", Field::Name, "SMITH", "smith", true},
    FindCase{"upper case finds lower", Field::Name, "smith", "SMITH", true},
    FindCase{"accents ignored in the record", Field::Name, u"Müller"_s, "muller", true},
    FindCase{"accents ignored in the text", Field::Name, "Muller", u"MÜLLER"_s, true},
    FindCase{"decomposed accents", Field::Name, u"Mu\u0308ller"_s, u"müller"_s, true},
    FindCase{"cedilla and acute", Field::Message, u"Façade café"_s, "FACADE CAFE", true},
    FindCase{"sharp s folds to ss", Field::Name, u"Straße"_s, "STRASSE", true},
    FindCase{"capital sharp s too", Field::Name, u"STRAẞE"_s, u"straße"_s, true},
    FindCase{"Greek capitals", Field::Name, u"ΣΩΚΡΆΤΗΣ"_s, u"σωκρατ"_s, true},
    FindCase{"a different letter is not found", Field::Name, "Muller", "miller", false},
    // Fields searched, as typed.
    FindCase{"message", Field::Message, "Fix the boiler", "boiler", true},
    FindCase{"after-hours phone", Field::PhoneAfterHours, "(02) 9555 1234", "555 12", true},
    FindCase{"business phone", Field::PhoneBusinessHours, "0412 000 111", "000 1", true},
    FindCase{"start date as shown", Field::StartDate, "05/11/1996", "11/1996", true},
    FindCase{"a date is not reformatted", Field::StartDate, "05/11/1996", "1996-11-05", false},
    FindCase{"finish date", Field::FinishDate, "31/12/1999", "12/19", true},
    FindCase{"time", Field::Time, "10:30", "10:3", true},
    FindCase{"income as typed", Field::Income, "120.50", "120.5", true},
    FindCase{"income not shown in the list is still found", Field::Income, "0.00", "0.00", true},
    FindCase{"expense as typed", Field::Expense, "$45", "$45", true},
    // Fields not searched.
    FindCase{"picture path", Field::ImagePath, "/pics/plumber.bmp", "plumber", false},
    FindCase{"sound path", Field::AudioPath, "/snd/plumber.wav", "plumber", false},
    FindCase{"status", Field::JobStatus, "1", "1", false},
    FindCase{"list labels", Field::PhoneAfterHours, "432", "(AH:432)", false},
    // Literal text.
    FindCase{"a dot is a dot", Field::Message, "a.b", "a.b", true},
    FindCase{"a dot is no wildcard", Field::Message, "axb", "a.b", false},
    FindCase{"brackets and stars", Field::Message, "x [*] (y)", "[*] (", true},
    FindCase{"backslash and caret", Field::Message, R"(C:\^$)", R"(\^$)", true},
    FindCase{"a lone star finds no plain text", Field::Message, "anything", "*", false},
    // Long and empty texts.
    FindCase{"10,000 characters, not there", Field::Message, QString(100, u'a'), kTenThousandA, false},
    FindCase{"10,000 characters, there", Field::Message, QString(10000, u'A'), kTenThousandA, true},
    FindCase{"empty text finds every record", Field::Name, "", "", true},
    FindCase{"accents alone look for nothing", Field::Name, "x", u"\u0301"_s, true},
    // The weekday the day layout shows (5 November 1996 was a Tuesday).
    FindCase{"weekday in the day layout", Field::StartDate, "05/11/1996", "tues", true, LineLayout::ByDay},
    FindCase{"no weekday in the date layout", Field::StartDate, "05/11/1996", "tues", false, LineLayout::ByDate},
    FindCase{"another weekday", Field::StartDate, "05/11/1996", "monday", false, LineLayout::ByDay}));

// The store keeps nearly every record one byte a character and Find folds
// those bytes directly: each such character must fold as it does anywhere.
TEST(RecordSearchTest, aRecordKeptOneByteACharacterIsFoldedAsAnyText)
{
    for (char16_t c = 0x20; c <= 0xFF; ++c) {
        const QString text = u"x"_s + QChar(c) + u"y"_s;
        RecordStore store;
        store.replaceAll({withField(Field::Name, text)});
        ASSERT_TRUE(store.record(1).packedRecord()->isNarrow());
        for (const QString& find : {foldForFind(text), text.toUpper(), text})
            EXPECT_TRUE(RecordSearch(find).matches(store.record(1), LineLayout::ByName, DateOrder::DayFirst))
                << int(c) << " " << find.toStdString();
    }
}

TEST(RecordSearchTest, isNeverFoundAcrossTwoFields)
{
    PlannerRecord r = withField(Field::Name, "Smith");
    r[Field::Message] = QStringLiteral("Quote");
    // The date layout shows "Smith, Quote".
    EXPECT_FALSE(RecordSearch(u"smith, q").matches(r, LineLayout::ByDate, DateOrder::DayFirst));
    EXPECT_FALSE(RecordSearch(u"smithquote").matches(r, LineLayout::ByDate, DateOrder::DayFirst));
}

// The marked parts of a line, as text.
QStringList markedIn(const PlannerRecord& r, LineLayout layout, const QString& text)
{
    QString line;
    std::vector<LineSpan> spans;
    appendRecordListLine(line, r, layout, DateOrder::DayFirst, &spans);
    QStringList marked;
    for (const RecordSearch::Mark& m : RecordSearch(text).marks(line, spans))
        marked << line.mid(m.start, m.length);
    return marked;
}

TEST(RecordSearchTest, marks_everyOccurrenceInTheFieldsAsTheLineShowsIt)
{
    PlannerRecord r = withField(Field::Name, u"Müller"_s);
    r[Field::Message] = u"call mu\u0308ller back"_s;
    r[Field::StartDate] = QStringLiteral("05/11/1996");
    EXPECT_EQ(markedIn(r, LineLayout::ByDate, "MULLER"), QStringList({u"Müller"_s, u"mu\u0308ller"_s}));
    EXPECT_EQ(markedIn(r, LineLayout::ByDay, "tue"), QStringList({"Tue"}));
    // Neither the labels nor the status, though the line has the text.
    r[Field::Income] = QStringLiteral("12");
    EXPECT_TRUE(markedIn(r, LineLayout::ByName, "pending").isEmpty());
    EXPECT_TRUE(markedIn(r, LineLayout::ByName, "I:$").isEmpty());
    EXPECT_EQ(markedIn(r, LineLayout::ByName, "12"), QStringList({"12"}));
    // A character folding to two is marked once, whole.
    EXPECT_EQ(markedIn(withField(Field::Name, u"Straße"_s), LineLayout::ByName, "s"), QStringList({"S", u"ß"_s}));
    EXPECT_TRUE(markedIn(r, LineLayout::ByName, "").isEmpty());
}

TEST(RecordSearchTest, nextFoundRecord_goesRoundBothWays)
{
    const std::vector<int> found = {3, 7, 9};
    EXPECT_EQ(nextFoundRecord(found, 7, true), 9);
    EXPECT_EQ(nextFoundRecord(found, 9, true), 3);
    EXPECT_EQ(nextFoundRecord(found, 1, true), 3);
    EXPECT_EQ(nextFoundRecord(found, 5, true), 7);
    EXPECT_EQ(nextFoundRecord(found, 8, false), 7);
    EXPECT_EQ(nextFoundRecord(found, 3, false), 9);
    EXPECT_EQ(nextFoundRecord(found, 7, false), 3);
    EXPECT_EQ(nextFoundRecord({}, 1, true), 0);
    EXPECT_EQ(findCountText(2, 32767), "2 of 32767 records");
}

RecordStore storeOfNames(std::initializer_list<const char*> names)
{
    std::vector<PlannerRecord> records;
    for (const char* n : names)
        records.push_back(withField(Field::Name, QString::fromUtf8(n)));
    RecordStore store;
    store.replaceAll(records);
    return store;
}

TEST(RecordsFindTest, typingOnGivesWhatAFreshSearchGives_andDeletingWidensAgain)
{
    RecordStore store = storeOfNames({"Anna", "Bob", "Hannah", "Ann-Marie", "Joanne", u"Änne"_s.toUtf8().constData()});
    RecordsFind find;
    const LineLayout L = LineLayout::ByName;
    const DateOrder O = DateOrder::DayFirst;
    for (const char* typed : {"", "a", "an", "ann", "anne", "ann", "a", "", "o", "oa"}) {
        const std::vector<int> expected = RecordSearch(QString::fromUtf8(typed)).find(store, L, O);
        EXPECT_EQ(find.search(store, L, O, QString::fromUtf8(typed)), expected) << typed;
    }
    EXPECT_EQ(find.search(store, L, O, u"anne"), std::vector<int>({5, 6}));
    // A record changed behind the narrowed list is found at the refresh.
    store.setField(Field::Name, 2, QStringLiteral("Bobanne"));
    EXPECT_EQ(find.refresh(store, L, O), std::vector<int>({2, 5, 6}));
}

// The narrowed list: rows are not records, and every row speaks for its own.
TEST(RecordsListModelFindTest, narrowedRowsShowTheirRecords_keepTheKeywordHighlight_andMarkTheText)
{
    RecordStore store = storeOfNames({"Alpha", "Bravo", "Charlie", "Bravura"});
    RecordsListModel model;
    model.setContent(store, rebuildRecordsListContent(store, kSortByName, "char", false, {}));
    const RecordSearch search(u"BRAV");
    model.narrow(search.find(store, LineLayout::ByName, DateOrder::DayFirst), search);
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.line(1), "Bravura, (Pending) ");
    EXPECT_EQ(model.recordOfLine(1), 4);
    EXPECT_EQ(model.lineOfRecord(4), 1);
    EXPECT_EQ(model.lineOfRecord(3), -1);
    EXPECT_EQ(model.findMarks(1), std::vector<RecordSearch::Mark>({{0, 4}}));

    // Narrowed to the keyword's own record, its highlight stays.
    const RecordSearch charlie(u"arl");
    model.narrow(charlie.find(store, LineLayout::ByName, DateOrder::DayFirst), charlie);
    EXPECT_TRUE(model.isHighlighted(0));
    EXPECT_EQ(model.highlightedCount(), 1);
    EXPECT_EQ(model.highlightSelection().size(), 1);

    model.showAll();
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.recordOfLine(2), 3);
    EXPECT_TRUE(model.isHighlighted(2));
    EXPECT_TRUE(model.findMarks(1).empty());
}

} // namespace
} // namespace zp
