// Picture clipping on the real gdi32 and olepro32: what the core's clipping
// leaves behind in GDI.

// windows.h first: the other system headers rely on it.
#include <windows.h>

#include <gtest/gtest.h>

#include "picture/CPictureClip.h"
#include "runtime/RuntimeError.h"
#include "win32/Win32Platform.h"
#include "win32/gdi/Gdi32.h"

namespace scenova::win32 {
namespace {

TEST(PictureClipGdi, LeavesNoDeviceContextAndHandsTheBitmapToThePicture) {
    HDC screen = GetDC(nullptr);
    HBITMAP source = CreateCompatibleBitmap(screen, 64, 48);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(source, nullptr);

    scenova::CPictureClip clip(ProcessPlatform());
    const GdiCounts before = Gdi32::Counts();
    EXPECT_EQ(clip.CreatePictureClip(0, 0, 0, 10, 10), nullptr);
    EXPECT_EQ(Gdi32::Counts().bitmaps, before.bitmaps);  // no bitmap: no GDI object at all
    EXPECT_EQ(Gdi32::Counts().deviceContexts, before.deviceContexts);

    Picture picture = clip.CreatePictureClip(HandleToLong(source), 8, 4, 20, 10);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(Gdi32::Counts().deviceContexts, before.deviceContexts);
    EXPECT_EQ(Gdi32::Counts().bitmaps, before.bitmaps + 1);
    EXPECT_EQ(picture->Width(), 20);
    EXPECT_EQ(picture->Height(), 10);
    const HANDLE bitmap = LongToHandle(picture->Handle());
    EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    picture.reset();
    EXPECT_EQ(GetObjectType(bitmap), 0u);  // the picture owned it
    EXPECT_EQ(GetObjectType(source), static_cast<DWORD>(OBJ_BITMAP));
    DeleteObject(source);
}

// A handle that is no bitmap, or a bitmap another DC holds: invalid picture
// (481), and the device contexts and the bitmap it made are gone again.
TEST(PictureClipGdi, ANonBitmapFailsAndLeavesNothingBehind) {
    HDC held = CreateCompatibleDC(nullptr);
    HBITMAP selected = CreateBitmap(8, 8, 1, 32, nullptr);
    HGDIOBJ heldOld = SelectObject(held, selected);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    scenova::CPictureClip clip(ProcessPlatform());
    const GdiCounts before = Gdi32::Counts();
    for (HANDLE object : {HANDLE(brush), HANDLE(held), LongToHandle(0x1234), HANDLE(selected)}) {
        int32_t number = 0;
        try {
            clip.CreatePictureClip(HandleToLong(object), 0, 0, 4, 4);
        } catch (const RuntimeError& error) {
            number = error.number();
        }
        EXPECT_EQ(number, err::InvalidPicture) << object;
        EXPECT_EQ(Gdi32::Counts().deviceContexts, before.deviceContexts) << object;
        EXPECT_EQ(Gdi32::Counts().bitmaps, before.bitmaps) << object;
    }
    EXPECT_EQ(GetCurrentObject(held, OBJ_BITMAP), selected);
    SelectObject(held, heldOld);
    DeleteDC(held);
    DeleteObject(selected);
    DeleteObject(brush);
}

}  // namespace
}  // namespace scenova::win32
