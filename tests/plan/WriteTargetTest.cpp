#include "plan/WriteTarget.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace zp {
namespace {

class WriteTarget : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QFile plan(path("plan.pln"));
        ASSERT_TRUE(plan.open(QIODevice::WriteOnly));
        ASSERT_TRUE(QFile::link(path("plan.pln"), path("link.pln")));
        ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
};

TEST_F(WriteTarget, refusesTheOpenPlanUnderAnyNameAndWhatIsNotARegularFile)
{
    const QString plan = path("plan.pln");
    const struct {
        QString target;
        bool refused;
    } cases[] = {
        {plan, true},
        {path("link.pln"), true},
        {dir.path() + QStringLiteral("/folder/../plan.pln"), true},
        {path("fifo"), true},
        {path("folder"), true},
        {QStringLiteral("/dev/null"), true},
        {QString(), true},
        {path("new.ics"), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(writeTargetProblem(c.target, plan).has_value(), c.refused) << c.target.toStdString();
    EXPECT_FALSE(writeTargetProblem(plan, QString())) << "with no plan open, a plan file is an ordinary target";
}

TEST_F(WriteTarget, opensOnlyExistingRegularFilesForReading)
{
    EXPECT_FALSE(readSourceProblem(path("plan.pln")));
    EXPECT_FALSE(readSourceProblem(path("link.pln")));
    for (const QString& p : {path("fifo"), path("folder"), path("missing"), QStringLiteral("/dev/zero")})
        EXPECT_TRUE(readSourceProblem(p)) << p.toStdString();
}

} // namespace
} // namespace zp
