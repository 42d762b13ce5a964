#include "ui/SystemServices.h"

#include "ui/modules/PartEntries.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <chrono>
#include <clocale>
#include <langinfo.h>
#include <locale.h>
#include <sys/utsname.h>

// Where the full program is installed relative to the command's folder, and
// back (both from CMake's install folders).
#ifndef ZORVIK_WINDOWS_FROM_COMMAND
#define ZORVIK_WINDOWS_FROM_COMMAND "../libexec/zorvik-planner"
#endif
#ifndef ZORVIK_COMMAND_FROM_WINDOWS
#define ZORVIK_COMMAND_FROM_WINDOWS "../../bin"
#endif

namespace zp {

DateOrder dateOrderFromFormat(const QString& dFmt)
{
    qsizetype dayAt = -1;
    qsizetype monthAt = -1;
    for (qsizetype i = 0; i < dFmt.size(); ++i) {
        if (dFmt.at(i) != u'%')
            continue;
        const qsizetype at = i;
        ++i;
        // glibc flags, field width and the E/O modifiers come before the letter.
        while (i < dFmt.size() && (QStringView(u"-_0^#").contains(dFmt.at(i)) || dFmt.at(i).isDigit()))
            ++i;
        if (i < dFmt.size() && (dFmt.at(i) == u'E' || dFmt.at(i) == u'O'))
            ++i;
        if (i >= dFmt.size())
            break;
        switch (dFmt.at(i).unicode()) {
        case 'd':
        case 'e':
            if (dayAt < 0)
                dayAt = at;
            break;
        case 'm':
        case 'b':
        case 'B':
        case 'h':
        case 'D': // %m/%d/%y
        case 'F': // %Y-%m-%d
            if (monthAt < 0)
                monthAt = at;
            break;
        default: // "%%" and everything else
            break;
        }
    }
    if (dayAt >= 0 && (monthAt < 0 || dayAt < monthAt))
        return DateOrder::DayFirst;
    return DateOrder::MonthFirst;
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

QTimeZone SystemClock::timeZone() const
{
    return QTimeZone::systemTimeZone();
}

qint64 SystemClock::steadyMsecs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

DateOrder LocaleDateOrder::systemDateOrder() const
{
    // newlocale with "" reads LC_ALL / LC_TIME / LANG as they are now.
    locale_t loc = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    QString format;
    if (loc) {
        format = QString::fromLocal8Bit(nl_langinfo_l(D_FMT, loc));
        freelocale(loc);
    } else {
        format = QString::fromLocal8Bit(nl_langinfo(D_FMT));
    }
    return dateOrderFromFormat(format);
}

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

SystemFacts hostSystemFacts()
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
    const QString program = QCoreApplication::applicationFilePath();
    facts.programDirectory = plannerCommandDirectory(QCoreApplication::applicationDirPath());
    QFile file(program);
    if (program.isEmpty() || !file.open(QIODevice::ReadOnly))
        return facts;
    facts.programFileSize = file.size();
    // The planner is the command, the full program and the part files beside
    // it together: all count, so the page gives one size whichever of the
    // two programs shows it.
    const QFileInfo command(QDir(facts.programDirectory).filePath(QStringLiteral("zorvik-planner")));
    const QFileInfo windows(windowsProgramPath(facts.programDirectory));
    const QString self = QFileInfo(program).canonicalFilePath();
    if (command.isFile() && windows.isFile() &&
        (self == command.canonicalFilePath() || self == windows.canonicalFilePath())) {
        facts.programFileSize = command.size() + windows.size();
        for (const PartFile& part : {kChartPart, kPrintPart, kSoundPart})
            *facts.programFileSize += QFileInfo(windows.dir().filePath(QString::fromLatin1(part.file))).size();
    }
    return facts;
}

std::optional<QSize> parseScreenSize(QByteArrayView text)
{
    const QList<QByteArray> parts = text.trimmed().toByteArray().split('x');
    if (parts.size() != 2)
        return std::nullopt;
    bool wOk = false, hOk = false;
    const int w = parts[0].toInt(&wOk);
    const int h = parts[1].toInt(&hOk);
    if (!wOk || !hOk || w <= 0 || h <= 0)
        return std::nullopt;
    return QSize(w, h);
}

std::optional<QSize> displayScreenPixels(const QString& commandDirectory)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return std::nullopt;
    const QString program = windowsProgramPath(commandDirectory);
    if (!QFileInfo(program).isExecutable())
        return std::nullopt;
    QProcess child;
    // Its complaints about an unreachable display are not the command's.
    child.setStandardErrorFile(QProcess::nullDevice());
    child.start(program, {QString::fromLatin1(kScreenSizeOption)});
    // A display that does not answer must not hold up the command for long.
    if (!child.waitForFinished(10000)) {
        child.kill();
        child.waitForFinished(1000);
        return std::nullopt;
    }
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return std::nullopt;
    return parseScreenSize(child.readAllStandardOutput());
}

QString ownProgramDirectory()
{
    const QFileInfo self(QFile::symLinkTarget(QStringLiteral("/proc/self/exe")));
    return self.fileName().isEmpty() ? QString() : self.absolutePath();
}

QString windowsProgramPath(const QString& commandDirectory)
{
    const QDir command(commandDirectory);
    const QString installed = QDir::cleanPath(command.filePath(QStringLiteral(ZORVIK_WINDOWS_FROM_COMMAND "/") + kWindowsProgramName));
    if (QFileInfo(installed).isFile())
        return installed;
    const QString beside = command.filePath(kWindowsProgramName);
    return QFileInfo(beside).isFile() ? beside : installed;
}

QString plannerCommandDirectory(const QString& programDirectory)
{
    if (programDirectory.isEmpty())
        return programDirectory;
    const QString bin = QDir::cleanPath(QDir(programDirectory).filePath(QStringLiteral(ZORVIK_COMMAND_FROM_WINDOWS)));
    // Only the full program in its installed place has the command there.
    if (QFileInfo(QDir(bin).filePath(QStringLiteral("zorvik-planner"))).isFile() &&
        QFileInfo(QDir(programDirectory).filePath(kWindowsProgramName)).isFile())
        return bin;
    return programDirectory;
}

} // namespace zp
