#include "views/RecordsList.h"
#include "views/RecordsListModel.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace zp {
namespace {

// Fields 1 ... 9 of a record; 10 ... 12 are set to values that must never show.
PlannerRecord rec(std::initializer_list<const char*> fields)
{
    PlannerRecord r;
    int f = 1;
    for (const char* v : fields)
        r[f++] = QString::fromUtf8(v);
    r[Field::ImagePath] = QStringLiteral("/pics/x.bmp");
    r[Field::AudioPath] = QStringLiteral("/snd/x.wav");
    r[Field::FinishDate] = QStringLiteral("31/12/1999");
    return r;
}

// date, time, name, phone AH, phone BH, message, income, expense, status
const PlannerRecord kQuote = rec({"05/11/1996", "10:30", "Smith", "432", "", "Quote", "120", "", "0"});

struct LineCase {
    const char* what;
    PlannerRecord record;
    QString mode;
    DateOrder order;
    QString expected;
};

class RecordListLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(RecordListLineTest, buildsLineExactly)
{
    const LineCase& c = GetParam();
    EXPECT_EQ(recordListLine(c.record, c.mode, c.order), c.expected) << c.what;
}

const auto DF = DateOrder::DayFirst;
const auto MF = DateOrder::MonthFirst;

INSTANTIATE_TEST_SUITE_P(AllModes, RecordListLineTest, ::testing::Values(
    LineCase{"date", kQuote, "sortbydate", DF, "05/11/1996, 10:30  - Smith, Quote (I:$120) (AH:432) (Pending) "},
    LineCase{"name", kQuote, "sortbyname", DF, "Smith, Quote 05/11/1996 10:30 (I:$120) (AH:432) (Pending) "},
    LineCase{"task", kQuote, "sortbytask", DF, "Quote, 05/11/1996 10:30 Smith (I:$120) (AH:432) (Pending) "},
    LineCase{"day", kQuote, "sortbyday", DF, "Tuesday, 05/11/1996 10:30 - Smith Quote (I:$120) (AH:432) (Pending) "},
    LineCase{"day, month first: 11 May 1996", kQuote, "sortbyday", MF,
             "Saturday, 05/11/1996 10:30 - Smith Quote (I:$120) (AH:432) (Pending) "},
    // Name only, done.
    LineCase{"name only, date", rec({"", "", "Smith", "", "", "", "", "", "1"}), "sortbydate", DF, " - Smith, (Done) "},
    LineCase{"name only, name", rec({"", "", "Smith", "", "", "", "", "", "1"}), "sortbyname", DF, "Smith, (Done) "},
    LineCase{"name only, task", rec({"", "", "Smith", "", "", "", "", "", "1"}), "sortbytask", DF, "Smith (Done) "},
    LineCase{"name only, day", rec({"", "", "Smith", "", "", "", "", "", "1"}), "sortbyday", DF, "Smith (Done) "},
    LineCase{"empty record", rec({}), "sortbyday", DF, "(Pending) "},
    LineCase{"time only, day", rec({"", "9:00"}), "sortbyday", DF, "9:00 - (Pending) "},
    LineCase{"start date not a date, day", rec({"soon"}), "sortbyday", DF, "soon, soon (Pending) "},
    LineCase{"a time in the start date is day zero", rec({"10:30"}), "sortbyday", DF, "Saturday, 10:30 (Pending) "},
    // Money, phones and status.
    LineCase{"income 0", rec({"", "", "A", "", "", "", "0"}), "sortbyname", DF, "A, (Pending) "},
    LineCase{"income -50", rec({"", "", "A", "", "", "", "-50"}), "sortbyname", DF, "A, (Pending) "},
    LineCase{"income as typed", rec({"", "", "A", "", "", "", "12abc"}), "sortbyname", DF, "A, (I:$12abc) (Pending) "},
    LineCase{"income not a number", rec({"", "", "A", "", "", "", "abc"}), "sortbyname", DF, "A, (Pending) "},
    LineCase{"income and expense", rec({"", "", "A", "", "", "", " 7", "0.5"}), "sortbyname", DF,
             "A, (I:$ 7) (E:$0.5) (Pending) "},
    LineCase{"business phone: no blank before status", rec({"", "", "", "", "555"}), "sortbydate", DF, "(BH:555)(Pending) "},
    LineCase{"both phones", rec({"", "", "", "1", "2", "", "", "", "1"}), "sortbytask", DF, "(AH:1) (BH:2)(Done) "},
    LineCase{"status other than 1 is pending", rec({"", "", "", "", "", "", "", "", " 1"}), "sortbydate", DF, "(Pending) "},
    // Any other mode word: the status alone.
    LineCase{"unknown word", kQuote, "bogus", DF, "(Pending) "},
    LineCase{"mode words are case-sensitive", kQuote, "SortByDate", DF, "(Pending) "},
    LineCase{"empty mode, done", rec({"01/01/2000", "", "", "1", "2", "", "5", "5", "1"}), "", DF, "(Done) "}));

TEST(RecordsListTest, buildLines_followStoreOrderAndStoreDateOrder)
{
    RecordStore store;
    EXPECT_TRUE(buildRecordsListLines(store, kSortByDate).isEmpty());

    store.replaceAll({rec({"06/09/1994", "", "Late"}), rec({"01/01/1990", "", "Early"})});
    EXPECT_EQ(buildRecordsListLines(store, kSortByName), (QStringList{"Late, 06/09/1994 (Pending) ", "Early, 01/01/1990 (Pending) "}));

    EXPECT_TRUE(buildRecordsListLines(store, kSortByDay)[0].startsWith("Tuesday, "));
    store.systemDateStyle = kAmerican;
    EXPECT_TRUE(buildRecordsListLines(store, kSortByDay)[0].startsWith("Thursday, "));
}

TEST(RecordsListTest, rebuild_convertsDatesOnlyWhenAskedThenBuildsAndHighlights)
{
    RecordStore store;
    int swaps = 0;
    const DateSwap swap = [&](const QString& t) { ++swaps; return t.isEmpty() ? t : QStringLiteral("X") + t; };

    EXPECT_EQ(rebuildRecordsListContent(store, kSortByDate, "", true, swap).rowCount, 0);
    EXPECT_EQ(swaps, 0);

    store.replaceAll({rec({"13/02/1996", "", "Smith"}), rec({"", "", "Jones"})});
    store.setField(Field::FinishDate, 2, QString());
    auto content = rebuildRecordsListContent(store, kSortByDate, "", false, swap);
    EXPECT_EQ(swaps, 0);
    EXPECT_EQ(content.highlighted, (std::vector<bool>{false, false}));

    content = rebuildRecordsListContent(store, kSortByDate, "smith", true, swap);
    EXPECT_EQ(swaps, 4);
    EXPECT_EQ(store.field(Field::StartDate, 1), "X13/02/1996");
    EXPECT_EQ(store.field(Field::FinishDate, 1), "X31/12/1999");
    EXPECT_EQ(store.field(Field::FinishDate, 2), "");
    EXPECT_EQ(content.rowCount, 2);
    EXPECT_EQ(recordListLine(store.record(1), content.layout, content.order), "X13/02/1996,  - Smith, (Pending) ");
    EXPECT_EQ(content.highlighted, (std::vector<bool>{true, false}));
}

TEST(RecordsListTest, keywordRule)
{
    const struct {
        const char* line;
        const char* keyword;
        bool match;
    } cases[] = {
        {"Smith, Quote (Pending) ", "", false},
        {"Smith, Quote (Pending) ", "smith", true},   // shorter: case ignored
        {"smith, (Done) ", "SMITH", true},
        {"Smith, Quote (Pending) ", "ending) ", true}, // the very end of the line
        {"(Done) ", "(Done) ", true},                  // as long as the line: exact
        {"(Done) ", "(done) ", false},                 // ... letter case included
        {"(Done) ", "(Done)  ", false},                // longer than the line
        {"Café x", "CAFÉ", true},
        {"Die Straße", "STRASSE", false},              // no expansion of ß
        {"Die Straße", "straße", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(keywordMatches(QString::fromUtf8(c.line), QString::fromUtf8(c.keyword)), c.match)
            << c.line << " / " << c.keyword;

    EXPECT_EQ(keywordHighlights({"a", "b"}, ""), (std::vector<bool>{false, false}));
    EXPECT_EQ(keywordHighlights({"Ab", "b", "xAB"}, "ab"), (std::vector<bool>{false, false, true}));
}

TEST(RecordsListTest, displayModeTicksAndNames)
{
    EXPECT_EQ(displayModeTicks(kSortByDate), (std::array<bool, 4>{true, false, false, false}));
    EXPECT_EQ(displayModeTicks(kSortByDay), (std::array<bool, 4>{false, false, false, true}));
    EXPECT_EQ(displayModeTicks("sortbyweek"), (std::array<bool, 4>{}));
    const auto& items = displayModeItems();
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].index, 31 + static_cast<int>(i));
        EXPECT_EQ(displayModeFromShortName(QString::fromLatin1(items[i].shortName)), items[i].word);
    }
    EXPECT_FALSE(displayModeFromShortName(u"week"));
}

