#include "state/Preferences.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace zp {

QString preferencesFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/zorvik-planner/") + kPreferencesFileName;
}

Preferences::Preferences() = default;
Preferences::~Preferences() = default;

void Preferences::open(const QString& path)
{
    file_.reset();
    if (!path.isEmpty())
        file_ = std::make_unique<QSettings>(path, QSettings::IniFormat);
}

QString Preferences::path() const
{
    return file_ ? file_->fileName() : QString();
}

QVariant Preferences::value(const QString& key, const QVariant& fallback) const
{
    if (file_)
        return file_->value(key, fallback);
    return memory_.value(key, fallback);
}

void Preferences::setValue(const QString& key, const QVariant& value)
{
    if (file_)
        file_->setValue(key, value);
    else
        memory_.insert(key, value);
}

void Preferences::remove(const QString& key)
{
    if (file_)
        file_->remove(key);
    else
        memory_.remove(key);
}

bool Preferences::boolValue(const QString& key, bool fallback) const
{
    // A hand-edited "yes" or "1" reads as true, anything unreadable as the
    // fallback.
    const QVariant v = value(key);
    if (!v.isValid())
        return fallback;
    const QString text = v.toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("yes") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("no") || text == QLatin1String("0"))
        return false;
    return fallback;
}

QStringList Preferences::stringList(const QString& key) const
{
    const QVariant v = value(key);
    // One entry comes back from the file as a plain string.
    if (v.typeId() == QMetaType::QString)
        return v.toString().isEmpty() ? QStringList() : QStringList{v.toString()};
    return v.toStringList();
}

bool Preferences::sync()
{
    if (!file_)
        return true;
    file_->sync();
    return file_->status() != QSettings::AccessError;
}

QString calendarServerPlanKey(const QString& planFile)
{
    const QByteArray path = QFileInfo(planFile).absoluteFilePath().toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex().left(16));
}

QString calendarPublishStatePath(const QString& preferencesPath, const QString& planFile)
{
    return QFileInfo(preferencesPath).dir().filePath(QStringLiteral("calendar-server-%1.json")
                                                         .arg(calendarServerPlanKey(planFile)));
}

CalendarServerSettings Preferences::calendarServer(const QString& planFile) const
{
    const QString group = QStringLiteral("CalendarServer/%1/").arg(calendarServerPlanKey(planFile));
    CalendarServerSettings s;
    s.url = value(group + QStringLiteral("url")).toString();
    s.user = value(group + QStringLiteral("user")).toString();
    s.publishAfterSave = boolValue(group + QStringLiteral("publishAfterSave"));
    s.certificates = stringList(group + QStringLiteral("certificates"));
    return s;
}

void Preferences::setCalendarServer(const QString& planFile, const CalendarServerSettings& s)
{
    const QString group = QStringLiteral("CalendarServer/%1/").arg(calendarServerPlanKey(planFile));
    setValue(group + QStringLiteral("url"), s.url);
    setValue(group + QStringLiteral("user"), s.user);
    setValue(group + QStringLiteral("publishAfterSave"), s.publishAfterSave);
    if (s.certificates.isEmpty())
        remove(group + QStringLiteral("certificates"));
    else
        setValue(group + QStringLiteral("certificates"), s.certificates);
}

} // namespace zp
