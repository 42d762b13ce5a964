#include "app/windows/CalendarCommands.h"

#include "plan/WriteTarget.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>
#include <atomic>

namespace zp {

// What the reading thread and the window's thread share while a calendar
// is read: only atomics, so neither waits for the other.
struct CalendarCommands::ImportRun {
    std::atomic<bool> stop{false};
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0};
    // A progress update is on its way to the window: later values wait for
    // it instead of flooding the window's queue.
    std::atomic<bool> posted{false};
    QThread* thread = nullptr;
};

CalendarCommands::CalendarCommands(ProgramState& state, const Platform& platform, std::function<void()> planChanged,
                                   std::function<void(const QString&)> showHint, std::function<void(bool)> importRunning)
    : state_(state), platform_(platform), planChanged_(std::move(planChanged)), showHint_(std::move(showHint)),
      importRunning_(std::move(importRunning))
{
}

CalendarCommands::~CalendarCommands()
{
    stopImport();
}

void CalendarCommands::stopImport()
{
    if (const std::shared_ptr<ImportRun> run = run_) {
        run->stop = true;
        run->thread->wait();
    }
}

std::optional<CalendarImport> CalendarCommands::readInBackground(const QString& path, CalendarImportOptions options)
{
    const auto run = std::make_shared<ImportRun>();
    // Lives on the window's thread: the reading thread's news are delivered
    // to it as queued calls, and die with it.
    QObject receiver;
    std::unique_ptr<ProgressWindow> window;
    options.progress = [run, &receiver, &window](qint64 done, qint64 total) {
        run->done = done;
        run->total = total;
        if (!run->posted.exchange(true)) {
            QMetaObject::invokeMethod(
                &receiver,
                [run, &window] {
                    run->posted = false;
                    if (window)
                        window->setProgress(run->done, run->total);
                },
                Qt::QueuedConnection);
        }
        return !run->stop;
    };
    CalendarImport read;
    const RecordStore& store = state_.store;
    std::unique_ptr<QThread> thread(QThread::create([&] { read = reader_(path, store, options); }));
    bool finished = false;
    QObject::connect(thread.get(), &QThread::finished, &receiver, [&finished] { finished = true; }, Qt::QueuedConnection);
    run->thread = thread.get();
    run_ = run;
    if (importRunning_)
        importRunning_(true);
    thread->start();
    if (!thread->wait(QDeadlineTimer(progressDelayMs_))) {
        window = platform_.progress.open({kCalendarImportTitle, QStringLiteral("Reading %1 ...").arg(QFileInfo(path).fileName())},
                                         [run] { run->stop = true; });
        window->setProgress(run->done, run->total);
        // The window's own events go on (painting, Cancel, a termination
        // request, which stops the read); the modal window keeps the user
        // from the plan. Once Cancel closed it, the user's input waits
        // until the read has stopped.
        while (!finished && !thread->isFinished())
            QCoreApplication::processEvents(run->stop ? QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents
                                                      : QEventLoop::WaitForMoreEvents);
    }
    thread->wait();
    run_.reset();
    window.reset();
    if (importRunning_)
        importRunning_(false);
    if (run->stop || read.cancelled)
        return std::nullopt;
    return read;
}

void CalendarCommands::exportCalendar()
{
    const RecordStore& store = state_.store;
    if (store.recordCount() == 0) {
        platform_.messages.msgBox(QStringLiteral("There are no records to export."), MsgStyle::Exclamation,
                                  kCalendarExportTitle);
        return;
    }
    // Beside the plan, under the plan's name.
    QString suggested;
    if (!store.planFileName.isEmpty()) {
        const QFileInfo plan(store.planFileName);
        suggested = plan.dir().filePath(plan.completeBaseName() + QStringLiteral(".ics"));
    }
    const auto chosen = platform_.fileDialogs.saveFileName(
        {QStringLiteral("Export Calendar"), kCalendarFileFilter, kCalendarFileFilterIndex, suggested});
    if (!chosen || chosen->isEmpty())
        return;
    QString path = *chosen;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".ics");
    if (const auto problem = writeTargetProblem(path, store.planFileName)) {
        platform_.messages.msgBox(
            QStringLiteral("The calendar cannot be written to %1.\n%2").arg(QDir::toNativeSeparators(path), *problem),
            MsgStyle::Exclamation, kCalendarExportTitle);
        return;
    }
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly)
                         && writeCalendar(file, store, store.dateOrder(), platform_.clock.now())
                         && file.commit();
    if (!written) {
        platform_.messages.msgBox(QStringLiteral("The calendar could not be written to %1:\n%2")
                                      .arg(QFileInfo(path).fileName(), file.errorString()),
                                  MsgStyle::Exclamation, kCalendarExportTitle);
        return;
    }
    const int count = store.recordCount();
    showHint_((count == 1 ? QStringLiteral("1 record exported to %2") : QStringLiteral("%1 records exported to %2"))
                  .arg(count)
                  .arg(QFileInfo(path).fileName()));
}

void CalendarCommands::importCalendar()
{
    const auto chosen = platform_.fileDialogs.openFileName(
        {QStringLiteral("Import Calendar"), kCalendarFileFilter, kCalendarFileFilterIndex, QString()});
    if (!chosen || chosen->isEmpty())
        return;
    importCalendarFile(*chosen, QFileInfo(*chosen).fileName());
}

void CalendarCommands::importCalendarFile(const QString& path, const QString& shownName)
{
    const std::optional<QString> chosen = path;
    RecordStore& store = state_.store;
    CalendarImportOptions options;
    options.order = store.dateOrder();
    options.today = platform_.clock.today();
    std::optional<CalendarImport> read = readInBackground(*chosen, options);
    if (!read) {
        showHint_(QStringLiteral("Import cancelled."));
        return;
    }
    if (read->readable && read->recurring > 0) {
        const auto months = platform_.numberDialog.askNumber({kCalendarImportTitle,
                                                              calendarRecurrenceQuestion(read->recurring),
                                                              options.recurrenceMonths, 1, 120});
        if (!months)
            return;
        if (*months != options.recurrenceMonths) {
            options.recurrenceMonths = *months;
            read = readInBackground(*chosen, options);
            if (!read) {
                showHint_(QStringLiteral("Import cancelled."));
                return;
            }
        }
    }
    if (!read->readable) {
        platform_.messages.msgBox(QStringLiteral("Nothing was imported from %1.\n%2").arg(shownName, read->error),
                                  MsgStyle::Exclamation, kCalendarImportTitle);
        return;
    }
    const int wanted = read->newRecords;
    const int fitting = roomForRecords(store, wanted);
    if (fitting < wanted) {
        if (fitting == 0) {
            platform_.messages.msgBox(
                QStringLiteral("The plan is full: it holds the most records a plan can (%1). Nothing was imported.")
                    .arg(RecordStore::kMaxRecords),
                MsgStyle::Exclamation, kCalendarImportTitle);
            return;
        }
        if (platform_.messages.msgBox(calendarImportLimitQuestion(wanted, fitting), MsgStyle::YesNoQuestion,
                                      kCalendarImportTitle)
            != MsgAnswer::Yes)
            return;
    }
    const int added = addImportedRecords(store, read->records, fitting);
    if (added > 0)
        planChanged_();
    platform_.messages.msgBox(calendarImportSummary(added, read->skipped, read->notUnderstood), MsgStyle::Information,
                              kCalendarImportTitle);
}

} // namespace zp
