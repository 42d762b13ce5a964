#include "plan/PlanHistory.h"

#include <algorithm>

namespace zp {

QString historyStepName(const QString& pattern, const QString& recordName, const QString& unnamed)
{
    constexpr qsizetype kLongest = 40;
    const QString name = recordName.trimmed();
    if (name.isEmpty())
        return unnamed;
    return pattern.arg(name.size() > kLongest ? name.left(kLongest - 1) + QChar(0x2026) : name);
}

PlanHistory::PlanHistory(RecordStore& store) : store_(store)
{
    store_.setJournal(this);
}

PlanHistory::~PlanHistory()
{
    if (store_.journal() == this)
        store_.setJournal(nullptr);
}

PlanHistory::Change PlanHistory::changeOf(Change::Kind kind, int index)
{
    Change change;
    change.kind = kind;
    change.index = index;
    return change;
}

// --- recording ----------------------------------------------------------------

void PlanHistory::beginStep(const QString& name)
{
    if (applying_ || depth_++ > 0)
        return;
    open_ = Step{};
    open_.name = name;
}

void PlanHistory::endStep()
{
    if (applying_ || depth_ == 0 || --depth_ > 0)
        return;
    if (open_.changes.empty() || putBack(open_))
        return; // refused, or nothing to do: no step
    open_.lineAfter = store_.currentRecord;
    // The plan as saved lay among the undone steps, which are gone now.
    if (savedAt_ > undoCount())
        savedAt_ = -1;
    redo_.clear();
    undo_.push_back(std::move(open_));
    open_ = Step{};
}

// A record taken out and put back unchanged where it was (a Change that
// found no place for the changed record): nothing to undo.
bool PlanHistory::putBack(const Step& step) const
{
    const std::vector<Change>& c = step.changes;
    return c.size() == 2 && c[0].kind == Change::Removed && c[1].kind == Change::Inserted && c[0].index == c[1].index
           && RecordView(c[0].held) == store_.record(c[1].index);
}

void PlanHistory::add(Change change)
{
    if (applying_)
        return;
    if (depth_ > 0) {
        if (open_.changes.empty())
            open_.lineBefore = store_.currentRecord;
        open_.changes.push_back(std::move(change));
        return;
    }
    // A change no command named (a picture that can no longer be read,
    // forgotten as the record is shown) belongs with the step before it; with
    // no step before it there is nothing to take it back to.
    if (undo_.empty())
        return;
    if (change.kind != Change::Changed) {
        redo_.clear();
        if (savedAt_ > undoCount())
            savedAt_ = -1;
    }
    undo_.back().changes.push_back(std::move(change));
}

void PlanHistory::recordChanging(int index, const PackedRecord& before)
{
    if (applying_)
        return;
    // Several texts of one record changed one after another: the state
    // before the first is the one to keep.
    const std::vector<Change>* changes = depth_ > 0 ? &open_.changes : undo_.empty() ? nullptr : &undo_.back().changes;
    if (changes && !changes->empty() && changes->back().kind == Change::Changed && changes->back().index == index)
        return;
    Change change = changeOf(Change::Changed, index);
    change.held = before;
    add(std::move(change));
}

void PlanHistory::keepFileDateStyle()
{
    Change change = changeOf(Change::FileDateStyle);
    change.style = store_.fileDateStyle;
    add(std::move(change));
}

void PlanHistory::recordInserted(int index)
{
    add(changeOf(Change::Inserted, index));
}

void PlanHistory::recordRemoved(int index, PackedRecord&& record)
{
    Change change = changeOf(Change::Removed, index);
    change.held = std::move(record);
    add(std::move(change));
}

void PlanHistory::recordsInserted(std::vector<int> positions)
{
    if (positions.empty())
        return;
    Change change = changeOf(Change::InsertedMany);
    change.positions = std::move(positions);
    add(std::move(change));
}

void PlanHistory::recordsReordered(std::vector<int> order)
{
    bool same = true;
    for (std::size_t i = 0; i < order.size() && same; ++i)
        same = order[i] == int(i) + 1;
    if (same)
        return;
    Change change = changeOf(Change::Reordered);
    change.positions = std::move(order);
    add(std::move(change));
}

// --- undo and redo --------------------------------------------------------------

void PlanHistory::applyChange(Change& change, bool undoing)
{
    switch (change.kind) {
    case Change::Changed:
        store_.exchangeRecord(change.index, change.held);
        break;
    case Change::Inserted:
        if (undoing)
            change.held = store_.takeRecord(change.index);
        else
            store_.putRecord(change.index, std::move(change.held));
        break;
    case Change::Removed:
        if (undoing)
            store_.putRecord(change.index, std::move(change.held));
        else
            change.held = store_.takeRecord(change.index);
        break;
    case Change::InsertedMany:
        if (undoing)
            change.many = store_.takeRecords(change.positions);
        else
            store_.putRecords(change.positions, std::move(change.many));
        break;
    case Change::Reordered:
        store_.reorder(change.positions, undoing);
        break;
    case Change::FileDateStyle:
        std::swap(store_.fileDateStyle, change.style);
        break;
    }
}

void PlanHistory::apply(Step& step, bool undoing)
{
    applying_ = true;
    if (undoing) {
        for (auto it = step.changes.rbegin(); it != step.changes.rend(); ++it)
            applyChange(*it, true);
    } else {
        for (Change& change : step.changes)
            applyChange(change, false);
    }
    applying_ = false;
    store_.currentRecord = undoing ? step.lineBefore : step.lineAfter;
}

bool PlanHistory::undo()
{
    if (undo_.empty() || depth_ > 0)
        return false;
    Step step = std::move(undo_.back());
    undo_.pop_back();
    apply(step, true);
    redo_.push_back(std::move(step));
    settleModified();
    return true;
}

bool PlanHistory::redo()
{
    if (redo_.empty() || depth_ > 0)
        return false;
    Step step = std::move(redo_.back());
    redo_.pop_back();
    apply(step, false);
    undo_.push_back(std::move(step));
    settleModified();
    return true;
}

void PlanHistory::settleModified()
{
    store_.modified = undoCount() != savedAt_;
}

void PlanHistory::clear()
{
    undo_.clear();
    redo_.clear();
    open_ = Step{};
    savedAt_ = -1;
}

void PlanHistory::markSaved()
{
    savedAt_ = undoCount();
}

// --- what the steps hold ----------------------------------------------------------

QStringList PlanHistory::heldTexts(int field) const
{
    QStringList texts;
    const auto take = [&](const PackedRecord& record) {
        const QString text = RecordView(record).string(field);
        if (!text.isEmpty())
            texts.append(text);
    };
    for (const std::vector<Step>* steps : {&undo_, &redo_}) {
        for (const Step& step : *steps) {
            for (const Change& change : step.changes) {
                take(change.held);
                for (const PackedRecord& record : change.many)
                    take(record);
            }
        }
    }
    for (const Change& change : open_.changes)
        take(change.held);
    return texts;
}

std::size_t PlanHistory::memoryBytes() const
{
    std::size_t bytes = (undo_.capacity() + redo_.capacity()) * sizeof(Step);
    for (const std::vector<Step>* steps : {&undo_, &redo_}) {
        for (const Step& step : *steps) {
            bytes += std::size_t(step.name.capacity()) * sizeof(QChar) + step.changes.capacity() * sizeof(Change);
            for (const Change& change : step.changes) {
                bytes += change.held.blockBytes() + change.positions.capacity() * sizeof(int)
                         + change.many.capacity() * sizeof(PackedRecord);
                for (const PackedRecord& record : change.many)
                    bytes += record.blockBytes();
            }
        }
    }
    return bytes;
}

} // namespace zp
