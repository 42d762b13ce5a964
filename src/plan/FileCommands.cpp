#include "plan/FileCommands.h"

#include "plan/PlanFile.h"
#include "plan/StoreJournal.h"
#include "plan/RecordStore.h"
#include "plan/Trash.h"
#include "plan/WriteTarget.h"
#include "ui/DateOrderSource.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBox.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <QSysInfo>
#include <QLockFile>
#include <QSet>

#include <algorithm>

namespace zp {

namespace {

QString planKey(const QString& path)
{
    return canonicalTarget(path);
}

bool samePlan(const QString& a, const QString& b)
{
    return sameFile(a, b);
}

// Cheap spelling of an attachment path for comparing: no file access.
QString attachmentKey(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QByteArray sha1Of(QFile& file)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&file);
    return hash.result();
}

const QString kTitlePrefix = QStringLiteral("Zorvik Planner 3.2  -  ");

} // namespace

QString planWindowTitle(const QString& planFileName)
{
    if (planFileName.isEmpty())
        return QStringLiteral("Zorvik Planner 3.2 ");
    return kTitlePrefix + planFileName;
}

QString startUpWindowTitle(const QString& planFileName)
{
    return kTitlePrefix + planFileName;
}

FileCommands::FileCommands(RecordStore& store, MessageBoxService& messages, FileDialogs& dialogs,
                           DateOrderSource& dateOrder, FileCommandsView& view)
    : store_(store), messages_(messages), dialogs_(dialogs), dateOrder_(dateOrder), view_(view),
      trash_(&DesktopTrash::system())
{
}

FileCommands::~FileCommands() = default;

// --- names -------------------------------------------------------------------

QString FileCommands::backupName(const QString& planFileName)
{
    if (planFileName.isEmpty())
        return QString();
    // Only the file's own extension is replaced, never a "." in a folder
    // name; a name without one (or only a leading one) gets ".BAK" added.
    const qsizetype nameStart = planFileName.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = planFileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= nameStart)
        return planFileName + QStringLiteral(".BAK");
    return planFileName.left(dot) + QStringLiteral(".BAK");
}

QString FileCommands::lockFilePath(const QString& planFileName)
{
    return planKey(planFileName) + QStringLiteral(".lock");
}

std::optional<QString> FileCommands::askOpenName()
{
    const FileDialogRequest request{kLoadPlanDialogTitle, kPlanFileFilter, kPlanFileFilterIndex, store_.planFileName};
    std::optional<QString> name = dialogs_.openFileName(request);
    if (!name || name->isEmpty())
        return std::nullopt;
    return name;
}

std::optional<QString> FileCommands::askSaveName(const QString& title)
{
    const FileDialogRequest request{title, kPlanFileFilter, kPlanFileFilterIndex, store_.planFileName};
    std::optional<QString> name = dialogs_.saveFileName(request);
    if (!name || name->isEmpty())
        return std::nullopt;
    // A new name typed without an extension becomes a plan file; an existing
    // file chosen as it is keeps its name.
    const QFileInfo info(*name);
    if (info.suffix().isEmpty() && !info.exists() && !info.fileName().isEmpty())
        *name += QStringLiteral(".pln");
    return name;
}

// --- the unsaved-changes question -------------------------------------------------

FileCommands::UnsavedAnswer FileCommands::askAboutUnsavedChanges(ExitVariant variant)
{
    if (!store_.modified)
        return UnsavedAnswer::Unmodified;
    const int answer = messages_.msgBox(kSaveChangesQuestion, MsgStyle::YesNoQuestion, kSaveTitle);
    if (answer != MsgAnswer::Yes)
        return UnsavedAnswer::Drop;
    const bool saved = variant == ExitVariant::MenuExit ? savePlan() : savePlanAs();
    // Nothing is thrown away while the changes exist nowhere else.
    if (!saved)
        return UnsavedAnswer::Stop;
    store_.modified = false;
    emptyUnreferenced(store_.supersededSounds);
    return UnsavedAnswer::Saved;
}

