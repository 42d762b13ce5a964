#pragma once
#include <QString>
#include <QStringView>
#include <optional>

namespace zp {

// What the notepad's Find and Find Next remember between searches.
struct FindSettings {
    QString text;
    bool matchCase = false;
    bool down = true;
    // Set when the Find dialog opens; a repeated search clears it.
    bool firstTime = true;
    // The selection start after the last search.
    qsizetype lastPosition = 0;
};

// Searches `text` for settings.text from the selection starting at
// `selectionStart` (0-based), as Find Next does:
// - a search repeated from where the last one ended starts one character
//   further on, so it moves past the match it found;
// - down: the first match starting at or after the start;
// - up: the last match starting before the selection start;
// - without matchCase, letters match whatever their case.
// Returns the 0-based start of the match, nothing when there is none. It
// then records where the selection starts (the match, or `selectionStart`
// when nothing was found) and that the next search is a repeated one.
// An empty search text finds nothing.
std::optional<qsizetype> searchText(QStringView text, qsizetype selectionStart, FindSettings& settings);

// "Cannot find "..."": the message for a search that found nothing.
QString cannotFindMessage(const QString& findText);

// A stretch of text: 0-based start and length.
struct TextSpan {
    qsizetype start = 0;
    qsizetype length = 0;
    friend bool operator==(const TextSpan&, const TextSpan&) = default;
};

// What Edit > Delete removes. A selection goes as it is. With none, the
// character after the caret goes, and a carriage return together with the
// line feed after it, so a line break goes whole; at the very end of the
// text nothing goes (length 0).
TextSpan deletionSpan(QStringView text, qsizetype selectionStart, qsizetype selectionLength);

} // namespace zp
