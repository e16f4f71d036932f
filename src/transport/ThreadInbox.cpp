// ThreadInbox: eventfd wake-up, mutex-guarded queue.
#include "ThreadInbox.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QtGlobal>

#include <sys/eventfd.h>
#include <unistd.h>

namespace velmar {

ThreadInbox::ThreadInbox(QObject* parent)
    : QObject(parent), m_event(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (!m_event) qFatal("ThreadInbox: cannot create an eventfd");
    m_notifier = std::make_unique<QSocketNotifier>(m_event.get(), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { drain(); });
}

ThreadInbox::~ThreadInbox() {
    m_notifier.reset();
}

void ThreadInbox::post(std::function<void()> work) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(work));
    }
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(m_event.get(), &one, sizeof one);
}

void ThreadInbox::clear() {
    std::deque<std::function<void()>> dropped;
    std::lock_guard lock(m_mutex);
    dropped.swap(m_queue);
}

void ThreadInbox::drain() {
    uint64_t count;
    [[maybe_unused]] ssize_t n = ::read(m_event.get(), &count, sizeof count);
    // One item at a time: a work item may clear the inbox or destroy its owner.
    QPointer<ThreadInbox> alive(this);
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard lock(m_mutex);
            if (m_queue.empty()) return;
            work = std::move(m_queue.front());
            m_queue.pop_front();
        }
        work();
        if (!alive) return;
    }
}

} // namespace velmar
