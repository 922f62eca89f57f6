#include "win32/controls/Site.h"

#include <olectl.h>

#include <cmath>
#include <utility>
#include <vector>

#include "runtime/RuntimeError.h"
#include "win32/com/ServerModule.h"
#include "win32/window/Text.h"

namespace scenova::win32::controls {

namespace {

std::string HexCode(HRESULT hr) {
    char code[16];
    snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    return code;
}

[[noreturn]] void Fail(int32_t number, const std::string& what, HRESULT hr) {
    Raise(number, what + " (" + HexCode(hr) + ")");
}

// A type attribute, released with its type info.
struct TypeAttr {
    ITypeInfo* info;
    TYPEATTR* attr = nullptr;
    explicit TypeAttr(ITypeInfo* i) : info(i) {
        if (FAILED(info->GetTypeAttr(&attr))) {
            attr = nullptr;
        }
    }
    ~TypeAttr() {
        if (attr != nullptr) {
            info->ReleaseTypeAttr(attr);
        }
    }
};

int Pixels(float value) {
    if (!std::isfinite(value) || std::fabs(value) > 1e9f) {
        Raise(err::Overflow);
    }
    return static_cast<int>(std::lround(value));
}

// Controls whose site closed while one of their own events ran. Each goes
// with its last reference once the message loop runs again, after the
// control's call into the sink has returned: a control that does not hold
// itself while it raises an event must not be freed under that call. The
// window that takes the posted message counts as a live object while it
// exists: its procedure is code of this module.
constexpr wchar_t kLaterClass[] = L"ScenovaReleaseLater";
constexpr UINT kReleaseNow = WM_APP + 1;
HWND g_laterWindow = nullptr;

std::vector<ComPtr<IUnknown>>& Pending() {
    static std::vector<ComPtr<IUnknown>> pending;
    return pending;
}

void ReleasePending() {
    // A release may close further controls, whose references join the list.
    while (!Pending().empty()) {
        std::vector<ComPtr<IUnknown>> now = std::move(Pending());
        Pending().clear();
    }
    if (g_laterWindow != nullptr) {
        DestroyWindow(std::exchange(g_laterWindow, nullptr));
        UnregisterClassW(kLaterClass, server::ThisModule());
        server::ObjectDestroyed();
    }
}

LRESULT CALLBACK LaterProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kReleaseNow) {
        ReleasePending();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void ReleaseLater(ComPtr<IUnknown> control) {
    if (g_laterWindow == nullptr) {
        WNDCLASSW cls{};
        cls.lpfnWndProc = &LaterProcedure;
        cls.hInstance = server::ThisModule();
        cls.lpszClassName = kLaterClass;
        RegisterClassW(&cls);
        g_laterWindow = CreateWindowExW(0, kLaterClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        server::ThisModule(), nullptr);
        if (g_laterWindow == nullptr) {
            return;  // no window to wait with: the control goes now
        }
        server::ObjectCreated();
    }
    Pending().push_back(std::move(control));
    PostMessageW(g_laterWindow, kReleaseNow, 0, 0);
}

}  // namespace

// The event sink: answers IDispatch and the control's source interface.
class EventSink final : public IDispatch {
public:
    // `control` is the control whose events these are. The sink does not
    // hold it (the control holds its sinks), except while an event runs.
    EventSink(IID source, std::map<DISPID, std::string> names, EventHandler handler,
              IUnknown* control)
        : m_source(source),
          m_names(std::move(names)),
          m_handler(std::move(handler)),
          m_control(control) {
        server::ObjectCreated();
    }
    ~EventSink() { server::ObjectDestroyed(); }
    EventSink(const EventSink&) = delete;
    EventSink& operator=(const EventSink&) = delete;

    // The control's events stop reaching the handler (the window unloads).
    void Disconnect() {
        m_handler = nullptr;
        m_control = nullptr;
    }

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == m_source) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --m_references;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        auto it = m_names.find(id);
        if (it == m_names.end() || params == nullptr) {
            return S_OK;  // an event nobody handles
        }
        // The handler may close the control's site (the host shuts the tool
        // down from inside it): the sink and the control stay for the call.
        const ComPtr<EventSink> self(this);
        ComPtr<IUnknown> control(m_control);
        const EventHandler handler = m_handler;
        if (handler) {
            handler(it->second, *params);
        }
        if (m_control == nullptr && control) {
            ReleaseLater(std::move(control));
        }
        return S_OK;
    }

private:
    ULONG m_references = 1;
    IID m_source;
    std::map<DISPID, std::string> m_names;
    EventHandler m_handler;
    IUnknown* m_control;
};

ControlSite::ControlSite(HWND parent, Units units, std::string name)
    : m_parent(parent), m_units(std::move(units)), m_name(std::move(name)) {
    server::ObjectCreated();
}

ControlSite::~ControlSite() {
    server::ObjectDestroyed();
}

