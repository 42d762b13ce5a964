#include "plan/DateStyle.h"
#include "plan/PlanFile.h"
#include "plan/RecordStore.h"
#include "support/Helpers.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

// Readable failure output.
static void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace zp {
namespace {

using enum DateOrder;

// --- helpers -----------------------------------------------------------------

QByteArray crlf(const QList<QByteArray>& lines)
{
    QByteArray out;
    for (const QByteArray& l : lines)
        out += l + "\r\n";
    return out;
}

// The twelve lines of a record; fields not given are empty.
QList<QByteArray> recordLines(QList<QByteArray> fields, int lines = 12)
{
    while (fields.size() < lines)
        fields << QByteArray();
    return fields.mid(0, lines);
}

QList<QByteArray> sampleRecord(const QByteArray& start, const QByteArray& name, const QByteArray& finish = {})
{
    return recordLines({start, "10:30", name, "555 1234", "555 9876", "Call about the quote", "120", "15.50", "0",
                        "plandefault", "plandefault", finish});
}

QByteArray planFile(const QByteArray& header, const QByteArray& style, const QList<QList<QByteArray>>& records,
                    bool withEnd = true)
{
    QList<QByteArray> lines{header, style};
    for (const auto& r : records)
        lines += r;
    if (withEnd)
        lines << "plannerend";
    return crlf(lines);
}

PlannerRecord record(std::initializer_list<const char*> fields)
{
    PlannerRecord r;
    int f = 1;
    for (const char* v : fields)
        r[f++] = QString::fromUtf8(v);
    return r;
}

std::vector<PlannerRecord> recordsOf(const RecordStore& store)
{
    std::vector<PlannerRecord> out;
    for (int i = 1; i <= store.recordCount(); ++i)
        out.push_back(store.record(i).toRecord());
    return out;
}

class RecordingProgress : public ProgressSink {
public:
    void begin() override { ++begins; }
    void progress(int percent) override { values.push_back(percent); }
    void end() override { ++ends; }
    int begins = 0;
    int ends = 0;
    std::vector<int> values;
};

class PlanFileTest : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("plan.pln")) const { return dir.filePath(name); }

    // Writes bytes to a file and reads it into `store`.
    PlanReadResult load(const QByteArray& bytes, DateOrder order = DayFirst)
    {
        writeBytes(path(QStringLiteral("in.pln")), bytes);
        return readPlanFile(path(QStringLiteral("in.pln")), store, order);
    }

    // A store with a plan already open, to see what a load leaves alone.
    void openSomething()
    {
        store.replaceAll({record({"01/02/1997", "09:00", "Old one"}), record({"02/02/1997", "", "Old two"})});
        store.planFileName = QStringLiteral("/plans/old.pln");
        store.modified = true;
        store.editStyle = EditStyle::ProjectPlanning;
        store.currentRecord = 2;
        store.systemDateStyle = kEnglishEuro;
        store.fileDateStyle = kEnglishEuro;
        store.planEncoding = kWindows1252Encoding;
    }

    void expectUntouched() const
    {
        EXPECT_EQ(store.recordCount(), 2);
        EXPECT_EQ(store.field(Field::Name, 1), QStringLiteral("Old one"));
        EXPECT_EQ(store.field(Field::Name, 2), QStringLiteral("Old two"));
        EXPECT_EQ(store.planFileName, QStringLiteral("/plans/old.pln"));
        EXPECT_TRUE(store.modified);
        EXPECT_EQ(store.editStyle, EditStyle::ProjectPlanning);
        EXPECT_EQ(store.currentRecord, 2);
        EXPECT_EQ(store.fileDateStyle, kEnglishEuro);
        EXPECT_EQ(store.planEncoding, kWindows1252Encoding);
    }

    QTemporaryDir dir;
    RecordStore store;
};

const QByteArray kHeader = "Zorvik Planner 3.2 0";

// --- the format ------------------------------------------------------------------

TEST_F(PlanFileTest, emptyPlanIsThreeCrLfLines)
{
    store.systemDateStyle = kAmerican;
    ASSERT_EQ(writePlanFile(path(), store).status, PlanWriteStatus::Written);
    EXPECT_EQ(readBytes(path()), QByteArray("Zorvik Planner 3.2 0\r\namerican\r\nplannerend\r\n"));

    store.editStyle = EditStyle::ProjectPlanning;
    store.systemDateStyle = kEnglishEuro;
    ASSERT_TRUE(writePlanFile(path(), store).ok());
    EXPECT_EQ(readBytes(path()), QByteArray("Zorvik Planner 3.2 1\r\nenglisheuro\r\nplannerend\r\n"));
}

TEST_F(PlanFileTest, roundTripUnderBothStyles)
{
    for (const DateOrder order : {DayFirst, MonthFirst}) {
        SCOPED_TRACE(order == DayFirst ? "day first" : "month first");
        const QString style = dateStyleFor(order);
        RecordStore original;
        original.systemDateStyle = style;
        original.editStyle = EditStyle::ProjectPlanning;
        original.replaceAll({
            record({"05/11/1996", "10:30 AM", "Smith & Sons", "555 1234", "", "Quote \"kitchen\", 3 rooms", "1,200.00",
                    "-15", "1", "/home/ann/pics/kitchen.bmp", "plandefault", "13/11/1996"}),
            record({"soon", "", "", "", "", "", "", "", "", "", "", ""}), // blank fields stay blank
            record({"1/2/96", "9:00", "Short date", "", "", "  leading and trailing blanks  ", "0", "0", "0",
                    "plandefault", "/home/ann/06093015.wav", ""}),
        });
        ASSERT_EQ(writePlanFile(path(), original).status, PlanWriteStatus::Written);

        RecordStore loaded;
        const PlanReadResult r = readPlanFile(path(), loaded, order);
        ASSERT_TRUE(r.loaded()) << r.detail.toStdString();
        EXPECT_EQ(r.fileDateStyle, style);
        EXPECT_EQ(loaded.editStyle, EditStyle::ProjectPlanning);
        ASSERT_EQ(loaded.recordCount(), 3);
        // Dates come back with two-digit day and month and a four-digit year;
        // everything else exactly as it was.
        std::vector<PlannerRecord> expected = recordsOf(original);
        expected[2][Field::StartDate] = QStringLiteral("01/02/1996");
        if (order == MonthFirst)
            expected[0][Field::FinishDate] = QStringLiteral("11/13/1996"); // 13 can only be the day
        EXPECT_EQ(recordsOf(loaded), expected);

        // A file in the form the program writes, read and saved unchanged, is
        // the same byte for byte.
        ASSERT_TRUE(writePlanFile(path(QStringLiteral("canonical.pln")), loaded).ok());
        RecordStore again;
        ASSERT_TRUE(readPlanFile(path(QStringLiteral("canonical.pln")), again, order).loaded());
        ASSERT_TRUE(writePlanFile(path(QStringLiteral("again.pln")), again).ok());
        EXPECT_EQ(readBytes(path(QStringLiteral("again.pln"))), readBytes(path(QStringLiteral("canonical.pln"))));
    }
}

