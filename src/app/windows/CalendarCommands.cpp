#include "app/windows/CalendarCommands.h"

#include "plan/Calendar.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace zp {

CalendarCommands::CalendarCommands(ProgramState& state, const Platform& platform, std::function<void()> planChanged,
                                   std::function<void(const QString&)> showHint)
    : state_(state), platform_(platform), planChanged_(std::move(planChanged)), showHint_(std::move(showHint))
{
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
    if (QFileInfo(path).absoluteFilePath() == QFileInfo(store.planFileName).absoluteFilePath()) {
        platform_.messages.msgBox(QStringLiteral("The calendar cannot be written over the open plan."),
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
    RecordStore& store = state_.store;
    CalendarImportOptions options;
    options.order = store.dateOrder();
    options.today = platform_.clock.today();
    CalendarImport read = readCalendarFile(*chosen, store, options);
    if (read.readable && read.recurring > 0) {
        const auto months = platform_.numberDialog.askNumber({kCalendarImportTitle,
                                                              calendarRecurrenceQuestion(read.recurring),
                                                              options.recurrenceMonths, 1, 120});
        if (!months)
            return;
        if (*months != options.recurrenceMonths) {
            options.recurrenceMonths = *months;
            read = readCalendarFile(*chosen, store, options);
        }
    }
    if (!read.readable) {
        platform_.messages.msgBox(QStringLiteral("Nothing was imported from %1.\n%2")
                                      .arg(QFileInfo(*chosen).fileName(), read.error),
                                  MsgStyle::Exclamation, kCalendarImportTitle);
        return;
    }
    const int wanted = static_cast<int>(read.records.size());
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
    const int added = addImportedRecords(store, read.records, fitting);
    if (added > 0)
        planChanged_();
    platform_.messages.msgBox(calendarImportSummary(added, read.skipped, read.notUnderstood), MsgStyle::Information,
                              kCalendarImportTitle);
}

} // namespace zp