void FileCommands::dropUnsavedChanges(bool otherPlanLoaded)
{
    store_.modified = false;
    // Recordings made for the dropped changes go; once another plan is in,
    // those it names stay.
    if (otherPlanLoaded)
        emptyUnreferenced(store_.recordingsToDeleteOnDiscard);
    else
        store_.emptyDeletionList(store_.recordingsToDeleteOnDiscard);
    // The removals are dropped with the other changes: the saved plan
    // still names those records' sounds, so they are forgotten, not
    // deleted by a later save.
    store_.supersededSounds.paths.clear();
}

bool FileCommands::confirmDiscard(ExitVariant variant)
{
    const UnsavedAnswer answer = askAboutUnsavedChanges(variant);
    if (answer == UnsavedAnswer::Stop)
        return false;
    // The plan is being left: no step can be undone any more, so the
    // recordings only the history named go the way of any others.
    if (store_.journal())
        store_.journal()->planReplaced();
    if (answer != UnsavedAnswer::Drop)
        emptyUnreferenced(store_.supersededSounds);
    if (answer == UnsavedAnswer::Drop)
        dropUnsavedChanges(false);
    if (answer != UnsavedAnswer::Unmodified || variant != ExitVariant::NewPlan)
        emptyUnreferenced(store_.newRecordings);
    return true;
}

// --- New, Open ---------------------------------------------------------------------

void FileCommands::newPlan()
{
    if (!confirmDiscard(ExitVariant::NewPlan))
        return;
    release();
    disk_ = {};
    store_.planFileName.clear();
    store_.unopenedStartupPlan.clear();
    store_.clearStore();
    store_.currentRecord = 1;
    store_.planEncoding = kUtf8Encoding;
    view_.showPlanName();
    view_.refreshAfterPlanChange();
    store_.modified = true;
}

void FileCommands::openPlan()
{
    openPlanWith([this] { return askOpenName(); });
}

void FileCommands::openPlanNamed(const QString& path)
{
    openPlanWith([path]() -> std::optional<QString> { return path; });
}

void FileCommands::openPlanWith(const std::function<std::optional<QString>()>& chooseName)
{
    const UnsavedAnswer answer = askAboutUnsavedChanges(ExitVariant::OpenPlan);
    if (answer == UnsavedAnswer::Stop)
        return;
    // "No" drops the changes only once another plan is actually in: a
    // cancelled dialog or a plan that cannot be read leaves them as they are.
    if (answer != UnsavedAnswer::Drop)
        emptyUnreferenced(store_.newRecordings);
    const auto name = chooseName();
    if (!name || !loadPlan(*name))
        return;
    if (answer == UnsavedAnswer::Drop) {
        dropUnsavedChanges(true);
        emptyUnreferenced(store_.newRecordings);
    }
}

void FileCommands::openPlanFromToolbar()
{
    // The button does what the menu item does, question included, so that
    // unsaved work is never dropped unasked.
    openPlan();
}

bool FileCommands::loadPlan(const QString& path)
{
    std::unique_ptr<QLockFile> claimed;
    if (!claimLock(path, LockPurpose::Open, claimed))
        return false;
    const PlanReadResult result = readPlanFile(path, store_, dateOrder_.systemDateOrder(), view_.progress());
    if (!result.loaded()) {
        // The reader left the store alone; so do the name and the lock.
        if (!result.message.isEmpty())
            messages_.msgBox(result.message, MsgStyle::Exclamation, result.title);
        return false;
    }
    store_.planFileName = path;
    store_.unopenedStartupPlan.clear();
    // Temporaries an interrupted save of this plan left behind.
    removePlanTemporaries(path);
    planIsOnDisk();
    store_.currentRecord = std::clamp(store_.currentRecord, 1, std::max(1, store_.recordCount()));
    adoptLock(path, std::move(claimed));
    rememberDiskState(path);
    view_.showPlanName();
    view_.refreshAfterPlanChange();
    view_.planFileUsed(path);
    return true;
}

