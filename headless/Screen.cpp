#include "headless/Screen.h"

namespace scenova::headless {

void Screen::MouseIcon(const Picture& picture) {
    m_ctx.Put("screen", Member::MouseIcon, picture);
    m_mouseIcon = picture;
}

void Screen::MousePointer(int16_t pointer) {
    m_ctx.Put("screen", Member::MousePointer, pointer);
    m_mousePointer = pointer;
}

}  // namespace scenova::headless
