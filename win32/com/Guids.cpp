// The library's GUIDs (IIDs, CLSIDs), defined once. The system headers come
// first so that only our own DEFINE_GUIDs become definitions.
// windows.h first: the other system headers rely on it.
#include <windows.h>

#include <oaidl.h>
#include <ocidl.h>

#include <initguid.h>

#include "Scenova_h.h"
