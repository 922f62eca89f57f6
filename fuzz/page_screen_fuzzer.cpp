// Lesson pages on arbitrary bytes: the screen reads any page, of any size up
// to well past its own caps, in one pass without failing, and a refused
// page's plain text never grows past what was asked for.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "formats/PageScreen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view html(reinterpret_cast<const char*>(data), size);
    (void)scenova::formats::WhyPageIsCostly(html);
    for (const std::size_t most : {std::size_t{0}, std::size_t{5}, std::size_t{16384}}) {
        if (scenova::formats::PageText(html, most).size() > most) {
            std::abort();
        }
    }
    return 0;
}
