#include "app/SettingsFile.h"

#include "plan/RecordStore.h"
#include "plan/TextEncoding.h"
#include "plan/TextNumber.h"
#include "ui/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include <unistd.h>

namespace zp {

namespace {

const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

// The raw lines 1 ... 106 of a file (line ends removed), or nothing when the
// file cannot be one of ours: missing, too small, unreadable, ending before
// line 106 or holding an overlong line.
std::optional<std::vector<QByteArray>> readRawLines(const QString& path, bool* byteOrderMark = nullptr,
                                                   bool* lfOnly = nullptr)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile() || info.size() <= kSettingsMinimumBytes)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Enough for 106 lines of the longest length accepted; anything after
    // line 106 is never looked at.
    const qint64 budget = kSettingsLineCount * (kSettingsMaxLineBytes + 2);
    QByteArray bytes = file.read(budget);
    const bool mark = bytes.startsWith("\xEF\xBB\xBF");
    if (mark)
        bytes.remove(0, 3);
    if (byteOrderMark)
        *byteOrderMark = mark;
    if (lfOnly) {
        const qsizetype firstBreak = bytes.indexOf('\n');
        *lfOnly = firstBreak > 0 ? bytes.at(firstBreak - 1) != '\r' : firstBreak == 0;
    }

    std::vector<QByteArray> lines;
    lines.reserve(kSettingsLineCount);
    qsizetype start = 0;
    while (static_cast<int>(lines.size()) < kSettingsLineCount && start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const bool lastWithoutNewline = end < 0;
        if (lastWithoutNewline)
            end = bytes.size();
        qsizetype contentEnd = end;
        // Every CR before the line's end goes: no setting ends in one, and
        // one kept would not survive being written back.
        while (contentEnd > start && bytes.at(contentEnd - 1) == '\r')
            --contentEnd;
        if (contentEnd - start > kSettingsMaxLineBytes)
            return std::nullopt;
        lines.push_back(bytes.mid(start, contentEnd - start));
        start = end + 1;
    }
    if (static_cast<int>(lines.size()) < kSettingsLineCount)
        return std::nullopt;
    return lines;
}

// A number line as the old program read it into a variable of the line's
// type: the leading number (0 when there is none), rounded half to even for
// integers. A value the type cannot hold is a read failure.
std::optional<qint64> integerLine(const QString& line, qint64 lowest, qint64 highest)
{
    const double value = std::nearbyint(textValue(line));
    if (!(value >= static_cast<double>(lowest) && value <= static_cast<double>(highest)))
        return std::nullopt;
    return static_cast<qint64>(value);
}

std::optional<double> singleLine(const QString& line)
{
    const double value = textValue(line);
    if (!(std::fabs(value) <= static_cast<double>(std::numeric_limits<float>::max())))
        return std::nullopt;
    return static_cast<double>(static_cast<float>(value));
}

