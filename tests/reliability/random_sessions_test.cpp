// Kept for what mutants cannot reach: memory faults of nested handlers under the sanitizers.
// Random user sessions: seeded sequences of the scenova command's actions and
// of host calls in any order, run against the sample lesson and small
// generated ones, with the window's invariants checked after every step. A
// failing seed is shrunk to the shortest action list that still fails.
//
// SCENOVA_SESSIONS=N runs N sessions per case (more for a long local run);
// SCENOVA_SEED=S runs the one session S.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <ostream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "headless/HostActions.h"
#include "lesson/Actions.h"
#include "lesson/Executor.h"
#include "lesson/LessonFolder.h"
#include "tests/support/HeadlessHost.h"
#include "tests/support/TempDir.h"

namespace scenova::testing {
namespace {

using lesson::Action;
using K = Action::Kind;

// A step: an action of the command, or a host call the command never makes.
struct Step {
    enum class Host { None, Init, Startup, Position, Query, MoveText };
    Action action;
    Host host = Host::None;
    int which = 0;  // Position: property and get/put; Query: member
    float number = 0;

    std::string Text() const {
        static const char* const kHost[] = {"", "init", "startup", "position", "query", "move"};
        if (host == Host::None) {
            return action.Text();
        }
        return std::string(kHost[static_cast<int>(host)]) + " " + std::to_string(which) + " " +
               std::to_string(number);
    }
};

struct LessonText {
    std::string folder;
    std::string settings;
    std::string script;
    std::string extras;  // settings over those of the sample lesson
};

// A lesson of one to six blocks on the six-second test video, with the
// sample lesson's buttons and bars and a few settings that vary.
LessonText GeneratedLesson(const TempDir& dir, std::mt19937& rng) {
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::ostringstream script;
    if (pick(8) != 0) {
        script << "VIDEO lesson.avi\n";
    }
    const char* const actors[] = {"Ana", "Ben", "Ana", "\xC3\x89lo\xC3\xAFse"};
    const char* const texts[] = {"Hello.",
                                 "Hello.",
                                 "Good [CT Tip] day",
                                 "\\cf(9,9,9)red\\cf0",
                                 "\xE2\x82\xAC 2 \xF0\x9F\x8D\x8E",
                                 "  spaced  ",
                                 "x"};
    double t = 0.2 + pick(5) * 0.1;
    const int lines = 1 + pick(8);
    for (int i = 0; i < lines; ++i) {
        script << "ACTOR " << actors[pick(4)] << "\nTEXT " << texts[pick(7)] << "\n";
        script << "AVSTART " << t << "\n";
        t += 0.1 + pick(10) * 0.1;
        script << "AVEND " << (pick(10) == 0 ? t + 9 : t) << "\n";
        if (pick(12) == 0) {
            script << "RESOPEN Glossary,words\nAVSTART\n";
        }
    }
    std::ostringstream settings;
    // Later keys win: vary the transcript, the buttons and the resources.
    const char* const extras[] = {"rtfText.Height=16",          "rtfText.UseSeperator=False",
                                  "rtfText.TextFontColor=",     "btnVideoStop.Bmp=",
                                  "btnVideoRew.Bmp=",           "btnTextOn.Enabled=True",
                                  "LearningStrategy=",          "Help=",
                                  "movOrvMovie.TimeFormat=1",   "rtfText.Visible=False",
                                  "btnVideoPlay.Visible=False", "rtfText.ActorFontColor=RGB(1,2)",
                                  "BUTTONCURSOR=missing.cur"};
    for (const char* extra : extras) {
        if (pick(4) == 0) {
            settings << extra << "\n";
        }
    }
    const std::string base =
        ReadFile(std::string(SCENOVA_SOURCE_DIR) + "/examples/market/settings.ini");
    return {dir.Folder(), base + settings.str(), script.str(), settings.str()};
}

// The steps of one session.
std::vector<Step> GenerateSteps(std::mt19937& rng, int count) {
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const char* const bars[] = {"frmRose", "frmRoseNavigation", "frmRoseToolbar"};
    const char* const names[][7] = {
        {"btnVideoPlay", "btnVideoPlay", "btnVideoStop", "btnVideoFwd", "btnVideoRew", "btnTextOff",
         "btnTextOn"},
        {"Next", "Back", "Menu", "Next", "Nowhere", "Back", "next"},
        {"Help", "Culture Tips", "Learning Strategies", "Glossary", "HELP", "", "Glossary"},
    };
    std::vector<Step> steps;
    if (pick(8) != 0) {  // the host's usual start; sometimes it forgets
        Step init;
        init.host = Step::Host::Init;
        steps.push_back(init);
    }
    for (int i = 0; i < count; ++i) {
        Step s;
        if (pick(40) == 0) {  // the host lets go of the tool from inside a call or a yield
            s.action.kind = K::ReleaseInside;
            s.action.name = lesson::kReleasePlaces[pick(4)];
            steps.push_back(s);
            continue;
        }
        const int kind = pick(34);
        if (kind < 18) {
            s.action.kind = static_cast<K>(kind);
        } else if (kind < 22) {
            s.action.kind = K::Press;  // the buttons matter most
        } else if (kind < 26) {
            s.action.kind = K::Advance;
        } else {
            s.host = static_cast<Step::Host>(1 + pick(5));
            s.action.kind = K::Show;
        }
        const int bar = pick(3);
        s.action.bar = bars[bar];
        s.action.name = names[bar][pick(7)];
        s.action.seconds = pick(3) == 0 ? 0.3 : pick(40) * 0.1;
        s.action.value = pick(12) - 2;
        s.action.left = static_cast<float>(pick(3000));
        if (pick(2) == 0) {
            s.action.top = static_cast<float>(pick(3000));
            s.action.width = static_cast<float>(pick(12000) - 100);
            s.action.height = static_cast<float>(pick(9000));
        }
        s.which = pick(14);
        s.number = static_cast<float>(pick(20000) - 5000) / 3;
        steps.push_back(s);
    }
    return steps;
}

// Runs steps against a lesson and returns the first broken invariant ("" when
// none), naming the step.
class Session {
public:
    explicit Session(const LessonText& lesson) : m_lesson(lesson) {}

