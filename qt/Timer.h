#pragma once

#include <QTimer>

#include <memory>
#include <string>

#include "model/Timer.h"
#include "qt/Context.h"

namespace scenova::qt {

// A timer control on a precise QTimer.
class Timer final : public model::Timer, public std::enable_shared_from_this<Timer> {
public:
    static std::shared_ptr<Timer> Create(Context& ctx, std::string name);
    Timer(Context& ctx, std::string name);

private:
    void Arm(int32_t milliseconds) override { m_timer->start(milliseconds); }
    void Disarm() override { m_timer->stop(); }

    std::unique_ptr<QTimer> m_timer;
};

}  // namespace scenova::qt
