// The real DLL driven as a host drives it: registered by regsvr32, created
// through COM, called through the host's own declarations.

// windows.h first: the other system headers rely on it.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <objbase.h>
#include <olectl.h>
#include <wrl/client.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "../window/WindowTestSupport.h"
#include "HostInterfaces.h"
#include "HostObjects.h"

using Microsoft::WRL::ComPtr;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

constexpr HRESULT RunTimeError(int number) {
    return static_cast<HRESULT>(0x800A0000u | static_cast<unsigned>(number));
}

// A BSTR owned by the test.
struct Text {
    BSTR value;
    explicit Text(const wchar_t* text) : value(SysAllocString(text)) {}
    ~Text() { SysFreeString(value); }
    std::string str() const { return host::Narrow(value, static_cast<int>(SysStringLen(value))); }
};

VARIANT Missing() {
    VARIANT value;
    V_VT(&value) = VT_ERROR;
    V_ERROR(&value) = DISP_E_PARAMNOTFOUND;
    return value;
}

// The description of the thread's error object, if any.
std::string LastErrorDescription() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) != S_OK || !info) {
        return {};
    }
    BSTR source = nullptr;
    BSTR description = nullptr;
    info->GetSource(&source);
    info->GetDescription(&description);
    const std::string text = host::Narrow(source, static_cast<int>(SysStringLen(source))) + ": " +
                             host::Narrow(description, static_cast<int>(SysStringLen(description)));
    SysFreeString(source);
    SysFreeString(description);
    return text;
}

// A member called late bound, as a script host does; `result` is initialised.
HRESULT InvokeByName(IDispatch* object, const wchar_t* name, WORD kind, DISPPARAMS& params,
                     VARIANT& result, EXCEPINFO* exception = nullptr) {
    VariantInit(&result);
    LPOLESTR member = const_cast<LPOLESTR>(name);
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = object->GetIDsOfNames(IID_NULL, &member, 1, LOCALE_USER_DEFAULT, &id);
    return FAILED(hr) ? hr
                      : object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, &result,
                                       exception, nullptr);
}

// The window's own visibility (the host's frame itself stays hidden here).
bool Shown(HWND window) {
    return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

class HostTest : public ::testing::Test {
protected:
    HostTest() {
        // Settings by name through IDispatch, the script through the
        // standard collection interface only (as the sample lesson's are).
        mgr->script = new host::HostCollection(host::Binding::Vtable);
        mgr->settings = new host::HostCollection(host::Binding::Names);
        mgr->settings->Add(L"x", L"Unrelated.Key");
    }
    ~HostTest() override {
        tool.Reset();
        // Every reference the tool took on the host's objects is gone with it.
        EXPECT_THAT(host::Counted::HeldElsewhere(), IsEmpty());
        mgr->Release();
    }

    void Create(const CLSID& clsid = host::kCLSID_Scenova) {
        ASSERT_EQ(
            CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, host::kIID_ToolTalk, &tool),
            S_OK);
        ComPtr<IUnknown> identity;
        tool.As(&identity);
        mgr->tool = identity.Get();
    }
    HRESULT Init(IDispatch* manager, VARIANT_BOOL* result, HWND parent = nullptr) {
        Text id(L"scenova");
        return tool->Init(&manager, &id.value, HandleToLong(parent), result);
    }

    host::RecordingManager* mgr = new host::RecordingManager();
    ComPtr<host::IToolTalk> tool;
};

