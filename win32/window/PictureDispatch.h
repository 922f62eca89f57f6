#pragma once

#include <ole2.h>
#include <olectl.h>
#include <windows.h>

#include "platform/Picture.h"
#include "win32/com/ComPtr.h"

namespace scenova::win32 {

// A core picture as an OLE picture's IDispatch (IPictureDisp), for a control:
// the picture's own object when it is one, otherwise a picture that borrows
// the bitmap handle (not owning it). Null for no picture.
ComPtr<IDispatch> NewPictureDispatch(const Picture& picture);

// The OLE picture behind a core picture, or null.
ComPtr<::IPicture> NewOlePicture(const Picture& picture);

// An OLE picture as a core picture; null stays no picture.
Picture AdoptPicture(ComPtr<IDispatch> dispatch);

}  // namespace scenova::win32
