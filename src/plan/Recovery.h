#pragma once
#include <QDateTime>
#include <QString>

namespace zp {

class RecordStore;

// Unsaved changes kept when the planner has to end without asking (a
// termination signal, the end of the desktop session): the plan is written,
// as an ordinary plan file, into the recovery folder under a name made from
// the plan's own (or "untitled"), so it can be opened like any plan.
QString recoveryFolder();
QString recoveryFileName(const QString& planFileName);

// Writes the store into `folder` (made when missing). Returns the file
// written, or nothing on failure.
QString writeRecoveryCopy(const RecordStore& store, const QString& folder);
// Removes the copy kept for this plan, if any.
void removeRecoveryCopy(const QString& planFileName, const QString& folder);

// The question asked at start when a copy is there (the program ended
// before the changes were saved).
QString restoreQuestion(const QString& planFileName, const QDateTime& written, int records);

} // namespace zp