TEST_F(PlanFileTest, readsEveryHeaderVersion)
{
    const struct {
        const char* header;
        int lines;
        int editStyle;
    } cases[] = {
        {"Zorvik Planner 3.2 1", 12, 1},
        {"Zorvik Planner 3.2 0", 12, 0},
        {"Zorvik Planner 3.1", 12, 0},
        {"Zorvik Planner 3.0 1", 12, 1},
        {"Zorvik Planner 2.1 1", 10, 1},
        {"Zorvik Planner 2.0", 10, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        const auto first = recordLines({"05/11/1996", "10:30", "First", "a", "b", "msg", "1", "2", "1", "pic.bmp",
                                        "note.wav", "06/11/1996"},
                                       c.lines);
        const auto second = recordLines({"07/11/1996", "", "Second", "", "", "", "", "", "0", "plandefault",
                                         "plandefault", ""},
                                        c.lines);
        RecordStore s;
        writeBytes(path(), planFile(c.header, "englisheuro", {first, second}));
        const PlanReadResult r = readPlanFile(path(), s, DayFirst);
        ASSERT_TRUE(r.loaded()) << r.detail.toStdString();
        ASSERT_EQ(s.recordCount(), 2);
        EXPECT_EQ(static_cast<int>(s.editStyle), c.editStyle);
        EXPECT_EQ(s.field(Field::Name, 1), QStringLiteral("First"));
        EXPECT_EQ(s.field(Field::ImagePath, 1), QStringLiteral("pic.bmp"));
        EXPECT_EQ(s.field(Field::Name, 2), QStringLiteral("Second"));
        EXPECT_EQ(s.field(Field::AudioPath, 1), c.lines == 12 ? QStringLiteral("note.wav") : QString());
        EXPECT_EQ(s.field(Field::FinishDate, 1), c.lines == 12 ? QStringLiteral("06/11/1996") : QString());
    }
}

TEST_F(PlanFileTest, version2FileIsWrittenBackAs32WithTwelveLines)
{
    ASSERT_TRUE(load(planFile("Zorvik Planner 2.1 1", "englisheuro",
                              {recordLines({"5/11/1996", "10:30", "Job", "a", "b", "m", "1", "2", "0", "plandefault"}, 10)}))
                    .loaded());
    ASSERT_TRUE(writePlanFile(path(), store).ok());
    EXPECT_EQ(readBytes(path()),
              planFile("Zorvik Planner 3.2 1", "englisheuro",
                       {recordLines({"05/11/1996", "10:30", "Job", "a", "b", "m", "1", "2", "0", "plandefault", "", ""})}));
}

TEST_F(PlanFileTest, editStyleComesFromTheTwentyFirstCharacterOrTheTwentieth)
{
    const struct {
        const char* header;
        int editStyle;
    } cases[] = {
        {"Zorvik Planner 3.2 1", 1},   // 20 characters: the last one
        {"Zorvik Planner 3.2 0", 0},
        {"Zorvik Planner 3.2 7", 1},
        {"Zorvik Planner 3.2 x", 0},
        {"Zorvik Planner 3.2x1", 1},
        {"Zorvik Planner 3.21", 0},    // shorter than 20
        {"Zorvik Planner 3.2", 0},
        {"Zorvik Planner 3.2 10", 0},  // the 21st character is "0"
        {"Zorvik Planner 3.2 01", 1},
        {"Zorvik Planner 3.2 1 ", 0},  // the 21st is a blank
        {"Zorvik Planner 3.2  1", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        store.editStyle = static_cast<EditStyle>(1 - c.editStyle);
        ASSERT_TRUE(load(planFile(c.header, "englisheuro", {})).loaded());
        EXPECT_EQ(static_cast<int>(store.editStyle), c.editStyle);
    }
}

TEST_F(PlanFileTest, filesOfTwentyBytesOrLessAreIgnoredSilently)
{
    openSomething();
    for (const QByteArray& bytes : {QByteArray(), QByteArray("Zorvik Planner 3.2 0"), QByteArray(20, '\n')}) {
        SCOPED_TRACE(bytes.size());
        const PlanReadResult r = load(bytes);
        EXPECT_EQ(r.status, PlanReadStatus::Ignored);
        EXPECT_TRUE(r.message.isEmpty());
        expectUntouched();
    }
    EXPECT_EQ(readPlanFile(QString(), store, DayFirst).status, PlanReadStatus::Ignored);
    expectUntouched();

    // A pipe has no length: it is never opened, so the load cannot wait on it.
    const QString fifo = path(QStringLiteral("pipe.pln"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(readPlanFile(fifo, store, DayFirst).status, PlanReadStatus::Ignored);
    expectUntouched();

    // 21 bytes are read: a header alone ends before the style line.
    const PlanReadResult r = load("Zorvik Planner 3.2 0\n");
    EXPECT_EQ(r.status, PlanReadStatus::Failed);
    expectUntouched();
}

TEST_F(PlanFileTest, otherVersionsAndGarbageAreNotPlanFiles)
{
    openSomething();
    QByteArray binary(4096, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>((i * 7919) % 251);
    for (const QByteArray& bytes :
         {planFile("Zorvik Planner 9.9 0", "englisheuro", {sampleRecord("05/11/1996", "x")}),
          planFile("zorvik planner 3.2 0", "englisheuro", {}),
          planFile("Zorvik Planner 3.", "englisheuro", {}),
          "\xEF\xBB\xBF" + planFile("Zorvik Planner 9.9 0", "englisheuro", {}), // a mark, then another version
          binary, QByteArray(100, '\0')}) {
        const PlanReadResult r = load(bytes);
        EXPECT_EQ(r.status, PlanReadStatus::NotAPlanFile);
        EXPECT_EQ(r.message, QStringLiteral("File is not a Zorvik Planner file"));
        EXPECT_EQ(r.title, QStringLiteral("Zorvik Planner load"));
        expectUntouched();
    }
}

TEST_F(PlanFileTest, failedLoadsReportAndKeepThePreviousPlan)
{
    openSomething();
    const QByteArray complete = planFile(kHeader, "englisheuro", {sampleRecord("05/11/1996", "One")}, false);
    const QByteArray cases[] = {
        complete.left(complete.size() - 8),              // ends inside the last field
        complete + "06/11/1996\r\n10:00\r\n",             // ends inside a second record
        complete + "\r\n",                                // an empty line starts a record that never ends
        crlf({kHeader, "englisheuro"}) + "05/11/1996",    // a record of one line
        crlf({kHeader, "englisheuro", QByteArray(kMaxPlanLineBytes + 1, 'x'), "plannerend"}),
        // Line ends of a lone CR make one long line: the style line is missing.
        QByteArray(complete).replace("\r\n", "\r"),
    };
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(bytes.left(60).toStdString());
        const PlanReadResult r = load(bytes);
        EXPECT_EQ(r.status, PlanReadStatus::Failed);
        EXPECT_EQ(r.message, QStringLiteral("Trouble loading Planner file."));
        EXPECT_EQ(r.title, QStringLiteral("File Load Error"));
        EXPECT_FALSE(r.detail.isEmpty());
        expectUntouched();
    }

    EXPECT_EQ(readPlanFile(path(QStringLiteral("missing.pln")), store, DayFirst).status, PlanReadStatus::Failed);
    expectUntouched();
    EXPECT_EQ(readPlanFile(dir.path(), store, DayFirst).status, PlanReadStatus::Failed);
    expectUntouched();
}

// Whatever is saved opens again: the longest lines read with LF, or in
// Windows-1252 and saved as UTF-8 once a character needs it, read back; a
// field too long for any plan file is refused before anything is written.
TEST_F(PlanFileTest, longFields_whatIsSavedOpensAgain)
{
    struct Case {
        const char* what;
        QByteArray field;
        bool lf;
        QString added; // a name that forces UTF-8 on saving
    } const cases[] = {
        {"LF, longest field", QByteArray(kMaxPlanLineBytes, 'x'), true, {}},
        {"Windows-1252 to UTF-8", QByteArray(1400000, '\xE9'), false, QStringLiteral("\u0416")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray bytes = planFile(kHeader, "englisheuro", {{"05/11/1996", "", c.field}});
        if (c.lf)
            bytes.replace("\r\n", "\n");
        ASSERT_TRUE(load(bytes).loaded());
        if (!c.added.isEmpty())
            store.setField(Field::PhoneAfterHours, 1, c.added);
        const RecordStore saved = store;
        ASSERT_EQ(writePlanFile(path(), store).status, PlanWriteStatus::Written);
        RecordStore again;
        ASSERT_TRUE(readPlanFile(path(), again, DayFirst).loaded());
        EXPECT_EQ(again.record(1), saved.record(1));
    }

    writeBytes(path(), "old");
    store.setField(Field::Message, 1, QString(kMaxPlanLineBytes / 2 + 1, QChar(0x416))); // 2 bytes each in UTF-8
    const PlanWriteResult refused = writePlanFile(path(), store);
    EXPECT_EQ(refused.status, PlanWriteStatus::Failed);
    EXPECT_TRUE(refused.errorText.startsWith("Record 1 has a field longer than"));
    EXPECT_EQ(readBytes(path()), "old");
}

TEST_F(PlanFileTest, successfulLoadLeavesNameModifiedAndCurrentRecordToTheCaller)
{
    openSomething();
    ASSERT_TRUE(load(planFile("Zorvik Planner 3.2 0", "englisheuro", {sampleRecord("05/11/1996", "New")})).loaded());
    EXPECT_EQ(store.recordCount(), 1);
    EXPECT_EQ(store.field(Field::Name, 1), QStringLiteral("New"));
    EXPECT_EQ(store.editStyle, EditStyle::HomeAndOffice);
    EXPECT_EQ(store.planEncoding, kUtf8Encoding);
    EXPECT_EQ(store.planFileName, QStringLiteral("/plans/old.pln"));
    EXPECT_TRUE(store.modified);
    EXPECT_EQ(store.currentRecord, 2);
}

TEST_F(PlanFileTest, endOfPlanHandling)
{
    // Cut at a record boundary without "plannerend": what is there loads.
    ASSERT_TRUE(load(planFile(kHeader, "englisheuro", {sampleRecord("05/11/1996", "A"), sampleRecord("06/11/1996", "B")},
                              false))
                    .loaded());
    EXPECT_EQ(store.recordCount(), 2);

    // The two header lines alone: an empty plan.
    ASSERT_TRUE(load(crlf({kHeader, "englisheuro"})).loaded());
    EXPECT_EQ(store.recordCount(), 0);

    // Lines after "plannerend" are ignored, even an unfinished record.
    ASSERT_TRUE(load(planFile(kHeader, "englisheuro", {sampleRecord("05/11/1996", "A")}) + "garbage\r\nmore\r\n").loaded());
    EXPECT_EQ(store.recordCount(), 1);

    // "plannerend" inside a record ends the load; the record keeps what it has.
    ASSERT_TRUE(load(crlf({kHeader, "englisheuro", "05/11/1996", "10:30", "Cut short", "plannerend", "more"})).loaded());
    ASSERT_EQ(store.recordCount(), 1);
    EXPECT_EQ(store.record(1), record({"05/11/1996", "10:30", "Cut short"}));

    // ... also in its last two lines, and in a ten-line record.
    ASSERT_TRUE(load(crlf(QList<QByteArray>{kHeader, "englisheuro"} + sampleRecord("05/11/1996", "A").mid(0, 11)
                          + QList<QByteArray>{"plannerend"}))
                    .loaded());
    EXPECT_EQ(store.field(Field::AudioPath, 1), QStringLiteral("plandefault"));
    EXPECT_EQ(store.field(Field::FinishDate, 1), QString());
    ASSERT_TRUE(load(crlf({"Zorvik Planner 2.0", "englisheuro", "05/11/1996", "plannerend"})).loaded());
    EXPECT_EQ(store.record(1), record({"05/11/1996"}));

    // A stray CR does not hide the end: no field may read as "plannerend",
    // or the plan would lose its tail when saved and read again.
    ASSERT_TRUE(load(crlf({kHeader, "englisheuro", "05/11/1996", "plannerend\r", "Lost"})).loaded());
    EXPECT_EQ(store.record(1), record({"05/11/1996"}));
}

TEST_F(PlanFileTest, readsLfAndCrLfLineEndsAndALastLineWithoutOne)
{
    const QByteArray crlfFile = planFile(kHeader, "englisheuro", {sampleRecord("05/11/1996", "A", "06/11/1996")});
    ASSERT_TRUE(load(crlfFile).loaded());
    const auto expected = recordsOf(store);

    for (const QByteArray& bytes : {QByteArray(crlfFile).replace("\r\n", "\n"), crlfFile.chopped(2), crlfFile.chopped(1)}) {
        store.clearStore();
        ASSERT_TRUE(load(bytes).loaded());
        EXPECT_EQ(recordsOf(store), expected);
    }
}

TEST_F(PlanFileTest, noFieldHoldsALineBreak)
{
    // A stray CR inside a line is dropped on reading ...
    ASSERT_TRUE(load(crlf({kHeader, "englisheuro", "05/11/1996", "10:\r30", "Na\rme\r\r", "plannerend"})).loaded());
    EXPECT_EQ(store.field(Field::Time, 1), QStringLiteral("10:30"));
    EXPECT_EQ(store.field(Field::Name, 1), QStringLiteral("Name"));

    // ... and CR or LF in a value on writing, so every record stays twelve lines.
    RecordStore s;
    s.replaceAll({record({"05/11/1996", "", "Two\nlines", "", "", "Line\r\nbreak"})});
    ASSERT_TRUE(writePlanFile(path(), s).ok());
    const QByteArray bytes = readBytes(path());
    EXPECT_EQ(bytes.count("\r\n"), 15);
    EXPECT_EQ(bytes.count('\n'), 15);
    EXPECT_TRUE(bytes.contains("\r\nTwolines\r\n"));
    EXPECT_TRUE(bytes.contains("\r\nLinebreak\r\n"));
}

// --- dates across styles -----------------------------------------------------------

TEST(ConvertDateOnLoad, readsInTheFilesOrderAndWritesInTheSystemsPattern)
{
    const QString euro = kEnglishEuro;
    const QString us = kAmerican;
    const struct {
        const char* text;
        QString fileStyle;
        QString systemStyle;
        const char* expected;
    } cases[] = {
        // Across styles the day stays the day.
        {"05/11/1996", euro, us, "11/05/1996"},
        {"13/02/1996", euro, us, "02/13/1996"},
        {"5/1/96", euro, us, "01/05/1996"},
        {"11/05/1996", us, euro, "05/11/1996"},
        {"02/13/1996", us, euro, "13/02/1996"},
        // A day-first file that holds a date only readable month first.
        {"02/13/1996", euro, us, "02/13/1996"},
        // Same style: re-rendered with the style's pattern.
        {"05/11/1996", euro, euro, "05/11/1996"},
        {"5/11/96", euro, euro, "05/11/1996"},
        {"1/2/96", us, us, "01/02/1996"},
        {"13/02/1996", us, us, "02/13/1996"},
        {"5 Nov 1996", euro, euro, "05/11/1996"},
        // Not a date: unchanged either way.
        {"", euro, us, ""},
        {"soon", euro, us, "soon"},
        {"31/02/1996", euro, us, "31/02/1996"},
        {"", euro, euro, ""},
        // A style line that is no style word: d/m/yyyy texts are swapped.
        {"05/11/1996", QStringLiteral("english"), euro, "11/05/1996"},
        {"5/11/96", QStringLiteral("english"), euro, "5/11/96"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " " + c.fileStyle.toStdString() + " -> " + c.systemStyle.toStdString());
        EXPECT_EQ(convertDateOnLoad(QString::fromLatin1(c.text), c.fileStyle, c.systemStyle),
                  QString::fromLatin1(c.expected));
    }
}

// The reader keeps a date already in its settled form without reading it
// again; every date must still come out as the full conversion gives it.
TEST_F(PlanFileTest, datesLoadAsTheFullConversionGivesThem)
{
    const char* texts[] = {
        "05/11/1996", "11/05/1996", "13/02/1996", "02/13/1996", "29/02/2000", "29/02/1900", "31/04/2001",
        "00/01/1996", "01/00/1996", "01/01/0999", "01/01/1000", "31/12/9999", "5/11/1996", "05/11/96",
        "05-11-1996", "05/11/1996 ", " 05/11/1996", "0a/11/1996", "05/11/19x6", "", "soon", "05/11/1996 10:30",
    };
    for (const char* styleLine : {"englisheuro", "american", "english"}) {
        for (const DateOrder order : {DayFirst, MonthFirst}) {
            QList<QList<QByteArray>> records;
            for (const char* t : texts)
                records << recordLines({t, "", "x", "", "", "", "", "", "", "", "", t});
            ASSERT_TRUE(load(planFile(kHeader, styleLine, records), order).loaded());
            const QString system = order == DayFirst ? kEnglishEuro : kAmerican;
            for (int i = 1; i <= store.recordCount(); ++i) {
                const QString text = QString::fromLatin1(texts[i - 1]);
                SCOPED_TRACE(std::string(styleLine) + " under " + system.toStdString() + ": " + texts[i - 1]);
                const QString expected = convertDateOnLoad(text, QString::fromLatin1(styleLine), system);
                EXPECT_EQ(store.field(Field::StartDate, i), expected);
                EXPECT_EQ(store.field(Field::FinishDate, i), expected);
            }
        }
    }
}

TEST_F(PlanFileTest, planWrittenDayFirstLoadsMonthFirstWithTheSameDays)
{
    RecordStore euro;
    euro.systemDateStyle = kEnglishEuro;
    euro.replaceAll({record({"05/11/1996", "", "Fifth of November", "05/11/1996", "", "", "", "", "", "", "", "13/02/1996"}),
                     record({"13/02/1996", "", "Thirteenth of February"})});
    ASSERT_TRUE(writePlanFile(path(), euro).ok());

    store.systemDateStyle = kEnglishEuro;
    ASSERT_TRUE(readPlanFile(path(), store, MonthFirst).loaded());
    EXPECT_EQ(store.systemDateStyle, kAmerican);
    EXPECT_EQ(store.fileDateStyle, kAmerican);
    EXPECT_EQ(store.field(Field::StartDate, 1), QStringLiteral("11/05/1996"));
    EXPECT_EQ(store.field(Field::FinishDate, 1), QStringLiteral("02/13/1996"));
    EXPECT_EQ(store.field(Field::PhoneAfterHours, 1), QStringLiteral("05/11/1996")); // not a date field
    EXPECT_EQ(store.field(Field::StartDate, 2), QStringLiteral("02/13/1996"));

    // Written back it says "american" and reads day first as it began.
    ASSERT_TRUE(writePlanFile(path(), store).ok());
    EXPECT_TRUE(readBytes(path()).startsWith("Zorvik Planner 3.2 0\r\namerican\r\n"));
    RecordStore back;
    ASSERT_TRUE(readPlanFile(path(), back, DayFirst).loaded());
    EXPECT_EQ(recordsOf(back), recordsOf(euro));
}

// --- size ------------------------------------------------------------------------

TEST_F(PlanFileTest, atMost32767RecordsLoad)
{
    QByteArray body;
    for (int i = 0; i < RecordStore::kMaxRecords; ++i)
        body += "05/11/1996\r\n\r\nJob\r\n\r\n\r\n\r\n\r\n\r\n0\r\nplandefault\r\nplandefault\r\n\r\n";
    const QByteArray head = crlf({kHeader, "englisheuro"});

    const PlanReadResult full = load(head + body + "plannerend\r\n");
    ASSERT_TRUE(full.loaded());
    EXPECT_EQ(store.recordCount(), RecordStore::kMaxRecords);
    EXPECT_EQ(full.recordCount, RecordStore::kMaxRecords);

    openSomething();
    const PlanReadResult over = load(head + body + "06/11/1996\r\n");
    EXPECT_EQ(over.status, PlanReadStatus::TooManyRecords);
    EXPECT_TRUE(over.message.startsWith(QStringLiteral("Trouble loading Planner file.\n")));
    EXPECT_EQ(over.title, QStringLiteral("File Load Error"));
    expectUntouched();
}

// --- encodings ---------------------------------------------------------------------

TEST_F(PlanFileTest, windows1252FileReadsAndSavesByteIdentical)
{
    // é, the euro sign and a curly quote of the code page, and 0x81, a byte
    // it leaves undefined.
    const QByteArray original =
        planFile(kHeader, "englisheuro", {sampleRecord("05/11/1996", "Caf\xE9 \x80 5 \x93quote\x94 \x81", "06/11/1996")});
    ASSERT_TRUE(load(original).loaded());
    EXPECT_EQ(store.planEncoding, kWindows1252Encoding);
    EXPECT_EQ(store.field(Field::Name, 1), QString::fromUtf8("Café € 5 “quote” \u0081"));

    const PlanWriteResult w = writePlanFile(path(), store);
    ASSERT_EQ(w.status, PlanWriteStatus::Written);
    EXPECT_EQ(w.encoding, kWindows1252Encoding);
    EXPECT_EQ(readBytes(path()), original);
}

// Once the byte that made a file Windows-1252 is gone (a removed record, the
// style line, which is written afresh), its text may encode to bytes that
// are valid UTF-8: "Ã©" is C3 A9, which UTF-8 reads as "é". Such a plan is
// saved in UTF-8 so that it reads back as it was.
TEST_F(PlanFileTest, windows1252TextThatWouldReadAsUtf8IsSavedAsUtf8)
{
    ASSERT_TRUE(load(planFile(kHeader, "english\xF6", {sampleRecord("05/11/1996", "Ren\xC3\xA9"),
                                                         sampleRecord("06/11/1996", "Gone \xE9")}))
                    .loaded());
    ASSERT_EQ(store.planEncoding, kWindows1252Encoding);
    store.removeRecord(2);
    const QString name = QString::fromUtf8("RenÃ©");
    ASSERT_EQ(store.field(Field::Name, 1), name);

    const PlanWriteResult w = writePlanFile(path(), store);
    ASSERT_EQ(w.status, PlanWriteStatus::Written);
    EXPECT_EQ(w.encoding, kUtf8Encoding);
    RecordStore back;
    ASSERT_TRUE(readPlanFile(path(), back, DayFirst).loaded());
    EXPECT_EQ(back.field(Field::Name, 1), name);
}

TEST_F(PlanFileTest, utf8FileReadsAndSavesByteIdentical)
{
    const QByteArray original = planFile(kHeader, "englisheuro", {sampleRecord("05/11/1996", "Caf\xC3\xA9 \xE2\x82\xAC 5 \xF0\x9F\x93\x85")});
    ASSERT_TRUE(load(original).loaded());
    EXPECT_EQ(store.planEncoding, kUtf8Encoding);
    EXPECT_EQ(store.field(Field::Name, 1), QString::fromUtf8("Café € 5 📅"));
    ASSERT_TRUE(writePlanFile(path(), store).ok());
    EXPECT_EQ(readBytes(path()), original);
}

TEST_F(PlanFileTest, byteOrderMark_isDroppedOnReadingAndWrittenBack)
{
    const QByteArray plan = planFile(kHeader, "englisheuro", {sampleRecord("05/11/1996", "Caf\xC3\xA9")});
    const PlanReadResult r = load("\xEF\xBB\xBF" + plan);
    ASSERT_TRUE(r.loaded());
    EXPECT_EQ(r.encoding, kUtf8BomEncoding);
    EXPECT_EQ(store.field(Field::StartDate, 1), QStringLiteral("05/11/1996"));
    EXPECT_EQ(store.field(Field::Name, 1), QString::fromUtf8("Café"));
    const PlanWriteResult w = writePlanFile(path(), store);
    EXPECT_EQ(w.encoding, kUtf8BomEncoding);
    EXPECT_EQ(readBytes(path()), "\xEF\xBB\xBF" + plan);

    // A mark in front of bytes that are no UTF-8 is dropped all the same;
    // the plan goes back in Windows-1252, which has no mark.
    const QByteArray old = planFile(kHeader, "englisheuro", {sampleRecord("05/11/1996", "Caf\xE9")});
    ASSERT_TRUE(load("\xEF\xBB\xBF" + old).loaded());
    EXPECT_EQ(store.field(Field::Name, 1), QString::fromUtf8("Café"));
    ASSERT_TRUE(writePlanFile(path(), store).ok());
    EXPECT_EQ(readBytes(path()), old);
}

TEST_F(PlanFileTest, oneByteOutsideUtf8MakesTheWholeFileWindows1252)
{
    // UTF-8 é in the first record, a lone 0xE9 in the last field of the file.
    ASSERT_TRUE(load(planFile(kHeader, "englisheuro",
                              {sampleRecord("05/11/1996", "Caf\xC3\xA9"), sampleRecord("06/11/1996", "x", "Caf\xE9")}))
                    .loaded());
    EXPECT_EQ(store.planEncoding, kWindows1252Encoding);
    EXPECT_EQ(store.field(Field::Name, 1), QString::fromUtf8("CafÃ©"));
    EXPECT_EQ(store.field(Field::FinishDate, 2), QString::fromUtf8("Café"));
}

TEST_F(PlanFileTest, characterOutsideWindows1252IsSavedAsUtf8)
{
    ASSERT_TRUE(load(planFile(kHeader, "englisheuro", {sampleRecord("05/11/1996", "Caf\xE9")})).loaded());
    store.setField(Field::Message, 1, QString::fromUtf8("会議 at the café"));
    const PlanWriteResult w = writePlanFile(path(), store);
    ASSERT_TRUE(w.ok());
    EXPECT_EQ(w.encoding, kUtf8Encoding);

    RecordStore back;
    ASSERT_TRUE(readPlanFile(path(), back, DayFirst).loaded());
    EXPECT_EQ(back.planEncoding, kUtf8Encoding);
    EXPECT_EQ(recordsOf(back), recordsOf(store));
}

TEST_F(PlanFileTest, nulBytesAreJustCharacters)
{
    ASSERT_TRUE(load(planFile(kHeader, "englisheuro", {sampleRecord("05/11/1996", QByteArray("a\0b", 3))})).loaded());
    EXPECT_EQ(store.field(Field::Name, 1), QString::fromUtf8("a\0b", 3));
}

// --- reading only some records ------------------------------------------------------

// A filtered read keeps exactly the records a full read holds that the
// filter takes, judged on their loaded form (dates converted, text decoded
// in the encoding the file turns out to have), and refuses whatever a full
// read refuses.
// Plain ASCII records are written as the bytes they hold; every other record
// is encoded character by character. Both give the bytes the encoding asks
// for, with line breaks inside a text dropped.
TEST_F(PlanFileTest, eachRecordIsWrittenInThePlansEncoding)
{
    const QString name = QString::fromUtf8("Caf\xC3\xA9 \xC2\x81");
    const struct {
        QByteArray encoding;
        QString text;
        QByteArray written;
        QByteArray writtenEncoding;
    } cases[] = {
        {kUtf8Encoding, QStringLiteral("Plain"), "Plain", kUtf8Encoding},
        {kWindows1252Encoding, QStringLiteral("Plain"), "Plain", kWindows1252Encoding},
        {kUtf8Encoding, QStringLiteral("Two\r\nlines\n"), "Twolines", kUtf8Encoding},
        {kWindows1252Encoding, QStringLiteral("Two\r\nlines\n"), "Twolines", kWindows1252Encoding},
        {kUtf8Encoding, name, "Caf\xC3\xA9 \xC2\x81", kUtf8Encoding},
        {kWindows1252Encoding, name, "Caf\xE9 \x81", kWindows1252Encoding},
        // U+0080 is one byte a character in memory but has no place in
        // Windows-1252 (0x80 is the euro sign there).
        {kWindows1252Encoding, QString(QChar(0x80)), "\xC2\x80", kUtf8Encoding},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString() + " in " + c.encoding.toStdString());
        store.replaceAll({PlannerRecord::fromList({QStringLiteral("05/11/1996"), "", c.text})});
        store.planEncoding = c.encoding;
        const PlanWriteResult w = writePlanFile(path(), store);
        ASSERT_EQ(w.status, PlanWriteStatus::Written);
        EXPECT_EQ(w.encoding, c.writtenEncoding);
        EXPECT_EQ(readBytes(path()), crlf({kPlanFileVersion.toLatin1() + " 0", "englisheuro", "05/11/1996", "", c.written,
                                           "", "", "", "", "", "", "", "", "", "plannerend"}));
    }
}

TEST_F(PlanFileTest, filteredReadKeepsWhatAFullReadHoldsAndRefusesWhatItRefuses)
{
    QByteArray manyJobs;
    for (int i = 0; i <= RecordStore::kMaxRecords; ++i)
        manyJobs += "05/11/1996\r\n\r\nJob\r\n\r\n\r\n\r\n\r\n\r\n0\r\nplandefault\r\nplandefault\r\n\r\n";
    const auto named = [](const char* prefix) {
        return [prefix](RecordView r) { return r[Field::Name].startsWith(QLatin1String(prefix)); };
    };
    const auto dated = [](const char* date) {
        return [date](RecordView r) { return r[Field::StartDate] == QLatin1String(date); };
    };
    struct Case {
        const char* what;
        QByteArray file;
        DateOrder order;
        PlanRecordFilter keep;
    } cases[] = {
        {"UTF-8", planFile(kHeader, "englisheuro", {sampleRecord("05/11/1996", "Kim"), sampleRecord("06/11/1996", "Lee"),
                                                   sampleRecord("07/11/1996", "Kai \xC3\xA9")}),
         DayFirst, named("K")},
        {"dates as loaded", planFile(kHeader, "englisheuro", {sampleRecord("05/11/1996", "a"), sampleRecord("11/05/1996", "b")}),
         MonthFirst, dated("11/05/1996")},
        // The last record makes the file Windows-1252: the first pass has
        // already judged "Caf\xC3\xA9" as UTF-8, the kept one is read again.
        {"Windows-1252 found late", planFile(kHeader, "englisheuro", {sampleRecord("05/11/1996", "Caf\xC3\xA9"),
                                                                     sampleRecord("06/11/1996", "Caf\xE9")}),
         DayFirst, named("Caf")},
        {"keeps nothing", planFile(kHeader, "englisheuro", {sampleRecord("05/11/1996", "Kim")}), DayFirst, named("Z")},
        {"one record over the limit, none kept", crlf({kHeader, "englisheuro"}) + manyJobs + "plannerend\r\n",
         DayFirst, named("Z")},
        {"ends inside a record", crlf({kHeader, "englisheuro", "05/11/1996", "10:30"}), DayFirst, named("")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordStore full;
        writeBytes(path(QStringLiteral("in.pln")), c.file);
        const PlanReadResult whole = readPlanFile(path(QStringLiteral("in.pln")), full, c.order);
        std::vector<PlannerRecord> expected;
        for (int i = 1; i <= full.recordCount(); ++i)
            if (c.keep(full.record(i)))
                expected.push_back(full.record(i).toRecord());

        openSomething();
        const PlanReadResult part = readPlanFile(path(QStringLiteral("in.pln")), store, c.order, nullptr, c.keep);
        EXPECT_EQ(part.status, whole.status);
        EXPECT_EQ(part.detail, whole.detail);
        if (!whole.loaded()) {
            expectUntouched();
            continue;
        }
        EXPECT_EQ(part.encoding, whole.encoding);
        EXPECT_EQ(part.recordCount, static_cast<int>(expected.size()));
        EXPECT_EQ(recordsOf(store), expected);
    }
}

// --- progress --------------------------------------------------------------------

// The bar moves on by one per record and goes back to 0 where it would
// reach 100; reading also moves it for the end line.
std::vector<int> countedProgress(int steps)
{
    std::vector<int> values;
    for (int i = 1; i <= steps; ++i)
        values.push_back(i % 100);
    return values;
}

TEST_F(PlanFileTest, progressCountsRecordsAndWrapsAtAHundredOnEveryPath)
{
    std::vector<PlannerRecord> many(250, record({"05/11/1996", "", "Job"}));
    store.replaceAll(many);
    RecordingProgress writing;
    ASSERT_TRUE(writePlanFile(path(), store, &writing).ok());
    EXPECT_EQ(writing.begins, 1);
    EXPECT_EQ(writing.ends, 1);
    EXPECT_EQ(writing.values, countedProgress(250));

    RecordingProgress reading;
    ASSERT_TRUE(readPlanFile(path(), store, DayFirst, &reading).loaded());
    EXPECT_EQ(reading.begins, 1);
    EXPECT_EQ(reading.ends, 1);
    EXPECT_EQ(reading.values, countedProgress(251));

    // A file cut at a record boundary: no end line, one step per record.
    RecordingProgress cut;
    writeBytes(path(QStringLiteral("cut.pln")), planFile(kHeader, "englisheuro", {sampleRecord("1/1/1990", "A")}, false));
    ASSERT_TRUE(readPlanFile(path(QStringLiteral("cut.pln")), store, DayFirst, &cut).loaded());
    EXPECT_EQ(cut.values, countedProgress(1));

    // A file that turns out not to be UTF-8 is read again: the count starts
    // again from 0.
    RecordingProgress again;
    writeBytes(path(QStringLiteral("ansi.pln")),
               planFile(kHeader, "englisheuro", {sampleRecord("1/1/1990", "A"), sampleRecord("1/1/1990", "Caf\xe9")}));
    ASSERT_TRUE(readPlanFile(path(QStringLiteral("ansi.pln")), store, DayFirst, &again).loaded());
    EXPECT_EQ(again.values, (std::vector<int>{1, 2, 0, 1, 2, 3}));

    for (const QString& bad : {path(QStringLiteral("missing.pln")), QString()}) {
        RecordingProgress failing;
        readPlanFile(bad, store, DayFirst, &failing);
        EXPECT_EQ(failing.begins, 1);
        EXPECT_EQ(failing.ends, 1);
    }
}

// --- safe writing -------------------------------------------------------------------

// Runs `body` in a child process and returns its wait status; the child's
// exit code is what `body` returns.
template <typename Body>
int inChild(Body body)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

class SafeWriteTest : public PlanFileTest {
protected:
    void SetUp() override
    {
        std::vector<PlannerRecord> records;
        for (int i = 0; i < 2000; ++i)
            records.push_back(record({"05/11/1996", "10:30", "Customer with a longer name", "555 1234", "555 9876",
                                      "Call about the quote for the kitchen and the bathroom", "120", "0", "0",
                                      "plandefault", "plandefault", "06/11/1996"}));
        store.replaceAll(records);
        old = planFile(kHeader, "englisheuro", {sampleRecord("01/01/1990", "The old plan")});
        writeBytes(path(), old);
    }

    QByteArray old;
};

TEST_F(SafeWriteTest, aWriteThatFailsPartWayLeavesTheOldFileIntact)
{
    ASSERT_TRUE(writePlanFile(path(QStringLiteral("reference.pln")), store).ok());
    const QByteArray complete = readBytes(path(QStringLiteral("reference.pln")));
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("reference.pln"))));
    ASSERT_GT(complete.size(), 3 * 65536);

    // The file size limit makes every write past the given length fail, as
    // a full disk would.
    for (const rlim_t limit : {rlim_t(0), rlim_t(1), rlim_t(4096), rlim_t(65536), rlim_t(65537),
                               rlim_t(complete.size() - 1)}) {
        SCOPED_TRACE(limit);
        const int status = inChild([&] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit lim{limit, limit};
            setrlimit(RLIMIT_FSIZE, &lim);
            const PlanWriteResult r = writePlanFile(path(), store);
            return r.status == PlanWriteStatus::Failed && !r.errorText.isEmpty() ? 0 : 1;
        });
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "the write did not report its failure";
        EXPECT_EQ(readBytes(path()), old);
        EXPECT_EQ(entries(dir.path()), QStringList({QStringLiteral("plan.pln")}));
    }
}

TEST_F(SafeWriteTest, aSaveKilledAtAnyWriteLeavesTheOldFileOrTheNewOneComplete)
{
    ASSERT_TRUE(writePlanFile(path(QStringLiteral("reference.pln")), store).ok());
    const QByteArray complete = readBytes(path(QStringLiteral("reference.pln")));
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("reference.pln"))));

    // Without the signal ignored, going over the limit kills the process at
    // that write.
    for (const rlim_t limit : {rlim_t(0), rlim_t(100), rlim_t(65536), rlim_t(complete.size() / 2),
                               rlim_t(complete.size() - 1), rlim_t(complete.size())}) {
        SCOPED_TRACE(limit);
        writeBytes(path(), old);
        const int status = inChild([&] {
            const rlimit noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
            const rlimit lim{limit, limit};
            setrlimit(RLIMIT_FSIZE, &lim);
            return writePlanFile(path(), store).ok() ? 0 : 1;
        });
        const QByteArray now = readBytes(path());
        if (limit < rlim_t(complete.size())) {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
            EXPECT_EQ(now, old);
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            EXPECT_EQ(now, complete);
        }
    }
}

