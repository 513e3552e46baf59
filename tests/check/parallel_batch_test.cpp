// SPDX-License-Identifier: GPL-3.0-or-later
#include "nec/engine/parallel_batch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <new>
#include <stdexcept>
#include <thread>

namespace brevan::check {
namespace {

enum class Ending { Succeeds, Fails, ThrowsBadAlloc, ThrowsSomethingElse };

struct BatchRow {
    const char* name;
    std::size_t workers;
    Ending ending; // of the task at kTrouble
    int outside;   // a stop asked before the batch, or 0
};

constexpr std::size_t kTasks = 64;
constexpr std::size_t kTrouble = 5;

// The tasks after the troubled one wait until it has ended or stopped the batch, so that how many
// started after it depends on the workers only, not on timing: at most one more in each other
// worker.
TEST(ParallelBatch, TheFirstFailureOrExceptionStopsTheBatch) {
    const BatchRow rows[] = {
        {"nothing goes wrong", 3, Ending::Succeeds, 0},
        {"a task fails on a worker thread", 3, Ending::Fails, 0},
        {"std::bad_alloc on a worker thread", 3, Ending::ThrowsBadAlloc, 0},
        {"some other exception on a worker thread", 3, Ending::ThrowsSomethingElse, 0},
        {"std::bad_alloc in the calling thread", 1, Ending::ThrowsBadAlloc, 0},
        {"stopped from outside before it began", 3, Ending::Succeeds, SIGINT},
    };
    for (const BatchRow& row : rows) {
        SCOPED_TRACE(row.name);
        std::atomic<int> outside{row.outside};
        BatchStop stop(&outside);
        std::atomic<std::size_t> started{0};
        std::atomic<bool> troubleDone{false};
        const auto task = [&](std::size_t index) {
            ++started;
            if (index == kTrouble) {
                switch (row.ending) {
                case Ending::Succeeds: troubleDone = true; return;
                case Ending::Fails:
                    stop.fail();
                    troubleDone = true;
                    return;
                case Ending::ThrowsBadAlloc: throw std::bad_alloc();
                case Ending::ThrowsSomethingElse: throw 42;
                }
            }
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (index > kTrouble && !troubleDone && !stop.stopping() &&
                   std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        };
        bool badAlloc = false;
        bool other = false;
        try {
            runInParallel(kTasks, row.workers, stop, task);
        } catch (const std::bad_alloc&) {
            badAlloc = true;
        } catch (...) {
            other = true;
        }
        EXPECT_EQ(badAlloc, row.ending == Ending::ThrowsBadAlloc);
        EXPECT_EQ(other, row.ending == Ending::ThrowsSomethingElse);
        if (row.outside != 0) {
            EXPECT_EQ(started, 0u);
        } else if (row.ending == Ending::Succeeds) {
            EXPECT_EQ(started, kTasks);
            EXPECT_FALSE(stop.stopping());
        } else {
            EXPECT_TRUE(stop.stopping());
            EXPECT_GE(started, kTrouble + 1);
            EXPECT_LE(started, kTrouble + row.workers);
        }
    }
}

} // namespace
} // namespace brevan::check