    std::string Run(const std::vector<Step>& steps) {
        HeadlessHost session;
        session.ServeFolders(m_lesson.folder);
        headless::HeadlessPlatform& platform = session.platform;
        headless::ToolHost& host = session.host;
        m_manager = session.mgr.get();
        m_manager->settings = lesson::ParseSettings(m_lesson.settings);
        m_manager->script = lesson::ParseScript(m_lesson.script);
        host.Create();
        std::string failure;
        try {
            for (std::size_t i = 0; i < steps.size() && failure.empty(); ++i) {
                const std::size_t mark = platform.GetTrace().Lines().size();
                Do(platform, host, steps[i]);
                platform.ProcessPending();
                failure = Check(platform, host, mark);
                if (!failure.empty()) {
                    failure = "after step " + std::to_string(i + 1) + " (" + steps[i].Text() +
                              "): " + failure;
                }
            }
            host.Shutdown();
            platform.ProcessPending();
            host.Release();
            if (failure.empty() && platform.HeadlessGdi().LiveDCs() != 0) {
                failure = "a device context outlived the tool";
            }
        } catch (const std::exception& e) {
            failure = std::string("an exception escaped to the host: ") + e.what();
        }
        for (const auto& e : platform.Ctx().eventErrors) {
            ++m_eventErrors[e.event + " " + std::to_string(e.error.number())];
        }
        return failure;
    }

    const std::map<std::string, int>& EventErrors() const { return m_eventErrors; }

private:
    void Do(headless::HeadlessPlatform& platform, headless::ToolHost& host, const Step& s) {
        const Action& a = s.action;
        switch (s.host) {
            case Step::Host::Init:
                if (!host.Exists()) {  // released: the host opens the lesson again
                    host.Create();
                }
                host.Init(s.which % 2 ? "scenova" : "again");
                return;
            case Step::Host::Startup:
                host.Startup();
                return;
            case Step::Host::Position: {
                const int property = s.which % 4;
                const bool put = s.which >= 7;
                if (property == 0) {
                    put ? host.Left(s.number) : host.Left();
                } else if (property == 1) {
                    put ? host.Top(s.number) : host.Top();
                } else if (property == 2) {
                    put ? host.Width(s.number) : host.Width();
                } else {
                    put ? host.Height(s.number) : host.Height();
                }
                return;
            }
            case Step::Host::Query:
                host.NavEnabled(a.name, s.which % 2 == 0);
                host.NavEnabled(a.name);
                host.ToolbarEnabled(a.name, true);
                host.ToolbarEnabled(a.name);
                host.ID();
                return;
            case Step::Host::MoveText:
                host.Move(s.number, Variant(std::string(s.which % 2 ? "12" : "twelve")));
                return;
            case Step::Host::None:
                break;
        }
        // A transcript line is chosen by its place among those there are.
        Action action = a;
        if (a.kind == K::LinkClick || a.kind == K::LinkEnter || a.kind == K::LinkLeave) {
            const auto& w = platform.Window();
            const std::size_t count = w.rtfText ? w.rtfText->Links().size() : 0;
            if (count == 0) {
                return;
            }
            action.value = w.rtfText->Links()[static_cast<std::size_t>(a.value + 2) % count].userID;
        }
        headless::HostActions actions(platform, host, *m_manager);
        lesson::Carry(action, actions);
    }

