#include "app/fuzz/SettingsFileFuzzCheck.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace zp {
namespace {

// Every input the settings fuzzer keeps in its corpus is replayed here.
TEST(SettingsFileCorpus, everyInputIsReadOrRefusedCleanlyAndWritesBackTheSame)
{
    const QDir corpus(QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("fuzz/corpus")));
    const QStringList inputs = corpus.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    ASSERT_GE(inputs.size(), 6) << corpus.path().toStdString();
    QTemporaryDir dir;
    for (const QString& name : inputs) {
        QFile f(corpus.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(fuzzcheck::checkSettingsBytes(f.readAll(), dir.path()), QString()) << name.toStdString();
    }
}

} // namespace
} // namespace zp
