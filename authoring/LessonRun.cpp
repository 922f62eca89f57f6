#include "authoring/LessonRun.h"

#include <memory>
#include <string_view>

#include "headless/HeadlessPlatform.h"
#include "headless/ToolHost.h"
#include "lesson/LessonManager.h"
#include "model/Record.h"
#include "module/Module1.h"
#include "runtime/Convert.h"
#include "tool/CScenova.h"
#include "tool/Diagnostics.h"

namespace scenova::authoring {

namespace {

// The lesson's settings as the tool reads them: every key asked for is
// recorded, and, as the tool's diagnostics, the settings procedures tell
// how each row fares.
class ObservedSettings final : public ICollection, public Diagnostics {
public:
    ObservedSettings(std::shared_ptr<Collection> settings, LessonRun& run)
        : m_settings(std::move(settings)), m_run(run) {}

    int32_t Count() const override { return m_settings->Count(); }
    Variant Item(int32_t index) const override { return m_settings->Item(index); }
    Variant Item(std::string_view key) const override {
        m_lastKey = std::string(key);
        m_run.keysRead.try_emplace(UCase(key), std::string(key));
        return m_settings->Item(key);
    }

    void SettingFailed(std::string_view key, const RuntimeError& error) override {
        // A missing key fails its read, which is how the procedures meet an
        // absent setting, not a fault of a value.
        if (m_settings->Contains(key)) {
            m_run.outcomes[UCase(key)].failures.push_back(error);
        }
    }
    void SettingDefault(std::string_view key, const std::string& value) override {
        m_run.outcomes[UCase(key)].defaultValue = value;
    }
    void SettingFileMissing(std::string_view, const std::string& path) override {
        m_run.missingFiles.push_back(path);
    }
    void SettingNotAColour(std::string_view key) override {
        m_run.outcomes[UCase(key)].notAColour = true;
    }

    const std::string& LastKey() const { return m_lastKey; }
    void ForgetLastKey() { m_lastKey.clear(); }

private:
    std::shared_ptr<Collection> m_settings;
    LessonRun& m_run;
    mutable std::string m_lastKey;
};

// Serves the lesson with the observed settings and keeps what the tool
// reports.
class CheckingManager final : public lesson::LessonManager {
public:
    CheckingManager(std::shared_ptr<ObservedSettings> observed, std::vector<HostReport>* reports)
        : m_observed(std::move(observed)), m_reports(reports) {}

    std::shared_ptr<ICollection> GetSettings(CScenova&) override { return m_observed; }
    void ReportError(CScenova&, int32_t code, const std::string& text) override {
        if (m_reports != nullptr) {
            m_reports->push_back({code, text, m_observed->LastKey()});
        }
    }

private:
    std::shared_ptr<ObservedSettings> m_observed;
    std::vector<HostReport>* m_reports;
};

// The headless platform on which every file looked for is there: the
// settings procedures then read every key they would read for this lesson
// once its files are in place.
class EveryFileThere final : public Platform {
public:
    explicit EveryFileThere(headless::HeadlessPlatform& base) : m_base(base), m_toolkit(base) {}

    IUser32& user32() override { return m_base.user32(); }
    IGdi32& gdi32() override { return m_base.gdi32(); }
    IOlePro32& olepro32() override { return m_base.olepro32(); }
    IScreen& screen() override { return m_base.screen(); }
    IToolkit& toolkit() override { return m_toolkit; }

private:
    class Toolkit final : public IToolkit {
    public:
        explicit Toolkit(headless::HeadlessPlatform& base) : m_base(base) {}
        PresentationWindow LoadPresentationWindow(FormEvents events) override {
            return m_base.toolkit().LoadPresentationWindow(std::move(events));
        }
        void DoEvents() override { m_base.toolkit().DoEvents(); }
        Picture LoadPicture(const std::string& path) override {
            return m_base.toolkit().LoadPicture(path);
        }
        bool FindOrdinaryFile(const std::string&) override { return true; }

    private:
        headless::HeadlessPlatform& m_base;
    };

