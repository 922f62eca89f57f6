// Test stand-ins for the four hosted controls, in one in-process server. Each
// coclass is one control kind; the work is done by the headless controls
// (and a clock-driven video), so every call the container makes is recorded
// in the headless trace format under the control's ambient DisplayName.
// Arguments are checked strictly against the types the controls declare: a
// container that passes a Long for an Integer gets DISP_E_TYPEMISMATCH.

#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "FakeVideo.h"
#include "headless/Context.h"
#include "headless/EventLoop.h"
#include "headless/Trace.h"
#include "model/ButtonBar.h"
#include "model/RichText.h"
#include "model/Slider.h"
#include "runtime/RuntimeError.h"

namespace scenova::fake {
namespace {

HMODULE g_module = nullptr;
LONG g_objects = 0;
LONG g_locks = 0;

struct World {
    headless::EventLoop loop;
    headless::Trace trace{loop};
    headless::Context ctx{loop, trace};
    double videoDuration = 0.0;
    std::string refuseEvents;  // the control of this name takes no event sink
    // How demanding the controls are (FakeControls_Mode): whether a control
    // holds itself while it raises an event, whether it lets go of its site
    // only when told (FakeControls_ReleaseKeptSites), whether its members
    // that return a value answer only as properties with parameters, whether
    // a call during which it raised an event fails once the event returned.
    bool holdWhileFiring = true;
    bool keepSites = false;
    bool resultsAsProperties = false;
    bool failAfterEvents = false;
    long eventsRaised = 0;
    std::vector<IOleClientSite*> keptSites;
    // Controls raising an event now, and how many were destroyed inside one.
    std::multiset<const void*> firing;
    long destroyedWhileFiring = 0;
};
World& TheWorld() {
    static World world;
    return world;
}

enum class Kind { Rose, OrvVideo, AVSlider, RivetText };

struct KindInfo {
    Kind kind;
    const wchar_t* progId;
    CLSID clsid;
    IID events;
};

// ProgIDs: the defaults the component creates its controls by.
const KindInfo kKinds[] = {
    {Kind::Rose,
     L"Rose.RoseBar.1",
     {0x4767FDB2, 0x6E9C, 0x442E, {0x86, 0xF5, 0xDE, 0x05, 0x17, 0x8D, 0xCF, 0x53}},
     {0x0A2D0FCD, 0x0B21, 0x4D01, {0x80, 0x06, 0xC9, 0xE3, 0x74, 0x8D, 0xA2, 0x82}}},
    {Kind::OrvVideo,
     L"OrvVideo.OrvVideoCtrl.1",
     {0x04AF5F96, 0xD992, 0x4BD8, {0x8E, 0xDA, 0x8E, 0x80, 0xF3, 0x0F, 0x14, 0xE4}},
     {0xB58E3F52, 0x41B8, 0x4434, {0xB9, 0x4C, 0xA3, 0xE8, 0x00, 0x4C, 0xD3, 0xB6}}},
    {Kind::AVSlider,
     L"AVSlider.AVSliderCtrl.1",
     {0x20876A29, 0x5B3E, 0x45DB, {0xB0, 0x9F, 0xB4, 0x3C, 0xCB, 0x28, 0x26, 0xF8}},
     {0xC6827238, 0x2285, 0x4064, {0xAB, 0x45, 0x06, 0xDA, 0x72, 0x0C, 0xBB, 0xD8}}},
    {Kind::RivetText,
     L"RivetText.RivetTextCtrl.1",
     {0x09A56452, 0xCE17, 0x4CBA, {0x81, 0xCD, 0xA9, 0x3C, 0xF7, 0x36, 0x63, 0x20}},
     {0xAFC0A389, 0xCD14, 0x47F4, {0x83, 0xF1, 0x94, 0x34, 0xAE, 0x1B, 0xE4, 0x98}}},
};

std::string Narrow(const wchar_t* text, std::size_t length) {
    if (length == 0) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(), size, nullptr,
                        nullptr);
    return out;
}
std::string FromBstr(BSTR text) {
    return text == nullptr ? std::string() : Narrow(text, SysStringLen(text));
}
BSTR ToBstr(const std::string& text) {
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(size));
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out, size);
    return out;
}

// A picture handed in by the container, seen by the headless controls.
class PictureOf final : public IPicture {
public:
    explicit PictureOf(::IPicture* picture) : m_picture(picture) {}
    ~PictureOf() override { m_picture->Release(); }
    int32_t Handle() const override {
        OLE_HANDLE handle = 0;
        m_picture->get_Handle(&handle);
        return static_cast<int32_t>(handle);
    }
    int32_t Width() const override { return Size().bmWidth; }
    int32_t Height() const override { return Size().bmHeight; }

private:
    BITMAP Size() const {
        BITMAP bitmap{};
        GetObjectW(
            reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(static_cast<uint32_t>(Handle()))),
            sizeof bitmap, &bitmap);
        return bitmap;
    }
    ::IPicture* m_picture;
};

Picture ToPicture(IDispatch* dispatch) {
    ::IPicture* picture = nullptr;
    if (dispatch == nullptr ||
        FAILED(dispatch->QueryInterface(IID_IPicture, reinterpret_cast<void**>(&picture)))) {
        return nullptr;
    }
    return std::make_shared<PictureOf>(picture);
}

Variant ToVariant(const VARIANT& v) {
    switch (v.vt) {
        case VT_BOOL:
            return v.boolVal != VARIANT_FALSE;
        case VT_I2:
            return static_cast<int16_t>(v.iVal);
        case VT_I4:
            return static_cast<int32_t>(v.lVal);
        case VT_R4:
            return v.fltVal;
        case VT_R8:
            return v.dblVal;
        case VT_BSTR:
            return FromBstr(v.bstrVal);
        default:
            return {};
    }
}

