// List commands without a bus: a context with two boards whose entries are read from the
// pending batch, so no transfer takes place.
#pragma once

#include "context.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace quarnel::testing {

// A call and the one entry it appends.
struct EntryCase {
    const char* call;
    std::function<void()> run;
    ListEntry expected;
};

// What a command appends in place of one whose arguments are out of range.
constexpr ListEntry kNoOp{0, 0, 0, 0};

class ListBatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ctx.board_count = 2;
        ctx.selected_board = 1;
        set_current_context(&ctx);
    }
    void TearDown() override { set_current_context(nullptr); }

    // The entries a call appends to board b, from an empty batch.
    std::vector<ListEntry> appended(const std::function<void()>& call, std::uint32_t b = 1) {
        BoardSlot& slot = ctx.slots[b];
        slot.batch_count = 0;
        call();
        return {slot.list_batch, slot.list_batch + slot.batch_count};
    }

    // Each call, on board 1, appends exactly its entry.
    void expect_entries(const std::vector<EntryCase>& cases) {
        for (const EntryCase& c : cases) {
            SCOPED_TRACE(c.call);
            EXPECT_EQ(appended(c.run), std::vector<ListEntry>{c.expected});
        }
    }

    Context ctx;
};


} // namespace quarnel::testing
