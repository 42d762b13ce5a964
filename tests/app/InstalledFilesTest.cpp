#include "app/InstalledFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zp {
namespace {

void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(InstalledFiles, foundBesideTheProgramUnderItsPrefixElseBuiltIn)
{
    QTemporaryDir prefix;
    const QString bin = prefix.filePath("bin");
    QDir().mkpath(bin);
    EXPECT_EQ(installedFilesText(findInstalledFiles(bin)), "User guide: built in\nStart-up sound: built in\n");
    EXPECT_EQ(installedFilesText(findInstalledFiles(QString())), "User guide: built in\nStart-up sound: built in\n");

    touch(prefix.filePath("share/doc/zorvik-planner/html/index.html"));
    touch(prefix.filePath("share/zorvik-planner/PLANNER.WAV"));
    const InstalledFiles found = findInstalledFiles(bin);
    EXPECT_EQ(found.userGuide, QDir::cleanPath(prefix.filePath("share/doc/zorvik-planner/html/index.html")));
    EXPECT_EQ(found.startupSound, QDir::cleanPath(prefix.filePath("share/zorvik-planner/PLANNER.WAV")));
    EXPECT_EQ(installedFilesText(found),
              "User guide: " + found.userGuide + "\nStart-up sound: " + found.startupSound + "\n");
}

} // namespace
} // namespace zp
