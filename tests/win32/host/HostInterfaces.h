#pragma once

// The host's side of the tool protocol, declared by hand in the host's member
// order and argument passing, independently of the component's IDL: a slot
// out of place in either makes the tests fail.

// windows.h first: the other system headers rely on it.
#include <windows.h>

#include <oaidl.h>

namespace host {

// {07264684-38CF-11D2-A062-00A0C9740CBA}
inline constexpr IID kIID_ToolTalk = {
    0x07264684, 0x38CF, 0x11D2, {0xA0, 0x62, 0x00, 0xA0, 0xC9, 0x74, 0x0C, 0xBA}};
// {0726469B-38CF-11D2-A062-00A0C9740CBA}
inline constexpr IID kIID_Manager = {
    0x0726469B, 0x38CF, 0x11D2, {0xA0, 0x62, 0x00, 0xA0, 0xC9, 0x74, 0x0C, 0xBA}};
// {A4C46780-499F-101B-BB78-00AA00383CBB}
inline constexpr IID kIID_Collection = {
    0xA4C46780, 0x499F, 0x101B, {0xBB, 0x78, 0x00, 0xAA, 0x00, 0x38, 0x3C, 0xBB}};
// {1604DA73-5875-11D2-B530-006097714880}
inline constexpr CLSID kCLSID_Scenova = {
    0x1604DA73, 0x5875, 0x11D2, {0xB5, 0x30, 0x00, 0x60, 0x97, 0x71, 0x48, 0x80}};
// {6C25117F-6EA3-464A-8603-82883EE3A0BA}
inline constexpr CLSID kCLSID_PictureClip = {
    0x6C25117F, 0x6EA3, 0x464A, {0x86, 0x03, 0x82, 0x88, 0x3E, 0xE3, 0xA0, 0xBA}};

struct IToolTalk : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Init(IDispatch** Mgr, BSTR* ToolID, LONG ParentHwnd,
                                           VARIANT_BOOL* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Startup() = 0;
    virtual HRESULT STDMETHODCALLTYPE Shutdown() = 0;
    virtual HRESULT STDMETHODCALLTYPE Show() = 0;
    virtual HRESULT STDMETHODCALLTYPE Hide() = 0;
    virtual HRESULT STDMETHODCALLTYPE Move(float* Left, VARIANT* Top, VARIANT* Width,
                                           VARIANT* Height) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_NavEnabled(BSTR* Name, VARIANT_BOOL RHS) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_NavEnabled(BSTR* Name, VARIANT_BOOL* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ToolbarEnabled(BSTR* Name, VARIANT_BOOL RHS) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ToolbarEnabled(BSTR* Name, VARIANT_BOOL* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ID(BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Left(float* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Left(float RHS) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Top(float* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Top(float RHS) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Width(float* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Width(float RHS) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Height(float* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Height(float RHS) = 0;
};

// The manager: fourteen groups of slots after IDispatch, the unused ones kept.
struct IManager : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Slot1() = 0;
    virtual HRESULT STDMETHODCALLTYPE ToolShutdown(IUnknown** tool) = 0;
    virtual HRESULT STDMETHODCALLTYPE ReportError(IUnknown** tool, LONG code, BSTR text) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot4() = 0;
    virtual HRESULT STDMETHODCALLTYPE ResourceAction(BSTR* ButtonID, LONG* action,
                                                     VARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSettings(IUnknown** tool, IDispatch** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetScript(IUnknown** tool, IDispatch** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE NavigationRequest(IUnknown** tool, BSTR name) = 0;
    virtual HRESULT STDMETHODCALLTYPE ToolbarRequest(IUnknown** tool, BSTR name) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMediaPath(IUnknown** tool, BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAuxiliaryPath(IUnknown** tool, BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetResourcePath(IUnknown** tool, BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot13() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot14() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVideoPath(IUnknown** tool, BSTR* result) = 0;
};

// The standard collection interface of the settings and script collections.
struct ICollection : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Item(VARIANT* Index, VARIANT* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Add(VARIANT* Item, VARIANT* Key, VARIANT* Before,
                                          VARIANT* After) = 0;
    virtual HRESULT STDMETHODCALLTYPE Count(LONG* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Remove(VARIANT* Index) = 0;
    virtual HRESULT STDMETHODCALLTYPE _NewEnum(IUnknown** result) = 0;
};

}  // namespace host