// "True"/"False" as the font flags are kept; a number counts as true when it
// is not 0, any other text as false.
bool flagLine(const QString& line)
{
    const QString t = line.trimmed();
    if (t.compare(kTrue, Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(kFalse, Qt::CaseInsensitive) == 0)
        return false;
    return textValue(t) != 0;
}

// Positions and sizes in twips that some screen could show: within 1 000 000
// twips (about 17 metres at 96 dpi) of the origin, sizes not negative.
bool isPlausiblePlacement(const WindowPlacement& p)
{
    constexpr double kFar = 1'000'000;
    for (double v : {p.top, p.left, p.width, p.height})
        if (!std::isfinite(v) || std::fabs(v) > kFar)
            return false;
    return p.width >= 0 && p.height >= 0;
}

// Lines 2 ... 106 decoded; line 2 is returned through `flag`.
std::optional<SettingsSnapshot> parseLines(const QStringList& lines, QString& flag)
{
    SettingsSnapshot v;
    auto line = [&lines](int number) -> const QString& { return lines.at(number - 1); };
    flag = line(2);
    v.planFileName = line(3);
    v.displayMode = line(4);
    for (int i = 0; i < 3; ++i)
        v.reserved[static_cast<std::size_t>(i)] = line(5 + i);
    v.startupShow = line(8);
    v.fileDateStyle = line(9);
    v.keepBackups = line(10);
    v.font.name = line(11);
    const auto size = integerLine(line(12), std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max());
    v.font.bold = flagLine(line(13));
    v.font.italic = flagLine(line(14));
    v.font.strikethru = flagLine(line(15));
    v.fontStyleTexts = {line(13), line(14), line(15)};
    const auto colour = integerLine(line(16), std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    v.plotTitle = line(17);
    v.plotXLabel = line(18);
    v.plotYLabel = line(19);
    const auto editStyle =
        integerLine(line(20), std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max());
    if (!size || !colour || !editStyle)
        return std::nullopt;
    // A larger size than the Fonts command lets anyone choose would not fit
    // the lists and entry fields.
    v.font.size = std::min(static_cast<int>(*size), Settings::kMaxFontSize);
    v.font.colour = static_cast<std::int32_t>(*colour);
    v.editStyle = static_cast<int>(*editStyle);
    for (int row = 1; row <= 15; ++row) {
        const int first = 21 + (row - 1) * 4;
        const auto top = singleLine(line(first));
        const auto left = singleLine(line(first + 1));
        const auto width = singleLine(line(first + 2));
        const auto height = singleLine(line(first + 3));
        if (!top || !left || !width || !height)
            return std::nullopt;
        // A place no screen could show (a damaged or hand-edited file) is
        // the row's default, so no window is sized or moved out of reach.
        const WindowPlacement read{*top, *left, *width, *height};
        v.windowPlacement[static_cast<std::size_t>(row)] =
            isPlausiblePlacement(read) ? read : Settings::defaultPlacements()[static_cast<std::size_t>(row)];
    }
    const auto soundOn = singleLine(line(81));
    const auto maxSeconds = singleLine(line(82));
    if (!soundOn || !maxSeconds)
        return std::nullopt;
    v.soundOn = *soundOn;
    // The recording limit is a number of seconds up to 99999 ("Unlimited").
    v.maxRecordSeconds = *maxSeconds >= 0 && *maxSeconds <= 99999 ? *maxSeconds : 10;
    for (int i = 1; i <= 24; ++i)
        v.fieldLabels[static_cast<std::size_t>(i)] = line(82 + i);
    return v;
}

// A text line holds its value as it is; a line break inside it would shift
// every later line, so none is written.
QString textLine(const QString& value)
{
    if (!value.contains(u'\n') && !value.contains(u'\r'))
        return value;
    QString t = value;
    t.remove(u'\n');
    t.remove(u'\r');
    return t;
}

// A font style line: the text it had while it still reads as the style,
// else the style as "True"/"False".
QString styleLine(const QString& kept, bool style)
{
    if (flagLine(kept) == style)
        return textLine(kept);
    return style ? kTrue : kFalse;
}

QStringList linesOf(const QString& flag, const SettingsSnapshot& v)
{
    QStringList lines;
    lines.reserve(kSettingsLineCount);
    lines << kSettingsHeader << textLine(flag) << textLine(v.planFileName) << textLine(v.displayMode);
    for (const QString& r : v.reserved)
        lines << textLine(r);
    lines << textLine(v.startupShow) << textLine(v.fileDateStyle) << textLine(v.keepBackups)
          << textLine(v.font.name) << settingsIntegerText(v.font.size) << styleLine(v.fontStyleTexts[0], v.font.bold)
          << styleLine(v.fontStyleTexts[1], v.font.italic) << styleLine(v.fontStyleTexts[2], v.font.strikethru)
          << settingsIntegerText(v.font.colour) << textLine(v.plotTitle) << textLine(v.plotXLabel)
          << textLine(v.plotYLabel) << settingsIntegerText(v.editStyle);
    for (int row = 1; row <= 15; ++row) {
        const WindowPlacement& p = v.windowPlacement[static_cast<std::size_t>(row)];
        for (double n : {p.top, p.left, p.width, p.height})
            lines << settingsSingleText(static_cast<float>(n));
    }
    lines << settingsSingleText(static_cast<float>(v.soundOn))
          << settingsSingleText(static_cast<float>(v.maxRecordSeconds));
    for (int i = 1; i <= 24; ++i)
        lines << textLine(v.fieldLabels[static_cast<std::size_t>(i)]);
    return lines;
}

} // namespace

QString settingsFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/zorvik-planner/") + kSettingsFileName;
}

