#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "controls/Control.h"

namespace scenova::controls {

struct VideoEvents {
    std::function<void()> Notify;
    std::function<void(int16_t nEventNum)> SignalEvent;
};

// The video player. Positions are in the unit chosen by TimeFormat. Signal k
// (from 1) is raised when playback reaches the k-th time of SetSignalTimes.
class IVideo : public IContainedControl {
public:
    virtual void Advise(VideoEvents events) = 0;

    virtual void TimeFormat(float format) = 0;
    virtual bool OpenMovie(const std::string& path, double position) = 0;
    virtual void SetSignalTimes(std::string& times) = 0;
    virtual void EnableSignals(bool enable) = 0;
    virtual void SetPlayMode(int16_t mode) = 0;
    virtual bool PlayRange(double startTime, double endTime, bool lineFlag) = 0;
    virtual void Seek(double position) = 0;
    virtual void Stop() = 0;
    virtual void Pause() = 0;
    virtual double CurrentPosition() = 0;
    virtual double Duration() = 0;
};

}  // namespace scenova::controls
