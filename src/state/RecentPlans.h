#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace zp {

class Preferences;

// File > Recent plans: the plans last opened or saved, most recent first.
constexpr int kRecentPlansLimit = 8;

// The list with `plan` put first as an absolute path; an entry naming the
// same file (links followed, so two spellings of one file count once) is
// dropped, and the list is cut to kRecentPlansLimit.
QStringList withRecentPlan(const QStringList& list, const QString& plan);
// The list without the entries naming `plan`'s file.
QStringList withoutRecentPlan(const QStringList& list, const QString& plan);

// "&1 work.pln" ... "&8 ...": the position is the menu's access key; an "&"
// in the file name shows as itself.
QString recentPlanCaption(int position, const QString& plan);

// The list as kept in the preferences, with what other running copies
// wrote meanwhile.
QStringList recentPlans(Preferences& preferences);
void removeRecentPlan(Preferences& preferences, const QString& plan);

// A plan was opened or saved: it goes to the top of the list, and into the
// desktop's recently-used list at `recentlyUsedPath` (none when empty) so
// file choosers and launchers offer it too. A recently-used file that
// cannot be read as one is left as it is, with one line on stderr.
void noteRecentPlan(Preferences& preferences, const QString& recentlyUsedPath, const QString& plan,
                    const QDateTime& now);

} // namespace zp
