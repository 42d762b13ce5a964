#include "state/RecentPlans.h"

#include "plan/RecentlyUsedFile.h"
#include "plan/WriteTarget.h"
#include "state/Preferences.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace zp {

namespace {

QString absolutePlan(const QString& plan)
{
    return QDir::cleanPath(QFileInfo(plan).absoluteFilePath());
}

} // namespace

QStringList withRecentPlan(const QStringList& list, const QString& plan)
{
    QStringList out{absolutePlan(plan)};
    const QString key = canonicalTarget(plan);
    for (const QString& entry : list)
        if (out.size() < kRecentPlansLimit && !entry.isEmpty() && canonicalTarget(entry) != key)
            out << entry;
    return out;
}

QStringList withoutRecentPlan(const QStringList& list, const QString& plan)
{
    const QString key = canonicalTarget(plan);
    QStringList out;
    for (const QString& entry : list)
        if (canonicalTarget(entry) != key)
            out << entry;
    return out;
}

QString recentPlanCaption(int position, const QString& plan)
{
    QString name = QFileInfo(plan).fileName();
    name.replace(QLatin1Char('&'), QLatin1String("&&"));
    return QStringLiteral("&%1 %2").arg(position).arg(name);
}

QStringList recentPlans(Preferences& preferences)
{
    preferences.sync();
    QStringList list = preferences.stringList(PreferenceKey::RecentPlans);
    list.removeAll(QString());
    return list.mid(0, kRecentPlansLimit);
}

void removeRecentPlan(Preferences& preferences, const QString& plan)
{
    preferences.setValue(PreferenceKey::RecentPlans, withoutRecentPlan(recentPlans(preferences), plan));
    preferences.sync();
}

void noteRecentPlan(Preferences& preferences, const QString& recentlyUsedPath, const QString& plan,
                    const QDateTime& now)
{
    if (plan.isEmpty())
        return;
    preferences.setValue(PreferenceKey::RecentPlans, withRecentPlan(recentPlans(preferences), plan));
    preferences.sync();
    if (recentlyUsedPath.isEmpty())
        return;
    const RecentlyUsedEntry entry{absolutePlan(plan), kPlanMimeType, kRecentlyUsedApplicationName,
                                  kRecentlyUsedApplicationExec, now};
    const RecentlyUsedResult result = addToRecentlyUsed(recentlyUsedPath, entry);
    if (result.outcome != RecentlyUsedOutcome::Written && !result.reason.isEmpty())
        std::fprintf(stderr, "zorvik-planner: %s not updated: %s\n", qPrintable(recentlyUsedPath),
                     qPrintable(result.reason));
}

} // namespace zp