bool FileCommands::openPlanAtStartup(const QString& path)
{
    if (!path.isEmpty()) {
        std::unique_ptr<QLockFile> claimed;
        if (claimLock(path, LockPurpose::Open, claimed)) {
            const PlanReadResult result =
                readPlanFile(path, store_, dateOrder_.systemDateOrder(), view_.progress());
            if (result.loaded() || result.status == PlanReadStatus::Ignored) {
                store_.unopenedStartupPlan.clear();
                removePlanTemporaries(path);
                store_.planFileName = path;
                planIsOnDisk();
                store_.currentRecord = 1;
                adoptLock(path, std::move(claimed));
                rememberDiskState(path);
                view_.planFileUsed(path);
                return true;
            }
            if (!result.message.isEmpty())
                messages_.msgBox(result.message, MsgStyle::Exclamation, result.title);
        }
    }
    // `path` may be the store's own name, cleared below.
    const QString unopened = path;
    release();
    disk_ = {};
    store_.clearStore();
    store_.planFileName.clear();
    // The plan is shown untitled, so that Save cannot put an empty plan over
    // it, but it is not forgotten: it may be on a disk not mounted yet.
    store_.unopenedStartupPlan = unopened;
    store_.modified = false;
    store_.currentRecord = 1;
    return false;
}

// --- Save, Save As -------------------------------------------------------------------

bool FileCommands::savePlan()
{
    if (!store_.planFileName.isEmpty()) {
        if (!saveOverOwnFile(true))
            return false;
    } else {
        const auto name = askSaveName(kSavePlanDialogTitle);
        if (!name || !saveUnderName(*name, true))
            return false;
    }
    finishSave(true);
    return true;
}

bool FileCommands::savePlanAs()
{
    const auto name = askSaveName(kSavePlanAsDialogTitle);
    if (!name || !saveUnderName(*name, true))
        return false;
    // The removed records' sounds stay listed: the plan's previous file may
    // still name them.
    finishSave(false);
    return true;
}

bool FileCommands::saveFromToolbar()
{
    const auto name = askSaveName(kSavePlanAsDialogTitle);
    return name && saveUnderName(*name, false);
}

bool FileCommands::saveUnderName(const QString& path, bool withBackup)
{
    if (samePlan(path, store_.planFileName))
        return saveOverOwnFile(withBackup);
    // A save renames a temporary file over the target: over a pipe or a
    // device that would replace it, and a folder cannot take it at all.
    if (const auto problem = writeTargetProblem(path, QString())) {
        messages_.msgBox(QStringLiteral("The plan could not be saved as %1.\n%2").arg(path, *problem),
                         MsgStyle::Exclamation, kSaveTitle);
        return false;
    }

    std::unique_ptr<QLockFile> claimed;
    if (!claimLock(path, LockPurpose::Save, claimed))
        return false;
    // The plan takes the new name only once it is written there.
    if (!writeMainFile(path))
        return false;
    store_.planFileName = path;
    store_.unopenedStartupPlan.clear();
    adoptLock(path, std::move(claimed));
    view_.showPlanName();
    if (withBackup)
        writeBackup();
    return true;
}

bool FileCommands::saveOverOwnFile(bool withBackup)
{
    const QString path = store_.planFileName;
    if (changedOnDisk(path)) {
        const QString question =
            QStringLiteral("The file %1 has been changed by another program since it was opened.\n"
                           "Overwrite it with this plan?")
                .arg(path);
        if (messages_.msgBox(question, MsgStyle::YesNoQuestion, kSaveTitle) != MsgAnswer::Yes)
            return false;
    }
    if (!writeMainFile(path))
        return false;
    if (withBackup)
        writeBackup();
    return true;
}

bool FileCommands::writeMainFile(const QString& path)
{
    removePlanTemporaries(path);
    const PlanWriteResult result = writePlanFile(path, store_, view_.progress());
    if (result.status != PlanWriteStatus::Written) {
        messages_.msgBox(QStringLiteral("The plan could not be saved as %1.\n%2").arg(path, result.errorText),
                         MsgStyle::Exclamation, kSaveTitle);
        return false;
    }
    if (result.unconfirmed) {
        messages_.msgBox(QStringLiteral("The plan was saved as %1, but it could not be confirmed on disk.\n%2")
                             .arg(path, result.errorText),
                         MsgStyle::Exclamation, kSaveTitle);
    }
    store_.fileDateStyle = store_.systemDateStyle;
    store_.planEncoding = result.encoding;
    // The recordings attached since the last save belong to a saved plan
    // now; dropping later changes must not take them.
    store_.recordingsToDeleteOnDiscard.paths.clear();
    rememberDiskState(path);
    view_.planFileUsed(path);
    return true;
}

