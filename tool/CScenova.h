#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "runtime/Collection.h"
#include "runtime/Variant.h"
#include "tool/Diagnostics.h"
#include "tool/Manager.h"
#include "window/frmScenova.h"

namespace scenova {

class CPictureClip;

// The lesson tool the host creates and drives through IToolTalk. It owns the
// presentation window and passes the window's button events to the host's
// manager. Members run on the host's user-interface thread; a member that
// fails raises a RuntimeError, which the platform layer hands to the host as
// the member's failure. After IToolTalk_Shutdown every member fails with 91
// and nothing loads the window again.
class CScenova {
public:
    // Class_Initialize. `hold` keeps the object that owns the tool (the
    // platform's COM object, the host's reference) alive while one of the
    // window's event handlers runs, since the host may release the tool from
    // inside one; none when the owner outlives every event anyway.
    explicit CScenova(Platform& platform, std::function<std::shared_ptr<void>()> hold = {});
    // Class_Terminate.
    ~CScenova();
    CScenova(const CScenova&) = delete;
    CScenova& operator=(const CScenova&) = delete;

    // IToolTalk, in the order of the interface.
    bool IToolTalk_Init(std::shared_ptr<IManager> Mgr, std::string& ToolID, int32_t ParentHwnd);
    void IToolTalk_Startup();
    void IToolTalk_Shutdown();
    void IToolTalk_Show();
    void IToolTalk_Hide();
    void IToolTalk_Move(float& Left, const std::optional<Variant>& Top = std::nullopt,
                        const std::optional<Variant>& Width = std::nullopt,
                        const std::optional<Variant>& Height = std::nullopt);
    void IToolTalk_NavEnabled(std::string& Name, bool RHS);
    bool IToolTalk_NavEnabled(std::string& Name);
    void IToolTalk_ToolbarEnabled(std::string& Name, bool RHS);
    bool IToolTalk_ToolbarEnabled(std::string& Name);
    std::string IToolTalk_ID();
    float IToolTalk_Left();
    void IToolTalk_Left(float RHS);
    float IToolTalk_Top();
    void IToolTalk_Top(float RHS);
    float IToolTalk_Width();
    void IToolTalk_Width(float RHS);
    float IToolTalk_Height();
    void IToolTalk_Height(float RHS);

    // For the platform layer and tests: the window the tool owns.
    frmScenova& Window() { return *m_MyForm; }

    // The sink the settings procedures and the script parser tell what they
    // make of the lesson; it must outlive the tool or be replaced first.
    void SetDiagnostics(Diagnostics& diagnostics) { m_diagnostics = &diagnostics; }

    // The transcript settings the tool keeps for the script parser.
    struct TranscriptSettings {
        bool m_blnUseSeperator = false;
        std::string m_strTextFontColor;
        std::string m_strActorFontColor;
    };
    const TranscriptSettings& Transcript() const { return m_transcript; }

private:
    // The benchmarks time the steps of the start-up one by one.
    friend struct StartupSteps;

    void m_MyForm_NavigationClicked(const std::string& strName);
    void m_MyForm_ToolbarClicked(const std::string& strName);

    IManager& Mgr();
    // Raises 91 once the tool has shut down.
    void RequireRunning() const;
    // Lets the waiting messages through; raises 91 when the host shut the
    // tool down in one of them.
    void ProcessMessages();

    // Settings (settings/): the bootstrap and its four apply steps.
    bool LoadSettings();
    void ApplyLayoutSettings(ICollection& settings);
    void ApplyTransportButtonSettings(ICollection& settings);
    void ApplyBackdropSettings(ICollection& settings);
    void ApplyNavigationSettings(ICollection& settings);
    void ApplyToolbarSettings(ICollection& settings);
    void ApplyBarSettings(ICollection& settings, controls::IButtonBar& bar,
                          std::string_view keyPrefix);

    // The lesson script (script/).
    void ParseScript(ICollection& Script);
    // The loop over the script lines: fills the cue tables and carries out
    // the resource commands. False when the parse ends there; otherwise
    // videoName holds the video the script named.
    bool ReadScript(ICollection& Script, std::string& videoName);
    void LocateTranscriptLines();
    void RegisterCueTimes();
    void SetSliderRange();

    Platform& m_platform;
    std::unique_ptr<frmScenova> m_MyForm;
    std::shared_ptr<IManager> m_Mgr;
    std::string m_strToolID;
    bool m_blnScriptParsed = false;
    bool m_blnShutDown = false;
    std::shared_ptr<ICollection> m_colScript;
    std::shared_ptr<CPictureClip> m_objPictureClip;
    // The button collection this tool made for the module. A later tool
    // replaces the module's with its own, and this one's teardown, which a
    // host's event may defer past that, must leave the newer one alone.
    std::shared_ptr<Collection> m_colButtonInfo;
    TranscriptSettings m_transcript;
    Diagnostics* m_diagnostics;
};

}  // namespace scenova
