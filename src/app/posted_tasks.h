#pragma once

#include <deque>
#include <functional>
#include <mutex>

namespace vornak {

// The tasks posted to the window thread, for front ends without an event loop
// of their own: any thread posts, the window thread runs them after a handler.
class PostedTasks {
public:
    void Post(std::function<void()> task)
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }

    // Runs every task in order, including those posted while it runs.
    void RunAll()
    {
        for (;;) {
            std::function<void()> task;
            {
                std::lock_guard lock(mutex_);
                if (tasks_.empty())
                    return;
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            task();
        }
    }

    size_t size()
    {
        std::lock_guard lock(mutex_);
        return tasks_.size();
    }

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> tasks_;
};

}  // namespace vornak
