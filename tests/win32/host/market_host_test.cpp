// The sample lesson as a host runs it: the registered DLL created through COM
// and called through the host's own IToolTalk declaration, the host's manager
// handing over the lesson's settings and script. Recorded headless stories are
// replayed on the test controls; what the controls see and what the manager is
// asked must be what the headless platform recorded.

// windows.h first: the other system headers rely on it.
#include <windows.h>

#include <gtest/gtest.h>
#include <objbase.h>
#include <winternl.h>
#include <wrl/client.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "../window/WindowTestSupport.h"
#include "HostInterfaces.h"
#include "HostObjects.h"

namespace {

using Microsoft::WRL::ComPtr;
using namespace scenova::win32::testing_support;

std::string Trim(std::string text) {
    text.erase(0, text.find_first_not_of(" \t"));
    text.erase(text.find_last_not_of(" \t") + 1);
    return text;
}

// The lesson's settings.ini (KEY=VALUE; ';' and '#' start comments) or
// script.txt (an item a line) as the host's collection, reached through the
// standard collection interface only.
host::HostCollection* ReadLessonFile(const std::string& name) {
    auto* collection = new host::HostCollection(host::Binding::Vtable);
    std::ifstream in(kSource + "/examples/market/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::string trimmed = Trim(line);
        const auto equals = trimmed.find('=');
        if (name == "script.txt") {
            collection->Add(host::Wide(line));
        } else if (!trimmed.empty() && trimmed[0] != ';' && trimmed[0] != '#' &&
                   equals != std::string::npos) {
            collection->Add(host::Wide(Trim(trimmed.substr(equals + 1))),
                            host::Wide(Trim(trimmed.substr(0, equals))));
        }
    }
    return collection;
}

// The tool made through COM, as the manager's caller.
void Create(ComPtr<host::IToolTalk>& tool, host::RecordingManager* mgr) {
    ASSERT_EQ(CoCreateInstance(host::kCLSID_Scenova, nullptr, CLSCTX_INPROC_SERVER,
                               host::kIID_ToolTalk, &tool),
              S_OK);
    ComPtr<IUnknown> identity;
    tool.As(&identity);
    mgr->tool = identity.Get();
}

void Init(host::IToolTalk* tool, host::RecordingManager* mgr, const HostFrame& frame) {
    IDispatch* manager = mgr;
    BSTR id = SysAllocString(L"scenova");
    VARIANT_BOOL ok = VARIANT_FALSE;
    const HRESULT hr = tool->Init(&manager, &id, HandleToLong(frame.frame), &ok);
    SysFreeString(id);
    ASSERT_EQ(hr, S_OK);
    ASSERT_EQ(ok, VARIANT_TRUE) << testing::PrintToString(mgr->lines);
}

// The host's manager serving the sample lesson.
host::RecordingManager* MarketManager() {
    auto* mgr = new host::RecordingManager();
    mgr->settings = ReadLessonFile("settings.ini");
    mgr->script = ReadLessonFile("script.txt");
    mgr->mediaPath = host::Wide(kLesson + "/media/");
    mgr->auxiliaryPath = host::Wide(kLesson + "/");
    mgr->resourcePath = host::Wide(kLesson + "/resources/");
    mgr->videoPath = host::Wide(kLesson + "/video/");
    return mgr;
}

class MarketHost : public testing::TestWithParam<const char*> {};

TEST_P(MarketHost, ReplaysTheRecordedStoryThroughTheRegisteredDll) {
    FakeControls& fake = LoadedFakeControls();
    ASSERT_NE(fake.reset, nullptr);
    const std::vector<Line> story = LoadStory(GetParam());
    ASSERT_FALSE(story.empty());
    // The stories begin on a freshly loaded component.
    CoFreeUnusedLibrariesEx(0, 0);
    fake.reset();
    fake.setVideoDuration(kMarketVideoSeconds);
    fake.lessonFolder = kLesson;
    HostFrame frame;
    host::RecordingManager* mgr = MarketManager();
    ComPtr<host::IToolTalk> tool;

    ReplayStory(fake, story, frame, [&](const Line& line) {
        if (line.member == "Create") {
            Create(tool, mgr);
        } else if (line.member == "IToolTalk_Init") {
            Init(tool.Get(), mgr, frame);
        } else if (line.member == "IToolTalk_Show") {
            EXPECT_EQ(tool->Show(), S_OK);
        } else if (line.member == "IToolTalk_Hide") {
            EXPECT_EQ(tool->Hide(), S_OK);
        } else if (line.member == "IToolTalk_Move") {
            // Left, then optional Top, Width and Height as numbers.
            float at[4] = {};
            VARIANT optional[3];
            const int count = std::sscanf(Arguments(line).c_str(), "%f, %f, %f, %f", &at[0], &at[1],
                                          &at[2], &at[3]);
            for (int i = 0; i < 3; ++i) {
                V_VT(&optional[i]) = i + 1 < count ? VT_R4 : VT_ERROR;
                V_R4(&optional[i]) = at[i + 1];
                if (i + 1 >= count) {
                    V_ERROR(&optional[i]) = DISP_E_PARAMNOTFOUND;
                }
            }
            EXPECT_EQ(tool->Move(&at[0], &optional[0], &optional[1], &optional[2]), S_OK);
        } else if (line.member == "IToolTalk_Shutdown") {
            EXPECT_EQ(tool->Shutdown(), S_OK);
        } else if (line.member == "Release") {
            EXPECT_EQ(tool.Detach()->Release(), 0u) << "the host held the last reference";
        } else {
            FAIL() << "host call not replayed: " << line.text;
        }
    });
    tool.Reset();

    std::vector<std::string> asked;
    for (const Line& line : story) {
        if (line.object == "mgr") {
            asked.push_back("mgr." + line.member + line.rest);
        }
    }
    EXPECT_EQ(mgr->lines, asked);
    EXPECT_EQ(host::Counted::HeldElsewhere(), std::vector<std::string>())
        << "the tool kept references to the host's objects";
    mgr->Release();
    EXPECT_EQ(fake.liveObjects(), 0) << "the window left controls referenced";
    CoFreeUnusedLibrariesEx(0, 0);
    EXPECT_EQ(GetModuleHandleW(L"Scenova.dll"), nullptr) << "the lesson kept the server loaded";
}

INSTANTIATE_TEST_SUITE_P(Market, MarketHost,
                         testing::Values("market_play", "market_navigation", "market_links",
                                         "market_stop_play", "market_stepping", "market_toolbar",
                                         "market_hide_show"));

// The GDI objects of this process. Wine's GetGuiResources is a stub that
// says 0 (so USER objects are counted on Windows only), but Wine keeps the
// GDI handle table where Windows does (the PEB's GdiSharedHandleTable):
// 0x4000 entries of 24 bytes, the type at byte 14. A cursor holds a bitmap
// there, so a cursor that is never destroyed shows too.
DWORD GdiObjects() {
    if (const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) {
        return count;
    }
    const auto* peb = reinterpret_cast<const BYTE*>(NtCurrentTeb()->ProcessEnvironmentBlock);
    const BYTE* table =
        *reinterpret_cast<const BYTE* const*>(peb + (sizeof(void*) == 8 ? 0xF8 : 0x94));
    DWORD count = 0;
    for (int i = 0; table != nullptr && i < 0x4000; ++i) {
        count += table[i * 24 + 14] != 0 ? 1 : 0;
    }
    return count;
}

// Lesson after lesson in one host: the GDI and USER objects stay where the
// first few lessons left them.
TEST(MarketLessons, ManyInOneProcessLeaveTheGdiAndUserCountsFlat) {
    FakeControls& fake = LoadedFakeControls();
    fake.reset();
    fake.setVideoDuration(kMarketVideoSeconds);
    HostFrame frame;
    const auto lesson = [&] {
        host::RecordingManager* mgr = MarketManager();
        ComPtr<host::IToolTalk> tool;
        Create(tool, mgr);
        Init(tool.Get(), mgr, frame);
        EXPECT_EQ(tool->Show(), S_OK);
        EXPECT_EQ(tool->Shutdown(), S_OK);
        tool.Reset();
        mgr->Release();
    };
    const auto counts = [] {
        return std::vector<DWORD>{GdiObjects(),
                                  GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)};
    };
    for (int i = 0; i < 3; ++i) {
        lesson();
    }
    const std::vector<DWORD> settled = counts();
    for (int i = 3; i < 200 && !HasFailure(); ++i) {
        lesson();
    }
    EXPECT_EQ(counts(), settled);
    CoFreeUnusedLibrariesEx(0, 0);  // the next tests begin on a fresh module
}

