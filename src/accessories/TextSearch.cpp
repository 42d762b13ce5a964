#include "accessories/TextSearch.h"

#include <algorithm>

namespace zp {

std::optional<qsizetype> searchText(QStringView text, qsizetype selectionStart, FindSettings& settings)
{
    selectionStart = std::clamp<qsizetype>(selectionStart, 0, text.size());
    const bool repeated = !settings.firstTime && selectionStart == settings.lastPosition;
    const Qt::CaseSensitivity cs = settings.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QStringView wanted(settings.text);

    qsizetype found = -1;
    if (!wanted.isEmpty()) {
        if (settings.down) {
            const qsizetype from = selectionStart + (repeated ? 1 : 0);
            if (from <= text.size())
                found = text.indexOf(wanted, from, cs);
        } else if (selectionStart > 0) {
            // A match may start anywhere before the selection; the one a
            // repeated search found starts at the selection, so it is passed.
            found = text.lastIndexOf(wanted, selectionStart - 1, cs);
        }
    }

    settings.lastPosition = found >= 0 ? found : selectionStart;
    settings.firstTime = false;
    if (found < 0)
        return std::nullopt;
    return found;
}

QString cannotFindMessage(const QString& findText)
{
    return QStringLiteral("Cannot find \"") + findText + u'"';
}

TextSpan deletionSpan(QStringView text, qsizetype selectionStart, qsizetype selectionLength)
{
    const qsizetype size = text.size();
    const qsizetype start = std::clamp<qsizetype>(selectionStart, 0, size);
    const qsizetype length = std::clamp<qsizetype>(selectionLength, 0, size - start);
    if (length > 0 || start == size)
        return {start, length};
    if (text.at(start) == u'\r' && start + 1 < size && text.at(start + 1) == u'\n')
        return {start, 2};
    return {start, 1};
}

} // namespace zp