constexpr VARTYPE kAny = VT_VARIANT;

// One member of a control's dispatch interface. Arguments come in call order.
struct Member {
    std::wstring name;
    VARTYPE putType = VT_EMPTY;  // VT_EMPTY: no property put
    std::function<void(VARIANT&)> put{};
    bool putRef = false;
    std::function<void(VARIANT& result)> get{};
    std::vector<VARTYPE> params{};  // of the method
    std::function<void(VARIANT* args, VARIANT& result)> call{};
    bool returns = false;  // the method has a result
};

// QueryInterface of an object with one interface besides IUnknown.
HRESULT QueryOne(IUnknown* self, REFIID riid, REFIID iid, void** out) {
    *out = riid == IID_IUnknown || riid == iid ? self : nullptr;
    if (*out == nullptr) {
        return E_NOINTERFACE;
    }
    self->AddRef();
    return S_OK;
}

class FakeControl;
std::map<std::string, FakeControl*>& ByName() {
    static std::map<std::string, FakeControl*> controls;
    return controls;
}

class FakeControl final : public IDispatch,
                          public IOleObject,
                          public IOleInPlaceObject,
                          public IConnectionPointContainer,
                          public IProvideClassInfo {
public:
    explicit FakeControl(const KindInfo& kind) : m_kind(kind) { InterlockedIncrement(&g_objects); }
    ~FakeControl() {
        if (TheWorld().firing.count(this) != 0) {
            ++TheWorld().destroyedWhileFiring;
        }
        Drop();
        InterlockedDecrement(&g_objects);
    }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
        } else if (riid == IID_IOleObject) {
            *out = static_cast<IOleObject*>(this);
        } else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceObject) {
            *out = static_cast<IOleInPlaceObject*>(this);
        } else if (riid == IID_IConnectionPointContainer) {
            *out = static_cast<IConnectionPointContainer*>(this);
        } else if (riid == IID_IProvideClassInfo) {
            *out = static_cast<IProvideClassInfo*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --m_refs;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (count != 1) {
            return DISP_E_UNKNOWNNAME;
        }
        for (std::size_t i = 0; i < m_members.size(); ++i) {
            if (_wcsicmp(m_members[i].name.c_str(), names[0]) == 0) {
                ids[0] = static_cast<DISPID>(i + 1);
                return S_OK;
            }
        }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* info, UINT* badArgument) override {
        if (id < 1 || static_cast<std::size_t>(id) > m_members.size() || params == nullptr) {
            return DISP_E_MEMBERNOTFOUND;
        }
        const Member& member = m_members[static_cast<std::size_t>(id - 1)];
        const long events = TheWorld().eventsRaised;
        AddRef();  // a handler of an event raised in here may release us
        const HRESULT hr = Run(member, flags, *params, result, info, badArgument);
        Release();
        if (SUCCEEDED(hr) && TheWorld().failAfterEvents && TheWorld().eventsRaised != events) {
            if (info != nullptr) {
                *info = EXCEPINFO{};
                info->scode = E_FAIL;
            }
            return DISP_E_EXCEPTION;
        }
        return hr;
    }

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override {
        if (site == nullptr) {
            ReleaseSite();
            return S_OK;
        }
        if (m_site != nullptr) {
            return E_UNEXPECTED;
        }
        m_site = site;
        m_site->AddRef();
        return Build();
    }
    STDMETHODIMP GetClientSite(IOleClientSite** site) override {
        *site = m_site;
        if (m_site != nullptr) {
            m_site->AddRef();
        }
        return S_OK;
    }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD) override {
        Drop();
        return S_OK;
    }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT rect) override {
        if (m_window == nullptr) {
            return E_UNEXPECTED;
        }
        if (verb == OLEIVERB_HIDE) {
            ShowWindow(m_window, SW_HIDE);
            return S_OK;
        }
        if (rect != nullptr) {
            SetObjectRects(rect, rect);
        }
        ShowWindow(m_window, SW_SHOWNA);
        return S_OK;
    }
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* clsid) override {
        *clsid = m_kind.clsid;
        return S_OK;
    }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return OLE_S_USEREG; }
    STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return S_OK; }
    STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override {
        *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE;
        return S_OK;
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* window) override {
        *window = m_window;
        return m_window != nullptr ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT) override {
        if (m_window != nullptr && position != nullptr) {
            MoveWindow(m_window, position->left, position->top, position->right - position->left,
                       position->bottom - position->top, FALSE);
        }
        return S_OK;
    }
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

    // IConnectionPointContainer: one point, for the events.
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** point) override {
        if (riid != m_kind.events) {
            *point = nullptr;
            return CONNECT_E_NOCONNECTION;
        }
        *point = &m_point;
        AddRef();
        return S_OK;
    }
    // IProvideClassInfo
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override {
        *info = nullptr;
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(g_module, path, MAX_PATH);
        ITypeLib* library = nullptr;
        HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, &library);
        if (FAILED(hr)) {
            return hr;
        }
        hr = library->GetTypeInfoOfGuid(m_kind.clsid, info);
        library->Release();
        return hr;
    }

    // The simulated user or player: raises an event by name. Returns 1 when
    // raised, 0 when the control could not be reached, -1 when unknown.
    int Raise(const std::string& event, const std::vector<std::string>& args);
    // The same, later: when the thread's message loop comes to it, as a
    // player's own events arrive.
    int Post(std::string event, std::vector<std::string> args) {
        if (m_window == nullptr) {
            return 0;
        }
        m_posted.emplace_back(std::move(event), std::move(args));
        return PostMessageW(m_window, kPostedEvent, 0, 0) ? 1 : 0;
    }
    static constexpr UINT kPostedEvent = WM_APP + 1;

    // The one connection point, for the events; it lives and counts with
    // the control.
    class Point final : public IConnectionPoint {
    public:
        explicit Point(FakeControl& owner) : m_owner(owner) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
            return QueryOne(this, riid, IID_IConnectionPoint, out);
        }
        STDMETHODIMP_(ULONG) AddRef() override { return m_owner.AddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return m_owner.Release(); }
        STDMETHODIMP GetConnectionInterface(IID* iid) override {
            *iid = m_owner.m_kind.events;
            return S_OK;
        }
        STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override {
            *container = static_cast<IConnectionPointContainer*>(&m_owner);
            AddRef();
            return S_OK;
        }
        STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override {
            // A sink must refuse a null out-pointer rather than write through it.
            if (sink != nullptr && sink->QueryInterface(IID_IUnknown, nullptr) != E_POINTER) {
                return CONNECT_E_CANNOTCONNECT;
            }
            IDispatch* dispatch = nullptr;
            const std::string& refused = TheWorld().refuseEvents;
            if (sink == nullptr || (!refused.empty() && m_owner.m_name == refused) ||
                FAILED(sink->QueryInterface(m_owner.m_kind.events,
                                            reinterpret_cast<void**>(&dispatch)))) {
                return CONNECT_E_CANNOTCONNECT;
            }
            *cookie = ++m_owner.m_lastCookie;
            m_owner.m_sinks[*cookie] = dispatch;
            return S_OK;
        }
        STDMETHODIMP Unadvise(DWORD cookie) override {
            auto it = m_owner.m_sinks.find(cookie);
            if (it == m_owner.m_sinks.end()) {
                return CONNECT_E_NOCONNECTION;
            }
            IDispatch* sink = it->second;
            m_owner.m_sinks.erase(it);
            sink->Release();
            return S_OK;
        }
        STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    private:
        FakeControl& m_owner;
    };

    HRESULT Build();
    void Drop();
    void ReleaseSite() {
        if (m_site == nullptr) {
            return;
        }
        if (TheWorld().keepSites) {
            TheWorld().keptSites.push_back(std::exchange(m_site, nullptr));
        } else {
            std::exchange(m_site, nullptr)->Release();
        }
    }
    static const wchar_t* RegisterWindowClass();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HRESULT Run(const Member& member, WORD flags, DISPPARAMS& params, VARIANT* result,
                EXCEPINFO* info, UINT* badArgument);
    void Fire(DISPID id, std::vector<VARIANT> args);

    void AddMembers();
    void Prop(const wchar_t* name, VARTYPE type, std::function<void(VARIANT&)> put) {
        m_members.push_back({.name = name, .putType = type, .put = std::move(put)});
    }
    void Read(const wchar_t* name, std::function<void(VARIANT&)> get) {
        m_members.push_back({.name = name, .get = std::move(get)});
    }
    void Method(const wchar_t* name, std::vector<VARTYPE> params,
                std::function<void(VARIANT*, VARIANT&)> call, bool returns = false) {
        m_members.push_back({.name = name,
                             .params = std::move(params),
                             .call = std::move(call),
                             .returns = returns});
    }
    Member& Last() { return m_members.back(); }

    const KindInfo& m_kind;
    ULONG m_refs = 1;
    IOleClientSite* m_site = nullptr;
    HWND m_window = nullptr;
    std::string m_name;
    std::map<DWORD, IDispatch*> m_sinks;
    DWORD m_lastCookie = 0;
    std::vector<Member> m_members;
    std::shared_ptr<model::ButtonBar> m_bar;
    std::shared_ptr<FakeVideo> m_video;
    std::shared_ptr<model::Slider> m_slider;
    std::shared_ptr<model::RichText> m_text;
    Point m_point{*this};
    controls::IContainedControl* m_contained = nullptr;
    std::deque<std::pair<std::string, std::vector<std::string>>> m_posted;
};

