#include "app/SettingsFile.h"

#include "plan/RecordStore.h"
#include "support/Fakes.h"
#include "support/Helpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

namespace zp {
namespace {

// The default file, written by hand from the table of defaults and the rules
// for number lines; never produced by the writer.
QByteArray fixtureBytes()
{
    const QString path = QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("fixtures/default_planner.ini"));
    const QByteArray bytes = readBytes(path);
    EXPECT_FALSE(bytes.isEmpty()) << path.toStdString();
    return bytes;
}

// Lines of a CR LF file, line ends removed; line n is at index n - 1.
QList<QByteArray> linesOf(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.pop_back();
    for (QByteArray& l : lines)
        if (l.endsWith('\r'))
            l.chop(1);
    return lines;
}

QByteArray crlfFile(const QList<QByteArray>& lines)
{
    QByteArray out;
    for (const QByteArray& l : lines)
        out += l + "\r\n";
    return out;
}

// The fixture with some lines replaced: {line number, content}.
QByteArray fixtureWith(std::initializer_list<std::pair<int, QByteArray>> changes)
{
    QList<QByteArray> lines = linesOf(fixtureBytes());
    for (const auto& [number, content] : changes)
        lines[number - 1] = content;
    return crlfFile(lines);
}

} // namespace

// Failures show a snapshot as the lines it stands for.
void PrintTo(const SettingsSnapshot& v, std::ostream* os)
{
    Settings s;
    s.saveSettingsOnExit = QStringLiteral("0");
    *os << '\n' << settingsFileBytes(s, RecordStore{}, v).replace("\r\n", "|\n").toStdString();
}

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString path() const { return dir.filePath(QStringLiteral("PLANNER.INI")); }

    SettingsSnapshot load(const QByteArray& bytes)
    {
        writeBytes(path(), bytes);
        return loadSettings(path(), settings, store, messages);
    }

    // Settings far from the defaults, so that a load that sets the defaults
    // is seen to do so.
    void disturb()
    {
        settings.saveSettingsOnExit = QStringLiteral("0");
        settings.displayMode = QStringLiteral("sortbyday");
        settings.font.size = 13;
        settings.placement(PlacementRow::Main) = {1, 2, 3, 4};
        store.planFileName = QStringLiteral("/old.pln");
        store.fieldLabels[1] = QStringLiteral("Who");
    }

    void expectDefaults()
    {
        EXPECT_EQ(settings.saveSettingsOnExit, QStringLiteral("1"));
        EXPECT_EQ(takeSettingsSnapshot(settings, store), defaultSettingsSnapshot());
        EXPECT_EQ(settings.placement(PlacementRow::Main), (WindowPlacement{2205, 1185, 6200, 4140}));
        EXPECT_EQ(settings.displayMode, QStringLiteral("sortbydate"));
        EXPECT_EQ(settings.font, FontChoice{});
        EXPECT_EQ(store.planFileName, QString());
        EXPECT_EQ(store.fieldLabels[1], QStringLiteral("Name"));
    }

    QTemporaryDir dir;
    Settings settings;
    RecordStore store;
    FakeMessageBox messages;
};

// A first start (no file yet, or one too small to hold a setting) is no
// fault: defaults, and not a word.
TEST_F(SettingsFileTest, noFileOrATinyOne_setsDefaultsQuietly)
{
    const struct {
        const char* name;
        std::optional<QByteArray> content; // nothing: no file at all
    } cases[] = {
        {"no file", std::nullopt},
        {"20 bytes", QByteArray("Zorvik Planner 3.2\r\n")},
        {"empty", QByteArray()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path());
        if (c.content)
            writeBytes(path(), *c.content);
        disturb();
        messages.clear();
        bool loaded = true;

        const SettingsSnapshot snapshot = loadSettings(path(), settings, store, messages, &loaded);

        EXPECT_TRUE(messages.empty());
        EXPECT_FALSE(loaded);
        expectDefaults();
        EXPECT_EQ(snapshot, defaultSettingsSnapshot());
    }
}

