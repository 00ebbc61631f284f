#include "core/edit_history.h"

#include <utility>

namespace {

// What a step costs besides its bytes: its record and its strings' blocks.
constexpr std::size_t kStepOverhead = sizeof(EditStep) + 64;

const std::string kNoName;

bool SameBytes(const std::shared_ptr<const RegionBlock>& a, const std::shared_ptr<const RegionBlock>& b) {
    return a && b && (a == b || *a == *b);
}

std::size_t SizeOf(const std::shared_ptr<const RegionBlock>& region) { return region ? region->size() : 0; }

}  // namespace

EditHistory::EditHistory(std::size_t byteBudget, std::size_t stepLimit) noexcept
    : budget_(byteBudget), limit_(stepLimit) {}

std::size_t EditHistory::CostOf(std::size_t index) const noexcept {
    const EditStep& step = steps_[index];
    std::size_t cost = kStepOverhead + step.name.size() + step.before.inputs.regionFileName.size() +
                       step.after.inputs.regionFileName.size();
    const bool sharedWithEarlier = index > 0 && step.before.region == steps_[index - 1].after.region;
    if (!sharedWithEarlier) cost += SizeOf(step.before.region);
    if (step.after.region != step.before.region) cost += SizeOf(step.after.region);
    return cost;
}

void EditHistory::Clear() noexcept {
    steps_.clear();
    done_ = 0;
    held_ = 0;
}

void EditHistory::DropOldest() noexcept {
    steps_.erase(steps_.begin());
    if (done_ > 0) --done_;
}

bool EditHistory::Record(EditStep step) noexcept {
    // What could be redone is gone once something new is done.
    steps_.resize(done_);
    // A region that did not change, or that the step before left, is kept once.
    if (!steps_.empty() && SameBytes(step.before.region, steps_.back().after.region))
        step.before.region = steps_.back().after.region;
    if (SameBytes(step.after.region, step.before.region)) step.after.region = step.before.region;
    try {
        steps_.push_back(std::move(step));
    } catch (...) {
        Clear();
        return false;
    }
    done_ = steps_.size();
    // The new step alone past the budget: nothing can be kept behind it either.
    const EditStep& added = steps_.back();
    const std::size_t own = kStepOverhead + SizeOf(added.before.region) +
                            (added.after.region != added.before.region ? SizeOf(added.after.region) : 0);
    if (own > budget_) {
        Clear();
        return false;
    }
    for (;;) {
        held_ = 0;
        for (std::size_t i = 0; i < steps_.size(); ++i) held_ += CostOf(i);
        if (steps_.size() <= 1 || (steps_.size() <= limit_ && held_ <= budget_)) break;
        DropOldest();
    }
    if (steps_.size() > limit_) Clear();  // a limit of 0 keeps nothing
    return !steps_.empty();
}

const std::string& EditHistory::UndoName() const noexcept { return CanUndo() ? steps_[done_ - 1].name : kNoName; }

const std::string& EditHistory::RedoName() const noexcept { return CanRedo() ? steps_[done_].name : kNoName; }

const EditStep* EditHistory::Undo() noexcept { return CanUndo() ? &steps_[--done_] : nullptr; }

const EditStep* EditHistory::Redo() noexcept { return CanRedo() ? &steps_[done_++] : nullptr; }
