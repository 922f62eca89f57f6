#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "headless/HeadlessPlatform.h"
#include "model/Record.h"

namespace scenova::cli {

// The readable account of a lesson for a person: what the learner did and
// saw, and what the host was told. It takes the trace's records as they come.
class Timeline {
public:
    Timeline(headless::HeadlessPlatform& platform, std::ostream& out)
        : m_platform(platform), m_out(out) {}
    ~Timeline() { Flush(); }

    // Takes one record.
    void Take(const model::Record& record);
    // Writes what is still held back (button changes are gathered per moment).
    void Flush();
    // A note of the host's own ("the lesson ran to its end").
    void Note(const std::string& text);

private:
    void Write(const std::string& time, const std::string& text);
    std::string BlockText(int block) const;
    std::string Lit(int textStart) const;
    // A transport button's new state, gathered with the others of its moment.
    void Button(const std::string& time, const std::string& name, const std::string& state);
    // What a record tells of the host's manager, the video and the learner.
    static std::string Told(const model::Record& record);
    static std::string Shown(const model::Record& record);
    std::string Video(const model::Record& record);
    static std::string Learner(const model::Record& record);

    headless::HeadlessPlatform& m_platform;
    std::ostream& m_out;
    std::string m_buttonsTime;
    std::vector<std::pair<std::string, std::string>> m_buttons;  // name, state; last wins
    int m_signal = 0;  // the block signal being handled, 0 for none
};

}  // namespace scenova::cli
