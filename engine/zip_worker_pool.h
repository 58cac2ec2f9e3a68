#pragma once
// A fixed set of threads running CPU-heavy steps (compression, expansion, CRC) for the libraries. The
// calling thread submits work in file order and takes the results in the same order, so every callback
// stays on the calling thread. Tasks must not call back into the engine.
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace vpk::zip {

class WorkerPool {
  public:
    // threads 0: one per processor.
    explicit WorkerPool(unsigned threads = 0);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    template <class F>
    auto Submit(F task) -> std::future<decltype(task())> {
        using Result = decltype(task());
        auto packaged = std::make_shared<std::packaged_task<Result()>>(std::move(task));
        auto future = packaged->get_future();
        {
            std::lock_guard lock(mutex_);
            queue_.emplace_back([packaged] { (*packaged)(); });
        }
        wake_.notify_one();
        return future;
    }

    unsigned Size() const { return static_cast<unsigned>(threads_.size()); }

  private:
    void Run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
    std::vector<std::thread> threads_;
    bool stopping_ = false;
};

}  // namespace vpk::zip