// The control learns its place, visibility and state from its window, as a
// windowed control does: the container moves, shows and enables the window.
const wchar_t* FakeControl::RegisterWindowClass() {
    static const wchar_t* const name = [] {
        WNDCLASSW cls{};
        cls.lpfnWndProc = &FakeControl::WindowProc;
        cls.hInstance = g_module;
        cls.lpszClassName = L"ScenovaFakeControl";
        RegisterClassW(&cls);
        return cls.lpszClassName;
    }();
    return name;
}

LRESULT CALLBACK FakeControl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FakeControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && self->m_contained != nullptr) {
        controls::IContainedControl& control = *self->m_contained;
        switch (message) {
            case WM_WINDOWPOSCHANGED: {
                RECT rect{};
                GetWindowRect(window, &rect);
                MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
                HDC screen = GetDC(nullptr);
                const float twipsX =
                    1440.0f / static_cast<float>(GetDeviceCaps(screen, LOGPIXELSX));
                const float twipsY =
                    1440.0f / static_cast<float>(GetDeviceCaps(screen, LOGPIXELSY));
                ReleaseDC(nullptr, screen);
                control.Left(static_cast<float>(rect.left) * twipsX);
                control.Top(static_cast<float>(rect.top) * twipsY);
                control.Width(static_cast<float>(rect.right - rect.left) * twipsX);
                control.Height(static_cast<float>(rect.bottom - rect.top) * twipsY);
                break;
            }
            case WM_SHOWWINDOW:
                if (lParam == 0) {  // its own, not its parent's
                    control.Visible(wParam != FALSE);
                }
                break;
            case WM_ENABLE:
                control.Enabled(wParam != FALSE);
                break;
            case kPostedEvent:
                if (!self->m_posted.empty()) {
                    auto [event, args] = std::move(self->m_posted.front());
                    self->m_posted.pop_front();
                    const bool hold = TheWorld().holdWhileFiring;
                    if (hold) {
                        self->AddRef();
                    }
                    self->Raise(event, args);
                    if (hold) {
                        self->Release();
                    }
                }
                return 0;
            default:
                break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HRESULT FakeControl::Build() {
    // The name the container knows the control by.
    IDispatch* ambient = nullptr;
    if (FAILED(m_site->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&ambient)))) {
        return E_FAIL;
    }
    DISPPARAMS none{};
    VARIANT name;
    VariantInit(&name);
    const HRESULT hr = ambient->Invoke(DISPID_AMBIENT_DISPLAYNAME, IID_NULL, 0,
                                       DISPATCH_PROPERTYGET, &none, &name, nullptr, nullptr);
    ambient->Release();
    if (FAILED(hr) || name.vt != VT_BSTR) {
        VariantClear(&name);
        return E_FAIL;
    }
    m_name = FromBstr(name.bstrVal);
    VariantClear(&name);
    IOleInPlaceSite* inPlace = nullptr;
    HWND parent = nullptr;
    if (SUCCEEDED(
            m_site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace)))) {
        inPlace->GetWindow(&parent);
        inPlace->Release();
    }
    m_window = CreateWindowExW(0, RegisterWindowClass(), L"", WS_CHILD, 0, 0, 0, 0, parent, nullptr,
                               g_module, nullptr);
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    headless::Context& ctx = TheWorld().ctx;
    switch (m_kind.kind) {
        case Kind::Rose:
            m_bar = std::make_shared<model::ButtonBar>(ctx, m_name);
            break;
        case Kind::OrvVideo:
            m_video = std::make_shared<FakeVideo>(ctx, m_name, TheWorld().videoDuration);
            break;
        case Kind::AVSlider:
            m_slider = std::make_shared<model::Slider>(ctx, m_name);
            break;
        case Kind::RivetText:
            m_text = std::make_shared<model::RichText>(
                ctx, m_name, static_cast<int32_t>(reinterpret_cast<intptr_t>(m_window)));
            break;
    }
    m_contained = m_bar      ? static_cast<controls::IContainedControl*>(m_bar.get())
                  : m_video  ? static_cast<controls::IContainedControl*>(m_video.get())
                  : m_slider ? static_cast<controls::IContainedControl*>(m_slider.get())
                             : static_cast<controls::IContainedControl*>(m_text.get());
    AddMembers();
    ByName()[m_name] = this;
    return S_OK;
}