TEST_F(SafeWriteTest, writingThroughALinkReplacesItsTargetAndKeepsTheLink)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("real")));
    const QString target = path(QStringLiteral("real/plan.pln"));
    writeBytes(target, old);
    ASSERT_TRUE(QFile::remove(path()));
    ASSERT_TRUE(QFile::link(QStringLiteral("real/plan.pln"), path())); // a relative link

    ASSERT_TRUE(writePlanFile(path(), store).ok());
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_EQ(QFileInfo(path()).symLinkTarget(), QFileInfo(target).absoluteFilePath());
    RecordStore back;
    ASSERT_TRUE(readPlanFile(target, back, DayFirst).loaded());
    EXPECT_EQ(back.recordCount(), store.recordCount());
}

TEST_F(SafeWriteTest, permissionBitsAreKept)
{
    for (const auto mode : {mode_t(0600), mode_t(0640), mode_t(0664)}) {
        ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), mode), 0);
        ASSERT_TRUE(writePlanFile(path(), store).ok());
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(path()).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode);
    }
}

TEST_F(SafeWriteTest, aReadOnlyFolderFailsAndReports)
{
    // Only the folder stands in the way: the file itself may be written.
    ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0666), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    // The superuser may write anywhere: the write is tried as nobody.
    const int status = inChild([&] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            return 2;
        const PlanWriteResult r = writePlanFile(path(), store);
        return r.status == PlanWriteStatus::Failed && !r.errorText.isEmpty() ? 0 : 1;
    });
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readBytes(path()), old);
    EXPECT_EQ(entries(dir.path()), QStringList({QStringLiteral("plan.pln")}));
}

TEST_F(SafeWriteTest, anEmptyNameWritesNothing)
{
    EXPECT_EQ(writePlanFile(QString(), store).status, PlanWriteStatus::NoFileName);
    EXPECT_EQ(entries(dir.path()), QStringList({QStringLiteral("plan.pln")}));
}

} // namespace
} // namespace zp