TEST(RecordsListTest, click_selectsRecordAndPlaysOnlyARealSound)
{
    EXPECT_EQ(recordForListIndex(-1), 1); // a click in an empty list
    EXPECT_EQ(recordForListIndex(0), 1);
    EXPECT_EQ(recordForListIndex(4), 5);

    RecordStore store;
    store.currentSoundPath = "/snd/a.wav";
    EXPECT_FALSE(listClickSound(store, 1)); // empty plan
    store.replaceAll({rec({})});
    EXPECT_EQ(listClickSound(store, 1), QString("/snd/a.wav"));
    EXPECT_FALSE(listClickSound(store, 0));
    for (const QString& none : {QString(), kNoAttachment}) {
        store.currentSoundPath = none;
        EXPECT_FALSE(listClickSound(store, 1));
    }
}

TEST(RecordsListTest, aRecordSoundThatIsNoRegularFile_isNamedWithWhyItStaysSilent)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo.wav");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString device = QStringLiteral("It is not a regular file (a pipe or a device).");
    const struct {
        QString path;
        QString why;
    } cases[] = {
        {fifo, device},
        {QStringLiteral("/dev/zero"), device},
        {dir.path(), QStringLiteral("It is a folder.")},
        {dir.filePath("gone.wav"), QStringLiteral("The file does not exist.")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(recordSoundProblem(c.path), "The sound " + c.path + " cannot be played: " + c.why);
    QFile sound(dir.filePath("a.wav"));
    ASSERT_TRUE(sound.open(QIODevice::WriteOnly));
    EXPECT_FALSE(recordSoundProblem(sound.fileName()));
}

TEST(RecordsListTest, imagePage_showsRecordPictureOrDefaultAndForgetsUnreadable)
{
    RecordStore store;
    int loads = 0;
    auto loader = [&](bool ok) { return [&loads, ok](const QString&) { ++loads; return ok; }; };
    EXPECT_EQ(chooseImagePagePicture(store, 1, loader(true)), ImagePagePicture::DefaultPicture); // empty plan

    PlannerRecord none = rec({});
    none[Field::ImagePath] = kNoAttachment;
    PlannerRecord blank = rec({});
    blank[Field::ImagePath].clear();
    store.replaceAll({rec({}), none, blank});
    EXPECT_EQ(chooseImagePagePicture(store, 2, loader(true)), ImagePagePicture::DefaultPicture);
    EXPECT_EQ(chooseImagePagePicture(store, 3, loader(true)), ImagePagePicture::DefaultPicture);
    EXPECT_EQ(chooseImagePagePicture(store, 9, loader(true)), ImagePagePicture::DefaultPicture); // past the end
    EXPECT_EQ(loads, 0);

    EXPECT_EQ(imagePagePicturePath(store, 1), QString("/pics/x.bmp"));
    EXPECT_EQ(chooseImagePagePicture(store, 1, loader(true)), ImagePagePicture::RecordPicture);
    EXPECT_EQ(store.field(Field::ImagePath, 1), "/pics/x.bmp");
    EXPECT_EQ(chooseImagePagePicture(store, 1, loader(false)), ImagePagePicture::DefaultPicture);
    EXPECT_EQ(store.field(Field::ImagePath, 1), kNoAttachment);
    EXPECT_EQ(loads, 2);
}

// A store whose records show as "a, (Pending) " ... in the name layout.
RecordStore namedStore(std::initializer_list<const char*> names)
{
    std::vector<PlannerRecord> records;
    for (const char* name : names)
        records.push_back(rec({"", "", name}));
    RecordStore store;
    store.replaceAll(records);
    return store;
}

TEST(RecordsListModelTest, setContent_resetsOnceAndServesLinesAndHighlights)
{
    RecordsListModel model;
    int aboutToReset = 0, reset = 0, changed = 0;
    QObject::connect(&model, &QAbstractItemModel::modelAboutToBeReset, [&] { ++aboutToReset; });
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { ++reset; });
    QObject::connect(&model, &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& a, const QModelIndex& b) { changed += 1000 * a.row() + b.row() + 1; });

    RecordStore store = namedStore({"a", "b", "c", "d"});
    model.setContent(store, {LineLayout::ByName, DateOrder::DayFirst, 4, {true}});
    EXPECT_EQ(aboutToReset, 1);
    EXPECT_EQ(reset, 1);
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.rowCount(model.index(0)), 0);
    EXPECT_EQ(model.data(model.index(2)).toString(), "c, (Pending) ");
    EXPECT_TRUE(model.data(model.index(0), RecordsListModel::HighlightRole).toBool());
    EXPECT_FALSE(model.data(model.index(3), RecordsListModel::HighlightRole).toBool()); // padded
    EXPECT_FALSE(model.data(model.index(0), Qt::DecorationRole).isValid());
    EXPECT_FALSE(model.data(model.index(4)).isValid());

    // The highlight alone changes without a reset, reporting the changed rows.
    model.setHighlighted({true, false, true, true});
    EXPECT_EQ(reset, 1);
    EXPECT_EQ(changed, 1000 * 2 + 3 + 1);
    model.setHighlighted({true, false, true, true});
    EXPECT_EQ(changed, 2004);
    EXPECT_EQ(model.highlightedCount(), 3);

    const QItemSelection sel = model.highlightSelection();
    ASSERT_EQ(sel.size(), 2);
    EXPECT_EQ(sel[0].top(), 0);
    EXPECT_EQ(sel[0].bottom(), 0);
    EXPECT_EQ(sel[1].top(), 2);
    EXPECT_EQ(sel[1].bottom(), 3);

    RecordStore one = namedStore({"x"});
    model.setContent(one, {LineLayout::ByName, DateOrder::DayFirst, 1, {false, true}});
    EXPECT_EQ(reset, 2);
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.highlightedCount(), 0);
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.data(model.index(0)).isValid());
}

