// The steps an editor can take back and do again: each a name and the state
// before and after it, regions held as their compact region data bytes.
#ifndef PELLFORM_EDIT_HISTORY_H
#define PELLFORM_EDIT_HISTORY_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/flood_fill.h"

using RegionBlock = std::vector<std::uint8_t>;

// What made a region besides its rectangles, as far as a step restores it.
struct RegionInputs {
    std::uint32_t maskColor = 0xFFFFFFFF;
    int tolerance = 0;
    bool contiguous = false;  // "Contiguous mask"
    // Where a contiguous mask floods from: the picked pixels, or the border.
    FloodStarts maskStarts{{}, true};
    std::uint32_t backgroundColor = 0xFFFFFFFF;
    // Whether the editor offers the commands that need a region made there.
    bool regionOffered = false;
    std::string regionFileName;
    bool nameShown = false;
};

// One side of a step. A null region is no region at all; equal neighbours
// share their bytes.
struct EditState {
    std::shared_ptr<const RegionBlock> region;
    RegionInputs inputs;
};

struct EditStep {
    std::string name;
    EditState before;
    EditState after;
    // Whether undoing it also restores the region file name (an Open).
    bool restoresName = false;
};

// The editors' bounds. A 32-bit host shares its 2 GB of address space with the
// IDE and every other add-in, and a region of the most rectangles a file may
// hold takes 16 MB of region data: 64 MB keeps its before and after twice
// over while staying a small part of what the host can spare.
constexpr std::size_t kHistoryBudget = std::size_t{64} << 20;
constexpr std::size_t kHistorySteps = 100;

// Steps past `stepLimit`, or whose bytes together pass `byteBudget`, are
// dropped oldest first. Nothing here throws: a step that cannot be kept
// leaves no history behind it.
class EditHistory {
public:
    EditHistory(std::size_t byteBudget, std::size_t stepLimit) noexcept;

    // Keeps `step` as the newest and forgets what could be redone. A step
    // larger than the budget, or one that memory cannot hold, empties the
    // history and returns false.
    bool Record(EditStep step) noexcept;
    void Clear() noexcept;

    bool CanUndo() const noexcept { return done_ > 0; }
    bool CanRedo() const noexcept { return done_ < steps_.size(); }
    // The names of the step Undo and Redo would take; empty when none.
    const std::string& UndoName() const noexcept;
    const std::string& RedoName() const noexcept;
    // Moves back or on by one step and returns it (its before, or its after,
    // is the state to restore); null when there is none.
    const EditStep* Undo() noexcept;
    const EditStep* Redo() noexcept;

    std::size_t StepCount() const noexcept { return steps_.size(); }
    // Bytes held by the steps, each shared region counted once.
    std::size_t HeldBytes() const noexcept { return held_; }

private:
    std::size_t CostOf(std::size_t index) const noexcept;
    void DropOldest() noexcept;

    std::size_t budget_;
    std::size_t limit_;
    std::vector<EditStep> steps_;
    std::size_t done_ = 0;
    std::size_t held_ = 0;
};

#endif
