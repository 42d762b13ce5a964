// The --pdf command of the real program, checked through its PDF files
// with pdftotext and pdfinfo (poppler-utils).

#include "plan/PlanFile.h"
#include "plan/RecordStore.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zp {
namespace {

struct RunResult {
    int status = -1;
    QString err;
};

class PdfCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            << "pdftotext is needed: install poppler-utils (scripts/install-deps)";
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    // A plan of `count` jobs; record 2 runs over the year end, all are named
    // Job1, Job2, ...; one carries a very long message.
    QString writePlan(int count)
    {
        RecordStore store;
        std::vector<PlannerRecord> records;
        for (int i = 1; i <= count; ++i) {
            PlannerRecord r;
            r[Field::StartDate] = i == 2 ? QStringLiteral("20/12/1996") : QStringLiteral("%1/11/1996").arg(1 + i % 28);
            r[Field::FinishDate] = i == 2 ? QStringLiteral("10/01/1997") : QString();
            r[Field::Time] = QStringLiteral("10:30");
            r[Field::Name] = QStringLiteral("Job%1").arg(i);
            r[Field::Message] = i == 3 ? QString(20000, QLatin1Char('m')) : QStringLiteral("Call back");
            r[Field::JobStatus] = QStringLiteral("0");
            r[Field::ImagePath] = r[Field::AudioPath] = kNoAttachment;
            records.push_back(r);
        }
        store.replaceAll(records);
        const QString file = path(QStringLiteral("work.pln"));
        EXPECT_TRUE(writePlanFile(file, store).ok());
        return file;
    }

