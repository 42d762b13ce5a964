#pragma once
#include "plan/RecordEditing.h"
#include "state/ProgramState.h"
#include "ui/Platform.h"

#include <QObject>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QModelIndex;
class QTabWidget;
class QTableView;
class QWidget;

namespace zp {

class EntryGridModel;
class HintRouter;
class Twips;

// What the Edit page asks of the window it sits in: the menus it serves,
// the hint panel, the records list and the other record pages.
class EditPageHost {
public:
    virtual QAction* menuAction(const QString& name) const = 0;
    virtual HintRouter& hints() = 0;
    virtual ProgressSink& progressSink() = 0;
    virtual void rebuildRecordsList() = 0;
    virtual void layoutMainWindow() = 0;
    virtual void playRecordSound(const QString& path) = 0;
    virtual void showImagePage() = 0;
    virtual void showRecordTab(int page) = 0;
    // The Image page while a question is asked, without leaving the Edit
    // page (the typed fields and a fresh recording stay).
    virtual void peekRecordTab(int page) = 0;
    virtual void setMenuTick(const QString& name, bool ticked) = 0;
    virtual int selectedListLine() const = 0;
    virtual void openRecorder() = 0;
    // The Edit page is the page shown (not only the tab asked for).
    virtual bool editPageShowing() const = 0;

protected:
    ~EditPageHost() = default;
};

// The main window's Edit page: the entry panel with its scroll bar and
// buttons, the entry grid with its edit box and row buttons, picture
// attachment, the date checks of the two date fields, and the edit-style,
// label and copy commands of the menus. The commands themselves live in
// RecordEditor; this class hands them the widgets' texts and shows what they
// did. Its controls are children of the record pages' tab control, placed by
// the main window's layout with the rest.
class EditPage : public QObject {
public:
    // image1 is the picture box the Edit and Image pages share.
    EditPage(ProgramState& state, Platform& platform, EditPageHost& host, QTabWidget* tabs, QLabel* image1);
    ~EditPage() override;

    // The page's controls by objectName, for the window's layout.
    const std::map<QString, QWidget*>& controls() const { return controls_; }
    QWidget* control(const QString& name) const;
    QTableView* grid() const { return grid1_; }

    // Signals, menu commands, hints, tab order; once the window's menus
    // and hint panel exist.
    void connectPage();
    // The plan was replaced: scroll bar from the store, no picture pending.
    void resetEntryPanel();
    void applyEntryLabels();
    // Before a project-style print: the project entry grid on the Edit page.
    void switchToProjectStyle();
    // The Edit step of showing the record pages.
    void showEditPage();
    void showEditFace();
    void hideEditFace();
    // The Edit menu's two style items ticked as the plan's edit style says.
    void tickEditStyle();
    // The records list chose this record: the entry panel follows it.
    void followRecord(int record);
    void clearGridEditBox();
    bool showPictureInImage1(const QString& path, QString* problem = nullptr);
    // The Image page keeps the picture just attached from the entry panel
    // instead of loading the current record's picture, once: true the first
    // time it is asked after an attachment.
    bool takePictureJustAttached();
    void setGridColumnWidths(const std::vector<int>& twipsWidths, const Twips& layoutTwips);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The record pages of the tab control that the Edit page turns to.
    static constexpr int kImagePage = 2;
    static constexpr int kEditPage = 3;

    void createEntryGrid(QTabWidget* tabs);
    void createEntryPanel(QWidget* panel);
    void watchDateFields();
    void connectGrid();
    void connectMenuCommands();
    void attachEditPageHints();
    // Applies what an edit command did to the widgets, in a fixed order.
    // A cell text goes to (cellRow, cellColumn), or to the current cell.
    void applyEditOutcome(const EditOutcome& out, int cellRow = -1, int cellColumn = -1);
    void runEntryCommand(const EditOutcome& out);
    void setEntryScroll(const ScrollState& scroll);
    EntryFields entryFields() const;
    void showEntryFields(const RecordDisplay& display);
    void clearEntryFields();
    void showRecordInEntryFields();
    void fillEntryGrid();
    // The entry boxes take their captions as accessible names.
    void nameEntryFields();
    void applyEditStyle();
    AttachmentCheck pictureLoader();
    void checkEntryDate(bool startDate);
    void attachPicture(PictureEntry entry);
    void createRemoveAttachmentActions();
    void commitGridCell();
    void doubleClickGrid(const QModelIndex& index);
    void showCurrentCellInText4();
    int gridCurrentRow() const;

    ProgramState& state_;
    Platform& platform_;
    EditPageHost& host_;
    QTabWidget* ssTab1_;
    QLabel* image1_;
    std::unique_ptr<RecordEditor> editor_;
    EntryGridModel* gridModel_ = nullptr;
    bool checkingDate_ = false;
    bool pictureJustAttached_ = false;
    // A picture the user chose to keep for the next Add or Change; it
    // survives the Edit page being shown again.
    std::optional<QString> attachedPicture_;
    std::map<QString, QWidget*> controls_;
    QFrame* ssPanel2_ = nullptr;
    QTableView* grid1_ = nullptr;
    QLineEdit* text4_ = nullptr;
};

} // namespace zp