TEST_F(SettingsFileTest, unusableFiles_showStartupMessageOnceAndSetDefaults)
{
    QByteArray binary(5000, '\0');
    std::mt19937 random(7);
    for (char& c : binary)
        c = static_cast<char>(random() & 0xFF);
    const QByteArray cutAfter50 = crlfFile(linesOf(fixtureWith({{4, "sortbyname"}})).mid(0, 50));
    const QByteArray overlong = fixtureWith({{3, QByteArray(kSettingsMaxLineBytes + 1, 'x')}});

    const struct {
        const char* name;
        std::optional<QByteArray> content; // nothing: no file at all
    } cases[] = {
        {"21 bytes", QByteArray("Zorvik Planner 3.2\r\n1")},
        {"wrong header", fixtureWith({{1, "Zorvik Planner 3.3"}})},
        {"header in other case", fixtureWith({{1, "zorvik planner 3.2"}})},
        {"header with a trailing blank", fixtureWith({{1, "Zorvik Planner 3.2 "}})},
        {"cut after line 50", cutAfter50},
        {"cut after line 105", crlfFile(linesOf(fixtureBytes()).mid(0, 105))},
        {"binary garbage", binary},
        {"header then garbage", QByteArray("Zorvik Planner 3.2\r\n") + binary},
        {"overlong line", overlong},
        {"font size beyond a 16-bit integer", fixtureWith({{12, " 40000 "}})},
        {"colour beyond a 32-bit integer", fixtureWith({{16, " 4294967295 "}})},
        {"window row beyond a single", fixtureWith({{21, " 1E+39 "}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path());
        if (c.content)
            writeBytes(path(), *c.content);
        disturb();
        messages.clear();

        const SettingsSnapshot snapshot = loadSettings(path(), settings, store, messages);

        ASSERT_EQ(messages.count(), 1);
        EXPECT_EQ(messages.last().text,
                  QStringLiteral("The file PLANNER.INI was not loaded succesfully. Check the file %1. Alternatively a "
                                 "new .INI file will be created for you.")
                      .arg(path()));
        EXPECT_EQ(messages.last().title, QStringLiteral("Zorvik Planner Startup"));
        EXPECT_EQ(messages.last().style, MsgStyle::Exclamation);
        expectDefaults();
        EXPECT_EQ(snapshot, defaultSettingsSnapshot());
    }
}

TEST_F(SettingsFileTest, noFile_normalExitWritesTheDefaultFileByteForByte)
{
    loadSettings(dir.filePath(QStringLiteral("cfg/PLANNER.INI")), settings, store, messages);
    const SettingsSnapshot snapshot = takeSettingsSnapshot(settings, store);
    const QString target = dir.filePath(QStringLiteral("cfg/PLANNER.INI")); // the folder does not exist yet

    ASSERT_TRUE(saveSettings(target, settings, store, snapshot));

    const QByteArray written = readBytes(target);
    EXPECT_EQ(written, fixtureBytes());
    const QList<QByteArray> lines = linesOf(written);
    EXPECT_EQ(lines.size(), kSettingsLineCount);
    EXPECT_EQ(lines.value(0), "Zorvik Planner 3.2");
    EXPECT_EQ(lines.value(1), "1");
}

TEST_F(SettingsFileTest, defaultFile_readsBackAsTheDefaultsWithoutMessage)
{
    disturb();
    const SettingsSnapshot snapshot = load(fixtureBytes());
    EXPECT_TRUE(messages.empty());
    expectDefaults();
    EXPECT_EQ(snapshot, defaultSettingsSnapshot());
}

TEST_F(SettingsFileTest, everyAcceptedHeader_readsTheSameLayout)
{
    for (const char* header : {"Zorvik Planner 2.0", "Zorvik Planner 2.1", "Zorvik Planner 3.0", "Zorvik Planner 3.1",
                               "Zorvik Planner 3.2"}) {
        SCOPED_TRACE(header);
        messages.clear();
        load(fixtureWith({{1, header}, {4, "sortbytask"}, {24, " 5000 "}, {106, "off"}}));
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(settings.displayMode, QStringLiteral("sortbytask"));
        EXPECT_EQ(settings.placement(PlacementRow::Main).height, 5000);
        EXPECT_EQ(store.fieldLabels[24], QStringLiteral("off"));
    }
}

TEST_F(SettingsFileTest, everyLineLandsInItsSetting)
{
    QList<QByteArray> lines = linesOf(fixtureBytes());
    lines[1] = "0";
    lines[2] = "/home/ann/work.pln";
    lines[3] = "sortbyname";
    lines[4] = "*.pln";
    lines[6] = "*.txt";
    lines[7] = "yearmonth";
    lines[8] = "american";
    lines[9] = "1";
    lines[10] = "DejaVu Sans";
    lines[11] = " 12 ";
    lines[12] = "False";
    lines[13] = "True";
    lines[14] = "True";
    lines[15] = " 255 ";
    lines[16] = "Money";
    lines[17] = "Days";
    lines[18] = "EUR";
    lines[19] = " 1 ";
    for (int i = 20; i < 80; ++i)
        lines[i] = ' ' + QByteArray::number(100 + i) + ' ';
    lines[80] = " 1 ";
    lines[81] = " 20 ";
    for (int i = 82; i < 106; ++i)
        lines[i] = "label" + QByteArray::number(i - 81);
    load(crlfFile(lines));

    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(settings.saveSettingsOnExit, QStringLiteral("0"));
    EXPECT_EQ(store.planFileName, QStringLiteral("/home/ann/work.pln"));
    EXPECT_EQ(settings.displayMode, QStringLiteral("sortbyname"));
    EXPECT_EQ(settings.reserved, (std::array<QString, 3>{"*.pln", "*.*", "*.txt"}));
    EXPECT_EQ(settings.startupShow, QStringLiteral("yearmonth"));
    EXPECT_EQ(store.fileDateStyle, QStringLiteral("american"));
    EXPECT_EQ(store.keepBackups, QStringLiteral("1"));
    EXPECT_EQ(settings.font, (FontChoice{QStringLiteral("DejaVu Sans"), 12, false, true, true, 255}));
    EXPECT_EQ(settings.plotTitle, QStringLiteral("Money"));
    EXPECT_EQ(settings.plotXLabel, QStringLiteral("Days"));
    EXPECT_EQ(settings.plotYLabel, QStringLiteral("EUR"));
    EXPECT_EQ(store.editStyle, EditStyle::ProjectPlanning);
    EXPECT_EQ(settings.placement(1), (WindowPlacement{120, 121, 122, 123}));
    EXPECT_EQ(settings.placement(15), (WindowPlacement{176, 177, 178, 179}));
    EXPECT_EQ(settings.soundOn, 1);
    EXPECT_EQ(settings.maxRecordSeconds, 20);
    EXPECT_EQ(store.fieldLabels[1], QStringLiteral("label1"));
    EXPECT_EQ(store.fieldLabels[24], QStringLiteral("label24"));

    // Written back with the flag set, the file is the one that was read
    // (only line 2 differs).
    settings.saveSettingsOnExit = QStringLiteral("1");
    lines[1] = "1";
    EXPECT_EQ(settingsFileBytes(settings, store, SettingsSnapshot{}), crlfFile(lines));
}

TEST_F(SettingsFileTest, flagCleared_keepsLines3To106AsTheyWereRead)
{
    // A file of the old program (Windows-1252: "é" is one byte) and one of ours (UTF-8).
    const struct {
        const char* name;
        QByteArray planName;
    } cases[] = {
        {"windows-1252", "C:\\PLANS\\caf\xe9.pln"},
        {"utf-8", "/home/zo\xc3\xab/caf\xc3\xa9.pln"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray original =
            fixtureWith({{3, c.planName}, {4, "sortbyname"}, {12, " 12 "}, {21, " 300 "}, {83, "Client"}});
        const SettingsSnapshot snapshot = load(original);
        ASSERT_TRUE(messages.empty());

        // A run that changes everything it can, with the flag cleared.
        settings.saveSettingsOnExit = QStringLiteral("0");
        settings.displayMode = QStringLiteral("sortbydate");
        settings.placement(PlacementRow::Main) = {10, 20, 9000, 7000};
        settings.takeFontChoice({QStringLiteral("Serif"), 20, false, false, false, 0});
        store.planFileName = QStringLiteral("/tmp/other \u20ac.pln");
        store.fieldLabels[1] = QStringLiteral("Kunde");
        store.keepBackups = QStringLiteral("1");
        ASSERT_TRUE(saveSettings(path(), settings, store, snapshot));

        const QList<QByteArray> before = linesOf(original);
        const QList<QByteArray> after = linesOf(readBytes(path()));
        ASSERT_EQ(after.size(), kSettingsLineCount);
        EXPECT_EQ(after[0], "Zorvik Planner 3.2");
        EXPECT_EQ(after[1], "0");
        EXPECT_EQ(after.mid(2), before.mid(2));
    }
}

TEST_F(SettingsFileTest, flagSet_writesTheRunsChangesInTheEncodingRead)
{
    const SettingsSnapshot snapshot = load(fixtureWith({{3, "C:\\caf\xe9.pln"}}));
    store.planFileName = QStringLiteral("C:\\d\u00e9j\u00e0.pln");
    settings.displayMode = QStringLiteral("sortbyday");
    settings.placement(PlacementRow::Main) = {15, 30, 7005, 5010};
    ASSERT_TRUE(saveSettings(path(), settings, store, snapshot));

    QList<QByteArray> lines = linesOf(readBytes(path()));
    EXPECT_EQ(lines[2], "C:\\d\xe9j\xe0.pln");
    EXPECT_EQ(lines[3], "sortbyday");
    EXPECT_EQ(lines.mid(20, 4), (QList<QByteArray>{" 15 ", " 30 ", " 7005 ", " 5010 "}));

    // A character the old code page lacks makes the whole file UTF-8.
    store.planFileName = QStringLiteral("C:\\caf\u00e9 \u20ac\u4e2d.pln");
    ASSERT_TRUE(saveSettings(path(), settings, store, snapshot));
    lines = linesOf(readBytes(path()));
    EXPECT_EQ(lines[2], store.planFileName.toUtf8());
}

TEST_F(SettingsFileTest, fontStyleLines_areWrittenBackAsReadWhileTheyStillHold)
{
    // Lines 13-15 are texts: a hand-edited "TRUE" or "0" is kept, in both
    // ways of writing, until the font dialog changes that style.
    const QByteArray original = fixtureWith({{13, "TRUE"}, {14, "0"}, {15, "false "}});
    const SettingsSnapshot snapshot = load(original);
    ASSERT_TRUE(messages.empty());
    EXPECT_EQ(settings.font, (FontChoice{QStringLiteral("System"), 10, true, false, false, FontChoice::kSystemTextColour}));

    const QList<QByteArray> before = linesOf(original);
    settings.saveSettingsOnExit = QStringLiteral("0");
    EXPECT_EQ(linesOf(settingsFileBytes(settings, store, snapshot)).mid(2), before.mid(2));
    settings.saveSettingsOnExit = QStringLiteral("1");
    EXPECT_EQ(linesOf(settingsFileBytes(settings, store, snapshot)).mid(2), before.mid(2));

    // Italic chosen, bold and strikethrough as they were.
    settings.takeFontChoice({QStringLiteral("System"), 10, true, true, false, FontChoice::kSystemTextColour});
    EXPECT_EQ(linesOf(settingsFileBytes(settings, store, snapshot)).mid(12, 3),
              (QList<QByteArray>{"TRUE", "True", "false "}));
}

TEST_F(SettingsFileTest, fontAbove14Points_isStoredAs14)
{
    const struct {
        int chosen;
        int stored;
    } cases[] = {{20, 14}, {72, 14}, {15, 14}, {14, 14}, {8, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen);
        const FontChoice shown = settings.takeFontChoice({QStringLiteral("Serif"), c.chosen, true, false, false, 0});
        EXPECT_EQ(shown.size, c.stored);
        EXPECT_EQ(settings.font.size, c.stored);
        EXPECT_EQ(linesOf(settingsFileBytes(settings, store, SettingsSnapshot{})).value(11),
                  settingsIntegerText(c.stored).toLatin1());
    }
}

TEST_F(SettingsFileTest, fontAbove14PointsInTheFile_isReadAs14)
{
    for (const char* line : {" 15 ", " 72 ", " 32767 "}) {
        SCOPED_TRACE(line);
        load(fixtureWith({{12, line}}));
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(settings.font.size, 14);
    }
    load(fixtureWith({{12, " 14 "}}));
    EXPECT_EQ(settings.font.size, 14);
}

TEST_F(SettingsFileTest, numberLines_readTheirLeadingNumberOrZero)
{
    const struct {
        QByteArray line;
        int fontSize; // line 12, a 16-bit integer, at most 14
        double top;   // line 21, a single
    } cases[] = {
        {" 12 ", 12, 12},        {"12", 12, 12},           {"   7 px", 7, 7},  {"abc", 0, 0},
        {"", 0, 0},              {"-3", -3, -3},           {"9.75", 10, 9.75}, {"10.5", 10, 10.5},
        {"11.5", 12, 11.5},      {"1.5E+2", 14, 150},     {"\x01\xff\x80", 0, 0}, {" 12 34", 12, 12},
        {"0.1", 0, static_cast<double>(0.1f)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        messages.clear();
        load(fixtureWith({{12, c.line}, {21, c.line}}));
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(settings.font.size, c.fontSize);
        EXPECT_EQ(settings.placement(PlacementRow::Main).top, c.top);
    }
}

// A damaged or hand-edited file cannot place a window where no screen
// reaches, nor overflow the conversion to pixels.
TEST_F(SettingsFileTest, placementsNoScreenCouldShow_fallBackToTheRowsDefault)
{
    for (const QByteArray line : {"1E+30", "3.402823E+38", "-1E+7", "-5"}) {
        SCOPED_TRACE(line.toStdString());
        load(fixtureWith({{23, line}, {45, " 100 "}, {82, "-3"}}));
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(settings.placement(PlacementRow::Main), Settings::defaultPlacements()[PlacementRow::Main]);
        EXPECT_EQ(settings.placement(PlacementRow::Ledger).top, 100); // other rows as read
        EXPECT_EQ(settings.maxRecordSeconds, 10);
    }
    EXPECT_EQ(Twips().toPixelsX(3.402823e38), 1000000000); // clamped, not undefined
}

// Reading the file and writing it back with nothing changed gives the same
// bytes, whatever form the lines had.
TEST_F(SettingsFileTest, readThenWrite_withNoChange_isByteIdentical)
{
    const QByteArray fixture = fixtureBytes();
    QByteArray lf = fixture;
    lf.replace("\r\n", "\n");
    const std::pair<const char*, QByteArray> cases[] = {
        {"as written", fixture},
        {"byte-order mark", "\xEF\xBB\xBF" + fixture},
        {"LF line breaks", lf},
        {"older header", fixtureWith({{1, "Zorvik Planner 3.1"}})},
        {"numbers written otherwise", fixtureWith({{12, "12"}, {21, "2205.0"}, {81, " 0 sound"}})},
        {"Windows-1252 only in number lines", fixtureWith({{12, " 12 \xE9"}, {22, " 1185 \xB0"}})},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        settings = Settings{};
        const SettingsSnapshot snapshot = load(bytes);
        ASSERT_TRUE(messages.empty());
        EXPECT_EQ(settingsFileBytes(settings, store, snapshot), bytes);
    }
    // A change is written in the program's own form.
    settings = Settings{};
    const SettingsSnapshot snapshot = load(fixtureWith({{12, "12"}}));
    settings.font.size = 13;
    EXPECT_EQ(linesOf(settingsFileBytes(settings, store, snapshot))[11], " 13 ");
}

TEST_F(SettingsFileTest, lineEnds_lfAndAMissingLastNewlineAreRead)
{
    QByteArray lf = fixtureWith({{4, "sortbyname"}, {106, "last"}});
    lf.replace("\r\n", "\n");
    lf.chop(1);
    load(lf);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(settings.displayMode, QStringLiteral("sortbyname"));
    EXPECT_EQ(store.fieldLabels[24], QStringLiteral("last"));

    // A byte-order mark, lines after line 106 and a line at the longest
    // accepted length are all fine too.
    messages.clear();
    const QByteArray longName(kSettingsMaxLineBytes, 'n');
    load("\xEF\xBB\xBF" + fixtureWith({{3, longName}}) + "extra\r\nlines\r\n");
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(store.planFileName.size(), kSettingsMaxLineBytes);
}

TEST_F(SettingsFileTest, binaryTextLines_readAndWriteBackStably)
{
    // Header right, every other line random bytes: texts come in as
    // Windows-1252, numbers as whatever leads them. Reading what was
    // written gives the same settings again.
    std::mt19937 random(11);
    QList<QByteArray> lines{"Zorvik Planner 3.1"};
    for (int i = 2; i <= kSettingsLineCount; ++i) {
        QByteArray l(static_cast<int>(random() % 40), '\0');
        for (char& c : l) {
            c = static_cast<char>(random() & 0xFF);
            if (c == '\n' || c == '\r')
                c = ' ';
        }
        lines << l;
    }
    lines[1] = "1";
    const SettingsSnapshot first = load(crlfFile(lines));
    ASSERT_TRUE(messages.empty());
    EXPECT_EQ(first.encoding, QByteArray("windows-1252"));
    ASSERT_TRUE(saveSettings(path(), settings, store, first));

    Settings again;
    RecordStore againStore;
    EXPECT_EQ(loadSettings(path(), again, againStore, messages), first);
    EXPECT_TRUE(messages.empty());
}

TEST(SettingsNumberText, printsLikeTheOldBasic)
{
    EXPECT_EQ(settingsIntegerText(10), QStringLiteral(" 10 "));
    EXPECT_EQ(settingsIntegerText(0), QStringLiteral(" 0 "));
    EXPECT_EQ(settingsIntegerText(-2147483640), QStringLiteral("-2147483640 "));

    const struct {
        float value;
        const char* text;
    } singles[] = {
        {2205, " 2205 "},     {0, " 0 "},           {-0.0f, " 0 "},          {-15, "-15 "},
        {0.5f, " .5 "},       {-0.25f, "-.25 "},    {1234.5f, " 1234.5 "},   {1.0f / 3, " .3333333 "},
        {9999999, " 9999999 "}, {12345678, " 1.234568E+07 "}, {0.00001f, " 1E-05 "}, {5489, " 5489 "},
    };
    for (const auto& s : singles)
        EXPECT_EQ(settingsSingleText(s.value), QString::fromLatin1(s.text)) << s.value;
}

// --- writing failures --------------------------------------------------------

class SettingsWriteFailureTest : public SettingsFileTest {
protected:
    void SetUp() override
    {
        SettingsFileTest::SetUp();
        setDefaultSettings(settings, store);
        snapshot = takeSettingsSnapshot(settings, store);
    }
    SettingsSnapshot snapshot;
};

TEST_F(SettingsWriteFailureTest, folderThatCannotBeMade_isReported)
{
    writeBytes(dir.filePath(QStringLiteral("file")), "x");
    const SettingsWriteResult r =
        saveSettings(dir.filePath(QStringLiteral("file/sub/PLANNER.INI")), settings, store, snapshot);
    EXPECT_FALSE(r);
    EXPECT_FALSE(r.error.isEmpty());
}

TEST_F(SettingsWriteFailureTest, readOnlyFolder_isReportedAndOldFileKept)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "folder permissions do not bind the superuser";
    const QString folder = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString target = folder + QStringLiteral("/PLANNER.INI");
    writeBytes(target, "old content of the settings file");
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);

    const SettingsWriteResult r = saveSettings(target, settings, store, snapshot);

    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(r);
    EXPECT_EQ(readBytes(target), "old content of the settings file");
}

TEST_F(SettingsWriteFailureTest, writeFailingPartWay_isReportedAndOldFileKept)
{
    writeBytes(path(), "old content of the settings file");
    // The file size limit binds every user: writing stops after 100 bytes.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);

    const SettingsWriteResult r = saveSettings(path(), settings, store, snapshot);

    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(r);
    EXPECT_EQ(readBytes(path()), "old content of the settings file");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("PLANNER.INI")}); // no leftovers
}