TEST_F(HostTest, CreatedByClsidAndProgIdAndReachableLateBound) {
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(L"Scenova.CPictureClip", &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, host::kCLSID_PictureClip));
    ASSERT_EQ(CLSIDFromProgID(L"Scenova.CScenova", &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, host::kCLSID_Scenova));
    Create(clsid);

    // Init without a script fails softly; the identifier is kept all the same
    // and is readable through IToolTalk's IDispatch by name.
    mgr->failures["GetScript"] = E_FAIL;
    VARIANT_BOOL ok = VARIANT_TRUE;
    ASSERT_EQ(Init(mgr, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    ASSERT_EQ(InvokeByName(tool.Get(), L"ID", DISPATCH_PROPERTYGET, none, result), S_OK);
    ASSERT_EQ(V_VT(&result), VT_BSTR);
    EXPECT_EQ(host::Narrow(V_BSTR(&result)), "scenova");
    VariantClear(&result);
}

TEST_F(HostTest, InitReturnsFalseWithoutScriptOrManagerAndLeavesTheHostWindowAlone) {
    scenova::win32::testing_support::HostFrame main;
    Create();
    mgr->failures["GetScript"] = RunTimeError(57);
    VARIANT_BOOL ok = VARIANT_TRUE;
    ASSERT_EQ(Init(mgr, &ok, main.frame), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    EXPECT_THAT(mgr->Calls(), ElementsAre("mgr.GetScript(<tool>)"));
    EXPECT_EQ(FindWindowExW(main.client, nullptr, nullptr, nullptr), nullptr);

    // No manager, or an object that is not one: False as well, nothing called.
    ok = VARIANT_TRUE;
    ASSERT_EQ(Init(nullptr, &ok, main.frame), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    ok = VARIANT_TRUE;
    ASSERT_EQ(Init(mgr->settings, &ok, main.frame), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    EXPECT_EQ(mgr->Calls().size(), 1u);

    // A control that takes no event sink: False, and the window that was
    // loading is unloaded again, with every control it had made.
    auto& fake = scenova::win32::testing_support::LoadedFakeControls();
    mgr->failures.clear();
    fake.refuseEvents("sldVideoSlider");
    ok = VARIANT_TRUE;
    ASSERT_EQ(Init(mgr, &ok, main.frame), S_OK);
    fake.refuseEvents(nullptr);
    EXPECT_EQ(ok, VARIANT_FALSE);
    EXPECT_EQ(FindWindowW(L"ScenovaWindow", nullptr), nullptr);
    EXPECT_EQ(fake.liveObjects(), 0);
}

TEST_F(HostTest, FailuresReachTheHostAsTheRunTimeErrorsHResultWithADescription) {
    Create();
    // Startup before Init: no script collection (91).
    EXPECT_EQ(tool->Startup(), RunTimeError(91));
    EXPECT_THAT(LastErrorDescription(), HasSubstr("Scenova.CScenova: IToolTalk.Startup: "));

    // A manager failure passes through with its own HRESULT and says where.
    mgr->failures["GetScript"] = E_FAIL;
    VARIANT_BOOL ok = VARIANT_TRUE;
    ASSERT_EQ(Init(mgr, &ok), S_OK);
    mgr->failures["ResourceAction"] = RunTimeError(57);
    EXPECT_EQ(tool->Hide(), RunTimeError(57));
    EXPECT_THAT(LastErrorDescription(), HasSubstr("mgr.ResourceAction failed"));
    mgr->failures["ToolShutdown"] = E_ACCESSDENIED;
    EXPECT_EQ(tool->Shutdown(), E_ACCESSDENIED);
    EXPECT_EQ(mgr->Calls().back(), "mgr.ToolShutdown(<tool>)");

    // Null pointers are refused, not written through, each with an error
    // object of its own: never the description of an earlier failure.
    Text name(L"Next");
    IDispatch* none = nullptr;
    VARIANT_BOOL flag = VARIANT_FALSE;
    const std::pair<const char*, std::function<HRESULT()>> refused[] = {
        {"Init", [&] { return tool->Init(&none, nullptr, 0, &flag); }},
        {"Move", [&] { return tool->Move(nullptr, nullptr, nullptr, nullptr); }},
        {"NavEnabled", [&] { return tool->put_NavEnabled(nullptr, VARIANT_TRUE); }},
        {"NavEnabled", [&] { return tool->get_NavEnabled(&name.value, nullptr); }},
        {"ToolbarEnabled", [&] { return tool->get_ToolbarEnabled(nullptr, &flag); }},
        {"ID", [&] { return tool->get_ID(nullptr); }},
        {"Left", [&] { return tool->get_Left(nullptr); }},
        {"Height", [&] { return tool->get_Height(nullptr); }},
    };
    for (const auto& [member, call] : refused) {
        EXPECT_EQ(tool->Startup(), RunTimeError(91));  // an error object to replace
        EXPECT_EQ(call(), E_POINTER) << member;
        EXPECT_THAT(LastErrorDescription(),
                    HasSubstr("Scenova.CScenova: IToolTalk." + std::string(member) + ": "));
    }
}

TEST_F(HostTest, SessionFromInitToShutdownThroughTheRealWindow) {
    scenova::win32::testing_support::HostFrame main;
    mgr->settings->Add(L"help.htm", L"Help");
    mgr->onResourceAction = [](const std::string& id, LONG, VARIANT* value) {
        if (id == "Help" && V_VT(value) == (VT_BYREF | VT_BSTR)) {
            SysFreeString(*V_BSTRREF(value));
            *V_BSTRREF(value) = SysAllocString(L"help2.htm");
        }
    };
    Create();
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_EQ(Init(mgr, &ok, main.frame), S_OK);
    ASSERT_EQ(ok, VARIANT_TRUE) << ::testing::PrintToString(mgr->lines);
    EXPECT_THAT(mgr->Calls(),
                ElementsAre("mgr.GetScript(<tool>)", "mgr.GetMediaPath(<tool>)",
                            "mgr.GetAuxiliaryPath(<tool>)", "mgr.GetResourcePath(<tool>)",
                            "mgr.GetVideoPath(<tool>)", "mgr.GetSettings(<tool>)"));

    // The presentation window is now an MDI child of the host's client, hidden.
    const HWND window = FindWindowExW(main.client, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_NE(GetWindowLongW(window, GWL_STYLE) & WS_CHILD, 0);
    EXPECT_NE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_MDICHILD, 0);
    EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_FALSE(Shown(window));

    // Each showing updates the offered resources; the host's change to the
    // string it was handed by reference is kept.
    mgr->lines.clear();
    ASSERT_EQ(tool->Show(), S_OK);
    ASSERT_EQ(tool->Show(), S_OK);
    EXPECT_THAT(mgr->Calls("mgr.ResourceAction"),
                ElementsAre("mgr.ResourceAction(\"Help\", 1, \"help.htm\")",
                            "mgr.ResourceAction(\"Culture Tips\", 0)",
                            "mgr.ResourceAction(\"Learning Strategies\", 0)",
                            "mgr.ResourceAction(\"Help\", 1, \"help2.htm\")",
                            "mgr.ResourceAction(\"Culture Tips\", 0)",
                            "mgr.ResourceAction(\"Learning Strategies\", 0)"));
    EXPECT_TRUE(Shown(window));

    mgr->lines.clear();
    ASSERT_EQ(tool->Hide(), S_OK);
    EXPECT_THAT(mgr->Calls(), ElementsAre("mgr.ResourceAction(\"Learning Strategies\", 0)"));
    EXPECT_FALSE(Shown(window));

    // Move: missing optional arguments keep the current values.
    float left = 100;
    VARIANT top;
    V_VT(&top) = VT_I4;
    V_I4(&top) = 200;
    VARIANT width;
    V_VT(&width) = VT_BSTR;
    V_BSTR(&width) = SysAllocString(L"3000");
    VARIANT missing = Missing();
    ASSERT_EQ(tool->Move(&left, &top, &width, &missing), S_OK);
    VariantClear(&width);
    float height = 0;
    ASSERT_EQ(tool->get_Height(&height), S_OK);
    left = 150;
    ASSERT_EQ(tool->Move(&left, nullptr, &missing, &missing), S_OK);
    float at[4] = {};
    EXPECT_EQ(tool->get_Left(&at[0]) | tool->get_Top(&at[1]) | tool->get_Width(&at[2]) |
                  tool->get_Height(&at[3]),
              S_OK);
    EXPECT_THAT(at, ElementsAre(150, 200, 3000, height));
    V_VT(&width) = VT_BSTR;
    V_BSTR(&width) = SysAllocString(L"wide");
    EXPECT_EQ(tool->Move(&left, &missing, &width, &missing), RunTimeError(13));
    VariantClear(&width);

    // The host may drop the tool it is handed by reference; the tool lives on,
    // shut down: every member then fails with 91 and no window loads again.
    mgr->dropToolOnShutdown = true;
    mgr->lines.clear();
    ASSERT_EQ(tool->Shutdown(), S_OK);
    EXPECT_EQ(mgr->Calls().back(), "mgr.ToolShutdown(<tool>)");
    EXPECT_FALSE(IsWindow(window));
    BSTR id = nullptr;
    EXPECT_EQ(tool->get_ID(&id), RunTimeError(91));
    EXPECT_EQ(tool->Show(), RunTimeError(91));
    EXPECT_THAT(LastErrorDescription(), HasSubstr("IToolTalk.Show: the tool has shut down"));
    EXPECT_EQ(tool->Shutdown(), RunTimeError(91));
    EXPECT_EQ(FindWindowW(L"ScenovaWindow", nullptr), nullptr);
}

// The tool belongs to the thread that made it: a call from another thread is
// refused before it touches anything, and no other thread gets objects of
// the server while this one's live.
TEST_F(HostTest, AnotherThreadIsRefused) {
    Create();
    HRESULT shown = S_OK;
    HRESULT created = S_OK;
    std::thread other([&] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        shown = tool->Show();
        ComPtr<IUnknown> second;
        created = CoCreateInstance(host::kCLSID_PictureClip, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IUnknown, &second);
        CoUninitialize();
    });
    other.join();
    EXPECT_EQ(shown, RPC_E_WRONG_THREAD);
    EXPECT_EQ(created, RPC_E_WRONG_THREAD);
    EXPECT_EQ(FindWindowW(L"ScenovaWindow", nullptr), nullptr);
    EXPECT_TRUE(mgr->lines.empty());
}

// A type library as text: its identity, and every type with its members in
// vtable order (dispatch identifier, kind, parameter types, vtable slot; the
// slot in units of AddRef's, slot 1, whatever width the reader gives one).
std::string Describe(ITypeLib* library) {
    TLIBATTR* attr = nullptr;
    library->GetLibAttr(&attr);
    char line[200];
    snprintf(line, sizeof line, "library %lx %d.%d\n", attr->guid.Data1, attr->wMajorVerNum,
             attr->wMinorVerNum);
    std::string text = line;
    library->ReleaseTLibAttr(attr);
    for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
        ComPtr<ITypeInfo> info;
        library->GetTypeInfo(i, &info);
        TYPEATTR* type = nullptr;
        info->GetTypeAttr(&type);
        std::vector<FUNCDESC*> funcs(type->cFuncs);
        int slot = 1;
        for (UINT f = 0; f < type->cFuncs; ++f) {
            info->GetFuncDesc(f, &funcs[f]);
            slot = f == 1 && funcs[f]->oVft > 0 ? funcs[f]->oVft : slot;
        }
        BSTR name = nullptr;
        info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
        snprintf(line, sizeof line, "%ls %lx kind %d flags %x slots %d\n", name, type->guid.Data1,
                 type->typekind, type->wTypeFlags, type->cbSizeVft / slot);
        SysFreeString(name);
        text += line;
        for (FUNCDESC* func : funcs) {
            info->GetDocumentation(func->memid, &name, nullptr, nullptr, nullptr);
            snprintf(line, sizeof line, "  %ls id %ld invoke %d slot %d returns %d:", name,
                     func->memid, func->invkind, func->oVft / slot, func->elemdescFunc.tdesc.vt);
            SysFreeString(name);
            text += line;
            for (SHORT p = 0; p < func->cParams; ++p) {
                const TYPEDESC& param = func->lprgelemdescParam[p].tdesc;
                snprintf(line, sizeof line, " %d/%d/%x", param.vt,
                         param.vt == VT_PTR ? param.lptdesc->vt : 0,
                         func->lprgelemdescParam[p].paramdesc.wParamFlags);
                text += line;
            }
            text += "\n";
            info->ReleaseFuncDesc(func);
        }
        info->ReleaseTypeAttr(type);
    }
    return text;
}

// The 32-bit DLL cannot run here, but its type library can be read: it must
// describe what the 64-bit one does, slot for slot, for a 32-bit system.
TEST(TypeLibrary, TheI686LibraryDescribesTheSameInterfaces) {
    const char* x86 = std::getenv("SCENOVA_X86_DLL");
    if (x86 == nullptr) {
        GTEST_SKIP() << "SCENOVA_X86_DLL names no i686 build";
    }
    ComPtr<ITypeLib> own;
    ComPtr<ITypeLib> other;
    ASSERT_EQ(LoadTypeLibEx(host::Wide(SCENOVA_DLL).c_str(), REGKIND_NONE, &own), S_OK);
    ASSERT_EQ(LoadTypeLibEx(host::Wide(x86).c_str(), REGKIND_NONE, &other), S_OK);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(other->GetLibAttr(&attr), S_OK);
    EXPECT_EQ(attr->syskind, SYS_WIN32);
    other->ReleaseTLibAttr(attr);
    EXPECT_EQ(Describe(other.Get()), Describe(own.Get()));
}

// A 640 by 480 source with a distinct colour at every pixel.
HBITMAP MakeSource() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 640;
    info.bmiHeader.biHeight = -480;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<DWORD*>(bits);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            pixels[y * 640 + x] = static_cast<DWORD>((x << 12) | y);
        }
    }
    return bitmap;
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

