#include "accessories/Notepad.h"

#include <algorithm>

namespace zp {

QString untitledName(int number)
{
    return number <= 1 ? kUntitledCaption : kUntitledCaption + u' ' + QString::number(number);
}

int firstFreeNumber(const std::vector<int>& used)
{
    int n = 1;
    while (std::find(used.begin(), used.end(), n) != used.end())
        ++n;
    return n;
}

QString markedCaption(const QString& name, bool changed)
{
    return changed ? name + QStringLiteral(" *") : name;
}

QString documentCaption(const QString& path)
{
    return path.toUpper();
}

QString cannotOpenMessage(const QString& path, const QString& reason)
{
    QString text = QStringLiteral("Can't open file: ") + path;
    if (!reason.isEmpty())
        text += u'\n' + reason;
    return text;
}

QString cannotSaveMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("The text could not be saved as %1.\n%2").arg(path, reason);
}

QString readOnlyQuestion(const QString& path, const QString& reason)
{
    return cannotSaveMessage(path, reason) + QStringLiteral("\nSave it under another name?");
}

QString changedOnDiskQuestion(const QString& path)
{
    return QStringLiteral("The file %1 has been changed by another program since it was opened.\nOverwrite it?")
        .arg(path);
}

QString withTextExtension(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    const qsizetype dot = path.lastIndexOf(u'.');
    if (path.isEmpty() || path.endsWith(u'/') || dot > slash + 1)
        return path;
    return path + QStringLiteral(".txt");
}

QString replaceFileQuestion(const QString& path)
{
    return QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(path);
}

QString unsavedChangesMessage(const QString& caption)
{
    return QStringLiteral("The text in [") + caption + QStringLiteral("] has changed.") + u'\n' + u'\r'
           + QStringLiteral("Do you want to save the changes?");
}

QString wholeFileAsUtf8Question(const QString& path)
{
    return QStringLiteral("The file %1 is in the Windows-1252 encoding, which has no place for some characters "
                          "of the text.\nSave the whole file in UTF-8?")
        .arg(path);
}

QString generalDateText(const QDateTime& when, const QLocale& locale)
{
    // The long form carries the time zone ("t", "tttt"); leave it out,
    // but not a "t" inside quoted text.
    const QString longFormat = locale.timeFormat(QLocale::LongFormat);
    QString timeFormat;
    bool quoted = false;
    for (const QChar c : longFormat) {
        if (c == u'\'')
            quoted = !quoted;
        if (quoted || c != u't')
            timeFormat += c;
    }
    timeFormat = timeFormat.simplified();
    return locale.toString(when.date(), QLocale::ShortFormat) + u' ' + locale.toString(when.time(), timeFormat);
}

std::vector<QStringView> textPieces(QStringView text, qsizetype pieceSize)
{
    std::vector<QStringView> pieces;
    pieceSize = std::max<qsizetype>(pieceSize, 1);
    qsizetype from = 0;
    while (from < text.size()) {
        qsizetype end = text.size();
        if (text.size() - from > pieceSize) {
            const qsizetype lineEnd = text.indexOf(u'\n', from + pieceSize - 1);
            if (lineEnd >= 0)
                end = lineEnd + 1;
        }
        pieces.push_back(text.sliced(from, end - from));
        from = end;
    }
    return pieces;
}

void DocumentTable::reset()
{
    slots_.assign(2, Slot{});
}

int DocumentTable::takeSlot()
{
    auto it = std::find_if(slots_.begin() + 1, slots_.end(), [](const Slot& s) { return s.deleted; });
    if (it == slots_.end())
        it = slots_.insert(slots_.end(), Slot{});
    *it = Slot{false, false};
    return static_cast<int>(it - slots_.begin());
}

void DocumentTable::release(int slot)
{
    if (valid(slot))
        slots_[static_cast<std::size_t>(slot)] = Slot{};
}

bool DocumentTable::isFree(int slot) const
{
    return !valid(slot) || slots_[static_cast<std::size_t>(slot)].deleted;
}

bool DocumentTable::isDirty(int slot) const
{
    return valid(slot) && slots_[static_cast<std::size_t>(slot)].dirty;
}

void DocumentTable::setDirty(int slot, bool dirty)
{
    if (valid(slot) && !slots_[static_cast<std::size_t>(slot)].deleted)
        slots_[static_cast<std::size_t>(slot)].dirty = dirty;
}

int DocumentTable::openCount() const
{
    return static_cast<int>(std::count_if(slots_.begin() + 1, slots_.end(), [](const Slot& s) { return !s.deleted; }));
}

} // namespace zp
