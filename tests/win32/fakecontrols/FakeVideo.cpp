#include "FakeVideo.h"

#include <windows.h>

namespace scenova::fake {

std::optional<double> FakeVideo::OpenMedia(const std::string& path) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), length);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    return m_duration;
}

void FakeVideo::RaiseSignal(int16_t number) {
    const auto handler = m_events.SignalEvent;
    m_ctx.Raise(m_name, model::Member::SignalEvent, handler, number);
}

void FakeVideo::RaiseNotify() {
    if (State() == PlayState::Playing && CurrentPosition() >= LastRange()->end) {
        MediaFailed();  // stops where it got to; the Notify it posts is dropped
    }
    const auto handler = m_events.Notify;
    m_ctx.Raise(m_name, model::Member::Notify, handler);
}

}  // namespace scenova::fake