ControlSite* ControlSite::Create(HWND parent, Units units, const std::string& name,
                                 const std::wstring& progId) {
    const ComPtr<ControlSite> site = Adopt(new ControlSite(parent, std::move(units), name));
    try {
        CLSID clsid{};
        HRESULT hr = CLSIDFromProgID(progId.c_str(), &clsid);
        if (FAILED(hr)) {
            Fail(429, name + ": no control is registered as " + Narrow(progId), hr);
        }
        hr =
            CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, &site->m_object);
        if (FAILED(hr)) {
            Fail(429, name + ": cannot create the control " + Narrow(progId), hr);
        }
        site->Activate();
        return ComPtr<ControlSite>(site).Detach();
    } catch (...) {
        site->Close();
        throw;
    }
}

void ControlSite::Activate() {
    HRESULT hr = m_object->SetClientSite(this);
    if (FAILED(hr)) {
        Fail(429, m_name + ": the control refuses its site", hr);
    }
    ComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(m_object->QueryInterface(IID_IPersistStreamInit, &persist))) {
        persist->InitNew();
    }
    m_object->SetHostNames(L"Scenova", nullptr);
    ComPtr<IDispatch> dispatch;
    hr = m_object->QueryInterface(IID_IDispatch, &dispatch);
    if (FAILED(hr)) {
        Fail(429, m_name + ": the control has no IDispatch", hr);
    }
    m_dispatcher = std::make_unique<Dispatcher>(dispatch.Get(), m_name);
    RECT rect = PixelRect();
    hr = m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, m_parent, &rect);
    if (FAILED(hr)) {
        Fail(429, m_name + ": the control cannot be activated in place", hr);
    }
}

void ControlSite::Advise(EventHandler handler) {
    ComPtr<IProvideClassInfo> provide;
    HRESULT hr = m_object->QueryInterface(IID_IProvideClassInfo, &provide);
    if (FAILED(hr)) {
        Fail(err::InvalidCall, m_name + ": no type information for the events", hr);
    }
    ComPtr<ITypeInfo> coclass;
    hr = provide->GetClassInfo(&coclass);
    if (FAILED(hr)) {
        Fail(err::InvalidCall, m_name + ": no class information for the events", hr);
    }
    // The default source interface holds the events.
    ComPtr<ITypeInfo> events;
    {
        TypeAttr attr(coclass.Get());
        for (UINT i = 0; attr.attr != nullptr && i < attr.attr->cImplTypes; ++i) {
            INT flags = 0;
            HREFTYPE ref = 0;
            if (SUCCEEDED(coclass->GetImplTypeFlags(i, &flags)) &&
                (flags & IMPLTYPEFLAG_FSOURCE) != 0 && (flags & IMPLTYPEFLAG_FDEFAULT) != 0 &&
                SUCCEEDED(coclass->GetRefTypeOfImplType(i, &ref))) {
                coclass->GetRefTypeInfo(ref, &events);
                break;
            }
        }
    }
    if (!events) {
        Raise(err::InvalidCall, m_name + ": the control declares no events");
    }
    IID source{};
    std::map<DISPID, std::string> names;
    {
        TypeAttr attr(events.Get());
        if (attr.attr == nullptr) {
            Raise(err::InvalidCall, m_name + ": unreadable event interface");
        }
        source = attr.attr->guid;
        for (UINT i = 0; i < attr.attr->cFuncs; ++i) {
            FUNCDESC* func = nullptr;
            if (FAILED(events->GetFuncDesc(i, &func))) {
                continue;
            }
            BSTR name = nullptr;
            if (SUCCEEDED(
                    events->GetDocumentation(func->memid, &name, nullptr, nullptr, nullptr))) {
                names[func->memid] = Narrow(std::wstring_view(name, SysStringLen(name)));
                SysFreeString(name);
            }
            events->ReleaseFuncDesc(func);
        }
    }
    ComPtr<IConnectionPointContainer> container;
    hr = m_object->QueryInterface(IID_IConnectionPointContainer, &container);
    if (FAILED(hr)) {
        Fail(err::InvalidCall, m_name + ": the control has no connection points", hr);
    }
    ComPtr<IConnectionPoint> point;
    hr = container->FindConnectionPoint(source, &point);
    if (FAILED(hr)) {
        Fail(err::InvalidCall, m_name + ": no connection point for the events", hr);
    }
    const ComPtr<EventSink> sink =
        Adopt(new EventSink(source, std::move(names), std::move(handler), m_object.Get()));
    DWORD cookie = 0;
    hr = point->Advise(sink.Get(), &cookie);
    if (FAILED(hr)) {
        Fail(err::InvalidCall, m_name + ": the control refuses the event sink", hr);
    }
    if (m_connection) {  // a second Advise replaces the first
        m_connection->Unadvise(m_cookie);
        m_sink->Disconnect();
    }
    m_connection = point;
    m_sink = sink;
    m_cookie = cookie;
}

