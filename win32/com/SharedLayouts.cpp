// The layouts the two sides of every interface share, checked at compile
// time for the architecture being built: the sizes and offsets the Windows
// ABI gives VARIANT, DISPPARAMS and EXCEPINFO, the width of handles, and the
// vtable slot of every member of IToolTalk, the host's manager and the
// standard collection. A header, a packing or a declaration that strayed
// would break each call without a word; the 32-bit build, which cannot run
// here, is held to the same numbers as the 64-bit one that does.

// The C view of the interfaces: each vtable as a struct of slots.
#define CINTERFACE

// windows.h first: the other system headers rely on it.
#include <windows.h>

#include <oaidl.h>
#include <olectl.h>

#include <cstddef>

#include "Scenova_h.h"

namespace {

constexpr std::size_t kPointer = sizeof(void*);
constexpr bool k64 = kPointer == 8;
static_assert(kPointer == 4 || kPointer == 8);

// Handles are pointer-wide; they cross the interfaces as 32-bit integers
// (HandleToLong and LongToHandle keep them valid on x64).
static_assert(sizeof(HWND) == kPointer && sizeof(HBITMAP) == kPointer && sizeof(HDC) == kPointer);
static_assert(sizeof(LONG) == 4 && sizeof(OLE_HANDLE) == 4 && sizeof(VARIANT_BOOL) == 2);
static_assert(sizeof(DISPID) == 4 && sizeof(HRESULT) == 4 && sizeof(BSTR) == kPointer);

// VARIANT: the type, three reserved words, then the value.
static_assert(sizeof(VARIANT) == (k64 ? 24 : 16));
static_assert(offsetof(VARIANT, vt) == 0);
static_assert(offsetof(VARIANT, lVal) == 8 && offsetof(VARIANT, bstrVal) == 8 &&
              offsetof(VARIANT, pdispVal) == 8 && offsetof(VARIANT, dblVal) == 8);

// DISPPARAMS: the arguments (last first), the named ones, their counts.
static_assert(sizeof(DISPPARAMS) == (k64 ? 24 : 16));
static_assert(offsetof(DISPPARAMS, rgvarg) == 0);
static_assert(offsetof(DISPPARAMS, rgdispidNamedArgs) == kPointer);
static_assert(offsetof(DISPPARAMS, cArgs) == 2 * kPointer);
static_assert(offsetof(DISPPARAMS, cNamedArgs) == 2 * kPointer + 4);

// EXCEPINFO, as a control fills it for a failed call.
static_assert(sizeof(EXCEPINFO) == (k64 ? 64 : 32));
static_assert(offsetof(EXCEPINFO, wCode) == 0);
static_assert(offsetof(EXCEPINFO, bstrSource) == kPointer);
static_assert(offsetof(EXCEPINFO, bstrDescription) == 2 * kPointer);
static_assert(offsetof(EXCEPINFO, bstrHelpFile) == 3 * kPointer);
static_assert(offsetof(EXCEPINFO, dwHelpContext) == 4 * kPointer);
static_assert(offsetof(EXCEPINFO, pfnDeferredFillIn) == (k64 ? 48 : 24));
static_assert(offsetof(EXCEPINFO, scode) == (k64 ? 56 : 28));

// Vtable slots: IUnknown's three and IDispatch's four come first.
#define SCENOVA_SLOT(vtable, member, slot) \
    static_assert(offsetof(vtable, member) == (slot)*kPointer, #vtable "::" #member)

SCENOVA_SLOT(IToolTalkVtbl, QueryInterface, 0);
SCENOVA_SLOT(IToolTalkVtbl, Invoke, 6);
SCENOVA_SLOT(IToolTalkVtbl, Init, 7);
SCENOVA_SLOT(IToolTalkVtbl, Startup, 8);
SCENOVA_SLOT(IToolTalkVtbl, Shutdown, 9);
SCENOVA_SLOT(IToolTalkVtbl, Show, 10);
SCENOVA_SLOT(IToolTalkVtbl, Hide, 11);
SCENOVA_SLOT(IToolTalkVtbl, Move, 12);
SCENOVA_SLOT(IToolTalkVtbl, put_NavEnabled, 13);
SCENOVA_SLOT(IToolTalkVtbl, get_NavEnabled, 14);
SCENOVA_SLOT(IToolTalkVtbl, put_ToolbarEnabled, 15);
SCENOVA_SLOT(IToolTalkVtbl, get_ToolbarEnabled, 16);
SCENOVA_SLOT(IToolTalkVtbl, get_ID, 17);
SCENOVA_SLOT(IToolTalkVtbl, get_Left, 18);
SCENOVA_SLOT(IToolTalkVtbl, put_Left, 19);
SCENOVA_SLOT(IToolTalkVtbl, get_Top, 20);
SCENOVA_SLOT(IToolTalkVtbl, put_Top, 21);
SCENOVA_SLOT(IToolTalkVtbl, get_Width, 22);
SCENOVA_SLOT(IToolTalkVtbl, put_Width, 23);
SCENOVA_SLOT(IToolTalkVtbl, get_Height, 24);
SCENOVA_SLOT(IToolTalkVtbl, put_Height, 25);
static_assert(sizeof(IToolTalkVtbl) == 26 * kPointer);

SCENOVA_SLOT(IToolManagerVtbl, ToolShutdown, 8);
SCENOVA_SLOT(IToolManagerVtbl, ReportError, 9);
SCENOVA_SLOT(IToolManagerVtbl, ResourceAction, 11);
SCENOVA_SLOT(IToolManagerVtbl, GetSettings, 12);
SCENOVA_SLOT(IToolManagerVtbl, GetScript, 13);
SCENOVA_SLOT(IToolManagerVtbl, NavigationRequest, 14);
SCENOVA_SLOT(IToolManagerVtbl, ToolbarRequest, 15);
SCENOVA_SLOT(IToolManagerVtbl, GetMediaPath, 16);
SCENOVA_SLOT(IToolManagerVtbl, GetAuxiliaryPath, 17);
SCENOVA_SLOT(IToolManagerVtbl, GetResourcePath, 18);
SCENOVA_SLOT(IToolManagerVtbl, GetVideoPath, 21);
static_assert(sizeof(IToolManagerVtbl) == 22 * kPointer);

SCENOVA_SLOT(IStandardCollectionVtbl, Item, 7);
SCENOVA_SLOT(IStandardCollectionVtbl, Add, 8);
SCENOVA_SLOT(IStandardCollectionVtbl, Count, 9);
SCENOVA_SLOT(IStandardCollectionVtbl, Remove, 10);
SCENOVA_SLOT(IStandardCollectionVtbl, _NewEnum, 11);

SCENOVA_SLOT(_CPictureClipVtbl, CreatePictureClip, 7);

#undef SCENOVA_SLOT

}  // namespace