// A failed backup is reported, but the plan itself is saved.
void FileCommands::writeBackup()
{
    if (store_.keepBackups != QLatin1String("1"))
        return;
    const QString name = backupName(store_.planFileName);
    if (name.isEmpty())
        return;
    const PlanWriteResult result = writePlanFile(name, store_, view_.progress());
    if (result.status == PlanWriteStatus::Failed) {
        messages_.msgBox(QStringLiteral("The backup copy %1 could not be written.\n%2").arg(name, result.errorText),
                         MsgStyle::Exclamation, kSaveTitle);
    }
}

void FileCommands::finishSave(bool deleteSuperseded)
{
    if (deleteSuperseded)
        emptyUnreferenced(store_.supersededSounds);
    planIsOnDisk();
    emptyUnreferenced(store_.newRecordings);
    view_.planSaved();
}

// --- Delete ------------------------------------------------------------------------

void FileCommands::deletePlan()
{
    const QString name = store_.planFileName;
    // Whether the plan can be got back is known before the user decides.
    const bool toTrash = name.isEmpty() || !trash_->folderFor(name).isEmpty();
    QString question = kReallyDeleteQuestion;
    if (!toTrash)
        question += QLatin1Char('\n') + kNoTrashWarning.arg(name);
    // No is the default: Enter alone must not throw a plan away.
    if (messages_.msgBox(question, MsgStyle::YesNoQuestion | MsgStyle::DefaultButton2, kDeleteTitle)
        != MsgAnswer::Yes)
        return;

    // The records' voice notes go with the plan, but only the planner's own
    // recordings: a sound file the user attached from elsewhere is theirs.
    const auto discard = [this](const QString& path) { return discardRecording(path); };
    DeferredDeletions sounds;
    for (int i = 1; i <= store_.recordCount(); ++i)
        sounds.add(store_.field(Field::AudioPath, i));
    store_.emptyDeletionList(sounds, discard);
    store_.emptyDeletionList(store_.supersededSounds, discard);
    store_.emptyDeletionList(store_.recordingsToDeleteOnDiscard, discard);
    store_.emptyDeletionList(store_.newRecordings, discard);

    release();
    const QFileInfo file(name);
    if (name.isEmpty() || (!file.exists() && !file.isSymLink())) {
        messages_.msgBox(kTroubleDeletingMessage, MsgStyle::Exclamation);
    } else if (!toTrash) {
        if (!QFile::remove(name))
            messages_.msgBox(kTroubleDeletingMessage, MsgStyle::Exclamation);
    } else if (const auto problem = trash_->moveToTrash(name)) {
        // A trash that looked usable and refused the file: the plan is
        // kept rather than deleted for good behind the user's back.
        messages_.msgBox(kTroubleDeletingMessage + QStringLiteral("\n%1 could not be moved to the trash and was kept.\n%2")
                                                       .arg(name, *problem),
                         MsgStyle::Exclamation);
    }

    disk_ = {};
    store_.planFileName.clear();
    store_.clearStore();
    store_.currentRecord = 1;
    store_.planEncoding = kUtf8Encoding;
    view_.showPlanName();
    view_.refreshAfterPlanChange();
    store_.modified = false;
}

void FileCommands::planIsOnDisk()
{
    store_.modified = false;
    // Undoing or redoing back to the plan as it is now clears the mark again.
    if (store_.journal())
        store_.journal()->markSaved();
}

bool FileCommands::discardRecording(const QString& path) const
{
    if (trash_->folderFor(path).isEmpty())
        return QFile::remove(path);
    return !trash_->moveToTrash(path).has_value();
}

// --- deferred deletions ------------------------------------------------------------

// A file that a record of the plan still names is kept, whatever list it
// is on.
void FileCommands::emptyUnreferenced(DeferredDeletions& list)
{
    if (list.paths.isEmpty())
        return;
    // One that a step of the history names waits on the list: an undo or
    // redo could bring it back.
    DeferredDeletions waiting;
    if (const StoreJournal* history = store_.journal()) {
        QSet<QString> held;
        for (const QString& path : history->heldTexts(Field::AudioPath))
            if (path != kNoAttachment)
                held.insert(attachmentKey(path));
        for (const QString& path : std::as_const(list.paths))
            if (held.contains(attachmentKey(path)))
                waiting.add(path);
        list.paths.removeIf([&held](const QString& path) { return held.contains(attachmentKey(path)); });
    }
    QSet<QString> named;
    for (int i = 1; i <= store_.recordCount(); ++i) {
        const QString& path = store_.field(Field::AudioPath, i);
        if (!path.isEmpty() && path != kNoAttachment)
            named.insert(attachmentKey(path));
    }
    if (!named.isEmpty())
        list.paths.removeIf([&named](const QString& path) { return named.contains(attachmentKey(path)); });
    store_.emptyDeletionList(list);
    list.paths = waiting.paths;
}