void FakeControl::Drop() {
    auto it = ByName().find(m_name);
    if (it != ByName().end() && it->second == this) {
        ByName().erase(it);
    }
    for (auto& [cookie, sink] : m_sinks) {
        sink->Release();
    }
    m_sinks.clear();
    if (m_window != nullptr) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        DestroyWindow(std::exchange(m_window, nullptr));
    }
    m_contained = nullptr;
    if (m_bar) {
        m_bar->Destroy();
    }
    if (m_text) {
        m_text->Destroy();
    }
    if (m_slider) {
        m_slider->Destroy();
    }
    ReleaseSite();
}

HRESULT FakeControl::Run(const Member& member, WORD flags, DISPPARAMS& params, VARIANT* result,
                         EXCEPINFO* info, UINT* badArgument) {
    std::vector<VARIANT> args(params.cArgs);
    for (UINT i = 0; i < params.cArgs; ++i) {
        args[i] = params.rgvarg[params.cArgs - 1 - i];
    }
    const auto typed = [&](const std::vector<VARTYPE>& types) -> HRESULT {
        if (args.size() != types.size()) {
            return DISP_E_BADPARAMCOUNT;
        }
        for (std::size_t i = 0; i < types.size(); ++i) {
            if (types[i] != kAny && args[i].vt != types[i]) {
                if (badArgument != nullptr) {
                    *badArgument = static_cast<UINT>(args.size() - 1 - i);
                }
                return DISP_E_TYPEMISMATCH;
            }
        }
        return S_OK;
    };
    VARIANT scratch;
    VariantInit(&scratch);
    VARIANT& out = result != nullptr ? *result : scratch;
    try {
        const bool putting = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
        if (putting) {
            const bool named = params.cNamedArgs == 1 && params.rgdispidNamedArgs != nullptr &&
                               params.rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
            const bool byRef = (flags & DISPATCH_PROPERTYPUTREF) != 0;
            if (!member.put || !named || byRef != member.putRef) {
                return DISP_E_MEMBERNOTFOUND;
            }
            if (const HRESULT hr = typed({member.putType}); FAILED(hr)) {
                return hr;
            }
            member.put(args[0]);
        } else if (member.call && member.returns && TheWorld().resultsAsProperties) {
            // A property with parameters: no answer to a method call.
            if ((flags & DISPATCH_PROPERTYGET) == 0) {
                return DISP_E_MEMBERNOTFOUND;
            }
            if (const HRESULT hr = typed(member.params); FAILED(hr)) {
                return hr;
            }
            member.call(args.data(), out);
        } else if ((flags & DISPATCH_METHOD) != 0 && member.call) {
            if (const HRESULT hr = typed(member.params); FAILED(hr)) {
                return hr;
            }
            member.call(args.data(), out);
        } else if ((flags & DISPATCH_PROPERTYGET) != 0 && member.get) {
            if (!args.empty()) {
                return DISP_E_BADPARAMCOUNT;
            }
            member.get(out);
        } else {
            return DISP_E_MEMBERNOTFOUND;
        }
    } catch (const RuntimeError& error) {
        VariantClear(&scratch);
        if (info != nullptr) {
            *info = EXCEPINFO{};
            info->bstrSource = ToBstr(m_name);
            info->bstrDescription = ToBstr(error.description());
            const int32_t number = error.number();
            info->scode = number > 0 && number < 0x10000
                              ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number)
                              : static_cast<HRESULT>(number);
        }
        return DISP_E_EXCEPTION;
    }
    VariantClear(&scratch);
    return S_OK;
}