TEST_F(SettingsFileTest, settingsFileKeptAsALink_staysALink)
{
    const QString real = dir.filePath(QStringLiteral("dotfiles/PLANNER.INI"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("dotfiles"))));
    writeBytes(real, "old");
    ASSERT_TRUE(QFile::link(real, path()));
    setDefaultSettings(settings, store);

    ASSERT_TRUE(saveSettings(path(), settings, store, takeSettingsSnapshot(settings, store)));

    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_EQ(readBytes(real), fixtureBytes());
}

TEST(SettingsWriteFailureMessage, dependsOnTheExitPathAndNamesTheFile)
{
    FakeMessageBox messages;
    reportSettingsWriteFailure(messages, true, "/media/u/PLANNER.INI");
    reportSettingsWriteFailure(messages, false, "/media/u/PLANNER.INI");
    ASSERT_EQ(messages.count(), 2);
    EXPECT_EQ(messages.calls[0].text, QStringLiteral("Trouble saving PLANNER.INI file. Check the file /media/u/PLANNER.INI"));
    EXPECT_EQ(messages.calls[0].title, QStringLiteral("Zorvik Planner Exit"));
    EXPECT_EQ(messages.calls[1].text,
              QStringLiteral("The file PLANNER.INI was not opened succesfully and therefore your setting were not "
                             "saved. Check the file /media/u/PLANNER.INI"));
    EXPECT_EQ(messages.calls[1].title, QStringLiteral("Zorvik Planner Settings"));
    for (const auto& c : messages.calls)
        EXPECT_EQ(c.style, MsgStyle::Exclamation);
}

