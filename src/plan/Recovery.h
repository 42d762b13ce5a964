#pragma once
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

} // namespace zp
