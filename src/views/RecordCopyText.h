#pragma once
// The two copy commands of the "&Edit" menu: records as labelled text on the
// clipboard. Lines end with CR LF; labels and print switches come from
// fieldLabels (label 12 + k switches label k's line off when "off").

#include "plan/RecordStore.h"

#include <QString>

class QTextStream;

namespace zp {

class ClipboardService;
class MessageBoxService;

inline const QString kNoRecordsToCopy = QStringLiteral("No records to copy.");
inline const QString kNoRecordSelected = QStringLiteral("No record selected.");

// The text of "Copy &all": for every record in store order the heading
// "Planner Record No." and the number with a leading blank, the date line
// ("Start date 05/11/1996, 10:30", or without the time when the time's
// switch is off and the start date's is not, none when both are off), then
// finish date, name, phones, message, income, expense, status ("Done " or
// "Pending"), image and audio, each only when its switch is not "off", as
// label, one blank, value (image and audio: two blanks); each block is
// followed by two empty lines. Empty for an empty plan.
QString copyAllText(const RecordStore& store);

// The same text written to a stream a record at a time, each line ended by
// `lineBreak` (LF on a terminal): however large the plan, the whole text
// is never held at once.
void writeCopyAllText(const RecordStore& store, QTextStream& out, QLatin1String lineBreak);

// The text of "&Copy selected" for one record: the same block with two
// blanks after every label and no empty lines after it. Empty when the
// record does not exist.
QString copySelectedText(const RecordStore& store, int record);

// "Copy &all": puts copyAllText on the clipboard, or tells the user there
// is nothing to copy. Returns whether something was copied.
bool copyAllRecords(const RecordStore& store, ClipboardService& clipboard, MessageBoxService& messages);

// "&Copy selected": `selectedLine` is the records list's selected line (-1
// for none); its record (line + 1) becomes the current record and its text
// goes on the clipboard. Returns whether a line was selected.
bool copySelectedRecord(RecordStore& store, int selectedLine, ClipboardService& clipboard,
                        MessageBoxService& messages);

} // namespace zp
