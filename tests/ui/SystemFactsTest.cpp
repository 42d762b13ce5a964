#include "ui/QtSystemFacts.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace zp {
namespace {

TEST(SystemFactsTest, kernelReleaseGivesItsFirstThreeNumbers)
{
    const std::pair<const char*, std::array<int, 3>> cases[] = {
        {"6.1.0-18-amd64", {6, 1, 0}},
        {"5.15.90.1-microsoft-standard-WSL2", {5, 15, 90}},
        {"6.8-rc3", {6, 8, 0}},
        {"4", {4, 0, 0}},
        {"", {0, 0, 0}},
        {"custom", {0, 0, 0}},
    };
    for (const auto& [release, numbers] : cases)
        EXPECT_EQ(kernelReleaseNumbers(QString::fromLatin1(release)), numbers) << release;
}

TEST(SystemFactsTest, osReleaseValueTakesTheKeysValueWithoutQuotes)
{
    const QString text = QStringLiteral("PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nVERSION_ID=\"12\"\n"
                                        "ID=debian\nBUILD_ID='rolling'\n");
    EXPECT_EQ(osReleaseValue(text, QStringLiteral("VERSION_ID")), "12");
    EXPECT_EQ(osReleaseValue(text, QStringLiteral("ID")), "debian");
    EXPECT_EQ(osReleaseValue(text, QStringLiteral("BUILD_ID")), "rolling");
    EXPECT_EQ(osReleaseValue(text, QStringLiteral("VERSION")), "");
}

TEST(SystemFactsTest, theRunningProgramIsFoundAndMeasured)
{
    const SystemFacts facts = QtSystemFacts().systemFacts();
    EXPECT_EQ(facts.platformName, "Linux");
    EXPECT_GT(facts.versionMajor, 0);
    EXPECT_EQ(facts.programDirectory, QCoreApplication::applicationDirPath());
    ASSERT_TRUE(facts.programFileSize.has_value());
    EXPECT_EQ(*facts.programFileSize, QFileInfo(QCoreApplication::applicationFilePath()).size());
    EXPECT_TRUE(facts.screenPixels.has_value()); // the window tests run with a (offscreen) screen
}

} // namespace
} // namespace zp