    RunResult run(const QStringList& arguments)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        env.remove(QStringLiteral("DISPLAY"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(ZORVIK_PLANNER_BINARY), arguments);
        p.waitForFinished(120000);
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
    }
    static QString pdfText(const QString& file)
    {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
        p.waitForFinished(60000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    static int pdfPages(const QString& file)
    {
        QProcess p;
        p.start(QStringLiteral("pdfinfo"), {file});
        p.waitForFinished(60000);
        const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(p.readAllStandardOutput()));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }

    QTemporaryDir dir;
};

TEST_F(PdfCommandTest, eachStyle_writesAPdfWithItsHeadingsRecordsAndPages)
{
    const QString plan = writePlan(60);
    struct Case {
        const char* style;
        QStringList expected;
    } cases[] = {
        {"standard", {"Planner File: " + plan, "No. 1", "Name Job60", "Start date 20/12/1996", "Message mmmm"}},
        // Columns that would run off the page are left out, here from the phones on.
        {"project", {"Planner File: " + plan, "No.", "Start date", "Job60", "20/12/1996"}},
        // A4 has no room for "September" in a month column.
        {"timeline", {"Planner File: " + plan, "Year= 1996", "Year= 1997", "Job2", "Sep"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        const QString out = path(QStringLiteral("%1.pdf").arg(QString::fromLatin1(c.style)));
        const RunResult r = run({QStringLiteral("--pdf"), QString::fromLatin1(c.style), QStringLiteral("--date-order"),
                                 QStringLiteral("dmy"), out, plan});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        const QString text = pdfText(out);
        for (const QString& e : c.expected)
            EXPECT_TRUE(text.contains(e)) << e.toStdString();
        EXPECT_GT(pdfPages(out), 1);
    }
    // The time line: as many pages for 1997 as for 1996.
    const QString timeLine = pdfText(path(QStringLiteral("timeline.pdf")));
    EXPECT_EQ(timeLine.count(QStringLiteral("Year= 1996")) * 2, pdfPages(path(QStringLiteral("timeline.pdf"))));
    EXPECT_EQ(timeLine.count(QStringLiteral("Year= 1996")), timeLine.count(QStringLiteral("Year= 1997")));
    // The 20,000-character message is cut well inside the page.
    const QString standard = pdfText(path(QStringLiteral("standard.pdf")));
    EXPECT_LT(standard.count(QLatin1Char('m')), 400);
}

TEST_F(PdfCommandTest, switchesFromTheSettingsFile_leaveColumnsOut)
{
    const QString plan = writePlan(2);
    // The settings file of a first start, with the message switch off.
    QFile fixture(QStringLiteral(ZORVIK_TEST_FIXTURES "/default_planner.ini"));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(fixture.readAll()).split(QLatin1Char('\n'));
    lines[103] = QStringLiteral("off");
    QDir().mkpath(path(QStringLiteral("config/zorvik-planner")));
    QFile ini(path(QStringLiteral("config/zorvik-planner/PLANNER.INI")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(lines.join(QLatin1Char('\n')).toUtf8());
    ini.close();
    const QString out = path(QStringLiteral("s.pdf"));
    ASSERT_EQ(run({QStringLiteral("--pdf"), QStringLiteral("standard"), out, plan}).status, 0);
    const QString text = pdfText(out);
    EXPECT_TRUE(text.contains(QStringLiteral("Name Job1")));
    EXPECT_FALSE(text.contains(QStringLiteral("Call back")));
}

TEST_F(PdfCommandTest, badInput_exitsWithAClearMessageAndLeavesNoFile)
{
    const QString plan = writePlan(2);
    QFile bad(path(QStringLiteral("bad.pln")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("this is no plan\n");
    bad.close();
    QFile empty(path(QStringLiteral("empty.pln")));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.write("Zorvik Planner 3.2 0\r\nenglisheuro\r\nplannerend\r\n");
    empty.close();
    const QString out = path(QStringLiteral("out.pdf"));
    struct Case {
        QStringList arguments;
        int status;
        const char* message;
    } cases[] = {
        {{"--pdf", "fancy", out, plan}, 2, "--pdf takes standard, project or timeline"},
        {{"--pdf", "standard", plan}, 2, "needs OUTPUT.pdf and PLANFILE"},
        {{"--pdf", "standard", out, path("missing.pln")}, 2, "no such file"},
        {{"--pdf", "standard", plan, plan}, 1, "It is the open plan's file, which this would overwrite."},
        {{"--pdf", "standard", out, path("bad.pln")}, 1, ""},
        {{"--pdf", "standard", out, path("empty.pln")}, 1, "No records to print."},
        {{"--pdf", "timeline", path("no/such/folder/out.pdf"), plan}, 1, "cannot write"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const RunResult r = run(c.arguments);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.message))) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
    // The plan named as the output was left alone.
    EXPECT_EQ(run({"--list", plan}).status, 0);
    // No temporary files are left behind either.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3);
}

TEST_F(PdfCommandTest, anOutputThatIsThePlanOrNoRegularFile_isRefusedAndLeftAsItWas)
{
    const QString plan = writePlan(2);
    const QByteArray before = [&] {
        QFile f(plan);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    ASSERT_TRUE(QFile::link(plan, path(QStringLiteral("link.pdf"))));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe.pdf"))).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkdir(path(QStringLiteral("folder.pdf"))));
    const std::pair<QString, QString> cases[] = {
        {path(QStringLiteral("link.pdf")), "It is the open plan's file, which this would overwrite."},
        {path(QStringLiteral("pipe.pdf")), "It is not a regular file (a pipe or a device), which this would replace."},
        {QStringLiteral("/dev/null"), "It is not a regular file (a pipe or a device), which this would replace."},
        {path(QStringLiteral("folder.pdf")), "It is a folder."},
    };
    for (const auto& [output, reason] : cases) {
        SCOPED_TRACE(output.toStdString());
        const RunResult r = run({QStringLiteral("--pdf"), QStringLiteral("standard"), output, plan});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "zorvik-planner: cannot write " + output + ": " + reason + "\n");
    }
    QFile after(plan);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
    EXPECT_EQ(QFileInfo(path(QStringLiteral("pipe.pdf"))).size(), 0);
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("folder.pdf"))).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size(), 4);
}

TEST_F(PdfCommandTest, anOutputNameNotInTheLocalesEncoding_isWrittenUnderExactlyItsBytes)
{
    const QString plan = writePlan(2);
    const QByteArray output = QFile::encodeName(dir.path()) + "/caf\xe9.pdf";
    // A shell hands over the name's bytes as they are; the second run
    // replaces the file it finds under that name.
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("exec \"$0\" --pdf standard \"$(printf '%s/caf\\351.pdf' \"$1\")\" \"$2\""),
                                       QStringLiteral(ZORVIK_PLANNER_BINARY), dir.path(), plan});
        ASSERT_TRUE(p.waitForFinished(120000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        struct stat st = {};
        ASSERT_EQ(::stat(output.constData(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode));
        EXPECT_GT(st.st_size, 1000);
        // The plan and the PDF, no temporary file beside them (counted by
        // the system: QDir passes over a name it cannot decode).
        std::vector<QByteArray> names;
        if (DIR* folder = ::opendir(QFile::encodeName(dir.path()).constData())) {
            while (const dirent* entry = ::readdir(folder))
                names.emplace_back(entry->d_name);
            ::closedir(folder);
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<QByteArray>{".", "..", "caf\xe9.pdf", "work.pln"}));
    }
}

} // namespace
} // namespace zp
