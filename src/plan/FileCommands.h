#pragma once
#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <utility>
#include <optional>

class QLockFile;

namespace zp {

class DateOrderSource;
class DesktopTrash;
struct DeferredDeletions;
class FileDialogs;
class MessageBoxService;
class ProgressSink;
class RecordStore;

// Texts of the file commands.
inline const QString kSaveTitle = QStringLiteral("Zorvik Planner Save");
inline const QString kOpenTitle = QStringLiteral("Zorvik Planner Open");
inline const QString kDeleteTitle = QStringLiteral("Zorvik Planner Delete");
inline const QString kSaveChangesQuestion = QStringLiteral("Save changes to the Current file ?");
inline const QString kReallyDeleteQuestion = QStringLiteral("Really delete current file ?");
inline const QString kTroubleDeletingMessage = QStringLiteral("Trouble deleteting file");
// Added to the delete question when the plan's disk has no trash.
inline const QString kNoTrashWarning = QStringLiteral("%1 is on a disk without a trash: it will be deleted permanently.");
inline const QString kPlanFileFilter = QStringLiteral("All files (*.*) |*.*|Pln Files (*.pln) |*.pln|");
constexpr int kPlanFileFilterIndex = 2; // "Pln Files" preselected
inline const QString kLoadPlanDialogTitle = QStringLiteral("Load Plan");
inline const QString kSavePlanDialogTitle = QStringLiteral("Save Plan");
inline const QString kSavePlanAsDialogTitle = QStringLiteral("Save Plan as");

// The main window's caption for a plan: "Zorvik Planner 3.2  -  " and the
// name, or "Zorvik Planner 3.2 " for an untitled plan (after New and Delete).
QString planWindowTitle(const QString& planFileName);
// The caption start-up gives: the prefix and the name even when there is no
// plan yet, so a first start reads "Zorvik Planner 3.2  -  " as it always has.
QString startUpWindowTitle(const QString& planFileName);

// What the main window does for the file commands.
class FileCommandsView {
public:
    virtual ~FileCommandsView() = default;
    // Caption (planWindowTitle) and status panel 4 from the store's
    // planFileName.
    virtual void showPlanName() = 0;
    // The store was replaced: rebuild the records list, refresh the record
    // page showing (on the Edit page the face that matches editStyle), tick
    // the edit-style menu items and reset the entry scroll bar.
    virtual void refreshAfterPlanChange() = 0;
    // Progress bar for reading and writing; may be null.
    virtual ProgressSink* progress() = 0;
    // The plan was saved and counts as unchanged now.
    virtual void planSaved() {}
    // A plan was read from or written to `path` (Open, the start-up plan,
    // Save, Save As): for the lists of recent plans.
    virtual void planFileUsed(const QString& path) { (void)path; }
};

// Who asks the unsaved-changes question; it decides which save a Yes runs
// and whether unattached recordings go when the plan was not modified.
enum class ExitVariant {
    NewPlan,     // Save As on Yes
    OpenPlan,    // Save As on Yes; unattached recordings go in any case
    WindowClose, // Save As on Yes; unattached recordings go in any case
    MenuExit,    // File > Exit: Save on Yes; unattached recordings go in any case
};

// New, Open, Save, Save As and Delete on the open plan, the unsaved-changes
// question and the backup copy.
//
// While a plan is open its file is locked (a lock file beside it), so that
// a second copy of the planner opening the same plan is warned. Before a
// save over the plan's own file, the file is compared with what was last
// read or written there; when another program changed it, the user is asked
// before it is overwritten.
class FileCommands {
public:
    FileCommands(RecordStore& store, MessageBoxService& messages, FileDialogs& dialogs, DateOrderSource& dateOrder,
                 FileCommandsView& view);
    ~FileCommands();
    FileCommands(const FileCommands&) = delete;
    FileCommands& operator=(const FileCommands&) = delete;

    // The unsaved-changes question, asked only when the plan is modified.
    // Yes saves (Save As, or Save for File > Exit); No drops the changes and
    // deletes the recordings made for them. Returns false only when Yes was
    // answered and the plan was not saved (dialog cancelled, write failed,
    // overwrite refused): the plan then stays as it is, still modified, and
    // the command that asked should stop.
    bool confirmDiscard(ExitVariant variant);