// Every layout and date order: each row shows exactly its record's line,
// and the highlights match those of the whole lines, as the list had them
// when it kept every line.
TEST(RecordsListModelTest, rebuild_showsEachRecordsLineAndHighlightsAsTheWholeLines)
{
    RecordStore store;
    store.replaceAll({kQuote, rec({"", "", "Smith", "", "", "", "", "", "1"}), rec({}), rec({"soon", "9:00"}),
                      rec({"13/02/1996", "", "jones", "1", "2", "Smithy", "5", "7"}), rec({"10:30"})});
    const struct {
        const char* mode;
        const char* style;
    } cases[] = {{"sortbydate", "english"}, {"sortbyname", "english"}, {"sortbytask", "english"},
                 {"sortbyday", "english"},  {"sortbyday", "american"}, {"bogus", "english"}};
    for (const auto& c : cases) {
        store.systemDateStyle = QString::fromLatin1(c.style);
        const QStringList whole = buildRecordsListLines(store, c.mode);
        for (const QString keyword : {"", "smith", "(Done) ", "TUESDAY", "(pending) "}) {
            RecordsListModel model;
            model.setContent(store, rebuildRecordsListContent(store, c.mode, keyword, false, {}));
            ASSERT_EQ(model.rowCount(), store.recordCount()) << c.mode;
            for (int row = 0; row < model.rowCount(); ++row) {
                EXPECT_EQ(model.data(model.index(row)).toString(), recordListLine(store.record(row + 1), c.mode, store.dateOrder()))
                    << c.mode << " " << c.style << " row " << row;
                EXPECT_EQ(model.line(row), whole[row]);
            }
            std::vector<bool> shown;
            for (int row = 0; row < model.rowCount(); ++row)
                shown.push_back(model.isHighlighted(row));
            EXPECT_EQ(shown, keywordHighlights(whole, keyword)) << c.mode << " / " << keyword.toStdString();
        }
    }
}

TEST(RecordsListModelTest, rowsPastAShrunkStoreShowNothingUntilTheNextRebuild)
{
    RecordStore store = namedStore({"a", "b", "c"});
    RecordsListModel model;
    model.setContent(store, rebuildRecordsListContent(store, kSortByName, "b", false, {}));
    store.removeRecord(1);
    EXPECT_EQ(model.rowCount(), 3); // the view learns of the change at the rebuild
    EXPECT_EQ(model.data(model.index(1)).toString(), "c, (Pending) ");
    EXPECT_FALSE(model.data(model.index(2)).isValid());
    EXPECT_TRUE(model.line(2).isEmpty());
    EXPECT_TRUE(model.isHighlighted(1)); // as at the rebuild
    store.replaceAll({});
    EXPECT_FALSE(model.data(model.index(0)).isValid());

    model.setContent(store, rebuildRecordsListContent(store, kSortByName, "b", false, {}));
    EXPECT_EQ(model.rowCount(), 0);
}

} // namespace
} // namespace zp