// GCC 12 devirtualises the sinks' Release to this class's and then warns of
// a use after free that cannot happen: each sink is released once, last.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuse-after-free"
void FakeControl::Fire(DISPID id, std::vector<VARIANT> args) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{};
    params.cArgs = static_cast<UINT>(reversed.size());
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    std::vector<IDispatch*> sinks;
    for (auto& [cookie, sink] : m_sinks) {
        sink->AddRef();
        sinks.push_back(sink);
    }
    // Unless told otherwise the control holds itself, as a kind one does;
    // either way nothing of it is touched after the calls into the sinks.
    const bool hold = TheWorld().holdWhileFiring;
    if (hold) {
        AddRef();
    }
    const auto firing = TheWorld().firing.insert(this);
    ++TheWorld().eventsRaised;
    for (IDispatch* sink : sinks) {
        sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        sink->Release();
    }
    TheWorld().firing.erase(firing);
    if (hold) {
        Release();
    }
    for (VARIANT& v : args) {
        VariantClear(&v);
    }
}
#pragma GCC diagnostic pop

VARIANT Str(const std::string& text) {
    VARIANT v{};
    v.vt = VT_BSTR;
    v.bstrVal = ToBstr(text);
    return v;
}
// A number as a VARIANT of the given type (a bool as True or False).
VARIANT Number(VARTYPE type, double value) {
    VARIANT v{};
    v.vt = VT_R8;
    v.dblVal = value;
    VariantChangeType(&v, &v, 0, type);
    return v;
}
VARIANT I2(int16_t value) {
    return Number(VT_I2, value);
}
VARIANT I4(int32_t value) {
    return Number(VT_I4, value);
}
// A get's or a call's result, replacing what was there.
void Set(VARIANT& out, VARTYPE type, double value) {
    VariantClear(&out);
    out = Number(type, value);
}
std::string S(const VARIANT& v) {
    return FromBstr(v.bstrVal);
}
// The rich text control takes its content as 8-bit text in the system code
// page, packed two characters to a wide unit of the string. A wide string
// (a zero in every other byte of plain text) would show nothing there.
std::string EightBit(const VARIANT& v) {
    const char* bytes = reinterpret_cast<const char*>(v.bstrVal);
    const UINT size = SysStringByteLen(v.bstrVal);
    if (std::memchr(bytes, 0, size) != nullptr) {
        Raise(err::InvalidPropertyValue, "RTFContent: a wide string, not 8-bit text");
    }
    const int wide = MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(size), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(size), text.data(), wide);
    return Narrow(text.data(), text.size());
}
bool B(const VARIANT& v) {
    return v.boolVal != VARIANT_FALSE;
}

