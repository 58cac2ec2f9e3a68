#include "engine/zip_worker_pool.h"

#include <algorithm>

namespace vpk::zip {

WorkerPool::WorkerPool(unsigned threads) {
    if (threads == 0) threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    for (unsigned i = 0; i < threads; ++i) threads_.emplace_back([this] { Run(); });
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();  // work nobody waits for any more (a stopped operation)
    }
    wake_.notify_all();
    for (auto& thread : threads_) thread.join();
}

void WorkerPool::Run() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;  // stopping and drained
            task = std::move(queue_.front());
            queue_.pop_front();
        }
        task();
    }
}

}  // namespace vpk::zip
