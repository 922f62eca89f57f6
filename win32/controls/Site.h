#pragma once

#include <ocidl.h>
#include <ole2.h>
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "win32/com/ComPtr.h"
#include "win32/controls/Dispatch.h"

namespace scenova::win32::controls {

// Twips <-> pixels of the window the controls sit on.
struct Units {
    std::function<float(float)> twipsToPixelsX;
    std::function<float(float)> twipsToPixelsY;
};

// Receives the events of one control: IDispatch calls on its default source
// interface, whose DISPIDs are mapped to names through the control's type
// information (IProvideClassInfo), handed on by name.
class EventSink;
using EventHandler = std::function<void(const std::string& event, DISPPARAMS& params)>;

// The container site of one hosted control: client site, in-place site and
// frame, and the ambient properties (DisplayName is the control's name,
// UserMode is True, LocaleID the user's; others are not supported). It
// creates the control by ProgID, initialises it empty (IPersistStreamInit),
// activates it in place in the parent window (OLEIVERB_INPLACEACTIVATE) and
// keeps the container properties (position and size in twips, Visible,
// Enabled) that the toolkit gives every control: it moves the control with
// IOleInPlaceObject::SetObjectRects and shows, hides, enables and disables
// the control's window. Events come from the default source interface of the
// control's coclass (IProvideClassInfo), through its connection point.
// Sites and sinks count as live objects of the server: a control may hold
// them after the window has gone.
//
// Not supported: licensed controls (IClassFactory2), windowless controls,
// saved properties (property bags or streams), keyboard mnemonics and
// accelerators (IOleControlSite, IOleControl), menus and toolbars of the
// frame, and property change notifications.
class ControlSite final : public IOleClientSite,
                          public IOleInPlaceSite,
                          public IOleInPlaceFrame,
                          public IDispatch {
public:
    // Creates and activates the control; raises 429 when the ProgID names
    // no control that can be created, naming the control and the ProgID.
    static ControlSite* Create(HWND parent, Units units, const std::string& name,
                               const std::wstring& progId);

    // The control's late-bound interface.
    Dispatcher& Control() { return *m_dispatcher; }
    // Connects the control's events; raises when the control has no
    // connection point or type information for them.
    void Advise(EventHandler handler);
    // Unadvises, deactivates and closes the control and drops it.
    void Close();

    float Left() const { return m_left; }
    float Top() const { return m_top; }
    float Width() const { return m_width; }
    float Height() const { return m_height; }
    void Place(float left, float top, float width, float height);
    bool Visible() const { return m_visible; }
    void Visible(bool value);
    bool Enabled() const { return m_enabled; }
    void Enabled(bool value);

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IOleClientSite
    STDMETHODIMP SaveObject() override { return S_OK; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** container) override;
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IOleWindow (of both the in-place site and the frame)
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  LPRECT position, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }
    // IOleInPlaceUIWindow / IOleInPlaceFrame: no menus, toolbars or accelerators.
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }
    // IDispatch: the ambient properties.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO*, UINT*) override;

private:
    ControlSite(HWND parent, Units units, std::string name);
    ~ControlSite();
    RECT PixelRect() const;
    HWND ControlWindow() const;
    void Activate();

    ULONG m_references = 1;
    HWND m_parent;
    Units m_units;
    std::string m_name;
    ComPtr<IOleObject> m_object;
    std::unique_ptr<Dispatcher> m_dispatcher;
    ComPtr<IConnectionPoint> m_connection;
    ComPtr<EventSink> m_sink;
    DWORD m_cookie = 0;
    float m_left = 0;
    float m_top = 0;
    float m_width = 0;
    float m_height = 0;
    bool m_visible = true;
    bool m_enabled = true;
};

// Holds one reference to a site and closes the control when the last
// holder goes.
using SitePtr = std::shared_ptr<ControlSite>;
SitePtr HoldSite(ControlSite* site);

}  // namespace scenova::win32::controls
