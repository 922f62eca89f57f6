#include "win32/window/PictureDispatch.h"

#include "win32/gdi/Gdi32.h"
#include "win32/window/Text.h"

namespace scenova::win32 {

IDispatch* NewPictureDispatch(const Picture& picture) {
    if (!picture) {
        return nullptr;
    }
    if (const auto* own = dynamic_cast<const OlePicture*>(picture.get())) {
        if (own->Dispatch() != nullptr) {
            own->Dispatch()->AddRef();
        }
        return own->Dispatch();
    }
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = ToHandle<HBITMAP>(picture->Handle());
    IDispatch* dispatch = nullptr;
    if (FAILED(OleCreatePictureIndirect(&desc, IID_IDispatch, FALSE,
                                        reinterpret_cast<void**>(&dispatch)))) {
        return nullptr;
    }
    return dispatch;
}

::IPicture* NewOlePicture(const Picture& picture) {
    IDispatch* dispatch = NewPictureDispatch(picture);
    ::IPicture* ole = nullptr;
    if (dispatch != nullptr) {
        dispatch->QueryInterface(IID_IPicture, reinterpret_cast<void**>(&ole));
        dispatch->Release();
    }
    return ole;
}

Picture AdoptPicture(IDispatch* dispatch) {
    if (dispatch == nullptr) {
        return nullptr;
    }
    return std::make_shared<OlePicture>(dispatch);
}

}  // namespace scenova::win32