    headless::HeadlessPlatform& m_base;
    Toolkit m_toolkit;
};

// A file the tool handed over, from the record of its call (each of these
// members is one kind of object's only).
void TakeFileUse(const model::Record& record, std::vector<FileUse>& files) {
    using model::Member;
    const auto* text = std::get_if<std::string_view>(&record.Arg(0));
    if (record.kind != model::Record::Kind::Call || text == nullptr) {
        return;
    }
    const std::string path(*text);
    if (record.member == Member::LoadPicture) {
        files.push_back({FileKind::Picture, path, {}, {}});
    } else if (record.member == Member::LoadCursorFromFileA) {
        files.push_back({FileKind::Cursor, path, {}, {}});
    } else if (record.member == Member::LoadScript) {
        files.push_back({FileKind::BarScript, path, {}, {}});
    } else if (record.member == Member::OpenMovie) {
        files.push_back({FileKind::Movie, path, {}, {}});
    }
}

// The pictures the bars were given, each in the bar's image folder, as the
// bar read them from its buttons' descriptors.
void TakeButtonPictures(const model::ButtonBar& bar, std::vector<FileUse>& files) {
    for (const auto& button : bar.Buttons()) {
        if (!button.picture.empty()) {
            files.push_back({FileKind::Picture, bar.ImageFolder() + "/" + button.picture,
                             button.script, button.name});
        }
    }
}

// The keys read when every file is there.
void ReadKeysWithEveryFile(const lesson::Lesson& lesson, LessonRun& run) {
    Module1::Get().Reset();
    headless::HeadlessPlatform base;
    EveryFileThere platform(base);
    auto observed = std::make_shared<ObservedSettings>(lesson.settings, run);
    auto manager = std::make_shared<CheckingManager>(observed, nullptr);
    manager->Serve(lesson);
    auto tool = std::make_unique<CScenova>(platform);
    try {
        std::string id = "scenova";
        tool->IToolTalk_Init(manager, id, base.HostMainWindow());
    } catch (const RuntimeError&) {
    }
    tool.reset();
    Module1::Get().Reset();
}

}  // namespace

LessonRun RunLesson(const lesson::Lesson& lesson) {
    LessonRun run;
    ReadKeysWithEveryFile(lesson, run);

    Module1& module = Module1::Get();
    module.Reset();
    headless::HeadlessPlatform platform;
    const int files = platform.GetTrace().Subscribe(
        [&run](const model::Record& record) { TakeFileUse(record, run.files); });
    auto observed = std::make_shared<ObservedSettings>(lesson.settings, run);
    auto manager = std::make_shared<CheckingManager>(observed, &run.reports);
    manager->Serve(lesson);
    manager->onResourceAction = [&run](const std::string&, int32_t, std::string* value) {
        if (value != nullptr && !value->empty()) {
            run.resources.push_back(*value);
        }
    };
    headless::ToolHost host(platform, manager);
    host.Create();
    host.Tool().SetDiagnostics(*observed);
    const headless::HostResult init = host.Init("scenova");
    platform.ProcessPending();
    run.initResult = !init.Failed() && init.value == Variant(true);
    observed->ForgetLastKey();

    const headless::HeadlessWindow& window = platform.Window();
    if (window.movOrvMovie) {
        run.unitsPerSecond = window.movOrvMovie->UnitsPerSecond();
    }
    run.cultureTipChar = module.g_strCultureTipChar;
    for (const std::string* resource :
         {&module.g_strHelp, &module.g_strCultureTip, &module.g_strLearningStrategy}) {
        if (!resource->empty()) {
            run.resources.push_back(*resource);
        }
    }
    for (const auto& bar : {window.frmRose, window.frmRoseNavigation, window.frmRoseToolbar}) {
        if (bar) {
            TakeButtonPictures(*bar, run.files);
        }
    }

    const headless::HostResult startup = host.Startup();
    platform.ProcessPending();
    if (startup.Failed()) {
        run.startupError = startup.error;
    }
    run.cues = module.g_Cues;
    run.blocks = module.g_Blocks;
    run.mostSignals = headless::Video::kMaxSignalTimes;
    const auto shown = [](const auto& control) {
        return control && control->Visible() && control->Width() > 0 && control->Height() > 0;
    };
    const auto offered = [&](const char* button) {
        return window.frmRose && window.frmRose->HasButton(button) &&
               window.frmRose->StateOf(button) != controls::button_state::Hidden;
    };
    run.playButton = offered("btnVideoPlay");
    run.videoShown = shown(window.movOrvMovie);
    run.transcriptShown = shown(window.rtfText);
    run.transcriptButton = offered("btnTextOn");
    if (window.frmRose && !window.frmRose->Labels().empty()) {
        run.title = window.frmRose->Labels().front().caption;
    }
    const auto& form = window.form;
    const auto& video = window.movOrvMovie;
    if (form && run.videoShown && video->IsOpen() && video->CurrentPosition() == 0.0) {
        const auto x = [&](float twips) { return double{form->TwipsToPixelsX(twips)}; };
        const auto y = [&](float twips) { return double{form->TwipsToPixelsY(twips)}; };
        const int32_t back = form->BackColor();
        run.firstView = FirstView{
            .width = x(form->Width()),
            .height = y(form->Height()),
            .backColour = back >= 0 && back <= 0xFFFFFF ? std::optional(back) : std::nullopt,
            .videoLeft = x(video->Left()),
            .videoTop = y(video->Top()),
            .videoWidth = x(video->Width()),
            .videoHeight = y(video->Height()),
            .movie = video->MoviePath(),
        };
    }

    platform.GetTrace().Unsubscribe(files);
    host.Shutdown();
    platform.ProcessPending();
    host.Release();
    module.Reset();
    return run;
}

}  // namespace scenova::authoring
