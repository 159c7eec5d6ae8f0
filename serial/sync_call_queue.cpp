#include "serial/sync_call_queue.h"

#include <algorithm>
#include <utility>

#include "serial/ser_thread.h"

namespace ser {

bool SyncCallQueue::Call(const std::function<void()>& call, std::stop_token cancel) {
    Request request{&call};
    std::unique_lock lock(mutex_);
    if (cancel.stop_requested()) {
        return false;
    }
    queue_.push_back(&request);
    wake_.Signal();
    // Whoever cancels does not know this queue: the wait looks at the token (ser_thread.h).
    const auto done = [&] { return request.state == Request::State::Done; };
    while (!done() && !cancel.stop_requested()) {
        done_.wait_for(lock, kStopPoll, done);
    }
    if (request.state == Request::State::Queued) {
        queue_.erase(std::find(queue_.begin(), queue_.end(), &request));
        return false;
    }
    done_.wait(lock, done);
    return true;
}

void SyncCallQueue::RunPending() {
    // Cleared before the queue is looked at: a call queued after this signals again.
    wake_.Clear();
    std::unique_lock lock(mutex_);
    while (!queue_.empty()) {
        Request* request = queue_.front();
        queue_.pop_front();
        request->state = Request::State::Running;
        lock.unlock();
        (*request->call)();
        lock.lock();
        // The caller may return and free `request` as soon as the lock is released.
        request->state = Request::State::Done;
        done_.notify_all();
    }
}

TSerSyncCall SyncCallQueue::SyncCall() {
    return [this](const std::function<void()>& call, std::stop_token cancel) {
        return Call(call, std::move(cancel));
    };
}

}  // namespace ser
