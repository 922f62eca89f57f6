#include "win32/window/PictureDispatch.h"

#include <utility>

#include "win32/gdi/Gdi32.h"
#include "win32/window/Text.h"

namespace scenova::win32 {

ComPtr<IDispatch> NewPictureDispatch(const Picture& picture) {
    if (!picture) {
        return nullptr;
    }
    if (const auto* own = dynamic_cast<const OlePicture*>(picture.get())) {
        return own->Dispatch();
    }
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = ToHandle<HBITMAP>(picture->Handle());
    ComPtr<IDispatch> dispatch;
    if (FAILED(OleCreatePictureIndirect(&desc, IID_IDispatch, FALSE, &dispatch))) {
        return nullptr;
    }
    return dispatch;
}

ComPtr<::IPicture> NewOlePicture(const Picture& picture) {
    ComPtr<::IPicture> ole;
    if (const ComPtr<IDispatch> dispatch = NewPictureDispatch(picture)) {
        dispatch->QueryInterface(IID_IPicture, &ole);
    }
    return ole;
}

Picture AdoptPicture(ComPtr<IDispatch> dispatch) {
    if (!dispatch) {
        return nullptr;
    }
    return std::make_shared<OlePicture>(std::move(dispatch));
}

}  // namespace scenova::win32
