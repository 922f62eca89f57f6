#include "headless/Video.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"

namespace scenova::headless {

Video::Video(Context& ctx, std::string name) : m_ctx(ctx), m_name(std::move(name)) {}

void Video::Left(float value) {
    m_ctx.trace.Put(m_name, "Left", value);
    m_left = value;
}

void Video::Top(float value) {
    m_ctx.trace.Put(m_name, "Top", value);
    m_top = value;
}

void Video::Width(float value) {
    m_ctx.trace.Put(m_name, "Width", value);
    m_width = value;
}

void Video::Height(float value) {
    m_ctx.trace.Put(m_name, "Height", value);
    m_height = value;
}

void Video::Visible(bool value) {
    m_ctx.trace.Put(m_name, "Visible", value);
    m_visible = value;
}

void Video::Enabled(bool value) {
    m_ctx.trace.Put(m_name, "Enabled", value);
    m_enabled = value;
}

void Video::TimeFormat(float format) {
    m_ctx.trace.Put(m_name, "TimeFormat", format);
    m_timeFormat = format;
}

bool Video::OpenMovie(const std::string& path, double position) {
    m_ctx.trace.Call(m_name, "OpenMovie", path, position);
    m_state = PlayState::Stopped;
    m_range.reset();
    std::error_code error;
    m_open = !path.empty() && !m_destroyed && std::filesystem::is_regular_file(path, error);
    m_path = m_open ? path : std::string();
    m_position = 0.0;
    if (m_open) {
        MoveTo(position);
    }
    return m_open;
}

void Video::SetSignalTimes(std::string& times) {
    m_ctx.trace.Call(m_name, "SetSignalTimes", times);
    std::vector<double> parsed;
    if (!TrimSpaces(times).empty()) {
        std::string_view rest = times;
        while (true) {
            const auto comma = rest.find(',');
            parsed.push_back(ToDouble(rest.substr(0, comma)));
            if (comma == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(comma + 1);
        }
    }
    m_signalTimes = std::move(parsed);
}

void Video::EnableSignals(bool enable) {
    m_ctx.trace.Call(m_name, "EnableSignals", enable);
    m_signalsEnabled = enable;
}

void Video::SetPlayMode(int16_t mode) {
    m_ctx.trace.Call(m_name, "SetPlayMode", mode);
    m_playMode = mode;
}

bool Video::PlayRange(double startTime, double endTime, bool lineFlag) {
    m_ctx.trace.Call(m_name, "PlayRange", startTime, endTime, lineFlag);
    // Written so that NaN fails as well.
    if (!m_open || !(startTime >= 0.0 && startTime <= endTime)) {
        return false;
    }
    m_range = Range{startTime, endTime, lineFlag};
    MoveTo(startTime);
    m_state = PlayState::Playing;
    return true;
}

void Video::Seek(double position) {
    m_ctx.trace.Call(m_name, "Seek", position);
    if (std::isnan(position)) {
        Raise(err::InvalidCall);
    }
    MoveTo(position);
}

void Video::Stop() {
    m_ctx.trace.Call(m_name, "Stop");
    m_state = PlayState::Stopped;
}

void Video::Pause() {
    m_ctx.trace.Call(m_name, "Pause");
    if (m_state == PlayState::Playing) {
        m_state = PlayState::Paused;
    }
}

void Video::Destroy() {
    m_destroyed = true;
    m_state = PlayState::Stopped;
}

void Video::MoveTo(double position) {
    if (std::isnan(position)) {
        position = 0.0;
    }
    m_position = m_open ? std::clamp(position, 0.0, m_duration) : position;
}

}  // namespace scenova::headless