TEST(PictureClip, CutsARectangleIntoAPictureThatOwnsItsBitmap) {
    ComPtr<IDispatch> clip;
    ASSERT_EQ(CoCreateInstance(host::kCLSID_PictureClip, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IDispatch, &clip),
              S_OK);

    HBITMAP source = MakeSource();
    ASSERT_NE(source, nullptr);
    LONG handle = HandleToLong(source);
    SHORT x = 100, y = 50, cx = 200, cy = 100;
    // Arguments go right to left, all by reference.
    VARIANT args[5];
    V_VT(&args[4]) = VT_BYREF | VT_I4;
    V_I4REF(&args[4]) = &handle;
    SHORT* shorts[] = {&cy, &cx, &y, &x};
    for (int i = 0; i < 4; ++i) {
        V_VT(&args[i]) = VT_BYREF | VT_I2;
        V_I2REF(&args[i]) = shorts[i];
    }
    DISPPARAMS params{args, nullptr, 5, 0};
    VARIANT result;
    ASSERT_EQ(InvokeByName(clip.Get(), L"CreatePictureClip", DISPATCH_METHOD, params, result),
              S_OK);
    ASSERT_EQ(V_VT(&result), VT_DISPATCH);
    ComPtr<IPicture> picture;
    ASSERT_EQ(V_DISPATCH(&result)->QueryInterface(IID_IPicture, &picture), S_OK);
    VariantClear(&result);
    EXPECT_EQ(handle, HandleToLong(source));  // arguments left unchanged

    OLE_HANDLE clipped = 0;
    ASSERT_EQ(picture->get_Handle(&clipped), S_OK);
    const HBITMAP bitmap = static_cast<HBITMAP>(LongToHandle(static_cast<LONG>(clipped)));
    BITMAP info{};
    ASSERT_NE(GetObjectW(bitmap, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 200);
    EXPECT_EQ(info.bmHeight, 100);
    EXPECT_EQ(info.bmBitsPixel, 32);  // the source's depth, not monochrome
    EXPECT_EQ(PixelOf(bitmap, 0, 0), PixelOf(source, 100, 50));
    EXPECT_EQ(PixelOf(bitmap, 199, 99), PixelOf(source, 299, 149));
    EXPECT_NE(PixelOf(bitmap, 0, 0), PixelOf(bitmap, 199, 99));

    // (That the picture owns the copy is PictureClipGdi's to show.)
    picture.Reset();
    DeleteObject(source);

    // No bitmap: nothing, and no failure.
    handle = 0;
    ASSERT_EQ(InvokeByName(clip.Get(), L"CreatePictureClip", DISPATCH_METHOD, params, result),
              S_OK);
    EXPECT_TRUE(V_VT(&result) == VT_EMPTY ||
                (V_VT(&result) == VT_DISPATCH && V_DISPATCH(&result) == nullptr));
    VariantClear(&result);

    // A handle that is no bitmap, or a bitmap the host's DC holds: no picture
    // but invalid picture (481), with the error object, as a script sees it.
    HDC held = CreateCompatibleDC(nullptr);
    HBITMAP selected = CreateBitmap(8, 8, 1, 32, nullptr);
    HGDIOBJ heldOld = SelectObject(held, selected);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    const std::pair<const char*, HANDLE> handles[] = {{"a brush", brush},
                                                      {"a DC", held},
                                                      {"a number", LongToHandle(0x1234)},
                                                      {"a held bitmap", selected}};
    for (const auto& [what, object] : handles) {
        handle = HandleToLong(object);
        EXCEPINFO exception{};
        EXPECT_EQ(InvokeByName(clip.Get(), L"CreatePictureClip", DISPATCH_METHOD, params, result,
                               &exception),
                  DISP_E_EXCEPTION)
            << what;
        EXPECT_EQ(exception.scode, RunTimeError(481)) << what;
        EXPECT_EQ(host::Narrow(exception.bstrSource), "Scenova.CPictureClip") << what;
        EXPECT_THAT(host::Narrow(exception.bstrDescription), HasSubstr("CreatePictureClip"))
            << what;
        EXPECT_TRUE(V_VT(&result) == VT_EMPTY ||
                    (V_VT(&result) == VT_DISPATCH && V_DISPATCH(&result) == nullptr))
            << what;
        VariantClear(&result);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
    }
    SelectObject(held, heldOld);
    DeleteDC(held);
    DeleteObject(selected);
    DeleteObject(brush);
}

// A key below HKEY_CLASSES_ROOT with its values and subkeys, as text.
std::string Dump(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return "<no key>";
    }
    std::string text = "[" + host::Narrow(path.c_str()) + "]";
    wchar_t name[256];
    BYTE data[512];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 256;
        DWORD size = sizeof data - sizeof(wchar_t);
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, nullptr, data, &size) !=
            ERROR_SUCCESS) {
            break;
        }
        reinterpret_cast<wchar_t*>(data)[size / sizeof(wchar_t)] = L'\0';
        text += " " + host::Narrow(name) + "=" + host::Narrow(reinterpret_cast<wchar_t*>(data));
    }
    for (DWORD i = 0; RegEnumKeyW(key, i, name, 256) == ERROR_SUCCESS; ++i) {
        text += " " + Dump(path + L"\\" + name);
    }
    RegCloseKey(key);
    return text;
}