void FakeControl::AddMembers() {
    constexpr VARTYPE BSTR_ = VT_BSTR;
    if (m_bar) {
        auto bar = m_bar;
        const auto button = [this](DISPID id) {
            return [this, id](const std::string& n, const std::string& i) {
                Fire(id, {Str(n), Str(i)});
            };
        };
        bar->Advise(
            {.ButtonGotFocus = button(1), .ButtonLostFocus = button(2), .ButtonPress = button(3)});
        Prop(L"ImageFolder", BSTR_, [bar](VARIANT& v) { bar->ImageFolder(S(v)); });
        Method(L"AddButton", {BSTR_, BSTR_},
               [bar](VARIANT* a, VARIANT&) { bar->AddButton(S(a[0]), S(a[1])); });
        Method(L"SetButtonState", {BSTR_, VT_I2, VT_BOOL},
               [bar](VARIANT* a, VARIANT&) { bar->SetButtonState(S(a[0]), a[1].iVal, B(a[2])); });
        Method(
            L"GetButtonState", {BSTR_},
            [bar](VARIANT* a, VARIANT& r) { Set(r, VT_I2, bar->GetButtonState(S(a[0]))); }, true);
        Method(L"SetButtonToolTip", {BSTR_, BSTR_},
               [bar](VARIANT* a, VARIANT&) { bar->SetButtonToolTip(S(a[0]), S(a[1])); });
        Method(L"BeginBar", {BSTR_}, [bar](VARIANT* a, VARIANT&) { bar->BeginBar(S(a[0])); });
        Method(L"RefreshBar", {}, [bar](VARIANT*, VARIANT&) { bar->RefreshBar(); });
        Method(L"EndBar", {BSTR_}, [bar](VARIANT* a, VARIANT&) { bar->EndBar(S(a[0])); });
        Method(L"LoadScript", {BSTR_}, [bar](VARIANT* a, VARIANT&) { bar->LoadScript(S(a[0])); });
        Method(L"SetBackground", {VT_DISPATCH, VT_I2, VT_I2, VT_I2, VT_I2, VT_I2},
               [bar](VARIANT* a, VARIANT&) {
                   bar->SetBackground(ToPicture(a[0].pdispVal), a[1].iVal, a[2].iVal, a[3].iVal,
                                      a[4].iVal, a[5].iVal);
               });
        Method(L"ZOrder", {VT_I2}, [bar](VARIANT* a, VARIANT&) { bar->ZOrder(a[0].iVal); });
        Prop(L"PictureFile", BSTR_, [bar](VARIANT& v) { bar->PictureFile(S(v)); });
        Prop(L"Transparent", VT_BOOL, [bar](VARIANT& v) { bar->Transparent(B(v)); });
        Prop(L"ToolTipForeColor", VT_I4, [bar](VARIANT& v) { bar->ToolTipForeColor(v.lVal); });
        Prop(L"ToolTipBackColor", VT_I4, [bar](VARIANT& v) { bar->ToolTipBackColor(v.lVal); });
        Prop(L"ToolTipShadowColor", VT_I4, [bar](VARIANT& v) { bar->ToolTipShadowColor(v.lVal); });
        Prop(L"ToolTipTime", VT_R4, [bar](VARIANT& v) { bar->ToolTipTime(v.fltVal); });
        Prop(L"ToolTipFontSize", VT_R4, [bar](VARIANT& v) { bar->ToolTipFontSize(v.fltVal); });
        Prop(L"ToolTipFontBold", VT_BOOL, [bar](VARIANT& v) { bar->ToolTipFontBold(B(v)); });
        Prop(L"FontName", VT_I2, [bar](VARIANT& v) { bar->FontName(v.iVal); });
        Prop(L"FontBold", VT_BOOL, [bar](VARIANT& v) { bar->FontBold(B(v)); });
        Prop(L"FontItalic", VT_BOOL, [bar](VARIANT& v) { bar->FontItalic(B(v)); });
        Prop(L"FontUnderline", VT_BOOL, [bar](VARIANT& v) { bar->FontUnderline(B(v)); });
        Prop(L"FontSize", kAny, [bar](VARIANT& v) { bar->FontSize(ToVariant(v)); });
        Prop(L"ForeColor", VT_I4, [bar](VARIANT& v) { bar->ForeColor(v.lVal); });
        Prop(L"LabelMode", VT_I2, [bar](VARIANT& v) { bar->LabelMode(v.iVal); });
        Method(L"AddLabel", {VT_BYREF | VT_I4, VT_BYREF | VT_I4, VT_BYREF | VT_BSTR},
               [bar](VARIANT* a, VARIANT&) {
                   int32_t x = *a[0].plVal;
                   int32_t y = *a[1].plVal;
                   std::string caption = FromBstr(*a[2].pbstrVal);
                   bar->AddLabel(x, y, caption);
               });
    }
    if (m_video) {
        auto video = m_video;
        video->Advise({
            .Notify = [this] { Fire(1, {}); },
            .SignalEvent = [this](int16_t n) { Fire(2, {I2(n)}); },
        });
        Prop(L"TimeFormat", VT_R4, [video](VARIANT& v) { video->TimeFormat(v.fltVal); });
        Method(
            L"OpenMovie", {BSTR_, VT_R8},
            [video](VARIANT* a, VARIANT& r) {
                Set(r, VT_BOOL, video->OpenMovie(S(a[0]), a[1].dblVal));
            },
            true);
        Method(L"SetSignalTimes", {VT_BYREF | VT_BSTR}, [video](VARIANT* a, VARIANT&) {
            std::string times = FromBstr(*a[0].pbstrVal);
            video->SetSignalTimes(times);
        });
        Method(L"EnableSignals", {VT_BOOL},
               [video](VARIANT* a, VARIANT&) { video->EnableSignals(B(a[0])); });
        Method(L"SetPlayMode", {VT_I2},
               [video](VARIANT* a, VARIANT&) { video->SetPlayMode(a[0].iVal); });
        Method(
            L"PlayRange", {VT_R8, VT_R8, VT_BOOL},
            [video](VARIANT* a, VARIANT& r) {
                Set(r, VT_BOOL, video->PlayRange(a[0].dblVal, a[1].dblVal, B(a[2])));
            },
            true);
        Method(L"Seek", {VT_R8}, [video](VARIANT* a, VARIANT&) { video->Seek(a[0].dblVal); });
        Method(L"Stop", {}, [video](VARIANT*, VARIANT&) { video->Stop(); });
        Method(L"Pause", {}, [video](VARIANT*, VARIANT&) { video->Pause(); });
        Read(L"CurrentPosition", [video](VARIANT& r) { Set(r, VT_R8, video->CurrentPosition()); });
        Read(L"Duration", [video](VARIANT& r) { Set(r, VT_R8, video->Duration()); });
    }
    if (m_slider) {
        auto slider = m_slider;
        slider->Advise({
            .Change = [this] { Fire(1, {}); },
            .Scroll = [this] { Fire(2, {}); },
            .ThumbDown = [this] { Fire(3, {}); },
            .ThumbUp = [this] { Fire(4, {}); },
        });
        Prop(L"Max", VT_I4, [slider](VARIANT& v) { slider->Max(v.lVal); });
        Last().get = [slider](VARIANT& r) { Set(r, VT_I4, slider->Max()); };
        Prop(L"Value", VT_I4, [slider](VARIANT& v) { slider->Value(v.lVal); });
        Last().get = [slider](VARIANT& r) { Set(r, VT_I4, slider->Value()); };
        Prop(L"BorderStyle", VT_I2, [slider](VARIANT& v) { slider->BorderStyle(v.iVal); });
        Prop(L"ForeColor", VT_I4, [slider](VARIANT& v) { slider->ForeColor(v.lVal); });
        Prop(L"BackColor", VT_I4, [slider](VARIANT& v) { slider->BackColor(v.lVal); });
    }
    if (m_text) {
        auto text = m_text;
        const auto crossing = [this](DISPID event) {
            return [this, event](int32_t id, int16_t type, int32_t start, int32_t end) {
                Fire(event, {I4(id), I2(type), I4(start), I4(end)});
            };
        };
        text->Advise({
            .LinkClick =
                [this](int32_t id, int16_t type, int32_t start, int32_t end, int16_t button) {
                    Fire(1, {I4(id), I2(type), I4(start), I4(end), I2(button)});
                },
            .LinkEnter = crossing(2),
            .LinkLeave = crossing(3),
        });
        Prop(L"RolloverColor", VT_I4, [text](VARIANT& v) { text->RolloverColor(v.lVal); });
        Prop(L"DisplayFlag1", VT_I2, [text](VARIANT& v) { text->DisplayFlag1(v.iVal); });
        Prop(L"DisplayFlag2", VT_I2, [text](VARIANT& v) { text->DisplayFlag2(v.iVal); });
        Prop(L"DisplayFlag3", VT_I2, [text](VARIANT& v) { text->DisplayFlag3(v.iVal); });
        Read(L"hWnd", [text](VARIANT& r) { Set(r, VT_I4, text->hWnd()); });
        Read(L"RtfMetricA", [text](VARIANT& r) { Set(r, VT_I4, text->RtfMetricA()); });
        Read(L"RtfMetricB", [text](VARIANT& r) { Set(r, VT_I4, text->RtfMetricB()); });
        Prop(L"RTFContent", BSTR_, [text](VARIANT& v) { text->RTFContent(EightBit(v)); });
        Prop(L"BackPicture", VT_DISPATCH, [text](VARIANT& v) {
            Picture picture = ToPicture(v.pdispVal);
            text->BackPicture(picture);
        });
        Last().putRef = true;
        Read(L"TextLength", [text](VARIANT& r) { Set(r, VT_I4, text->TextLength()); });
        Read(L"MatchStart", [text](VARIANT& r) { Set(r, VT_I4, text->MatchStart()); });
        Read(L"MatchEnd", [text](VARIANT& r) { Set(r, VT_I4, text->MatchEnd()); });
        Read(L"CaretLine", [text](VARIANT& r) { Set(r, VT_I4, text->CaretLine()); });
        Prop(L"CaretPosition", VT_I4, [text](VARIANT& v) { text->CaretPosition(v.lVal); });
        Method(
            L"FindText", {VT_I4, VT_I4, VT_I4, BSTR_},
            [text](VARIANT* a, VARIANT& r) {
                Set(r, VT_I4, text->FindText(a[0].lVal, a[1].lVal, a[2].lVal, S(a[3])));
            },
            true);
        Method(L"AddLink", {VT_I4, VT_I4, VT_I2, VT_I4}, [text](VARIANT* a, VARIANT&) {
            text->AddLink(a[0].lVal, a[1].lVal, a[2].iVal, a[3].lVal);
        });
        Prop(L"ScrollBarVisible", VT_BOOL, [text](VARIANT& v) { text->ScrollBarVisible(B(v)); });
        Read(L"FirstVisibleLine", [text](VARIANT& r) { Set(r, VT_I4, text->FirstVisibleLine()); });
        Read(L"LastVisibleLine", [text](VARIANT& r) { Set(r, VT_I4, text->LastVisibleLine()); });
        Read(L"LineCount", [text](VARIANT& r) { Set(r, VT_I4, text->LineCount()); });
        Method(L"ScrollLines", {VT_I2},
               [text](VARIANT* a, VARIANT&) { text->ScrollLines(a[0].iVal); });
        Method(L"HighlightRange", {VT_I4, VT_I4},
               [text](VARIANT* a, VARIANT&) { text->HighlightRange(a[0].lVal, a[1].lVal); });
        Method(L"UnhighlightRange", {VT_I4, VT_I4, VT_I2}, [text](VARIANT* a, VARIANT&) {
            text->UnhighlightRange(a[0].lVal, a[1].lVal, a[2].iVal);
        });
        Method(L"ClearHighlight", {}, [text](VARIANT*, VARIANT&) { text->ClearHighlight(); });
    }
}

