#include "ui/QtSystemFacts.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include <sys/utsname.h>

namespace zp {

std::array<int, 3> kernelReleaseNumbers(const QString& release)
{
    std::array<int, 3> numbers{0, 0, 0};
    qsizetype i = 0;
    for (int& n : numbers) {
        qsizetype start = i;
        long value = 0;
        while (i < release.size() && release[i].isDigit() && release[i].unicode() < 128) {
            if (value < 1000000)
                value = value * 10 + (release[i].unicode() - u'0');
            ++i;
        }
        if (i == start)
            break;
        n = static_cast<int>(value);
        if (i >= release.size() || release[i] != u'.')
            break;
        ++i;
    }
    return numbers;
}

QString osReleaseValue(const QString& osRelease, const QString& key)
{
    const QString prefix = key + QLatin1Char('=');
    for (const QString& raw : osRelease.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (!line.startsWith(prefix))
            continue;
        QString value = line.mid(prefix.size());
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return {};
}

SystemFacts QtSystemFacts::systemFacts() const
{
    SystemFacts facts;
    utsname names{};
    if (uname(&names) == 0) {
        facts.platformName = QString::fromLocal8Bit(names.sysname);
        const auto numbers = kernelReleaseNumbers(QString::fromLocal8Bit(names.release));
        facts.versionMajor = numbers[0];
        facts.versionMinor = numbers[1];
        facts.versionPatch = numbers[2];
    }
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
        QFile file(QString::fromLatin1(path));
        if (file.open(QIODevice::ReadOnly)) {
            facts.serviceLevel = osReleaseValue(QString::fromUtf8(file.read(64 * 1024)), QStringLiteral("VERSION_ID"));
            break;
        }
    }
    // A terminal command runs without a window system, and so without a screen.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            facts.screenPixels = screen->geometry().size();
    }
    const QString program = QCoreApplication::applicationFilePath();
    facts.programDirectory = QCoreApplication::applicationDirPath();
    QFile file(program);
    if (!program.isEmpty() && file.open(QIODevice::ReadOnly))
        facts.programFileSize = file.size();
    return facts;
}

} // namespace zp
