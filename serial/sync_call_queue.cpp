#include "serial/sync_call_queue.h"

#include <algorithm>
#include <utility>

namespace ser {

bool SyncCallQueue::Call(const std::function<void()>& call, std::stop_token cancel) {
    Request request{&call};
    bool cancelled = false;
    // The cancel is noted under the queue's mutex and wakes the wait itself, rather than through
    // the condition variable's own stop-token wait: under Wine that wait sometimes missed a stop
    // requested from the call it waits for. Declared before the lock, so that the lock is gone
    // before this callback is unregistered (which waits for it when it runs elsewhere).
    const std::stop_callback onCancel(cancel, [&] {
        const std::lock_guard guard(mutex_);
        cancelled = true;
        done_.notify_all();
    });
    std::unique_lock lock(mutex_);
    if (cancelled) {
        return false;
    }
    queue_.push_back(&request);
    wake_.Signal();
    done_.wait(lock, [&] { return cancelled || request.state == Request::State::Done; });
    if (request.state == Request::State::Queued) {
        queue_.erase(std::find(queue_.begin(), queue_.end(), &request));
        return false;
    }
    done_.wait(lock, [&] { return request.state == Request::State::Done; });
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
