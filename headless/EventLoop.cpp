#include "headless/EventLoop.h"

#include <limits>

#include <algorithm>
#include <stdexcept>

namespace scenova::headless {

namespace {
// A message that keeps posting itself would otherwise spin forever.
constexpr int kMaxMessagesPerPass = 100000;
}  // namespace

void EventLoop::Post(std::function<void()> message) {
    m_posted.push_back(std::move(message));
}

int EventLoop::ProcessPending() {
    int count = 0;
    while (true) {
        if (count == kMaxMessagesPerPass) {
            throw std::logic_error("headless event loop: messages keep posting themselves");
        }
        if (!m_posted.empty()) {
            auto message = std::move(m_posted.front());
            m_posted.pop_front();
            ++count;
            message();
        } else if (!m_timed.empty() && m_timed.begin()->first.first <= m_now) {
            // Like a timer message, timed work that is due runs once the
            // posted messages are done, also inside a yield.
            auto node = m_timed.extract(m_timed.begin());
            m_dueOf.erase(node.key().second);
            ++count;
            node.mapped()();
        } else {
            return count;
        }
    }
}

EventLoop::TimerId EventLoop::At(Micros due, std::function<void()> callback) {
    const TimerId id = m_nextId++;
    if (due < m_now) {
        due = m_now;
    }
    m_timed.emplace(std::pair{due, id}, std::move(callback));
    m_dueOf.emplace(id, due);
    return id;
}

void EventLoop::Cancel(TimerId id) {
    auto it = m_dueOf.find(id);
    if (it == m_dueOf.end()) {
        return;
    }
    m_timed.erase(std::pair{it->second, id});
    m_dueOf.erase(it);
}

EventLoop::Micros EventLoop::NextDue() const {
    return m_timed.empty() ? -1 : m_timed.begin()->first.first;
}

void EventLoop::AdvanceBy(Micros duration) {
    // The clock stops at its end rather than wrapping round.
    AdvanceTo(duration > std::numeric_limits<Micros>::max() - m_now
                  ? std::numeric_limits<Micros>::max()
                  : m_now + duration);
}

void EventLoop::AdvanceTo(Micros time) {
    ProcessPending();
    while (!m_timed.empty() && m_timed.begin()->first.first <= time) {
        m_now = std::max(m_now, m_timed.begin()->first.first);
        ProcessPending();
    }
    if (time > m_now) {
        m_now = time;
    }
    ProcessPending();
}

}  // namespace scenova::headless
