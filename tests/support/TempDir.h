#pragma once

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <stdlib.h>

namespace scenova::testing {

// The whole of a file as bytes (empty when it cannot be read).
inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A folder of its own for one test, removed afterwards.
class TempDir {
public:
    // Made by mkdtemp: a process id names no process alone where every
    // process has the same (WebAssembly under node).
    TempDir() {
        std::string name =
            (std::filesystem::temp_directory_path() / "scenova-test-XXXXXX").string();
        if (::mkdtemp(name.data()) == nullptr) {
            throw std::filesystem::filesystem_error(
                "mkdtemp", name, std::error_code(errno, std::generic_category()));
        }
        m_path = name;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The folder as the host hands folders over: with a trailing separator.
    std::string Folder() const { return m_path.string() + "/"; }

    std::string Write(const std::string& name, const std::string& content) const {
        const auto file = m_path / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
        return file.string();
    }

private:
    std::filesystem::path m_path;
};

}  // namespace scenova::testing
