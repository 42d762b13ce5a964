#pragma once
#include "accessories/TextFile.h"

#include <QMdiSubWindow>
#include <functional>
#include <map>

class QAction;
class QMenu;
class QPlainTextEdit;

namespace zp {

class NotepadWindow;

// One text document of the notepad: the text box `Text1` filling the
// window, and the menus the frame shows while it is active.
class NotepadDocument : public QMdiSubWindow {
    Q_OBJECT
public:
    // An untitled document is named by `untitledNumber` until it is saved.
    NotepadDocument(NotepadWindow& frame, int slot, int untitledNumber);

    int slot() const { return slot_; }
    QPlainTextEdit* editor() const { return text1_; }
    // The file it was read from or saved to; empty while untitled.
    QString filePath() const { return filePath_; }
    const TextFileFormat& fileFormat() const { return format_; }
    bool isDirty() const;
    // "Untitled 2" or the upper-cased path; the caption adds " *" while
    // the text has unsaved changes.
    QString documentName() const;
    // The number in its "Untitled" name; 0 once it has a file.
    int untitledNumber() const { return filePath_.isEmpty() ? untitledNumber_ : 0; }
    bool isClosed() const { return closed_; }

    // A file's text, as read from bytes that `disk` describes; the
    // document is then unchanged. A long text goes in piece by piece,
    // `progress` told the share done (0-100).
    void setContent(const TextFileContent& content, const QString& path, const FileFingerprint& disk,
                    const std::function<void(int percent)>& progress = {});
    // The text's lines as the editor holds them (no character changed).
    QStringList lines() const;

    // Save: untitled documents ask for a name first. Save As always asks.
    // False when nothing was saved: the file is the open plan, a pipe or
    // a device, another program changed it and the user kept it, or the
    // write failed (each said in a message).
    bool save();
    bool saveAs();
    bool saveTo(const QString& path);

    void cut();
    void copy();
    void paste();
    void deleteSelection();
    void selectAll();
    void insertTimeDate();

    // Settles unsaved changes before closing: asks, and saves on Yes.
    // False when the document is to stay open (Cancel, or the save did
    // not happen).
    bool settleUnsavedChanges();
    // Closes without asking again (the question was settled).
    void closeSettled();

    QList<QMenu*> menus() const { return menus_; }
    QAction* menuAction(const QString& name) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createMenus();
    QString selectedText() const;
    void setDirty(bool dirty);

    NotepadWindow& frame_;
    int slot_;
    int untitledNumber_;
    QPlainTextEdit* text1_ = nullptr;
    QString filePath_;
    TextFileFormat format_;
    TextFileLayout layout_;
    FileFingerprint disk_;
    bool loading_ = false;
    bool settled_ = false;
    bool closed_ = false;
    QList<QMenu*> menus_;
    std::map<QString, QAction*> actions_;
};

} // namespace zp
