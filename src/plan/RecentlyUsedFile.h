#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

namespace zp {

// The desktop's list of recently used files, which file choosers and
// launchers show: ~/.local/share/recently-used.xbel ($XDG_DATA_HOME when
// set), an XBEL document in the freedesktop desktop-bookmark form that
// every program on the desktop shares.
QString recentlyUsedFilePath();

inline const QString kPlanMimeType = QStringLiteral("application/x-zorvik-plan");
inline const QString kRecentlyUsedApplicationName = QStringLiteral("Zorvik Planner");
inline const QString kRecentlyUsedApplicationExec = QStringLiteral("zorvik-planner %u");

struct RecentlyUsedEntry {
    QString filePath; // absolute
    QString mimeType;
    QString applicationName;
    QString applicationExec; // a desktop Exec line: "zorvik-planner %u"
    QDateTime when;
};

// `document` with the entry for the file added, or renewed when it is
// there: its modified and visited times set, our application's count
// raised (or our application added). Everything else stays as it was, byte
// for byte, so other programs' entries and anything we do not know lose
// nothing. Nothing when the document is not well-formed XML with an xbel
// root, which this program must not guess at; an empty document counts as
// a new one.
std::optional<QByteArray> recentlyUsedWithEntry(const QByteArray& document, const RecentlyUsedEntry& entry);

enum class RecentlyUsedOutcome {
    Written,
    LeftAlone, // unreadable as ours to change (damaged, or not a plain file)
    Failed,    // could not be read or written
};
struct RecentlyUsedResult {
    RecentlyUsedOutcome outcome = RecentlyUsedOutcome::Written;
    QString reason;
};

// Adds the entry to the file at `path`, written to a temporary file in the
// same folder and renamed over it; a damaged file is left untouched. A
// link is followed; one that leads to anything but a plain file (a link to
// /dev/null is how some keep no history) is left alone, silently.
RecentlyUsedResult addToRecentlyUsed(const QString& path, const RecentlyUsedEntry& entry);

} // namespace zp
