#pragma once
#include <QString>
#include <optional>

namespace zp {

// One spelling per file: links followed, so two names of one file compare
// equal. A file not yet written is placed in its folder's real path.
QString canonicalTarget(const QString& path);

// Whether two names lead to the same file (both empty: no).
bool sameFile(const QString& a, const QString& b);

// Why nothing may be written at `target`, or nothing when it may: every
// writer other than the plan's own save asks this first, so a calendar,
// PDF, text or recording never replaces the open plan (under any name) and
// never replaces a FIFO, a device or a folder, which a temporary file
// renamed over it would destroy (or, opened for writing, would block on).
// `openPlan` is the plan file the program has open, empty when none.
std::optional<QString> writeTargetProblem(const QString& target, const QString& openPlan);

// Why a file the program is about to read (a record's sound or picture)
// may not be opened, or nothing when it may: only an existing regular file
// is opened, as opening a FIFO blocks until a writer comes and a device
// never ends.
std::optional<QString> readSourceProblem(const QString& path);

} // namespace zp