// Run separately, after regsvr32 /u: registration shares the machine. The
// host's own registration of IToolTalk (its library's, with a proxy of its
// own) is left as it was; unregistering leaves the other architecture's
// entry of the type library (the 32- and 64-bit registry views share it); a
// step that fails undoes the earlier ones; and regsvr32 /n /i:user registers
// for the current user alone, /u /n /i:user removes exactly that.
TEST(Unregistered, RegistrationSharesTheMachine) {
    const std::wstring key = L"Interface\\{07264684-38CF-11D2-A062-00A0C9740CBA}";
    const std::wstring clsid = L"CLSID\\{1604DA73-5875-11D2-B530-006097714880}";
    const std::wstring library = L"TypeLib\\{1604DA74-5875-11D2-B530-006097714880}";
    const std::wstring other = library + L"\\1.0\\0\\win32";
    const std::pair<std::wstring, const wchar_t*> values[] = {
        {key, L"IToolTalk"},
        {key + L"\\ProxyStubClsid32", L"{0726469A-38CF-11D2-A062-00A0C9740CBA}"},
        {key + L"\\TypeLib", L"{072646A6-38CF-11D2-A062-00A0C9740CBA}"},
        {other, L"C:\\x86\\Scenova.dll"},
    };
    for (const auto& [path, value] : values) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, path.c_str(), nullptr, REG_SZ, value,
                                  static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    const std::string before = Dump(key);
    const HMODULE server = LoadLibraryA(SCENOVA_DLL);
    ASSERT_NE(server, nullptr);
    const auto entry = [server](const char* name) {
        return reinterpret_cast<void*>(GetProcAddress(server, name));
    };
    const auto reg = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(entry("DllRegisterServer"));
    const auto unreg = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(entry("DllUnregisterServer"));
    const auto install =
        reinterpret_cast<HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR)>(entry("DllInstall"));
    ASSERT_NE(install, nullptr);
    ASSERT_EQ(reg(), S_OK);
    EXPECT_EQ(Dump(key), before);
    // The server's own library and interfaces are registered all the same.
    const GUID libraryId = {
        0x1604DA74, 0x5875, 0x11D2, {0xB5, 0x30, 0x00, 0x60, 0x97, 0x71, 0x48, 0x80}};
    ComPtr<ITypeLib> registered;
    EXPECT_EQ(LoadRegTypeLib(libraryId, 1, 0, LOCALE_NEUTRAL, &registered), S_OK);
    registered.Reset();
    EXPECT_EQ(Dump(L"Interface\\{1604DA72-5875-11D2-B530-006097714880}\\TypeLib"),
              "[Interface\\{1604DA72-5875-11D2-B530-006097714880}\\TypeLib] "
              "={1604DA74-5875-11D2-B530-006097714880} Version=1.0");
    ASSERT_EQ(unreg(), S_OK);
    EXPECT_EQ(Dump(key), before);
    EXPECT_EQ(Dump(other), "[" + host::Narrow(other.c_str()) + "] =C:\\x86\\Scenova.dll");
    for (const std::wstring& path : {key, library}) {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
        RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
    }

    // A volatile key can hold no lasting subkey: the second class's ProgID fails.
    HKEY blocker = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, L"Scenova.CPictureClip", 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &blocker, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(blocker);
    EXPECT_NE(reg(), S_OK);
    EXPECT_EQ(Dump(clsid), "<no key>");
    EXPECT_EQ(Dump(L"Scenova.CScenova"), "<no key>");
    EXPECT_EQ(Dump(L"Scenova.CPictureClip"), "[Scenova.CPictureClip]");
    RegDeleteKeyW(HKEY_CLASSES_ROOT, L"Scenova.CPictureClip");

    // (Windows merges the user's classes into HKEY_CLASSES_ROOT; Wine 8 does
    // not, so the keys are read where they were written.)
    const std::wstring user = L"Software\\Classes\\";
    ASSERT_EQ(install(TRUE, L"user"), S_OK);
    wchar_t threading[16] = {};
    DWORD bytes = sizeof threading;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, (user + clsid + L"\\InprocServer32").c_str(),
                           L"ThreadingModel", RRF_RT_REG_SZ, nullptr, threading, &bytes),
              ERROR_SUCCESS);
    EXPECT_STREQ(threading, L"Apartment");
    HKEY opened = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, (user + clsid).c_str(), 0, KEY_READ, &opened),
              ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(install(FALSE, L"user"), S_OK);
    for (const std::wstring& path : {clsid, library, std::wstring(L"Scenova.CScenova")}) {
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, (user + path).c_str(), 0, KEY_READ, &opened),
                  ERROR_FILE_NOT_FOUND)
            << host::Narrow(path.c_str());
    }
    EXPECT_EQ(install(TRUE, L"everyone"), E_INVALIDARG);
    FreeLibrary(server);
}

// Run separately, after regsvr32 /u, and after the tests above.
TEST(Unregistered, NoKeyOfTheServerRemains) {
    for (const wchar_t* key : {
             L"CLSID\\{1604DA73-5875-11D2-B530-006097714880}",
             L"CLSID\\{6C25117F-6EA3-464A-8603-82883EE3A0BA}",
             L"Scenova.CScenova",
             L"Scenova.CPictureClip",
             L"TypeLib\\{1604DA74-5875-11D2-B530-006097714880}",
             L"Interface\\{07264684-38CF-11D2-A062-00A0C9740CBA}",
             L"Interface\\{1604DA72-5875-11D2-B530-006097714880}",
             L"Interface\\{AC383523-BEC9-4821-A1E3-452608FA0134}",
         }) {
        HKEY opened = nullptr;
        EXPECT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, key, 0, KEY_READ, &opened), ERROR_FILE_NOT_FOUND)
            << host::Narrow(key);
        if (opened != nullptr) {
            RegCloseKey(opened);
        }
    }
    CLSID clsid{};
    EXPECT_NE(CLSIDFromProgID(L"Scenova.CScenova", &clsid), S_OK);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
