#pragma once
// The open plan's history: every change to its records, in order, as steps
// that undo and redo take back and make again, without limit while the plan
// stays open. A step keeps what changed, not the plan: the record as it was
// before a change, the records removed or inserted and where, the order a
// re-sort gave. It also keeps the current line on either side of the step,
// and knows which step the plan was last saved at, so that undoing or
// redoing back to it clears the modified mark and nothing else does.

#include "plan/RecordStore.h"
#include "plan/StoreJournal.h"

#include <QString>

#include <cstddef>
#include <vector>

namespace zp {

// A step's name for the Edit menu from a pattern naming the record
// ("Remove '%1'") and the record's name; `unnamed` for a record without one.
// A long name is cut short: the menu shows the start of it.
QString historyStepName(const QString& pattern, const QString& recordName, const QString& unnamed);

class PlanHistory final : public StoreJournal {
public:
    // Attaches itself to `store` as its journal for as long as it lives.
    explicit PlanHistory(RecordStore& store);
    ~PlanHistory() override;
    PlanHistory(const PlanHistory&) = delete;
    PlanHistory& operator=(const PlanHistory&) = delete;

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // The name of the step an undo or redo would take: "Remove 'Dentist'".
    QString undoName() const { return undo_.empty() ? QString() : undo_.back().name; }
    QString redoName() const { return redo_.empty() ? QString() : redo_.back().name; }
    int undoCount() const { return int(undo_.size()); }
    int redoCount() const { return int(redo_.size()); }
    // Takes back the last step (makes the last undone one again): records,
    // current line and modified mark. False when there is none.
    bool undo();
    bool redo();
    // Forgets every step (another plan is opened or made).
    void clear();

    // Within a step: the plan's file date style is about to change (its
    // dates are being turned round); undo puts it back with them.
    void keepFileDateStyle();

    // Bytes the steps take: the steps themselves, their names and the
    // records they keep.
    std::size_t memoryBytes() const;

    // --- StoreJournal ---
    void beginStep(const QString& name) override;
    void endStep() override;
    void recordChanging(int index, const PackedRecord& before) override;
    void recordInserted(int index) override;
    void recordRemoved(int index, PackedRecord&& record) override;
    void recordsInserted(std::vector<int> positions) override;
    void recordsReordered(std::vector<int> order) override;
    void planReplaced() override { clear(); }
    void markSaved() override;
    bool inStep() const override { return depth_ > 0; }
    QStringList heldTexts(int field) const override;

private:
    struct Change {
        enum Kind { Changed, Inserted, Removed, InsertedMany, Reordered, FileDateStyle } kind = Changed;
        int index = 0;
        // Changed: the record's other state (before while done, after while
        // undone). Inserted: the record while undone. Removed: the record
        // while done.
        PackedRecord held;
        std::vector<int> positions;       // InsertedMany: ascending; Reordered: the order
        std::vector<PackedRecord> many;   // InsertedMany: the records while undone
        QString style;                    // FileDateStyle: the other style
    };
    struct Step {
        QString name;
        std::vector<Change> changes;
        int lineBefore = 1;
        int lineAfter = 1;
    };

    static Change changeOf(Change::Kind kind, int index = 0);
    void add(Change change);
    bool putBack(const Step& step) const;
    void apply(Step& step, bool undoing);
    void applyChange(Change& change, bool undoing);
    void settleModified();

    RecordStore& store_;
    std::vector<Step> undo_;
    std::vector<Step> redo_;
    Step open_;
    int depth_ = 0;
    bool applying_ = false;
    // The number of done steps the plan on disk has; -1 when no sequence of
    // undos and redos leads back to it.
    // A plan is new until its file is read or written.
    int savedAt_ = -1;
};

} // namespace zp