// --- lock and change check -------------------------------------------------------

bool FileCommands::claimLock(const QString& path, LockPurpose purpose, std::unique_ptr<QLockFile>& claimed)
{
    if (lock_ && samePlan(path, lockedPlan_))
        return true;
    const QString lockPath = lockFilePath(path);
    auto lock = std::make_unique<QLockFile>(lockPath);
    // A running copy holds its lock however long the plan stays open; a lock
    // whose copy has ended (a crash) is taken over, as its process is gone.
    lock->setStaleLockTime(0);
    auto take = [&] {
        if (!lock->tryLock(0))
            return false;
        claimed = std::move(lock);
        return true;
    };
    if (take())
        return true;
    // A lock that names no living owner (empty, cut short by a kill while
    // it was written, garbage) or an empty folder in its place blocks no one.
    if (QFileInfo(lockPath).isDir())
        QDir().rmdir(lockPath);
    else if (lock->error() == QLockFile::LockFailedError && !lockOwnerMayBeAlive(*lock))
        lock->removeStaleLockFile();
    if (take())
        return true;
    // A folder that cannot hold a lock file (read-only media) does not keep
    // the plan from opening.
    if (lock->error() != QLockFile::LockFailedError)
        return true;

    const bool opening = purpose == LockPurpose::Open;
    const QString question = QStringLiteral("The plan %1 is open in another copy of Zorvik Planner.\n").arg(path)
                             + (opening ? QStringLiteral("Open it anyway?") : QStringLiteral("Overwrite it with this plan?"));
    if (messages_.msgBox(question, MsgStyle::YesNoQuestion, opening ? kOpenTitle : kSaveTitle) != MsgAnswer::Yes)
        return false;
    // Yes takes the lock over, so the plan is never open without one. The
    // other copy still holds the old file's lock, so it is unlinked rather
    // than removed through the lock.
    QFile::remove(lockPath);
    take();
    return true;
}

bool FileCommands::lockOwnerMayBeAlive(const QLockFile& lock)
{
    qint64 pid = 0;
    QString host;
    QString application;
    if (!lock.getLockInfo(&pid, &host, &application) || pid <= 0)
        return false;
    // Another machine's process cannot be looked at from here.
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return true;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

namespace {

std::pair<quint64, quint64> fileIdentity(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {0, 0};
    return {quint64(info.st_dev), quint64(info.st_ino)};
}

} // namespace

void FileCommands::adoptLock(const QString& path, std::unique_ptr<QLockFile> claimed)
{
    if (claimed) {
        release(); // the previous plan's lock goes with it
        lock_ = std::move(claimed);
        lockedPlan_ = path;
        lockFileIdentity_ = fileIdentity(lockFilePath(path));
    } else if (lock_ && !samePlan(path, lockedPlan_)) {
        release();
    }
}

void FileCommands::release()
{
    // When another copy was told to open the plan anyway, the lock file in
    // its place is that copy's: unlocking ours would delete it and leave the
    // plan open there unlocked. Ours is let go without touching the file
    // (the small lock object is deliberately not destroyed).
    if (lock_ && fileIdentity(lockFilePath(lockedPlan_)) != lockFileIdentity_)
        (void)lock_.release();
    lock_.reset();
    lockedPlan_.clear();
}

// Size first; when it is the same the content decides, as a quick second
// change can leave the modification time as it was.
bool FileCommands::changedOnDisk(const QString& path) const
{
    if (!samePlan(disk_.path, path))
        return false;
    QFile file(path);
    if (!file.exists())
        return false;
    if (file.size() != disk_.size)
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false; // the write will report what is wrong
    return sha1Of(file) != disk_.hash;
}

void FileCommands::rememberDiskState(const QString& path)
{
    disk_ = {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    disk_.path = path;
    disk_.size = file.size();
    disk_.hash = sha1Of(file);
}

} // namespace zp
