#pragma once
#include "accessories/Notepad.h"
#include "accessories/TextSearch.h"
#include "state/ProgramState.h"
#include "ui/Platform.h"
#include "ui/WindowGeometry.h"

#include <QMainWindow>
#include <QPointer>
#include <map>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;

namespace zp {

class FindDialog;
class ImageButton;
class NotepadDocument;

// "Zorvik  Planner  NotePad": a frame of text documents with a strip of
// picture buttons, its own File and Options menus while no document is
// open, and the menus of the active document while one is.
class NotepadWindow : public QMainWindow {
    Q_OBJECT
public:
    NotepadWindow(ProgramState& state, const Platform& platform, QWidget* parent = nullptr);
    ~NotepadWindow() override;

    // From the main window: shows the frame where it was left (when it is
    // not open), then a new document in the display font.
    void open();

    // File commands of the frame and of every document.
    NotepadDocument* newDocument();
    // Asks for a file and opens it in a new document.
    NotepadDocument* openDocument();
    // Reads a file into a new document; says so when it cannot.
    NotepadDocument* openFile(const QString& path);
    // Closes every document (asking for each changed one) and the frame.
    // False when the user kept a document open.
    bool closeNotepad();

    // Search menu of the documents.
    void showFindDialog();
    void findNext();
    // Searches the active document with the find settings.
    void search();

    void cascadeDocuments();
    void tileDocuments();
    void arrangeIcons();
    void setToolbarVisible(bool visible);
    bool toolbarVisible() const;
    // The display font of the settings, to every document.
    void applyFont();

    // The document that edit, search and tool-strip commands act on.
    NotepadDocument* activeDocument() const;
    QList<NotepadDocument*> documents() const;
    DocumentTable& documentTable() { return table_; }
    FindSettings& findSettings() { return find_; }
    FindDialog* findDialog() const;
    QMdiArea* area() const { return area_; }
    const Platform& platform() const { return platform_; }
    // The plan file the program has open, which no document may be saved over.
    QString openPlanFile() const { return state_.store.planFileName; }
    // The frame's own menu items by objectName ("mnuFNew", "mnuOToolbar").
    QAction* menuAction(const QString& name) const;
    // The file dialogs start in the folder of the file last opened or
    // saved, at first (or when it is gone) the home folder, and offer no
    // name; a name for saving gets ".txt" when typed without an extension.
    // Nothing when cancelled.
    std::optional<QString> askOpenName();
    std::optional<QString> askSaveName(const QString& initialPath = QString());
    QString startFolder() const;
    // A file was opened or saved: the next dialog starts in its folder.
    void fileUsed(const QString& path);

    // A document closed: its slot is free and the buttons follow.
    void documentClosed(NotepadDocument* document);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createToolStrip();
    void createMenus();
    void showMenusOf(QMdiSubWindow* active);
    void updateEditButtons();
    NotepadDocument* addDocument();
    void applyFontTo(NotepadDocument& document) const;

    ProgramState& state_;
    Platform platform_;
    Twips twips_;
    SavedPlace place_{*this, twips_, state_.settings.placement(PlacementRow::Notepad)};
    DocumentTable table_;
    FindSettings find_;
    QString lastFolder_;
    QMdiArea* area_ = nullptr;
    QWidget* picToolbar_ = nullptr;
    QProgressBar* progress_ = nullptr;
    std::map<QString, ImageButton*> buttons_;
    QList<QMenu*> frameMenus_;
    std::map<QString, QAction*> actions_;
    QPointer<FindDialog> findDialog_;
    QPointer<NotepadDocument> current_;
};

} // namespace zp
