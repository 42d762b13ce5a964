#include "plan/fuzz/PlanFileFuzzCheck.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace zp {
namespace {

// Every input the plan file fuzzer keeps in its corpus is replayed here, so
// a case it once found stays fixed in builds without the fuzzer.
TEST(PlanFileCorpus, everyInputLoadsOrIsRefusedCleanlyAndSavesStably)
{
    const QDir corpus(QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("fuzz/corpus")));
    const QStringList inputs = corpus.entryList(QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    ASSERT_GE(inputs.size(), 20) << corpus.path().toStdString();
    QTemporaryDir dir;
    int checked = 0;
    for (const QString& name : inputs) {
        if (name == QLatin1String(".gitattributes"))
            continue;
        const QByteArray bytes = fuzzcheck::fileBytes(corpus.filePath(name));
        for (const DateOrder order : {DateOrder::DayFirst, DateOrder::MonthFirst})
            EXPECT_EQ(fuzzcheck::checkPlanBytes(bytes, dir.path(), order), QString())
                << name.toStdString() << (order == DateOrder::DayFirst ? " day first" : " month first");
        ++checked;
    }
    EXPECT_EQ(checked, inputs.size() - 1);
}

} // namespace
} // namespace zp