bool isAcceptedSettingsHeader(QStringView line)
{
    for (const char* h : {"Zorvik Planner 2.0", "Zorvik Planner 2.1", "Zorvik Planner 3.0", "Zorvik Planner 3.1",
                          "Zorvik Planner 3.2"})
        if (line == QLatin1String(h))
            return true;
    return false;
}

void setDefaultSettings(Settings& settings, RecordStore& store)
{
    settings.saveSettingsOnExit = QStringLiteral("1");
    applySettingsSnapshot(defaultSettingsSnapshot(), settings, store);
}

SettingsSnapshot loadSettings(const QString& path, Settings& settings, RecordStore& store,
                              MessageBoxService& messages, bool* loaded)
{
    if (loaded)
        *loaded = false;
    bool byteOrderMark = false;
    bool lfOnly = false;
    // No file yet is a first start, not a fault: nothing to tell the user.
    // A file too small to hold a single setting counts as none.
    const QFileInfo file(path);
    if (!file.exists() || (file.isFile() && file.size() <= kSettingsMinimumBytes)) {
        setDefaultSettings(settings, store);
        return defaultSettingsSnapshot();
    }
    if (const auto raw = readRawLines(path, &byteOrderMark, &lfOnly)) {
        // The encoding is decided over the whole file, not line by line.
        QByteArray all;
        for (const QByteArray& l : *raw)
            all += l + '\n';
        const QByteArray encoding = detectEncoding(all);
        QStringList lines;
        lines.reserve(kSettingsLineCount);
        for (const QByteArray& l : *raw)
            lines << decodeText(l, encoding);
        if (isAcceptedSettingsHeader(lines.front())) {
            QString flag;
            if (auto values = parseLines(lines, flag)) {
                values->encoding = encoding;
                settings.saveSettingsOnExit = flag;
                applySettingsSnapshot(*values, settings, store);
                settings.fileLines = lines;
                settings.fileByteOrderMark = byteOrderMark;
                settings.fileLfOnly = lfOnly;
                if (loaded)
                    *loaded = true;
                return *values;
            }
        }
    }
    messages.msgBox(kSettingsLoadFailedText.arg(settingsPathForDisplay(path)), MsgStyle::Exclamation,
                    kSettingsLoadFailedTitle);
    setDefaultSettings(settings, store);
    return defaultSettingsSnapshot();
}

QByteArray settingsFileBytes(const Settings& settings, const RecordStore& store, const SettingsSnapshot& snapshot)
{
    const bool current = settings.saveSettingsOnExit == QLatin1String("1");
    const SettingsSnapshot values = current ? takeSettingsSnapshot(settings, store) : snapshot;
    QStringList lines = linesOf(settings.saveSettingsOnExit, values);
    // A line whose setting is as it was read goes back as it was read, so a
    // run that changes nothing leaves the file byte for byte as it found it.
    const bool wasRead = settings.fileLines.size() == kSettingsLineCount;
    if (wasRead) {
        const QStringList asRead = linesOf(settings.fileLines.at(1), snapshot);
        for (int i = 0; i < kSettingsLineCount; ++i)
            // A line ending in CR would lose that CR to the reader's line
            // ends; it goes in the program's own form instead.
            if (lines.at(i) == asRead.at(i) && !settings.fileLines.at(i).contains(u'\n')
                && !settings.fileLines.at(i).endsWith(u'\r'))
                lines[i] = settings.fileLines.at(i);
    }
    const QString lineBreak = wasRead && settings.fileLfOnly ? QStringLiteral("\n") : QStringLiteral("\r\n");
    const QString text = lines.join(lineBreak) + lineBreak;
    if (values.encoding == kWindows1252Encoding) {
        if (auto bytes = toWindows1252(text))
            return *bytes;
        // A character the old code page cannot hold: the whole file goes UTF-8.
    }
    const QByteArray mark = wasRead && settings.fileByteOrderMark ? QByteArrayLiteral("\xEF\xBB\xBF") : QByteArray();
    return mark + text.toUtf8();
}

