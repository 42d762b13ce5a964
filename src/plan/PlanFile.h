#pragma once
#include "plan/DateText.h"
#include "plan/TextEncoding.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <functional>

namespace zp {

class ProgressSink;
class RecordStore;
class RecordView;

// --- format --------------------------------------------------------------
//
// A plan file is line-oriented text, every line ended by CR LF:
//   "Zorvik Planner 3.2" + " 0" or " 1"      (the edit style)
//   the date-style word the dates are written in
//   twelve lines per record, fields 1 ... 12 in order
//   "plannerend"
// Files of versions 3.0 and 3.1 read like 3.2; 2.0 and 2.1 carry ten lines
// per record (no audio path, no finish date). The writer always writes 3.2.

inline const QString kPlanFileVersion = QStringLiteral("Zorvik Planner 3.2");
inline const QString kPlanEndLine = QStringLiteral("plannerend");

// The encodings a plan is read and written in (RecordStore::planEncoding),
// kUtf8Encoding and kWindows1252Encoding, come from TextEncoding.h.

// Messages of the reader, for the caller to show with the exclamation icon.
inline const QString kNotAPlanFileMessage = QStringLiteral("File is not a Zorvik Planner file");
inline const QString kNotAPlanFileTitle = QStringLiteral("Zorvik Planner load");
inline const QString kTroubleLoadingMessage = QStringLiteral("Trouble loading Planner file.");
inline const QString kFileLoadErrorTitle = QStringLiteral("File Load Error");
// A plan cannot hold more than 32767 records; a file with more is refused
// as a file that cannot be loaded, with a second line saying why.
inline const QString kTooManyRecordsMessage =
    kTroubleLoadingMessage + QStringLiteral("\nIt holds more than 32767 records, the most a plan can hold.");

// Limits that keep a damaged or hostile file from exhausting memory. A line
// is measured without its line break, and a field also by the size its text
// takes in UTF-8, the form it is saved in when Windows-1252 cannot hold it:
// the reader takes every line the writer writes, and the writer refuses a
// field over the limit, so whatever is saved opens again. The limit is well
// above 3 x 1 MiB, so every plan older readers took still opens.
constexpr qsizetype kMaxPlanLineBytes = 4 << 20;         // 4 MiB per line
constexpr qint64 kMaxPlanReadBytes = qint64(256) << 20;  // 256 MiB read in all

// --- reading ---------------------------------------------------------------

enum class PlanReadStatus {
    Loaded,         // the store now holds the file's plan
    Ignored,        // no file name, or a file of 20 bytes or less: nothing
                    // loaded and nothing to report
    NotAPlanFile,   // the first line names no known version
    Failed,         // missing or unreadable, ends inside a record, over a limit
    TooManyRecords, // more than 32767 records
};

struct PlanReadResult {
    PlanReadStatus status = PlanReadStatus::Ignored;
    // What to show the user, and its title; both empty for Loaded and Ignored.
    QString message;
    QString title;
    // Why the load failed, for a log or the command line: the system's error
    // text or a short description ("the file ends before the plan does").
    QString detail;
    int recordCount = 0;     // records loaded
    QString fileDateStyle;   // line 2 of the file, as read (Loaded only)
    QByteArray encoding;     // encoding the file was read in (Loaded only)

    bool loaded() const { return status == PlanReadStatus::Loaded; }
};

// Reads a plan file into the store. `systemOrder` is the system's current
// day/month order; the system date style is detected from it afresh.
//
// All or nothing: only a Loaded result changes the store. It then holds the
// file's records (dates of fields 1 and 12 in the system's style),
// `editStyle` from the header, `systemDateStyle` and `fileDateStyle` both
// set to the detected system style, and `planEncoding`. Any other result
// leaves the store exactly as it was. `planFileName`, `modified` and
// `currentRecord` are never touched: they are the caller's business.
//
// Shows no message itself; the result carries the text and title to show.
// `progress` (may be null) gets begin() and end() on every path, and in
// between progress(value) once per record read (and once for the end
// line): the value counts 1, 2, ... and goes back to 0 where it would
// reach 100.
//
// `keep`, when given, is asked about each record as read (dates already
// converted) and only the records it keeps are loaded, so a command that
// needs a few records of a large plan never holds the rest. Every check
// stays as for a full read: the record limit counts every record of the
// file, and the file is judged and decoded as a whole. `recordCount` is
// then the number of records kept. A file that turns out not to be UTF-8
// is read again from its start, so `keep` may be asked about a record
// twice: it should only answer.
using PlanRecordFilter = std::function<bool(const RecordView&)>;
PlanReadResult readPlanFile(const QString& path, RecordStore& store, DateOrder systemOrder,
                            ProgressSink* progress = nullptr, const PlanRecordFilter& keep = {});

// The day/month conversion applied to fields 1 and 12 while a plan is read:
// a date written under `fileStyle` is read in that style's own order and
// printed with the pattern of `systemStyle`. Under the same style the text
// is only re-rendered with the style's pattern (1/2/96 -> 01/02/1996). A
// text that is not a date stays as it is. A file whose style line is neither
// "englisheuro" nor "american" only has d/m/yyyy texts swapped.
QString convertDateOnLoad(const QString& text, const QString& fileStyle, const QString& systemStyle);

// --- writing ---------------------------------------------------------------

enum class PlanWriteStatus {
    Written,
    NoFileName, // an empty path: nothing done
    Failed,
};

struct PlanWriteResult {
    PlanWriteStatus status = PlanWriteStatus::NoFileName;
    QString errorText;   // the system's error text when Failed, or why
                         // a written plan is unconfirmed
    QByteArray encoding; // encoding written (Written only)
    // Written, but the folder could not be synced: the new plan is in place,
    // only not confirmed on disk.
    bool unconfirmed = false;

    bool ok() const { return status != PlanWriteStatus::Failed; }
};

// Writes the store's plan to `path`: header with `editStyle`, then
// `systemDateStyle` as the style line (stored dates always follow the system
// style), the records, "plannerend". Every line ends with CR LF; CR and LF
// inside a value are dropped. The text is encoded in `planEncoding`, or in
// UTF-8 when a character has no Windows-1252 form; a plan read from behind
// a byte-order mark (kUtf8BomEncoding) gets its mark back.
//
// The new content goes to a temporary file in the target's folder that
// replaces the target only once it is complete and flushed to disk, so a
// failure at any point leaves the old file as it was. A symbolic link is
// kept: the file it points to is replaced. The target's permission bits are
// kept. The store is not changed (the caller sets `fileDateStyle` to
// `systemDateStyle` and decides about `modified`).
// `progress` (may be null) gets begin(), progress(value) once per record
// written, counting as for reading, and end().
PlanWriteResult writePlanFile(const QString& path, const RecordStore& store, ProgressSink* progress = nullptr);

// The temporary a save writes is named after the plan: "work.pln" gets
// "work.pln.zorvik-save-" and six letters or digits.
inline const QString kPlanTemporaryInfix = QStringLiteral(".zorvik-save-");
// Removes the temporaries a save of this plan left behind (a kill between
// writing and renaming); never any other file. Returns how many went.
int removePlanTemporaries(const QString& planPath);

} // namespace zp