TEST(SettingsPathForDisplay, showsTheHomeFolderAsTilde)
{
    const QByteArray old = qgetenv("HOME");
    qputenv("HOME", "/home/u");
    const std::pair<const char*, const char*> cases[] = {
        {"/home/u/.config/zorvik-planner/PLANNER.INI", "~/.config/zorvik-planner/PLANNER.INI"},
        {"/home/user2/PLANNER.INI", "/home/user2/PLANNER.INI"}, // another user's home
        {"/etc/PLANNER.INI", "/etc/PLANNER.INI"},
    };
    for (const auto& [path, shown] : cases)
        EXPECT_EQ(settingsPathForDisplay(path), QString::fromLatin1(shown)) << path;
    qputenv("HOME", old);
}

TEST(SettingsFilePath, followsTheConfigurationFolder)
{
    const QByteArray old = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/zp-config-test");
    EXPECT_EQ(settingsFilePath(), QStringLiteral("/tmp/zp-config-test/zorvik-planner/PLANNER.INI"));
    if (old.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", old);
}

TEST(FontColour, systemColourHasNoRgb)
{
    EXPECT_EQ(fontRgb(FontChoice::kSystemTextColour), std::nullopt);
    EXPECT_EQ(fontRgb(0x00FF8040), (FontRgb{0x40, 0x80, 0xFF}));
    EXPECT_EQ(fontRgb(0), (FontRgb{0, 0, 0}));
}

} // namespace
} // namespace zp
