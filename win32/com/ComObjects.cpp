#include "win32/com/ComObjects.h"

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>

#include "Scenova_h.h"
#include "picture/CPictureClip.h"
#include "runtime/RuntimeError.h"
#include "tool/CScenova.h"
#include "win32/Win32Platform.h"
#include "win32/com/Automation.h"
#include "win32/com/ComPtr.h"
#include "win32/com/ErrorTranslation.h"
#include "win32/com/ManagerClient.h"
#include "win32/com/ServerModule.h"
#include "win32/gdi/Gdi32.h"

namespace scenova::win32 {

namespace {

// IDispatch of a dual interface from the type library: names and calls go
// through the interface's type information to its vtable.
template <class Interface>
class DispatchImpl : public Interface {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID /*locale*/, ITypeInfo** info) override {
        if (info == nullptr) {
            return E_POINTER;
        }
        *info = nullptr;
        if (index != 0) {
            return DISP_E_BADINDEX;
        }
        return server::TypeInfo(__uuidof(Interface), info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID /*iid*/, LPOLESTR* names, UINT count,
                                            LCID /*locale*/, DISPID* ids) override {
        ComPtr<ITypeInfo> info;
        const HRESULT hr = server::TypeInfo(__uuidof(Interface), &info);
        if (FAILED(hr)) {
            return hr;
        }
        return DispGetIDsOfNames(info.Get(), names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID /*locale*/, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override {
        if (iid != IID_NULL) {
            return DISP_E_UNKNOWNINTERFACE;
        }
        ComPtr<ITypeInfo> info;
        const HRESULT hr = server::TypeInfo(__uuidof(Interface), &info);
        if (FAILED(hr)) {
            return hr;
        }
        return info->Invoke(static_cast<Interface*>(this), member, flags, params, result, exception,
                            argumentError);
    }
};

// Reference counting, object counting and error objects shared by both classes.
class ObjectBase : public ISupportErrorInfo {
protected:
    ObjectBase() noexcept { server::ObjectCreated(); }
    virtual ~ObjectBase() { server::ObjectDestroyed(); }

    ULONG AddRefImpl() noexcept { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    ULONG ReleaseImpl() noexcept {
        const LONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0) {
            delete this;
        }
        return static_cast<ULONG>(refs);
    }

    // Runs a member's body: S_OK, or the HRESULT of its run-time error with the
    // thread's error object set. The object stays alive for the whole call,
    // even if the host releases it from a callback.
    template <class Body>
    HRESULT Run(REFIID iid, const wchar_t* source, const char* member, Body&& body) noexcept {
        AddRefImpl();
        const HRESULT hr = Guarded(std::forward<Body>(body), [&](int32_t, const std::string& text) {
            server::SetError(iid, source, std::string(member) + ": " + text);
        });
        ReleaseImpl();
        return hr;
    }

private:
    LONG m_refs = 1;
};

// A null pointer where the interface needs one fails with E_POINTER, inside
// the member's body, so that it gets an error object of its own like every
// other failure: the host never reads an older call's description.
void Require(std::initializer_list<const void*> pointers) {
    for (const void* pointer : pointers) {
        if (pointer == nullptr) {
            Raise(hresult::Pointer, "a required pointer argument is null");
        }
    }
}

// A by-reference BSTR gets the core's value back only when it changed.
void CopyBack(BSTR* target, const std::string& value) {
    if (Utf8(*target) == value) {
        return;
    }
    BSTR copy = AllocBstr(value);
    SysFreeString(*target);
    *target = copy;
}

VARIANT_BOOL ToVariantBool(bool value) noexcept {
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

constexpr wchar_t kToolSource[] = L"Scenova.CScenova";
constexpr wchar_t kClipSource[] = L"Scenova.CPictureClip";

// CScenova: the lesson tool, driven by the host through IToolTalk.
class ToolObject final : public ObjectBase,
                         public DispatchImpl<_CScenova>,
                         public DispatchImpl<IToolTalk> {
public:
    // The tool holds this object while one of its window's events runs, so
    // that a host releasing it from inside one frees it only afterwards.
    // A dying object is never held again: that would bring it back to life.
    ToolObject()
        : m_tool(std::make_unique<scenova::CScenova>(ProcessPlatform(), [this] {
              if (m_dying) {
                  return std::shared_ptr<void>();
              }
              AddRefImpl();
              return std::shared_ptr<void>(this, [](ToolObject* self) { self->ReleaseImpl(); });
          })) {}
    ~ToolObject() override {
        m_dying = true;
        m_tool.reset();  // the window goes on the thread that still owns it
        server::ReleaseThread();
    }

    IUnknown* Identity() noexcept { return static_cast<_CScenova*>(this); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
        if (result == nullptr) {
            return E_POINTER;
        }
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID__CScenova) {
            *result = static_cast<_CScenova*>(this);
        } else if (iid == IID_IToolTalk) {
            *result = static_cast<IToolTalk*>(this);
        } else if (iid == IID_ISupportErrorInfo) {
            *result = static_cast<ISupportErrorInfo*>(this);
        } else {
            *result = nullptr;
            return E_NOINTERFACE;
        }
        AddRefImpl();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return iid == IID_IToolTalk ? S_OK : S_FALSE;
    }

    // IToolTalk
    HRESULT STDMETHODCALLTYPE Init(IDispatch** Mgr, BSTR* ToolID, LONG ParentHwnd,
                                   VARIANT_BOOL* result) noexcept override {
        return Call("IToolTalk.Init", [&] {
            Require({Mgr, ToolID, result});
            std::shared_ptr<IManager> manager;
            if (*Mgr != nullptr) {
                ComPtr<IToolManager> host;
                if (FAILED((*Mgr)->QueryInterface(IID_IToolManager, &host))) {
                    // Not a manager: Init's own error handling makes that False.
                    *result = VARIANT_FALSE;
                    return;
                }
                manager = std::make_shared<ManagerClient>(std::move(host), Identity());
            }
            std::string id = Utf8(*ToolID);
            const bool ok = m_tool->IToolTalk_Init(std::move(manager), id, ParentHwnd);
            CopyBack(ToolID, id);
            *result = ToVariantBool(ok);
        });
    }
    HRESULT STDMETHODCALLTYPE Startup() noexcept override {
        return Call("IToolTalk.Startup", [&] { m_tool->IToolTalk_Startup(); });
    }
    HRESULT STDMETHODCALLTYPE Shutdown() noexcept override {
        return Call("IToolTalk.Shutdown", [&] { m_tool->IToolTalk_Shutdown(); });
    }
    HRESULT STDMETHODCALLTYPE Show() noexcept override {
        return Call("IToolTalk.Show", [&] { m_tool->IToolTalk_Show(); });
    }
    HRESULT STDMETHODCALLTYPE Hide() noexcept override {
        return Call("IToolTalk.Hide", [&] { m_tool->IToolTalk_Hide(); });
    }
    HRESULT STDMETHODCALLTYPE Move(float* Left, VARIANT* Top, VARIANT* Width,
                                   VARIANT* Height) noexcept override {
        return Call("IToolTalk.Move", [&] {
            Require({Left});
            auto optional = [](const VARIANT* value) -> std::optional<Variant> {
                if (IsMissing(value)) {
                    return std::nullopt;
                }
                return FromVariant(*value);
            };
            m_tool->IToolTalk_Move(*Left, optional(Top), optional(Width), optional(Height));
        });
    }
    HRESULT STDMETHODCALLTYPE put_NavEnabled(BSTR* Name, VARIANT_BOOL RHS) noexcept override {
        return ByName("IToolTalk.NavEnabled", Name, {}, [&](std::string& name) {
            m_tool->IToolTalk_NavEnabled(name, RHS != VARIANT_FALSE);
        });
    }
    HRESULT STDMETHODCALLTYPE get_NavEnabled(BSTR* Name, VARIANT_BOOL* result) noexcept override {
        return ByName("IToolTalk.NavEnabled", Name, {result}, [&](std::string& name) {
            *result = ToVariantBool(m_tool->IToolTalk_NavEnabled(name));
        });
    }
    HRESULT STDMETHODCALLTYPE put_ToolbarEnabled(BSTR* Name, VARIANT_BOOL RHS) noexcept override {
        return ByName("IToolTalk.ToolbarEnabled", Name, {}, [&](std::string& name) {
            m_tool->IToolTalk_ToolbarEnabled(name, RHS != VARIANT_FALSE);
        });
    }
    HRESULT STDMETHODCALLTYPE get_ToolbarEnabled(BSTR* Name,
                                                 VARIANT_BOOL* result) noexcept override {
        return ByName("IToolTalk.ToolbarEnabled", Name, {result}, [&](std::string& name) {
            *result = ToVariantBool(m_tool->IToolTalk_ToolbarEnabled(name));
        });
    }
    HRESULT STDMETHODCALLTYPE get_ID(BSTR* result) noexcept override {
        return Call("IToolTalk.ID", [&] {
            Require({result});
            *result = nullptr;  // what a failure leaves
            *result = AllocBstr(m_tool->IToolTalk_ID());
        });
    }
    HRESULT STDMETHODCALLTYPE get_Left(float* result) noexcept override {
        return Get("IToolTalk.Left", result, [&] { return m_tool->IToolTalk_Left(); });
    }
    HRESULT STDMETHODCALLTYPE put_Left(float RHS) noexcept override {
        return Call("IToolTalk.Left", [&] { m_tool->IToolTalk_Left(RHS); });
    }
    HRESULT STDMETHODCALLTYPE get_Top(float* result) noexcept override {
        return Get("IToolTalk.Top", result, [&] { return m_tool->IToolTalk_Top(); });
    }
    HRESULT STDMETHODCALLTYPE put_Top(float RHS) noexcept override {
        return Call("IToolTalk.Top", [&] { m_tool->IToolTalk_Top(RHS); });
    }
    HRESULT STDMETHODCALLTYPE get_Width(float* result) noexcept override {
        return Get("IToolTalk.Width", result, [&] { return m_tool->IToolTalk_Width(); });
    }
    HRESULT STDMETHODCALLTYPE put_Width(float RHS) noexcept override {
        return Call("IToolTalk.Width", [&] { m_tool->IToolTalk_Width(RHS); });
    }
    HRESULT STDMETHODCALLTYPE get_Height(float* result) noexcept override {
        return Get("IToolTalk.Height", result, [&] { return m_tool->IToolTalk_Height(); });
    }
    HRESULT STDMETHODCALLTYPE put_Height(float RHS) noexcept override {
        return Call("IToolTalk.Height", [&] { m_tool->IToolTalk_Height(RHS); });
    }

private:
    // member names the call in error descriptions ("IToolTalk.Show: ...").
    // The tool and its window belong to the thread that created it: a call
    // from any other is refused before it touches anything.
    template <class Body>
    HRESULT Call(const char* member, Body&& body) noexcept {
        if (GetCurrentThreadId() != m_thread) {
            server::SetError(IID_IToolTalk, kToolSource,
                             std::string(member) + ": called from a thread other than the tool's");
            return RPC_E_WRONG_THREAD;
        }
        return Run(IID_IToolTalk, kToolSource, member, std::forward<Body>(body));
    }
    // results: the member's out-pointers, none for a put.
    template <class Body>
    HRESULT ByName(const char* member, BSTR* Name, std::initializer_list<const void*> results,
                   Body&& body) noexcept {
        return Call(member, [&] {
            Require({Name});
            Require(results);
            std::string name = Utf8(*Name);
            body(name);
            CopyBack(Name, name);
        });
    }
    template <class Body>
    HRESULT Get(const char* member, float* result, Body&& body) noexcept {
        return Call(member, [&] {
            Require({result});
            *result = body();
        });
    }

    const DWORD m_thread = GetCurrentThreadId();
    bool m_dying = false;
    std::unique_ptr<scenova::CScenova> m_tool;
};

// CPictureClip: cuts a rectangle of a bitmap into a new picture.
class PictureClipObject final : public ObjectBase, public DispatchImpl<_CPictureClip> {
public:
    ~PictureClipObject() override { server::ReleaseThread(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
        if (result == nullptr) {
            return E_POINTER;
        }
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID__CPictureClip) {
            *result = static_cast<_CPictureClip*>(this);
        } else if (iid == IID_ISupportErrorInfo) {
            *result = static_cast<ISupportErrorInfo*>(this);
        } else {
            *result = nullptr;
            return E_NOINTERFACE;
        }
        AddRefImpl();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return iid == IID__CPictureClip ? S_OK : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE CreatePictureClip(LONG* hBmp, SHORT* x, SHORT* y, SHORT* cx,
                                                SHORT* cy, IDispatch** result) noexcept override {
        return Run(IID__CPictureClip, kClipSource, "CPictureClip.CreatePictureClip", [&] {
            Require({hBmp, x, y, cx, cy, result});
            *result = nullptr;  // also what a failure leaves
            scenova::CPictureClip clip(ProcessPlatform());
            const int32_t bitmap = *hBmp;
            const Picture picture = clip.CreatePictureClip(bitmap, *x, *y, *cx, *cy);
            if (!picture) {
                return;
            }
            const auto* ole = dynamic_cast<const OlePicture*>(picture.get());
            if (ole == nullptr) {
                Raise(err::InvalidPicture, "CreatePictureClip: the picture is not an OLE picture");
            }
            *result = ComPtr<IDispatch>(ole->Dispatch()).Detach();
        });
    }
};

// One factory object per request; it counts as a live object while held.
template <class Object>
class ClassFactory final : public ObjectBase, public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
        if (result == nullptr) {
            return E_POINTER;
        }
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *result = static_cast<IClassFactory*>(this);
            AddRefImpl();
            return S_OK;
        }
        *result = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID) override { return S_FALSE; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** result) override {
        if (result == nullptr) {
            return E_POINTER;
        }
        *result = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        // One thread's objects at a time: the state they share is unguarded.
        if (!server::ClaimThread()) {
            return RPC_E_WRONG_THREAD;
        }
        Object* object = nullptr;
        const HRESULT created =
            Guarded([&] { object = new Object(); }, [](int32_t, const std::string&) {});
        if (FAILED(created)) {
            server::ReleaseThread();
            return created;
        }
        return Adopt(object)->QueryInterface(iid, result);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        server::Lock(lock != FALSE);
        return S_OK;
    }
};

template <class Object>
HRESULT NewFactory(REFIID iid, void** result) noexcept {
    const ComPtr<ClassFactory<Object>> factory = Adopt(new (std::nothrow) ClassFactory<Object>());
    if (!factory) {
        return E_OUTOFMEMORY;
    }
    return factory->QueryInterface(iid, result);
}

}  // namespace

HRESULT GetServerClassObject(REFCLSID clsid, REFIID iid, void** result) noexcept {
    if (result == nullptr) {
        return E_POINTER;
    }
    *result = nullptr;
    if (clsid == CLSID_CScenova) {
        return NewFactory<ToolObject>(iid, result);
    }
    if (clsid == CLSID_CPictureClip) {
        return NewFactory<PictureClipObject>(iid, result);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CreateServerObject(REFCLSID clsid, REFIID iid, void** result) noexcept {
    ComPtr<IClassFactory> factory;
    const HRESULT hr = GetServerClassObject(clsid, IID_IClassFactory, &factory);
    if (FAILED(hr)) {
        if (result != nullptr) {
            *result = nullptr;
        }
        return hr;
    }
    return factory->CreateInstance(nullptr, iid, result);
}

}  // namespace scenova::win32
