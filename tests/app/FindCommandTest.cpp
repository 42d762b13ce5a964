// zorvik-planner --find TEXT PLANFILE: the list lines of the records the
// window's Find finds.

#include "app/CommandLine.h"
#include "support/TerminalRun.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace zp {
namespace {

class FindCommandTest : public ::testing::Test {
protected:
    FindCommandTest()
    {
        plan = dir.filePath("plan.pln");
        QFile f(plan);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Zorvik Planner 3.2 0\r\nenglisheuro\r\n"
                "05/11/1996\r\n10:30\r\nSmith\r\n432\r\n\r\nQuote (rush)\r\n120\r\n\r\n0\r\nplandefault\r\nplandefault\r\n\r\n"
                "13/02/1997\r\n\r\nM\xC3\xBCller\r\n\r\n555 1234\r\n\r\n\r\n40\r\n1\r\nplandefault\r\nplandefault\r\n\r\n"
                "plannerend\r\n");
    }
    QTemporaryDir dir;
    QString plan;
};

TEST_F(FindCommandTest, printsTheLinesOfTheRecordsFound_inTheChosenMode)
{
    const QString smith = "05/11/1996, 10:30  - Smith, Quote (rush) (I:$120) (AH:432) (Pending) \n";
    const QString muller = QString::fromUtf8("13/02/1997,  - Müller, (E:$40) (BH:555 1234)(Done) \n");
    const struct {
        QStringList args;
        QString out;
    } cases[] = {
        {{"--find", "SMI", plan}, smith},
        {{"--find", "muller", plan}, muller},
        {{"--find", "555 12", plan}, muller},
        {{"--find", "(rush)", plan}, smith},
        {{"--find", "", plan}, smith + muller},
        {{"--find", "thursday", "--mode", "day", plan}, QString::fromUtf8("Thursday, 13/02/1997 Müller (E:$40) (BH:555 1234)(Done) \n")},
        {{"--mode", "name", "--find", "quote", plan}, "Smith, Quote (rush) 05/11/1996 10:30 (I:$120) (AH:432) (Pending) \n"},
    };
    for (const auto& c : cases) {
        const Outcome r = run(c.args);
        EXPECT_EQ(r.status, 0) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.out, c.out) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.err, "");
    }
}

TEST_F(FindCommandTest, nothingFound_printsNothingWithStatus1_andBadArgumentsGiveStatus2)
{
    for (const char* text : {"(I:$", "pending", ".*", "thursday"}) {
        const Outcome r = run({"--find", text, plan});
        EXPECT_EQ(r.status, 1) << text;
        EXPECT_EQ(r.out, "") << text;
    }
    EXPECT_EQ(run({"--find", QString(10000, u'x'), plan}).status, 1);
    for (const QStringList& args : {QStringList{"--find"}, QStringList{"--find", plan}, QStringList{"--find", "a", "--list", plan},
                                    QStringList{"--find", "a", "--today", "2026-12-08", plan}}) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
}

} // namespace
} // namespace zp