// A demanding host with demanding controls. The host shuts the tool down
// (and releases it) from inside the tool's own events: in a manager call,
// or in one that a yield lets through (the learner presses Forward, the
// slider's change handler yields, a toolbar press waits there). The
// controls do not hold themselves while they raise events and answer their
// members that return a value only as properties with parameters; after a
// manager call they keep their sites until told.
class DemandingHost : public testing::TestWithParam<const char*> {
protected:
    void TearDown() override {
        fake.mode("hold-while-firing", 1);
        fake.mode("results-as-properties", 0);
        fake.mode("keep-sites", 0);
    }
    FakeControls& fake = LoadedFakeControls();
};

TEST_P(DemandingHost, NothingRunsOnTheShutToolAndNothingOfItIsLeft) {
    CoFreeUnusedLibrariesEx(0, 0);
    fake.reset();
    fake.setVideoDuration(kMarketVideoSeconds);
    const std::string place = GetParam();
    const bool yield = place.rfind("yield", 0) == 0;
    fake.mode("hold-while-firing", 0);
    fake.mode("results-as-properties", 1);
    fake.mode("keep-sites", yield ? 0 : 1);
    const long freedUnderEvents = fake.destroyedWhileFiring();
    HostFrame frame;
    host::RecordingManager* mgr = MarketManager();
    ComPtr<host::IToolTalk> tool;
    Create(tool, mgr);
    Init(tool.Get(), mgr, frame);
    ASSERT_EQ(tool->Show(), S_OK);

    bool done = false;
    const std::string inside = yield ? "ToolbarRequest" : place;
    mgr->inside = [&](const std::string& member) {
        if (member == inside && !done) {
            EXPECT_EQ(tool->Shutdown(), S_OK);
            if (place != "yield, shutdown only") {
                tool.Reset();
            }
            done = true;
        }
    };
    if (yield) {
        ASSERT_EQ(fake.post("frmRoseToolbar", "ButtonPress", "Glossary"), 1);
        ASSERT_EQ(fake.raise("frmRose", "ButtonPress", "btnVideoFwd"), 1);
        EXPECT_TRUE(done) << "the toolbar press came after the yield";
    } else {
        const bool navigation = place == "NavigationRequest";
        ASSERT_EQ(fake.raise(navigation ? "frmRoseNavigation" : "frmRoseToolbar", "ButtonPress",
                             navigation                  ? "Next"
                             : place == "ResourceAction" ? "Help"
                                                         : "Glossary"),
                  1);
    }
    PumpUntil([&] { return done; }, 5000);  // a navigation press waits for its timer
    ASSERT_TRUE(done);
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(FindWindowW(L"ScenovaWindow", nullptr), nullptr) << "a window loaded after Shutdown";
    EXPECT_EQ(fake.destroyedWhileFiring(), freedUnderEvents)
        << "a control was freed inside its own event";
    if (tool) {
        EXPECT_EQ(tool->Show(), static_cast<HRESULT>(0x800A005B));
        tool.Reset();
    }
    EXPECT_EQ(host::Counted::HeldElsewhere(), std::vector<std::string>());
    mgr->Release();

    // Controls that still hold their sites keep the server until they let go.
    using CanUnload = HRESULT(STDAPICALLTYPE*)();
    const auto canUnload = reinterpret_cast<CanUnload>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"Scenova.dll"), "DllCanUnloadNow")));
    ASSERT_NE(canUnload, nullptr);
    EXPECT_EQ(canUnload(), yield ? S_OK : S_FALSE);
    fake.releaseKeptSites();
    EXPECT_EQ(fake.liveObjects(), 0);
    EXPECT_EQ(canUnload(), S_OK);
    // So does a lock, once its factory has gone; the server then unloads.
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(host::kCLSID_Scenova, CLSCTX_INPROC_SERVER, nullptr,
                               IID_IClassFactory, &factory),
              S_OK);
    factory->LockServer(TRUE);
    factory.Reset();
    EXPECT_EQ(canUnload(), S_FALSE);
    ASSERT_EQ(CoGetClassObject(host::kCLSID_Scenova, CLSCTX_INPROC_SERVER, nullptr,
                               IID_IClassFactory, &factory),
              S_OK);
    factory->LockServer(FALSE);
    factory.Reset();
    CoFreeUnusedLibrariesEx(0, 0);
    EXPECT_EQ(GetModuleHandleW(L"Scenova.dll"), nullptr) << "something kept the server loaded";
}

INSTANTIATE_TEST_SUITE_P(Inside, DemandingHost,
                         testing::Values("ToolbarRequest", "ResourceAction", "NavigationRequest",
                                         "yield", "yield, shutdown only"));

}  // namespace
