#pragma once
// What must hold for any bytes given to the settings reader, shared by the
// fuzzer and the corpus test. Header only, so the fuzzer needs no test
// framework.

#include "app/SettingsFile.h"
#include "plan/RecordStore.h"
#include "ui/MessageBox.h"
#include "ui/ScreenMetrics.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <cmath>

namespace zp::fuzzcheck {

// Reads `bytes` as PLANNER.INI in `folder`. Returns an empty text when all
// is well, else what went wrong:
// - every window place read converts to pixels within what a screen holds;
// - the settings of a file that was read are written and read back as the
//   same settings.
inline QString checkSettingsBytes(const QByteArray& bytes, const QString& folder)
{
    class Quiet : public MessageBoxService {
    public:
        int msgBox(const QString&, int, const QString&) override
        {
            ++shown;
            return MsgAnswer::Ok;
        }
        int shown = 0;
    } quiet;

    const QString path = QDir(folder).filePath(QStringLiteral("PLANNER.INI"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            return QStringLiteral("cannot write the input file");
    }
    Settings settings;
    RecordStore store;
    bool loaded = false;
    const SettingsSnapshot read = loadSettings(path, settings, store, quiet, &loaded);
    // A file too small to hold a setting is a first start: no message.
    const bool tellsUser = !loaded && bytes.size() > kSettingsMinimumBytes;
    if (tellsUser != (quiet.shown != 0))
        return QStringLiteral("the start-up message and the result disagree");
    const Twips twips;
    for (int row = 1; row <= 15; ++row) {
        const WindowPlacement& p = settings.placement(row);
        for (double v : {p.top, p.left, p.width, p.height})
            if (std::abs(twips.toPixelsX(v)) > 100000)
                return QStringLiteral("a window place no screen could show: row %1").arg(row);
    }
    if (!loaded)
        return {};
    if (!saveSettings(path, settings, store, read))
        return QStringLiteral("the settings could not be written");
    Settings again;
    RecordStore againStore;
    bool loadedAgain = false;
    loadSettings(path, again, againStore, quiet, &loadedAgain);
    if (!loadedAgain)
        return QStringLiteral("written settings do not read back");
    if (!(takeSettingsSnapshot(again, againStore) == takeSettingsSnapshot(settings, store)))
        return QStringLiteral("written settings read back as others");
    return {};
}

} // namespace zp::fuzzcheck
