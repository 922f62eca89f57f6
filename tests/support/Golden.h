#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace scenova::testing {

// The lines of a text, without their line ends.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The text with every `from` replaced by `to`: a folder that depends on
// where the sources or the test's files are, say.
inline std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// Compares lines with a golden file under tests/golden/. With
// SCENOVA_UPDATE_GOLDEN=1 in the environment the file is rewritten instead;
// review the difference by hand before committing it.
inline void ExpectGolden(const std::string& name, const std::vector<std::string>& lines) {
    const std::string path = std::string(SCENOVA_SOURCE_DIR) + "/tests/golden/" + name;
    std::string actual;
    for (const std::string& line : lines) {
        actual += line;
        actual += '\n';
    }
    if (const char* update = std::getenv("SCENOVA_UPDATE_GOLDEN"); update && *update == '1') {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "missing golden file " << path;
    std::stringstream expected;
    expected << in.rdbuf();
    EXPECT_EQ(expected.str(), actual) << "golden file " << path;
}

}  // namespace scenova::testing
