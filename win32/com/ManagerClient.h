#pragma once

// windows.h first: the other system headers rely on it.
#include <windows.h>

#include <oaidl.h>

#include <memory>
#include <string>

#include "Scenova_h.h"
#include "runtime/Collection.h"
#include "tool/Manager.h"
#include "win32/com/ComPtr.h"

namespace scenova::win32 {

// A host collection (settings, script lines): Count, and Item by position or
// key, through the standard collection interface's vtable where the object
// has it, otherwise late-bound by name through its IDispatch.
class CollectionClient final : public ICollection {
public:
    CollectionClient(ComPtr<IDispatch> collection, std::string name);

    int32_t Count() const override;
    Variant Item(int32_t index) const override;
    Variant Item(std::string_view key) const override;

private:
    Variant Item(VARIANT& index) const;
    Variant Invoke(DISPID member, const char* memberName, VARIANT* argument) const;

    ComPtr<IStandardCollection> m_standard;  // null: by name
    ComPtr<IDispatch> m_dispatch;
    std::string m_name;  // for error texts: "mgr.GetSettings()"
    DISPID m_count = DISPID_UNKNOWN;
    DISPID m_item = DISPID_VALUE;
};

// The host's manager as the core sees it, called through the manager's vtable.
// Holds one reference to the manager; tool is the calling object's identity,
// not held (the object owns this client).
class ManagerClient final : public IManager {
public:
    ManagerClient(ComPtr<IToolManager> manager, IUnknown* tool) noexcept;

    void ToolShutdown(CScenova& tool) override;
    void ReportError(CScenova& tool, int32_t code, const std::string& text) override;
    void ResourceAction(std::string& buttonId, int32_t& action, std::string* value) override;
    std::shared_ptr<ICollection> GetSettings(CScenova& tool) override;
    std::shared_ptr<ICollection> GetScript(CScenova& tool) override;
    void NavigationRequest(CScenova& tool, const std::string& name) override;
    void ToolbarRequest(CScenova& tool, const std::string& name) override;
    std::string GetMediaPath(CScenova& tool) override;
    std::string GetAuxiliaryPath(CScenova& tool) override;
    std::string GetResourcePath(CScenova& tool) override;
    std::string GetVideoPath(CScenova& tool) override;

private:
    template <class Call>
    void WithTool(const char* where, Call&& call);
    std::shared_ptr<ICollection> Collection(
        const char* where,
        HRESULT (STDMETHODCALLTYPE IToolManager::*member)(IUnknown**, IDispatch**));
    std::string Path(const char* where,
                     HRESULT (STDMETHODCALLTYPE IToolManager::*member)(IUnknown**, BSTR*));

    ComPtr<IToolManager> m_manager;
    IUnknown* m_tool;
};

}  // namespace scenova::win32
