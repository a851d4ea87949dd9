#pragma once

#include <condition_variable>
#include <mutex>

// Lets flood senders in other threads send only while it is open. A send runs under the gate's lock,
// so once close() has returned no sender is in the middle of one: every datagram sent so far is
// already in the receiver's queue or counted among its drops.
class FloodGate {
public:
    void open() {
        {
            const std::lock_guard lock(mutex_);
            open_ = true;
        }
        changed_.notify_all();
    }
    void close() {
        const std::lock_guard lock(mutex_);
        open_ = false;
    }
    // For good: every sender waiting at the gate gives up.
    void stop() {
        {
            const std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        changed_.notify_all();
    }

    // Blocks while the gate is closed, then runs send under the lock; false once stopped.
    template <typename Send>
    bool whenOpen(Send &&send) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return open_ || stopped_; });
        if (stopped_)
            return false;
        send();
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
    bool stopped_ = false;
};
