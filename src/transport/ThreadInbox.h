// ThreadInbox: hands work from worker threads to the thread that owns the inbox, in order.
#pragma once

#include "UniqueFd.h"

#include <QObject>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class QSocketNotifier;

namespace velmar {

// The queue is a mutex-guarded deque and the wake-up an eventfd watched by a QSocketNotifier on the
// owner thread, so every hand-over is ordered by a lock the thread checker can see (Qt's own queued
// calls synchronise inside Qt, where it cannot look).
class ThreadInbox : public QObject {
    Q_OBJECT
public:
    // Created on the owner thread, which needs a running event loop for the work to run.
    explicit ThreadInbox(QObject* parent = nullptr);
    ~ThreadInbox() override;

    // Queues work to run on the owner thread. Any thread.
    void post(std::function<void()> work);
    // Drops the work not run yet. Owner thread.
    void clear();

private:
    void drain();

    UniqueFd m_event;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::mutex m_mutex; // guards m_queue
    std::deque<std::function<void()>> m_queue;
};

} // namespace velmar