void ControlSite::Close() {
    if (m_sink) {
        m_sink->Disconnect();
    }
    if (m_connection) {
        m_connection->Unadvise(m_cookie);
        m_connection.Reset();
    }
    m_sink.Reset();
    if (m_dispatcher) {
        m_dispatcher->Release();
    }
    if (const ComPtr<IOleObject> object = std::move(m_object)) {
        ComPtr<IOleInPlaceObject> inPlace;
        if (SUCCEEDED(object->QueryInterface(IID_IOleInPlaceObject, &inPlace))) {
            inPlace->InPlaceDeactivate();
        }
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
    }
}

RECT ControlSite::PixelRect() const {
    RECT rect{};
    rect.left = Pixels(m_units.twipsToPixelsX(m_left));
    rect.top = Pixels(m_units.twipsToPixelsY(m_top));
    rect.right = rect.left + Pixels(m_units.twipsToPixelsX(m_width));
    rect.bottom = rect.top + Pixels(m_units.twipsToPixelsY(m_height));
    return rect;
}

HWND ControlSite::ControlWindow() const {
    ComPtr<IOleInPlaceObject> inPlace;
    HWND window = nullptr;
    if (m_object && SUCCEEDED(m_object->QueryInterface(IID_IOleInPlaceObject, &inPlace))) {
        inPlace->GetWindow(&window);
    }
    return window;
}

void ControlSite::Place(float left, float top, float width, float height) {
    const float oldLeft = std::exchange(m_left, left);
    const float oldTop = std::exchange(m_top, top);
    const float oldWidth = std::exchange(m_width, width);
    const float oldHeight = std::exchange(m_height, height);
    RECT rect{};
    try {
        rect = PixelRect();
    } catch (...) {
        m_left = oldLeft;
        m_top = oldTop;
        m_width = oldWidth;
        m_height = oldHeight;
        throw;
    }
    ComPtr<IOleInPlaceObject> inPlace;
    if (m_object && SUCCEEDED(m_object->QueryInterface(IID_IOleInPlaceObject, &inPlace))) {
        inPlace->SetObjectRects(&rect, &rect);
    }
}

void ControlSite::Visible(bool value) {
    m_visible = value;
    if (HWND window = ControlWindow()) {
        ShowWindow(window, value ? SW_SHOWNA : SW_HIDE);
    }
}

void ControlSite::Enabled(bool value) {
    m_enabled = value;
    if (HWND window = ControlWindow()) {
        EnableWindow(window, value ? TRUE : FALSE);
    }
}

STDMETHODIMP ControlSite::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IOleClientSite) {
        *object = static_cast<IOleClientSite*>(this);
    } else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite) {
        *object = static_cast<IOleInPlaceSite*>(this);
    } else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame) {
        *object = static_cast<IOleInPlaceFrame*>(this);
    } else if (riid == IID_IDispatch) {
        *object = static_cast<IDispatch*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) ControlSite::AddRef() {
    return ++m_references;
}

STDMETHODIMP_(ULONG) ControlSite::Release() {
    const ULONG left = --m_references;
    if (left == 0) {
        delete this;
    }
    return left;
}

STDMETHODIMP ControlSite::GetContainer(IOleContainer** container) {
    if (container == nullptr) {
        return E_POINTER;
    }
    *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP ControlSite::GetWindow(HWND* window) {
    if (window == nullptr) {
        return E_POINTER;
    }
    *window = m_parent;
    return S_OK;
}

STDMETHODIMP ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           LPRECT position, LPRECT clip,
                                           LPOLEINPLACEFRAMEINFO info) {
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr) {
        return E_POINTER;
    }
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    try {
        *position = PixelRect();
    } catch (...) {
        *position = RECT{};
    }
    *clip = *position;
    if (info != nullptr) {
        info->fMDIApp = FALSE;
        info->hwndFrame = m_parent;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}

STDMETHODIMP ControlSite::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

STDMETHODIMP ControlSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                 EXCEPINFO*, UINT*) {
    if ((flags & DISPATCH_PROPERTYGET) == 0 || result == nullptr) {
        return DISP_E_MEMBERNOTFOUND;
    }
    VariantInit(result);
    switch (id) {
        case DISPID_AMBIENT_DISPLAYNAME: {
            const std::wstring name = Widen(m_name);
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
            return result->bstrVal != nullptr ? S_OK : E_OUTOFMEMORY;
        }
        case DISPID_AMBIENT_USERMODE:
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_TRUE;
            return S_OK;
        case DISPID_AMBIENT_UIDEAD:
        case DISPID_AMBIENT_SHOWGRABHANDLES:
        case DISPID_AMBIENT_SHOWHATCHING:
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_FALSE;
            return S_OK;
        case DISPID_AMBIENT_LOCALEID:
            result->vt = VT_I4;
            result->lVal = static_cast<LONG>(GetUserDefaultLCID());
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

SitePtr HoldSite(ControlSite* site) {
    return SitePtr(site, [](ControlSite* s) {
        const ComPtr<ControlSite> held = Adopt(s);
        held->Close();
    });
}

}  // namespace scenova::win32::controls