    std::string Check(headless::HeadlessPlatform& platform, headless::ToolHost& host,
                      std::size_t mark) {
        const auto& lines = platform.GetTrace().Lines();
        bool stopped = false;
        for (std::size_t i = mark; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            if (line.find(" frmRoseNavigation.ButtonPress(") != std::string::npos) {
                m_navigationPending = true;
            } else if (line.find("> frmScenova.Enabled = True") != std::string::npos) {
                m_navigationPending = false;
            } else if (line.find("> movOrvMovie.Stop()") != std::string::npos) {
                stopped = true;
            } else if (line.find("> movOrvMovie.PlayRange(") != std::string::npos) {
                stopped = false;
            }
        }
        // Once shut down or released, the tool loads no window again.
        const int loads = platform.HeadlessToolkit().LoadCount();
        if (!host.Exists() || host.Tool().Window().IsClosed()) {
            if (m_loadsWhenShut >= 0 && loads != m_loadsWhenShut) {
                return "a window loaded after the tool shut down";
            }
            m_loadsWhenShut = loads;
            return "";
        }
        m_loadsWhenShut = -1;
        frmScenova& form = host.Tool().Window();
        const int32_t state = form.VideoState();
        if (state < -1 || state > 1) {
            return "playback state " + std::to_string(state);
        }
        const headless::HeadlessWindow& w = platform.Window();
        if (!w.form || w.form->IsUnloaded()) {
            return "";
        }
        const auto& slider = *w.sldVideoSlider;
        if (slider.Value() < 0 || slider.Value() > slider.Max()) {
            return "slider at " + std::to_string(slider.Value()) + " of 0.." +
                   std::to_string(slider.Max());
        }
        const auto& buttons = Module1::Get().g_colButtonInfo;
        const bool transport =
            buttons && buttons->Contains("btnVideoPlay") && buttons->Contains("btnVideoStop");
        if (stopped && transport && state == -1 &&
            (w.frmRose->StateOf("btnVideoPlay") != 0 || w.frmRose->StateOf("btnVideoStop") != 1)) {
            return "stopped, but Play looks " + std::to_string(w.frmRose->StateOf("btnVideoPlay")) +
                   " and Stop " + std::to_string(w.frmRose->StateOf("btnVideoStop"));
        }
        if (state == 0) {
            std::set<int32_t> lit;
            const auto& blocks = Module1::Get().g_Blocks;
            const auto& links = w.rtfText->Links();
            const int32_t hovered = w.rtfText->EnteredLink();
            for (const auto& range : w.rtfText->Highlights()) {
                for (int32_t c = range.start; c < range.end; ++c) {
                    if (hovered >= 0 && hovered < static_cast<int32_t>(links.size()) &&
                        c >= links[hovered].start && c < links[hovered].end) {
                        continue;  // the line under the pointer
                    }
                    for (std::size_t b = 0; b < blocks.size(); ++b) {
                        if (c >= blocks[b].TextStart && c < blocks[b].TextEnd) {
                            lit.insert(static_cast<int32_t>(b));
                        }
                    }
                }
            }
            if (lit.size() > 1) {
                return std::to_string(lit.size()) + " blocks highlighted during playback";
            }
        }
        if (!w.form->Enabled() && !m_navigationPending) {
            return "the window is disabled with no navigation press pending";
        }
        return "";
    }