int32_t NumberAt(const std::vector<std::string>& args, std::size_t i) {
    return i < args.size() ? std::atoi(args[i].c_str()) : 0;
}

int FakeControl::Raise(const std::string& event, const std::vector<std::string>& args) {
    const std::string first = args.empty() ? std::string() : args[0];
    const auto result = [](bool taken) { return taken ? 1 : 0; };
    if (m_bar) {
        using Press = bool (model::ButtonBar::*)(const std::string&);
        static const std::map<std::string, Press> kPresses = {
            {"ButtonPress", &model::ButtonBar::UserPress},
            {"ButtonGotFocus", &model::ButtonBar::UserEnter},
            {"ButtonLostFocus", &model::ButtonBar::UserLeave}};
        if (const auto it = kPresses.find(event); it != kPresses.end()) {
            return result((m_bar.get()->*it->second)(first));
        }
    }
    if (m_video && (event == "SignalEvent" || event == "Notify")) {
        if (event == "Notify") {
            m_video->RaiseNotify();
        } else {
            m_video->RaiseSignal(static_cast<int16_t>(NumberAt(args, 0)));
        }
        return 1;
    }
    if (m_slider && (event == "ThumbDown" || event == "ThumbUp")) {
        return result(event == "ThumbDown" ? m_slider->UserThumbDown() : m_slider->UserThumbUp());
    }
    if (m_text) {
        // Links are named by their user ID, as the events carry it.
        const auto& links = m_text->Links();
        const auto link = std::find_if(links.begin(), links.end(), [&](const auto& l) {
            return l.userID == NumberAt(args, 0);
        });
        const auto index = static_cast<int32_t>(link - links.begin());
        if (link == links.end()) {
            return -1;
        }
        if (event == "LinkClick") {
            return result(m_text->UserClickLink(index, static_cast<int16_t>(NumberAt(args, 4))));
        }
        if (event == "LinkEnter" || event == "LinkLeave") {
            return result(event == "LinkEnter" ? m_text->UserEnterLink(index)
                                               : m_text->UserLeaveLink(index));
        }
    }
    return -1;
}

// A kind's factory lives as long as the module: its count is not kept.
class Factory final : public IClassFactory {
public:
    explicit Factory(const KindInfo& kind) : m_kind(kind) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        return QueryOne(this, riid, IID_IClassFactory, out);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    const CLSID& clsid() const { return m_kind.clsid; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        *out = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        auto* control = new FakeControl(m_kind);
        const HRESULT hr = control->QueryInterface(riid, out);
        control->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) {
            InterlockedIncrement(&g_locks);
        } else {
            InterlockedDecrement(&g_locks);
        }
        return S_OK;
    }

private:
    const KindInfo& m_kind;
};

