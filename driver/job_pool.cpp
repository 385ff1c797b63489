#include "job_pool.h"

#include <atomic>
#include <mutex>
#include <thread>

std::vector<process_result> run_all(const std::vector<process_request>& requests, int jobs,
                                    progress& shown) {
    std::vector<process_result> results(requests.size());
    std::atomic<size_t> next{0};
    std::mutex shown_lock;
    auto worker = [&]() {
        for (size_t i = next++; i < requests.size(); i = next++) {
            results[i] = run_process(requests[i]);
            std::lock_guard<std::mutex> hold(shown_lock);
            shown.advance();
        }
    };
    std::vector<std::thread> workers;
    int count = std::max(1, std::min<int>(jobs, static_cast<int>(requests.size())));
    for (int i = 0; i < count; ++i)
        workers.emplace_back(worker);
    for (std::thread& t : workers)
        t.join();
    return results;
}

void for_each_parallel(size_t count, int jobs, const std::function<void(size_t)>& work) {
    std::atomic<size_t> next{0};
    auto worker = [&]() {
        for (size_t i = next++; i < count; i = next++)
            work(i);
    };
    std::vector<std::thread> workers;
    int threads = std::max(1, std::min<int>(jobs, static_cast<int>(count)));
    for (int i = 0; i < threads; ++i)
        workers.emplace_back(worker);
    for (std::thread& t : workers)
        t.join();
}
