#include "app/Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

namespace zp {

namespace {

// Exec= takes a quoted argument when it holds anything but plain characters.
QString execArgument(const QString& text)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`=%");
    if (!std::any_of(text.begin(), text.end(), [](QChar c) { return reserved.contains(c); }))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    for (const char* c : {"\"", "`", "$"})
        quoted.replace(QLatin1String(c), QLatin1String("\\") + QLatin1String(c));
    // A desktop file's own escape: backslashes are doubled once more.
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    quoted.replace(QLatin1Char('%'), QLatin1String("%%"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString autostartFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/org.zorvik.Planner.desktop");
}

QString autostartEntryText(const QString& command)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Zorvik Planner\n"
                          "Comment=Reminders of the planner's records\n"
                          "Exec=%1 %2\n"
                          "Icon=org.zorvik.Planner\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(execArgument(command), kTrayOption);
}

bool startsAtLogin()
{
    QFile file(autostartFilePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    const QString text = QString::fromUtf8(file.readAll());
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString l = line.trimmed();
        if (l == QLatin1String("Hidden=true") || l == QLatin1String("X-GNOME-Autostart-enabled=false"))
            return false;
    }
    return true;
}

bool setStartAtLogin(bool on, const QString& command, QString* error)
{
    const QString path = autostartFilePath();
    if (!on) {
        if (!QFileInfo::exists(path) || QFile::remove(path))
            return true;
        if (error)
            *error = QStringLiteral("%1 could not be removed").arg(QDir::toNativeSeparators(path));
        return false;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(autostartEntryText(command).toUtf8());
        if (file.commit())
            return true;
    }
    if (error)
        *error = QStringLiteral("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    return false;
}

} // namespace zp