std::wstring GuidText(const GUID& guid) {
    wchar_t text[64];
    StringFromGUID2(guid, text, 64);
    return text;
}

LSTATUS SetString(HKEY root, const std::wstring& key, const wchar_t* name,
                  const std::wstring& value) {
    return RegSetKeyValueW(root, key.c_str(), name, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// Splits `"a", "b"` or `3, 1, 195` into its items, quotes removed ("" in
// quotes is one); no text is one empty item.
std::vector<std::string> SplitArguments(const char* text) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (const char* c = text != nullptr ? text : ""; *c != '\0'; ++c) {
        if (*c == '"' && quoted && c[1] == '"') {
            out.back() += *c++;
        } else if (*c == '"') {
            quoted = !quoted;
        } else if (*c == ',' && !quoted) {
            out.emplace_back();
        } else if (*c != ' ' || quoted) {
            out.back() += *c;
        }
    }
    return out;
}

}  // namespace
}  // namespace scenova::fake

using namespace scenova::fake;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        UnregisterClassW(L"ScenovaFakeControl", instance);
    }
    return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    static Factory factories[] = {Factory(kKinds[0]), Factory(kKinds[1]), Factory(kKinds[2]),
                                  Factory(kKinds[3])};
    for (Factory& factory : factories) {
        if (clsid == factory.clsid()) {
            return factory.QueryInterface(riid, out);
        }
    }
    *out = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE;
}

HRESULT STDAPICALLTYPE DllRegisterServer() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(g_module, path, MAX_PATH);
    for (const KindInfo& kind : kKinds) {
        const std::wstring clsidKey = L"CLSID\\" + GuidText(kind.clsid);
        if (SetString(HKEY_CLASSES_ROOT, clsidKey, nullptr, L"Scenova test control") != 0 ||
            SetString(HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32", nullptr, path) != 0 ||
            SetString(HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32", L"ThreadingModel",
                      L"Apartment") != 0 ||
            SetString(HKEY_CLASSES_ROOT, clsidKey + L"\\ProgID", nullptr, kind.progId) != 0 ||
            SetString(HKEY_CLASSES_ROOT, std::wstring(kind.progId) + L"\\CLSID", nullptr,
                      GuidText(kind.clsid)) != 0) {
            return SELFREG_E_CLASS;
        }
    }
    return S_OK;
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
    for (const KindInfo& kind : kKinds) {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + GuidText(kind.clsid)).c_str());
        RegDeleteTreeW(HKEY_CLASSES_ROOT, kind.progId);
    }
    return S_OK;
}

// Acts as the user or the player on a control: `event` as the trace names
// it, `arguments` as the trace shows them. 1 raised, 0 not reachable, -1
// no such control or event.
int FakeControls_Raise(const char* object, const char* event, const char* arguments) {
    auto it = ByName().find(object != nullptr ? object : "");
    if (it == ByName().end() || event == nullptr) {
        return -1;
    }
    return it->second->Raise(event, SplitArguments(arguments));
}

// As FakeControls_Raise, delivered by the thread's message loop.
int FakeControls_Post(const char* object, const char* event, const char* arguments) {
    auto it = ByName().find(object != nullptr ? object : "");
    if (it == ByName().end() || event == nullptr) {
        return -1;
    }
    return it->second->Post(event, SplitArguments(arguments));
}

// Moves the controls' clock (seconds from the start; never backwards).
void FakeControls_AdvanceTo(double seconds) {
    auto& loop = TheWorld().loop;
    loop.AdvanceTo(std::max(loop.Now(), scenova::headless::Seconds(seconds)));
}

// The length of the video the next video control reports.
void FakeControls_SetVideoDuration(double seconds) {
    TheWorld().videoDuration = seconds;
}

// The trace so far, one line each ending with a newline, copied into buffer
// (truncated to size); returns its full length.
int FakeControls_Trace(char* buffer, int size) {
    std::string all;
    for (const std::string& line : TheWorld().trace.Lines()) {
        all += line;
        all += '\n';
    }
    if (buffer != nullptr && size > 0) {
        const std::size_t n = std::min(all.size(), static_cast<std::size_t>(size - 1));
        std::memcpy(buffer, all.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<int>(all.size());
}

// A new story: no lines, the clock back at 0.
void FakeControls_Reset() {
    TheWorld().trace.Clear();
    TheWorld().loop = scenova::headless::EventLoop();
}

// Control objects alive now (every reference the container took must go).
long FakeControls_LiveObjects() {
    return g_objects;
}

// The control of that name refuses every event sink from now on; none: all
// take them again.
void FakeControls_RefuseEvents(const char* object) {
    TheWorld().refuseEvents = object != nullptr ? object : "";
}

// Makes the controls more or less demanding of their container:
// "hold-while-firing" (on at first), "keep-sites", "results-as-properties",
// "fail-after-events".
void FakeControls_Mode(const char* mode, int on) {
    World& world = TheWorld();
    const std::string name = mode != nullptr ? mode : "";
    bool* flag = name == "hold-while-firing"       ? &world.holdWhileFiring
                 : name == "keep-sites"            ? &world.keepSites
                 : name == "results-as-properties" ? &world.resultsAsProperties
                 : name == "fail-after-events"     ? &world.failAfterEvents
                                                   : nullptr;
    if (flag != nullptr) {
        *flag = on != 0;
    }
}

// Lets go of the sites kept in the "keep-sites" mode.
void FakeControls_ReleaseKeptSites() {
    for (IOleClientSite* site : std::exchange(TheWorld().keptSites, {})) {
        site->Release();
    }
}

// Controls destroyed while they were raising an event (freed under their own
// call into the container's sink).
long FakeControls_DestroyedWhileFiring() {
    return TheWorld().destroyedWhileFiring;
}

}  // extern "C"
