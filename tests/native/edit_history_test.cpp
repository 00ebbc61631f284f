#include "core/edit_history.h"

#include <gtest/gtest.h>

#include "core/region_data.h"

namespace {

std::shared_ptr<const RegionBlock> Bytes(std::size_t size, std::uint8_t fill) {
    return std::make_shared<const RegionBlock>(size, fill);
}

EditStep Step(const char* name, std::shared_ptr<const RegionBlock> before, std::shared_ptr<const RegionBlock> after) {
    EditStep step;
    step.name = name;
    step.before.region = std::move(before);
    step.after.region = std::move(after);
    return step;
}

TEST(EditHistoryTest, UndoAndRedoWalkTheStepsInOrderAndANewStepForgetsRedo) {
    EditHistory history(1 << 20, 10);
    EXPECT_TRUE(!history.Undo() && !history.Redo());
    auto a = Bytes(40, 1), b = Bytes(40, 2), c = Bytes(40, 3);
    history.Record(Step("Open", nullptr, a));
    history.Record(Step("Pick mask color", Bytes(40, 1), b));
    history.Record(Step("Mask tolerance", b, c));
    EXPECT_EQ(history.UndoName(), "Mask tolerance");
    EXPECT_EQ(history.Undo()->before.region, b);
    EXPECT_EQ(history.Undo()->before.region, a);
    EXPECT_EQ(history.UndoName() + "/" + history.RedoName(), "Open/Pick mask color");
    EXPECT_EQ(history.Redo()->after.region, b);
    history.Record(Step("Background color", b, b));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.StepCount(), 3u);
    EXPECT_EQ(history.Undo()->name, "Background color");
    EXPECT_EQ(history.Undo()->name, "Pick mask color");
    EXPECT_EQ(history.Undo()->before.region, nullptr);
    EXPECT_FALSE(history.CanUndo());
}

// Equal neighbours are held once: a chain of n steps holds n + 1 regions.
TEST(EditHistoryTest, StepsPastTheBudgetOrTheCountGoOldestFirstAndAStepPastTheBudgetLeavesNone) {
    const std::size_t region = 100000;
    auto chained = [&](EditHistory& history, int steps) {
        auto last = Bytes(region, 0);
        for (int i = 1; i <= steps; ++i) {
            auto next = Bytes(region, static_cast<std::uint8_t>(i));
            history.Record(Step(std::to_string(i).c_str(), std::make_shared<const RegionBlock>(*last), next));
            last = next;
        }
    };
    EditHistory counted(1 << 30, 5);
    chained(counted, 5);
    EXPECT_EQ(counted.StepCount(), 5u);
    chained(counted, 6);
    EXPECT_EQ(counted.StepCount(), 5u);
    EXPECT_EQ(counted.UndoName(), "6");
    // Room for the regions of exactly four steps, with their records.
    const std::size_t four = 5 * region + 4 * 4096;
    EditHistory budgeted(four, 100);
    chained(budgeted, 4);
    EXPECT_EQ(budgeted.StepCount(), 4u);
    EXPECT_LE(budgeted.HeldBytes(), four);
    EXPECT_GE(budgeted.HeldBytes(), 5 * region);
    chained(budgeted, 5);
    EXPECT_EQ(budgeted.StepCount(), 4u);
    for (const char* name : {"5", "4", "3", "2"}) EXPECT_EQ(budgeted.Undo()->name, name);
    EXPECT_FALSE(budgeted.CanUndo());
    // A step over the budget alone: nothing is left to take back.
    budgeted.Redo();
    EXPECT_FALSE(budgeted.Record(Step("huge", Bytes(four / 2, 1), Bytes(four / 2 + 1, 2))));
    EXPECT_EQ(std::pair(budgeted.CanUndo(), budgeted.CanRedo()), std::pair(false, false));
    EXPECT_EQ(budgeted.HeldBytes(), 0u);
    EXPECT_TRUE(budgeted.Record(Step("fits", nullptr, Bytes(four - 4096, 1))));
}

TEST(EditHistoryTest, TheLargestRegionComesBackByteForByte) {
    RegionRects rects;
    for (std::int32_t i = 0; i < (1 << 20); ++i) rects.push_back({(i % 1024) * 2, i / 1024, (i % 1024) * 2 + 1, i / 1024 + 1});
    auto before = std::make_shared<const RegionBlock>(EncodeRegionData(rects));
    rects.resize(1);
    EditHistory history(64u << 20, 100);
    ASSERT_TRUE(history.Record(Step("Raw data edits", before, std::make_shared<const RegionBlock>(EncodeRegionData(rects)))));
    const EditStep* undone = history.Undo();
    ASSERT_EQ(undone->before.region->size(), 32u + 16u * (1u << 20));
    RegionRects restored;
    ASSERT_TRUE(DecodeRegionData(undone->before.region->data(), undone->before.region->size(), restored));
    EXPECT_EQ(EncodeRegionData(restored), *before);
    EXPECT_EQ(history.Redo()->after.region->size(), 48u);
}

}  // namespace
