#include "FakeVideo.h"

#include <windows.h>

#include <algorithm>

namespace scenova::fake {

double FakeVideo::Now() const {
    return static_cast<double>(m_ctx.loop.Now()) / 1e6;
}

void FakeVideo::TimeFormat(float format) {
    m_ctx.Put(m_name, "TimeFormat", format);
}

bool FakeVideo::OpenMovie(const std::string& path, double position) {
    m_ctx.Call(m_name, "OpenMovie", path, position);
    const int length = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), length);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    m_open = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    m_playing = false;
    m_position = m_open ? std::clamp(position, 0.0, m_duration) : 0.0;
    return m_open;
}

void FakeVideo::SetSignalTimes(std::string& times) {
    m_ctx.Call(m_name, "SetSignalTimes", times);
}

void FakeVideo::EnableSignals(bool enable) {
    m_ctx.Call(m_name, "EnableSignals", enable);
}

void FakeVideo::SetPlayMode(int16_t mode) {
    m_ctx.Call(m_name, "SetPlayMode", mode);
}

bool FakeVideo::PlayRange(double startTime, double endTime, bool lineFlag) {
    m_ctx.Call(m_name, "PlayRange", startTime, endTime, lineFlag);
    if (!m_open || !(startTime >= 0.0) || !(startTime <= endTime) || startTime > m_duration) {
        return false;
    }
    m_playing = true;
    m_position = startTime;
    m_end = std::min(endTime, m_duration);
    m_anchor = Now();
    return true;
}

void FakeVideo::Seek(double position) {
    m_ctx.Call(m_name, "Seek", position);
    m_position = std::clamp(position, 0.0, m_open ? m_duration : 0.0);
    m_anchor = Now();
}

void FakeVideo::Stop() {
    m_ctx.Call(m_name, "Stop");
    m_position = CurrentPosition();
    m_playing = false;
}

void FakeVideo::Pause() {
    m_ctx.Call(m_name, "Pause");
    m_position = CurrentPosition();
    m_playing = false;
}

double FakeVideo::CurrentPosition() {
    if (!m_playing) {
        return m_position;
    }
    return std::min(m_end, m_position + (Now() - m_anchor));
}

void FakeVideo::RaiseSignal(int16_t number) {
    const auto handler = m_events.SignalEvent;
    m_ctx.Raise(m_name, "SignalEvent", handler, number);
}

void FakeVideo::RaiseNotify() {
    if (m_playing && CurrentPosition() >= m_end) {
        m_position = m_end;
        m_playing = false;
    }
    const auto handler = m_events.Notify;
    m_ctx.Raise(m_name, "Notify", handler);
}

}  // namespace scenova::fake
