#pragma once

// The test host's objects: a settings/script collection with Count and Item,
// a manager that records every call in the trace format, and a main window
// with an MDI client.

// windows.h first: the other system headers rely on it.
#include <windows.h>

#include <oaidl.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "HostInterfaces.h"

namespace host {

std::string Narrow(const wchar_t* text, int length = -1);
std::wstring Wide(const std::string& text);

// Reference counting for the host's objects. Every one the host creates is
// known here, so that a test can see which the DLL still holds.
class Counted {
public:
    explicit Counted(const char* kind);
    virtual ~Counted();
    ULONG refs() const { return m_refs; }

    // The host's objects whose count is not the host's own (one reference
    // each, held by the test or by the manager), as "collection: 2 references":
    // once the tool is released, anything here is a reference the DLL kept.
    static std::vector<std::string> HeldElsewhere();

protected:
    ULONG AddRefImpl() { return ++m_refs; }
    ULONG ReleaseImpl() {
        const ULONG refs = --m_refs;
        if (refs == 0) {
            delete this;
        }
        return refs;
    }

private:
    const char* m_kind;
    ULONG m_refs = 1;
};

// Items by position (from 1) or by key (any letter case), as the standard
// collection object answers: a missing key fails with run-time error 5, a
// position out of range with 9. It answers through the standard collection
// interface's vtable only (its IDispatch resolves no names), or by name
// through IDispatch only, as a host's own collection object may.
enum class Binding { Vtable, Names };

class HostCollection final : public ICollection, public Counted {
public:
    explicit HostCollection(Binding binding) : Counted("collection"), m_binding(binding) {}
    void Add(std::wstring item, std::wstring key = L"") {
        m_items.emplace_back(std::move(key), std::move(item));
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT*) override;

    HRESULT STDMETHODCALLTYPE Item(VARIANT* Index, VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE Add(VARIANT*, VARIANT*, VARIANT*, VARIANT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Count(LONG* result) override;
    HRESULT STDMETHODCALLTYPE Remove(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE _NewEnum(IUnknown**) override { return E_NOTIMPL; }

private:
    Binding m_binding;
    std::vector<std::pair<std::wstring, std::wstring>> m_items;  // key, item
};

// The manager: records "mgr.Member(args)" lines, fails where told to.
class RecordingManager final : public IManager, public Counted {
public:
    std::vector<std::string> lines;
    std::map<std::string, HRESULT> failures;  // member name -> HRESULT to fail with
    IUnknown* tool = nullptr;                 // identity of the expected caller, not held
    HostCollection* settings = nullptr;       // held; null: GetSettings returns nothing
    HostCollection* script = nullptr;
    std::wstring mediaPath = L"C:\\lesson\\media\\";
    std::wstring auxiliaryPath = L"C:\\lesson\\";
    std::wstring resourcePath = L"C:\\lesson\\resources\\";
    std::wstring videoPath = L"C:\\lesson\\video\\";
    // ToolShutdown lets go of the tool it was handed by reference, as a host
    // may (it releases it and leaves nothing in its place).
    bool dropToolOnShutdown = false;
    // Runs inside ResourceAction; may change the value the tool passed.
    std::function<void(const std::string& id, LONG action, VARIANT* value)> onResourceAction;
    // The host's own doing inside every call, after it is recorded (the
    // member's name): it may shut the tool down and release it.
    std::function<void(const std::string& member)> inside;

    RecordingManager();
    ~RecordingManager() override;

    std::vector<std::string> Calls(const std::string& prefix = "mgr.") const;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE Slot1() override { return Unused("Slot1"); }
    HRESULT STDMETHODCALLTYPE ToolShutdown(IUnknown** tool) override;
    HRESULT STDMETHODCALLTYPE ReportError(IUnknown** tool, LONG code, BSTR text) override;
    HRESULT STDMETHODCALLTYPE Slot4() override { return Unused("Slot4"); }
    HRESULT STDMETHODCALLTYPE ResourceAction(BSTR* ButtonID, LONG* action, VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE GetSettings(IUnknown** tool, IDispatch** result) override;
    HRESULT STDMETHODCALLTYPE GetScript(IUnknown** tool, IDispatch** result) override;
    HRESULT STDMETHODCALLTYPE NavigationRequest(IUnknown** tool, BSTR name) override;
    HRESULT STDMETHODCALLTYPE ToolbarRequest(IUnknown** tool, BSTR name) override;
    HRESULT STDMETHODCALLTYPE GetMediaPath(IUnknown** tool, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE GetAuxiliaryPath(IUnknown** tool, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE GetResourcePath(IUnknown** tool, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE Slot13() override { return Unused("Slot13"); }
    HRESULT STDMETHODCALLTYPE Slot14() override { return Unused("Slot14"); }
    HRESULT STDMETHODCALLTYPE GetVideoPath(IUnknown** tool, BSTR* result) override;

private:
    std::string Who(IUnknown** caller) const;
    HRESULT Record(const std::string& member, const std::string& arguments);
    HRESULT Unused(const std::string& member);
    HRESULT Path(const std::string& member, IUnknown** caller, const std::wstring& path,
                 BSTR* result);
    HRESULT Collection(const std::string& member, IUnknown** caller, HostCollection* collection,
                       IDispatch** result);
};

}  // namespace host
