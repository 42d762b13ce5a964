#pragma once
// The names the Edit menu gives the steps of the history ("Undo Remove
// 'Dentist'"): one pattern naming the record, one for a record without a name.

#include "plan/PlanHistory.h"

#include <QString>

namespace zp {

inline const QString kUndoMenuText = QStringLiteral("&Undo %1");
inline const QString kRedoMenuText = QStringLiteral("&Redo %1");
inline const QString kUndoNothing = QStringLiteral("&Undo");
inline const QString kRedoNothing = QStringLiteral("&Redo");

inline const QString kAddStep = QStringLiteral("Add '%1'");
inline const QString kAddUnnamedStep = QStringLiteral("Add record");
inline const QString kChangeStep = QStringLiteral("Change '%1'");
inline const QString kChangeUnnamedStep = QStringLiteral("Change record");
inline const QString kRemoveStep = QStringLiteral("Remove '%1'");
inline const QString kRemoveUnnamedStep = QStringLiteral("Remove record");
inline const QString kInsertRowStep = QStringLiteral("Insert row");
inline const QString kDeleteRowStep = QStringLiteral("Delete row '%1'");
inline const QString kDeleteRowUnnamedStep = QStringLiteral("Delete row");
inline const QString kEditCellStep = QStringLiteral("Edit '%1'");
inline const QString kEditCellUnnamedStep = QStringLiteral("Edit cell");
inline const QString kStatusStep = QStringLiteral("Job status of '%1'");
inline const QString kStatusUnnamedStep = QStringLiteral("Job status");
inline const QString kPictureStep = QStringLiteral("Picture of '%1'");
inline const QString kPictureUnnamedStep = QStringLiteral("Picture");
inline const QString kSoundStep = QStringLiteral("Sound of '%1'");
inline const QString kSoundUnnamedStep = QStringLiteral("Sound");
inline const QString kNoPictureStep = QStringLiteral("No picture for '%1'");
inline const QString kNoPictureUnnamedStep = QStringLiteral("No picture");
inline const QString kNoSoundStep = QStringLiteral("No sound for '%1'");
inline const QString kNoSoundUnnamedStep = QStringLiteral("No sound");
inline const QString kResortStep = QStringLiteral("Re-sort by date");
inline const QString kDateStyleStep = QStringLiteral("Date style");
inline const QString kImportStep = QStringLiteral("Import calendar");
inline const QString kRepeatStep = QStringLiteral("Repeat '%1'");
inline const QString kRepeatUnnamedStep = QStringLiteral("Repeat record");

// The name of record `index`, empty outside the plan.
inline QString recordName(const RecordStore& store, int index)
{
    return store.field(Field::Name, index);
}

} // namespace zp
