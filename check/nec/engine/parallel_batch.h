// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs the tasks of one batch on a few threads, as a batch: the first failure stops it. Kept apart
// from the engine so that how a batch ends (a failure, an exception, a stop asked from outside)
// can be tested without processes.

#include <atomic>
#include <cstddef>
#include <functional>

namespace brevan::check {

// Whether a batch should stop: one of its tasks failed, or someone outside asked (a non-zero
// value in `outside`, such as the number of a signal).
class BatchStop {
public:
    explicit BatchStop(const std::atomic<int>* outside = nullptr) : m_outside(outside) {}

    bool stopping() const {
        return m_failed.load() || (m_outside != nullptr && m_outside->load() != 0);
    }
    bool stoppedFromOutside() const { return m_outside != nullptr && m_outside->load() != 0; }
    // True for the first caller only: the task whose failure stops the batch.
    bool fail() { return !m_failed.exchange(true); }

private:
    std::atomic<bool> m_failed{false};
    const std::atomic<int>* m_outside;
};

// Calls task(i) for every i below `count` on up to `workers` threads, each taking the next index
// until none is left, and returns when every thread has ended. Once `stop` is stopping, no
// further task starts; a running task is expected to look at `stop` and end early. An exception
// from a task (or a thread that cannot be started) stops the batch and is rethrown here, after
// every thread has ended; a later exception than the first is dropped.
void runInParallel(std::size_t count, std::size_t workers, BatchStop& stop,
                   const std::function<void(std::size_t)>& task);

} // namespace brevan::check
