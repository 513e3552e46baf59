// SPDX-License-Identifier: GPL-3.0-or-later
#include "nec/engine/parallel_batch.h"

#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace brevan::check {

void runInParallel(std::size_t count, std::size_t workers, BatchStop& stop,
                   const std::function<void(std::size_t)>& task) {
    std::atomic<std::size_t> next{0};
    std::mutex firstErrorLock;
    std::exception_ptr firstError;
    // An exception must not leave a thread: std::thread would call std::terminate.
    const auto work = [&]() noexcept {
        try {
            for (std::size_t index = next++; index < count && !stop.stopping(); index = next++) {
                task(index);
            }
        } catch (...) {
            stop.fail();
            const std::lock_guard<std::mutex> hold(firstErrorLock);
            if (!firstError) {
                firstError = std::current_exception();
            }
        }
    };
    if (workers <= 1 || count <= 1) {
        work();
    } else {
        std::vector<std::thread> threads;
        threads.reserve(workers);
        try {
            for (std::size_t i = 0; i < workers && i < count; ++i) {
                threads.emplace_back(work);
            }
        } catch (...) {
            // Those already started must end before the error goes on.
            stop.fail();
            for (std::thread& thread : threads) {
                thread.join();
            }
            throw;
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
    }
    if (firstError) {
        std::rethrow_exception(firstError);
    }
}

} // namespace brevan::check