    const LessonText& m_lesson;
    headless::RecordingManager* m_manager = nullptr;
    int m_loadsWhenShut = -1;
    bool m_navigationPending = false;
    std::map<std::string, int> m_eventErrors;  // "object.Event number": count
};

// Delta minimisation: drops ever smaller chunks while the session still fails.
std::vector<Step> Shrink(const LessonText& lesson, std::vector<Step> steps) {
    for (std::size_t chunk = std::max<std::size_t>(steps.size() / 2, 1); chunk >= 1;) {
        bool dropped = false;
        for (std::size_t at = 0; at + chunk <= steps.size();) {
            std::vector<Step> fewer = steps;
            fewer.erase(fewer.begin() + static_cast<long>(at),
                        fewer.begin() + static_cast<long>(at + chunk));
            if (!Session(lesson).Run(fewer).empty()) {
                steps = std::move(fewer);
                dropped = true;
            } else {
                at += chunk;
            }
        }
        if (!dropped) {
            if (chunk == 1) {
                break;
            }
            chunk /= 2;
        }
    }
    return steps;
}

int SessionCount() {
    if (const char* n = std::getenv("SCENOVA_SESSIONS")) {
        return std::max(1, std::atoi(n));
    }
    return 250;
}

struct Case {
    const char* name;
    bool generated;
    unsigned firstSeed;
};
// The case's name in test listings, instead of its bytes.
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class RandomSessions : public ::testing::TestWithParam<Case> {};

TEST_P(RandomSessions, KeepTheWindowConsistent) {
    const Case& c = GetParam();
    TempDir dir;
    LessonText market{std::string(SCENOVA_SOURCE_DIR) + "/examples/market/", "", "", ""};
    market.settings = ReadFile(market.folder + "settings.ini");
    market.script = ReadFile(market.folder + "script.txt");
    if (c.generated) {
        for (const char* media :
             {"play.bmp", "stop.bmp", "fwd.bmp", "rew.bmp", "texton.bmp", "textoff.bmp"}) {
            std::filesystem::create_directories(dir.Path() / "media");
            std::filesystem::copy_file(market.folder + "media/" + media,
                                       dir.Path() / "media" / media);
        }
        std::filesystem::copy(market.folder + "resources", dir.Path() / "resources");
        std::filesystem::create_directories(dir.Path() / "video");
        std::filesystem::copy_file(std::string(SCENOVA_SOURCE_DIR) + "/tests/data/six_seconds.avi",
                                   dir.Path() / "video/lesson.avi");
    }
    unsigned first = c.firstSeed;
    int count = SessionCount();
    if (const char* seed = std::getenv("SCENOVA_SEED")) {
        first = static_cast<unsigned>(std::strtoul(seed, nullptr, 10));
        count = 1;
    }
    std::map<std::string, int> eventErrors;
    for (unsigned seed = first; seed < first + static_cast<unsigned>(count); ++seed) {
        std::mt19937 rng(seed);
        const LessonText lesson = c.generated ? GeneratedLesson(dir, rng) : market;
        const std::vector<Step> steps = GenerateSteps(rng, 10 + static_cast<int>(rng() % 40));
        Session session(lesson);
        const std::string failure = session.Run(steps);
        for (const auto& [what, n] : session.EventErrors()) {
            eventErrors[what] += n;
        }
        if (!failure.empty()) {
            std::string list;
            for (const Step& s : Shrink(lesson, steps)) {
                list += "  " + s.Text() + "\n";
            }
            FAIL() << c.name << " session " << seed << " (SCENOVA_SEED=" << seed << "): " << failure
                   << "\nshortest failing steps:\n"
                   << list << (c.generated ? "script:\n" + lesson.script : "")
                   << (c.generated ? "settings:\n" + lesson.extras : "");
        }
        if ((seed - first + 1) % 250 == 0) {
            std::printf("%s: %u sessions\n", c.name, seed - first + 1);
        }
    }
    std::printf("%s: %d sessions passed; handler errors returned to the controls:\n", c.name,
                count);
    for (const auto& [what, n] : eventErrors) {
        std::printf("  %s: %d\n", what.c_str(), n);
    }
}

INSTANTIATE_TEST_SUITE_P(, RandomSessions,
                         // Four cases, so that ctest runs them side by side.
                         ::testing::Values(Case{"Market", false, 1},
                                           Case{"MarketMore", false, 1000000},
                                           Case{"Generated", true, 2000000},
                                           Case{"GeneratedMore", true, 3000000}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace scenova::testing
