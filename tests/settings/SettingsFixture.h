#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "headless/HeadlessPlatform.h"
#include "headless/RecordingManager.h"
#include "headless/ToolHost.h"
#include "module/Module1.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceMatchers.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wpedantic"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace scenova::testing {

// A colour that tells the pixels of a picture up to 4096x4096 apart.
inline uint32_t PatternColour(int32_t x, int32_t y) {
    const auto r = static_cast<uint32_t>(x & 0xFF);
    const auto g = static_cast<uint32_t>(y & 0xFF);
    const auto b = static_cast<uint32_t>((x >> 8) | ((y >> 8) << 4));
    return r | g << 8 | b << 16;
}

// A tool on the headless platform with a media and a resource folder of its
// own, and the settings the host will hand it.
class SettingsTest : public ::testing::Test {
protected:
    // The screen's twips per pixel, and the window's own where they differ.
    explicit SettingsTest(headless::TwipsPerPixel screen = {},
                          std::optional<headless::TwipsPerPixel> window = std::nullopt)
        : platform(screen, window) {
        Module1::Get().Reset();
        mgr->mediaPath = m_root.Folder() + "media/";
        mgr->auxiliaryPath = m_root.Folder();
        mgr->resourcePath = m_root.Folder() + "resources/";
        mgr->videoPath = m_root.Folder() + "video/";
        std::filesystem::create_directories(m_root.Path() / "media");
        std::filesystem::create_directories(m_root.Path() / "resources");
        host.Create();
    }
    ~SettingsTest() override {
        host.Release();
        Module1::Get().Reset();
    }

    void Set(const std::string& key, const std::string& value) { mgr->settings->Add(value, key); }
    // Runs Init, which applies the settings; true when it applied them.
    bool Init() {
        const auto result = host.Init("scenova");
        return !result.Failed() && result.value == Variant(true);
    }

    std::vector<std::string> Lines(std::string_view prefix = "") {
        return Untimed(platform.GetTrace().Lines(), prefix);
    }
    const headless::HeadlessWindow& Window() const { return platform.Window(); }
    Module1& Module() const { return Module1::Get(); }

    std::string Media(const std::string& name) const { return mgr->mediaPath + name; }
    std::string Resource(const std::string& name) const { return mgr->resourcePath + name; }

    static void Touch(const std::string& path) { std::ofstream(path) << "x"; }
    // A 24-bit BMP filled with PatternColour.
    static void WriteBitmap(const std::string& path, int32_t width, int32_t height) {
        std::vector<unsigned char> rgb;
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                const uint32_t colour = PatternColour(x, y);
                for (int shift : {0, 8, 16}) {
                    rgb.push_back(static_cast<unsigned char>(colour >> shift));
                }
            }
        }
        ASSERT_NE(stbi_write_bmp(path.c_str(), width, height, 3, rgb.data()), 0);
    }
    // The smallest file the system takes for a cursor: its header.
    static void WriteCursor(const std::string& path) {
        const char header[] = {0, 0, 2, 0, 1, 0, 32, 32, 0, 0, 0, 0};
        std::ofstream(path, std::ios::binary).write(header, sizeof header);
    }

    const std::filesystem::path& Root() const { return m_root.Path(); }

    headless::HeadlessPlatform platform;  // set up by the constructor
    std::shared_ptr<headless::RecordingManager> mgr =
        std::make_shared<headless::RecordingManager>(platform.Ctx());
    headless::ToolHost host{platform, mgr};

private:
    TempDir m_root;
};

}  // namespace scenova::testing
