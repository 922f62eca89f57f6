#pragma once

#include <cstdint>
#include <memory>

namespace scenova {

// A picture object owning a bitmap. Sizes are pixels. An empty Picture
// (nullptr) is "no picture".
class IPicture {
public:
    virtual ~IPicture() = default;
    virtual int32_t Handle() const = 0;  // the bitmap handle (a GDI handle on Windows)
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
};

using Picture = std::shared_ptr<IPicture>;

}  // namespace scenova
