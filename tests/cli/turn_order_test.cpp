// Two jobs at once, finished in their order: what a batch relies on to show
// and decide everything company by company.
#include "cli/turn_order.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace kw39::test {
namespace {

using cli::RunInTurnOrder;
using cli::TurnOrder;

TEST(TurnOrderTest, FinishesInOrderAndAnEarlierFailureWins) {
    // Every job finished in its order, each after its own run; a job that
    // waits for its turn in its run finds every earlier one finished.
    {
        constexpr std::size_t kCount = 9;
        TurnOrder turns;
        std::vector<int> ran(kCount, 0);
        std::vector<std::size_t> finished;  // touched in turn only
        std::vector<std::size_t> seenInTurn(kCount, 99);
        RunInTurnOrder(
            kCount, turns,
            [&](std::size_t i) {
                if (i % 3 == 0 && turns.WaitFor(i)) seenInTurn[i] = finished.size();
                ran[i] = 1;
            },
            [&](std::size_t i) {
                EXPECT_EQ(ran[i], 1) << i;
                finished.push_back(i);
            });
        EXPECT_EQ(finished, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
        for (std::size_t i = 0; i < kCount; i += 3) EXPECT_EQ(seenInTurn[i], i);
    }
    // A failure is rethrown once both threads are done: the one of the lowest
    // index, whichever thread raised it first; nothing is finished after it,
    // and a job waiting for a turn that never comes gives up.
    struct Case {
        const char* name;
        std::size_t failingRun;     // kNone: none
        std::size_t failingFinish;  // kNone: none
        std::string rethrown;
        std::vector<std::size_t> finished;
    };
    constexpr std::size_t kNone = 6;  // also the number of jobs
    for (const Case& c :
         {Case{"run", 3, kNone, "run 3", {0, 1, 2}}, Case{"finish", kNone, 1, "finish 1", {0}},
          Case{"finish before a later run", 2, 1, "finish 1", {0}},
          Case{"the first run", 0, kNone, "run 0", {}}}) {
        SCOPED_TRACE(c.name);
        TurnOrder turns;
        std::vector<std::size_t> finished;
        std::string rethrown;
        try {
            RunInTurnOrder(
                kNone, turns,
                [&](std::size_t i) {
                    if (i == c.failingRun) throw std::runtime_error("run " + std::to_string(i));
                    // A job that waits for its turn inside its run, as a
                    // company's commit does.
                    turns.WaitFor(i);
                },
                [&](std::size_t i) {
                    if (i == c.failingFinish) {
                        throw std::runtime_error("finish " + std::to_string(i));
                    }
                    finished.push_back(i);
                });
        } catch (const std::runtime_error& failure) {
            rethrown = failure.what();
        }
        EXPECT_EQ(rethrown, c.rethrown);
        EXPECT_EQ(finished, c.finished);
    }
}

}  // namespace
}  // namespace kw39::test