    void newPlan();
    // The menu item and the toolbar button behave alike.
    void openPlan();
    void openPlanFromToolbar();
    // Opens `path` as Open opens the file chosen in its dialog, the
    // unsaved-changes question first (File > Recent plans).
    void openPlanNamed(const QString& path);
    // Each returns whether the plan was written.
    bool savePlan();
    bool savePlanAs();
    // The toolbar's save: the Save As dialog, no backup, and the plan keeps
    // its unsaved-changes mark.
    bool saveFromToolbar();
    // Delete moves the plan file and its records' recordings to the desktop
    // trash; only a file whose disk has no trash is deleted for good, and the
    // question says so beforehand. A file the trash refuses is kept.
    void deletePlan();
    // The trash Delete uses (the desktop's unless a test says otherwise).
    void useTrash(const DesktopTrash& trash) { trash_ = &trash; }

    // The plan named at start-up (command line or remembered). Goes through
    // the same lock check as Open. On success the store holds the plan,
    // named and unmodified; when the user declines a plan in use, or it
    // cannot be read (the reader's message is shown), the plan is untitled
    // and empty. Does not refresh the window. A file of 20 bytes or less
    // leaves an empty plan under that name, as it always has.
    bool openPlanAtStartup(const QString& path);

    // Lets go of the open plan's lock; at exit.
    void release();

    // Name of the backup copy: the file name's extension replaced by ".BAK",
    // or ".BAK" added when it has none; empty for an untitled plan.
    static QString backupName(const QString& planFileName);

    // The lock file used for a plan.
    static QString lockFilePath(const QString& planFileName);

private:
    struct Snapshot {
        QString path;
        qint64 size = -1;
        QByteArray hash;
    };
    enum class LockPurpose { Open, Save };

    enum class UnsavedAnswer { Unmodified, Saved, Drop, Stop };
    // The unsaved-changes question; Yes saves. A "Drop" is carried out by
    // dropUnsavedChanges, once the command that asked has succeeded.
    UnsavedAnswer askAboutUnsavedChanges(ExitVariant variant);
    // The plan was just read or written: nothing unsaved.
    void planIsOnDisk();
    void dropUnsavedChanges(bool otherPlanLoaded);

    std::optional<QString> askOpenName();
    // Open with the name `chooseName` gives, after the unsaved-changes question.
    void openPlanWith(const std::function<std::optional<QString>()>& chooseName);
    std::optional<QString> askSaveName(const QString& title);
    // Loads `path` in place of the open plan; everything stays when it fails.
    bool loadPlan(const QString& path);
    // Saves under a name from a dialog, taking over that file.
    bool saveUnderName(const QString& path, bool withBackup);
    // Writes the plan over its own file, after the change check.
    bool saveOverOwnFile(bool withBackup);
    bool writeMainFile(const QString& path);
    void writeBackup();
    void finishSave(bool deleteSuperseded);

    // Lock handling: `claimed` receives a new lock on `path` when one was
    // taken. Returns false when the user declined a plan in use.
    bool claimLock(const QString& path, LockPurpose purpose, std::unique_ptr<QLockFile>& claimed);
    void adoptLock(const QString& path, std::unique_ptr<QLockFile> claimed);
    // Whether the process a lock file names could still be running.
    static bool lockOwnerMayBeAlive(const QLockFile& lock);

    bool changedOnDisk(const QString& path) const;
    void rememberDiskState(const QString& path);

    void emptyUnreferenced(DeferredDeletions& list);
    // Delete's way with one own recording: to the trash, or deleted when its
    // disk has none.
    bool discardRecording(const QString& path) const;

    RecordStore& store_;
    MessageBoxService& messages_;
    FileDialogs& dialogs_;
    DateOrderSource& dateOrder_;
    FileCommandsView& view_;
    const DesktopTrash* trash_;

    std::unique_ptr<QLockFile> lock_;
    QString lockedPlan_;
    // Which file our lock is (device and inode): a copy told to open the
    // plan anyway puts its own lock file in the same place.
    std::pair<quint64, quint64> lockFileIdentity_{0, 0};
    Snapshot disk_;
};

} // namespace zp
