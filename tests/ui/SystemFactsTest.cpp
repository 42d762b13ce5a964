#include "ui/QtSystemFacts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
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

// The command finds the full program where it is installed or beside it in
// the build folder; the full program in libexec answers the command's
// folder, so ../share beside the command is found from either.
TEST(SystemFactsTest, eachProgramFindsTheOtherInTheInstalledAndTheBuildLayout)
{
    struct Case {
        const char* what;
        std::vector<const char*> files; // under a fresh folder
        const char* command;            // folder the command runs in
        const char* windows;            // full program it starts
        const char* windowsFolder;      // folder the full program runs in
        const char* commandFolder;      // ... and the command's folder it answers
    } cases[] = {
        {"installed", {"usr/bin/zorvik-planner", "usr/libexec/zorvik-planner/zorvik-planner-windows"}, "usr/bin",
         "usr/libexec/zorvik-planner/zorvik-planner-windows", "usr/libexec/zorvik-planner", "usr/bin"},
        {"build folder", {"build/zorvik-planner", "build/zorvik-planner-windows"}, "build", "build/zorvik-planner-windows",
         "build", "build"},
        // A /bin beside /usr/bin (merged /usr) is no reason to look elsewhere.
        {"merged /usr", {"usr/bin/zorvik-planner", "usr/libexec/zorvik-planner/zorvik-planner-windows", "bin/zorvik-planner"},
         "usr/bin", "usr/libexec/zorvik-planner/zorvik-planner-windows", "usr/bin", "usr/bin"},
        {"full program missing", {"opt/zorvik-planner"}, "opt", "libexec/zorvik-planner/zorvik-planner-windows", "opt", "opt"},
        {"command missing", {"usr/libexec/zorvik-planner/zorvik-planner-windows"}, "usr/bin",
         "usr/libexec/zorvik-planner/zorvik-planner-windows", "usr/libexec/zorvik-planner", "usr/libexec/zorvik-planner"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QDir root(dir.path());
        for (const char* f : c.files) {
            const QString file = root.filePath(QLatin1String(f));
            ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
            QFile out(file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        }
        EXPECT_EQ(windowsProgramPath(root.filePath(QLatin1String(c.command))), root.filePath(QLatin1String(c.windows)));
        EXPECT_EQ(plannerCommandDirectory(root.filePath(QLatin1String(c.windowsFolder))),
                  root.filePath(QLatin1String(c.commandFolder)));
    }
}

} // namespace
} // namespace zp
