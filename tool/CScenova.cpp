#include "tool/CScenova.h"

#include <array>
#include <utility>

#include "module/Module1.h"
#include "platform/Win32Constants.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"

namespace scenova {

namespace {

struct ResourceButton {
    const char* name;
    std::string Module1::*value;
};

// The toolbar's resource buttons and the lesson strings they open.
constexpr std::array<ResourceButton, 3> kResourceButtons{{
    {"Help", &Module1::g_strHelp},
    {"Culture Tips", &Module1::g_strCultureTip},
    {"Learning Strategies", &Module1::g_strLearningStrategy},
}};

}  // namespace

CScenova::CScenova(Platform& platform, std::function<std::shared_ptr<void>()> hold)
    : m_platform(platform) {
    static Diagnostics nobody;
    m_diagnostics = &nobody;
    m_MyForm = std::make_unique<frmScenova>(
        platform,
        frmScenovaEvents{
            .NavigationClicked =
                [this](const std::string& name) { m_MyForm_NavigationClicked(name); },
            .ToolbarClicked = [this](const std::string& name) { m_MyForm_ToolbarClicked(name); },
            .Hold = std::move(hold),
        });
    m_colButtonInfo = std::make_shared<Collection>();
    Module1::Get().g_colButtonInfo = m_colButtonInfo;
}

CScenova::~CScenova() {
    m_Mgr.reset();
    m_MyForm.reset();
    m_colScript.reset();
    m_objPictureClip.reset();
    const int32_t count = m_colButtonInfo->Count();
    for (int32_t i = 0; i < count; ++i) {
        m_colButtonInfo->Remove(1);
    }
    auto& current = Module1::Get().g_colButtonInfo;
    if (current == m_colButtonInfo) {
        current.reset();
    }
}

IManager& CScenova::Mgr() {
    RequireRunning();
    if (!m_Mgr) {
        Raise(err::NoObject);
    }
    return *m_Mgr;
}

void CScenova::RequireRunning() const {
    if (m_blnShutDown) {
        Raise(err::NoObject, "the tool has shut down");
    }
}

void CScenova::ProcessMessages() {
    m_platform.toolkit().DoEvents();
    RequireRunning();
}

bool CScenova::IToolTalk_Init(std::shared_ptr<IManager> Mgr, std::string& ToolID,
                              int32_t ParentHwnd) {
    RequireRunning();
    try {
        m_Mgr = std::move(Mgr);
        m_strToolID = ToolID;
        m_colScript = this->Mgr().GetScript(*this);

        IUser32& user32 = m_platform.user32();
        const int32_t mdiClient = user32.FindWindowExA(ParentHwnd, 0, "MDIClient", "");
        user32.SetParent(m_MyForm->hWnd(), mdiClient);
        const int32_t style = user32.GetWindowLongA(m_MyForm->hWnd(), win::GWL_STYLE);
        user32.SetWindowLongA(m_MyForm->hWnd(), win::GWL_STYLE, style | win::WS_CHILD);
        const int32_t exStyle = user32.GetWindowLongA(m_MyForm->hWnd(), win::GWL_EXSTYLE);
        user32.SetWindowLongA(m_MyForm->hWnd(), win::GWL_EXSTYLE,
                              (exStyle & ~win::WS_EX_APPWINDOW) | win::WS_EX_MDICHILD);

        if (!LoadSettings()) {
            this->Mgr().ReportError(*this, report::NoSettings, "");
        }
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

void CScenova::IToolTalk_Startup() {
    RequireRunning();
    if (!m_blnScriptParsed) {
        if (!m_colScript) {
            Raise(err::NoObject);
        }
        ParseScript(*m_colScript);
        m_blnScriptParsed = true;
    }
    IToolTalk_Show();
}

void CScenova::IToolTalk_Shutdown() {
    RequireRunning();
    // Shut down from here on, whatever fails below: a later call must not
    // load the window again behind the host's back.
    m_blnShutDown = true;
    m_MyForm->Close();
    if (!m_Mgr) {
        Raise(err::NoObject);
    }
    m_Mgr->ToolShutdown(*this);
}

void CScenova::IToolTalk_Show() {
    RequireRunning();
    if (!m_blnScriptParsed) {
        IToolTalk_Startup();
        return;
    }
    Module1& module = Module1::Get();
    for (const ResourceButton& button : kResourceButtons) {
        std::string buttonId = button.name;
        std::string& value = module.*button.value;
        if (!value.empty()) {
            int32_t action = resource::Update;
            Mgr().ResourceAction(buttonId, action, &value);
        } else {
            int32_t action = resource::Close;
            Mgr().ResourceAction(buttonId, action, nullptr);
        }
    }
    m_MyForm->Start();
}

void CScenova::IToolTalk_Hide() {
    RequireRunning();
    std::string buttonId = "Learning Strategies";
    int32_t action = resource::Close;
    Mgr().ResourceAction(buttonId, action, nullptr);
    m_MyForm->Visible(false);
}

void CScenova::IToolTalk_Move(float& Left, const std::optional<Variant>& Top,
                              const std::optional<Variant>& Width,
                              const std::optional<Variant>& Height) {
    RequireRunning();
    const float top = Top ? ToSingle(*Top) : m_MyForm->Top();
    const float width = Width ? ToSingle(*Width) : m_MyForm->Width();
    const float height = Height ? ToSingle(*Height) : m_MyForm->Height();
    m_MyForm->Move(Left, top, width, height);
}

// Enabling single buttons from the host is not supported.
void CScenova::IToolTalk_NavEnabled(std::string& /*Name*/, bool /*RHS*/) {
    RequireRunning();
}
bool CScenova::IToolTalk_NavEnabled(std::string& /*Name*/) {
    RequireRunning();
    return false;
}
void CScenova::IToolTalk_ToolbarEnabled(std::string& /*Name*/, bool /*RHS*/) {
    RequireRunning();
}
bool CScenova::IToolTalk_ToolbarEnabled(std::string& /*Name*/) {
    RequireRunning();
    return false;
}

std::string CScenova::IToolTalk_ID() {
    RequireRunning();
    return m_strToolID;
}

float CScenova::IToolTalk_Left() {
    RequireRunning();
    return m_MyForm->Left();
}
void CScenova::IToolTalk_Left(float RHS) {
    RequireRunning();
    m_MyForm->Left(RHS);
}
float CScenova::IToolTalk_Top() {
    RequireRunning();
    return m_MyForm->Top();
}
void CScenova::IToolTalk_Top(float RHS) {
    RequireRunning();
    m_MyForm->Top(RHS);
}
float CScenova::IToolTalk_Width() {
    RequireRunning();
    return m_MyForm->Width();
}
void CScenova::IToolTalk_Width(float RHS) {
    RequireRunning();
    m_MyForm->Width(RHS);
}
float CScenova::IToolTalk_Height() {
    RequireRunning();
    return m_MyForm->Height();
}
void CScenova::IToolTalk_Height(float RHS) {
    RequireRunning();
    m_MyForm->Height(RHS);
}

void CScenova::m_MyForm_NavigationClicked(const std::string& strName) {
    Mgr().NavigationRequest(*this, strName);
}

void CScenova::m_MyForm_ToolbarClicked(const std::string& strName) {
    const std::string upper = UCase(strName);
    Module1& module = Module1::Get();
    for (const ResourceButton& button : kResourceButtons) {
        if (upper == UCase(button.name)) {
            std::string buttonId = strName;
            int32_t action = resource::Open;
            Mgr().ResourceAction(buttonId, action, &(module.*button.value));
            return;
        }
    }
    Mgr().ToolbarRequest(*this, strName);
}

}  // namespace scenova
