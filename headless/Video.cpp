#include "headless/Video.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "formats/MovieFile.h"

namespace scenova::headless {

std::optional<double> Video::OpenMedia(const std::string& path) {
    return formats::ProbeMovieSeconds(path);
}

double Video::Elapsed() const {
    return static_cast<double>(m_ctx.loop.Now() - m_anchorClock) / 1e6;
}

EventLoop::Micros Video::DueAt(double seconds) const {
    using Micros = EventLoop::Micros;
    // Rounded to the microsecond from the anchor, so that no error adds up
    // from one event to the next. Far-off times saturate (4e18 us is over a
    // hundred thousand years).
    double micros = std::floor(seconds * 1e6 + 0.5);
    if (!(micros > 0.0)) {
        return m_anchorClock;
    }
    micros = std::min(micros, 4e18);
    const auto offset = static_cast<Micros>(micros);
    if (m_anchorClock > std::numeric_limits<Micros>::max() - offset) {
        return std::numeric_limits<Micros>::max();
    }
    return m_anchorClock + offset;
}

void Video::WakeAfter(double seconds) {
    CancelWake();
    m_timer = m_ctx.loop.At(DueAt(seconds), [this] {
        m_timer.reset();
        Due();
    });
}

void Video::CancelWake() {
    if (m_timer) {
        m_ctx.loop.Cancel(*m_timer);
        m_timer.reset();
    }
}

}  // namespace scenova::headless