SettingsWriteResult saveSettings(const QString& path, const Settings& settings, const RecordStore& store,
                                 const SettingsSnapshot& snapshot)
{
    // A settings file kept as a link elsewhere (a dotfiles folder, say)
    // stays a link: the file it points to is replaced.
    const QFileInfo linkInfo(path);
    QString target = path;
    if (linkInfo.isSymLink())
        target = linkInfo.exists() ? linkInfo.canonicalFilePath() : linkInfo.symLinkTarget();
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    if (!QDir().mkpath(folder))
        return {false, QStringLiteral("Cannot create the folder %1").arg(folder)};

    const QByteArray bytes = settingsFileBytes(settings, store, snapshot);
    // Unbuffered, so that a short write (disk full, file too large) shows
    // here: through a buffer the last block would be written inside
    // commit(), which does not report it failing.
    QSaveFile file(target);
    auto failed = [&file](const QString& error) {
        file.cancelWriting();
        return SettingsWriteResult{false, error};
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(file.errorString());
    if (info.exists() && !file.setPermissions(info.permissions()))
        return failed(file.errorString());
    for (qsizetype at = 0; at < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + at, bytes.size() - at);
        if (written <= 0)
            return failed(file.errorString());
        at += static_cast<qsizetype>(written);
    }
    // commit() syncs too, but does not say when that fails.
    if (::fsync(file.handle()) != 0 && errno != EINVAL)
        return failed(QString::fromLocal8Bit(std::strerror(errno)));
    if (!file.commit())
        return {false, file.errorString()};
    return {};
}

void reportSettingsWriteFailure(MessageBoxService& messages, bool viaMenu, const QString& path)
{
    const QString shown = settingsPathForDisplay(path);
    if (viaMenu)
        messages.msgBox(kSettingsWriteFailedExitMenu.arg(shown), MsgStyle::Exclamation,
                        kSettingsWriteFailedExitMenuTitle);
    else
        messages.msgBox(kSettingsWriteFailedWindowClose.arg(shown), MsgStyle::Exclamation,
                        kSettingsWriteFailedWindowCloseTitle);
}

QString settingsPathForDisplay(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QString home = QDir::homePath();
    if (home != QLatin1String("/") && absolute.startsWith(home + u'/'))
        return QStringLiteral("~") + absolute.mid(home.size());
    return absolute;
}

QString settingsIntegerText(qint64 value)
{
    const QString digits = QString::number(value);
    return value < 0 ? digits + u' ' : u' ' + digits + u' ';
}

QString settingsSingleText(float value)
{
    if (std::isnan(value))
        value = 0; // cannot come from a file; keep the line a number
    if (value == 0)
        value = 0; // no "-0"
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 7);
    std::string text(buffer, result.ptr);
    for (char& c : text)
        if (c == 'e')
            c = 'E';
    // The old BASIC printed fractions without their leading zero: ".5", "-.25".
    if (text.rfind("0.", 0) == 0)
        text.erase(0, 1);
    else if (text.rfind("-0.", 0) == 0)
        text.erase(1, 1);
    const QString digits = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    return value < 0 ? digits + u' ' : u' ' + digits + u' ';
}

} // namespace zp
