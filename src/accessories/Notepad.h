#pragma once
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <vector>

namespace zp {

inline const QString kNotepadCaption = QStringLiteral("Zorvik  Planner  NotePad");
// The caption of a document not yet saved under a name.
inline const QString kUntitledCaption = QStringLiteral("Untitled");
inline const QString kNotepadFileFilter = QStringLiteral(",Text Files (*.txt)|*.txt|All Files (*.*)|*.*");

// The name of the untitled document numbered `number`: "Untitled",
// "Untitled 2", ...; and the lowest number none of `used` has.
QString untitledName(int number);
int firstFreeNumber(const std::vector<int>& used);
// A document's caption: its name, and " *" while it has unsaved changes.
QString markedCaption(const QString& name, bool changed);

// The caption of a document read from or saved to `path`: the full path
// upper-cased.
QString documentCaption(const QString& path);

// "Can't open file: " and the path, and on a line of its own why, when
// that is known.
QString cannotOpenMessage(const QString& path, const QString& reason = QString());

// A save refused before writing (the open plan, a pipe): which file and why.
QString cannotSaveMessage(const QString& path, const QString& reason);

// The question asked when the file a document is saved to may not be
// written (Yes/No): why, and whether to save it under another name.
QString readOnlyQuestion(const QString& path, const QString& reason);

// The question asked before a file another program changed since it was
// read is overwritten (Yes/No, No the default).
QString changedOnDiskQuestion(const QString& path);
// The question asked before a Windows-1252 file becomes UTF-8 because
// the text holds a character Windows-1252 has no byte for (Yes/No).
QString wholeFileAsUtf8Question(const QString& path);
// The style bit that makes a message's second button (No) the default.
inline constexpr int kSecondButtonDefault = 256;

// A name chosen for saving, with ".txt" added when it has no extension
// (a dot inside the file name, not at its start).
QString withTextExtension(const QString& path);
// The question asked before ".txt" added to a chosen name would replace a
// file (Yes/No, No the default).
QString replaceFileQuestion(const QString& path);

// The question asked before a changed document closes (Yes/No/Cancel with
// the exclamation icon, titled with the notepad's caption).
QString unsavedChangesMessage(const QString& caption);

// A date and time as Time/Date writes it: the locale's short date and its
// time with seconds (no time zone).
QString generalDateText(const QDateTime& when, const QLocale& locale = QLocale::system());

// A long text cut into pieces of about `pieceSize` characters, each but
// the last ending just after a line feed (a text without one stays whole),
// so it can be put into a document piece by piece with progress shown.
std::vector<QStringView> textPieces(QStringView text, qsizetype pieceSize);

// The notepad's documents by number, from 1. A number is free once its
// document has closed and is given to the next new document; slot 1 is
// there (and free) from the start.
class DocumentTable {
public:
    DocumentTable() { reset(); }

    // Back to the one free slot the notepad starts with.
    void reset();
    // Takes the first free slot, or a new one at the end; it is clean.
    int takeSlot();
    // Frees a slot and forgets its changes.
    void release(int slot);

    bool isFree(int slot) const;
    bool isDirty(int slot) const;
    void setDirty(int slot, bool dirty);
    // The highest slot number (free or not) and how many are taken.
    int size() const { return static_cast<int>(slots_.size()) - 1; }
    int openCount() const;

private:
    struct Slot {
        bool deleted = true;
        bool dirty = false;
    };
    bool valid(int slot) const { return slot >= 1 && slot <= size(); }
    std::vector<Slot> slots_; // [0] unused
};

} // namespace zp
