#pragma once
// What the record store tells whoever keeps the plan's history (undo and
// redo) about each change, as it makes it. The store calls these before or
// after the change as each one says; it never calls them while the history
// itself puts records back (see RecordStore::undoAccess).

#include <QString>
#include <QStringList>

#include <span>
#include <vector>

namespace zp {

class PackedRecord;

class StoreJournal {
public:
    virtual ~StoreJournal() = default;

    // A named step begins or ends (steps nest: the outermost names it).
    // `currentRecord` is the plan's current line at that moment.
    virtual void beginStep(const QString& name) = 0;
    virtual void endStep() = 0;

    // Record `index` is about to change; `before` is its present state.
    virtual void recordChanging(int index, const PackedRecord& before) = 0;
    // A record now stands at `index` that was not there before.
    virtual void recordInserted(int index) = 0;
    // The record at `index` is being removed; the journal may keep it.
    virtual void recordRemoved(int index, PackedRecord&& record) = 0;
    // Records now stand at these positions (ascending) that were not there.
    virtual void recordsInserted(std::vector<int> positions) = 0;
    // The records were put in a new order: new position i + 1 holds the
    // record that was at order[i].
    virtual void recordsReordered(std::vector<int> order) = 0;
    // The whole plan is about to be replaced (another plan read or made):
    // nothing of the old one can come back.
    virtual void planReplaced() = 0;
    // The plan as it stands now was written to its file.
    virtual void markSaved() = 0;
    // Whether a step is being recorded now.
    virtual bool inStep() const = 0;
    // The texts of `field` in every record the history keeps apart from the
    // plan (records an undo or redo could bring back): a recording one of
    // them names must stay on disk.
    virtual QStringList heldTexts(int field) const = 0;

protected:
    StoreJournal() = default;
};

// Names the changes made while it lives as one step of the history; with no
// history attached to the store it does nothing.
class HistoryStep {
public:
    HistoryStep(StoreJournal* journal, const QString& name) : journal_(journal)
    {
        if (journal_)
            journal_->beginStep(name);
    }
    ~HistoryStep()
    {
        if (journal_)
            journal_->endStep();
    }
    HistoryStep(const HistoryStep&) = delete;
    HistoryStep& operator=(const HistoryStep&) = delete;

private:
    StoreJournal* journal_;
};

} // namespace zp
