// Work spread over a few threads and handed back in order: item i is produced on any worker,
// consumed on the calling thread after every item before it. Workers run at most a small
// window ahead of the consumer, so memory holds a few results however many items there are.
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace mv {

// Workers when the caller leaves the choice: one per processor, at most this many.
inline constexpr unsigned kMaxWorkers = 4;

inline unsigned WorkerCount(unsigned requested, std::size_t items) {
  unsigned count =
      requested != 0 ? requested : std::clamp(std::thread::hardware_concurrency(), 1u, kMaxWorkers);
  return static_cast<unsigned>(std::min<std::size_t>(count, std::max<std::size_t>(items, 1)));
}

// produce(index, worker) returns the result of item index (worker numbers the thread, from
// 0, for state a thread keeps between items); consume(index, result) takes it and returns
// false to stop. Once stop (when given) is set or consume said false, no item is started and
// none is consumed. When allowed is given, only workers numbered below its value start items;
// the caller may raise it while the work runs, and the others join when the next item is
// consumed.
template <typename Result, typename Produce, typename Consume>
void RunInOrder(std::size_t count, unsigned workers, Produce&& produce, Consume&& consume,
                const std::atomic<bool>* stop = nullptr,
                const std::atomic<unsigned>* allowed = nullptr) {
  const std::size_t window = 2 * static_cast<std::size_t>(workers);
  std::mutex mutex;
  std::condition_variable changed;
  std::size_t started = 0, consumed = 0;
  unsigned running = workers;
  bool halted = false;
  std::map<std::size_t, Result> ready;
  auto halt = [&] { return halted || (stop != nullptr && stop->load()); };
  // Worker 0 always may: the work cannot stall.
  auto mayStart = [&](unsigned worker) {
    return worker == 0 || allowed == nullptr || worker < allowed->load();
  };

  auto work = [&](unsigned worker) {
    std::unique_lock lock(mutex);
    for (;;) {
      changed.wait(lock, [&] {
        return started >= count || halt() || (started < consumed + window && mayStart(worker));
      });
      if (started >= count || halt()) break;
      const std::size_t index = started++;
      lock.unlock();
      Result result = produce(index, worker);
      lock.lock();
      ready.emplace(index, std::move(result));
      changed.notify_all();
    }
    --running;
    changed.notify_all();
  };
  std::vector<std::thread> threads;
  threads.reserve(workers);
  for (unsigned w = 0; w < workers; ++w) threads.emplace_back(work, w);

  std::unique_lock lock(mutex);
  while (consumed < count) {
    changed.wait(lock, [&] { return ready.count(consumed) != 0 || running == 0; });
    const auto next = ready.find(consumed);
    if (next == ready.end()) break;  // halted before this item was started
    Result result = std::move(next->second);
    ready.erase(next);
    lock.unlock();
    const bool more = consume(consumed, std::move(result));
    lock.lock();
    ++consumed;
    halted = !more || halt();
    changed.notify_all();
    if (halted) break;
  }
  lock.unlock();
  for (std::thread& thread : threads) thread.join();
}

}  // namespace mv
