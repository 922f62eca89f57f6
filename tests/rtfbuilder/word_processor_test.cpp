// A real word processor opens the transcript document: LibreOffice converts
// it to plain text, which must show the speakers, lines and separator.
// Skipped where LibreOffice is not installed.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "rtfbuilder/CreateRTFText.h"

namespace scenova::test {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(CreateRTFTextInAWordProcessor, LibreOfficeShowsSpeakersAndLines) {
    std::string office;
    for (const char* name : {"soffice", "libreoffice"}) {
        if (office.empty() &&
            std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0) {
            office = name;
        }
    }
    if (office.empty()) {
        GTEST_SKIP() << "LibreOffice is not installed";
    }
    std::string made = (fs::temp_directory_path() / "scenova-rtf-XXXXXX").string();
    ASSERT_NE(mkdtemp(made.data()), nullptr);
    const fs::path dir = made;
    struct Cleanup {
        fs::path dir;
        ~Cleanup() {
            std::error_code ignored;
            fs::remove_all(dir, ignored);
        }
    } cleanup{dir};

    TranscriptFontInfo fonts{"Arial", 12, "Times New Roman",        10,
                             "Arial", 8,  "\\cf(0,128,0)* * *\\cf0"};
    int16_t useSeparator = -1;
    const std::vector<TranscriptBlock> blocks = {
        {"\\cf(128,0,0)Maria",
         {"\\cf(0,0,128)Good morning.  \u00a7Greetings\\cf0",
          "\\cf(0,0,128)Caf\u00e9 au lait? {C:\\temp}\\cf0"}},
        {"\\cf(128,0,0)Juan",
         {"\\cf(0,0,128)Fine, thanks. \U0001F600\\cf0", "\\cf(0,0,128)\u00c7a va?\\cf0"}},
    };
    std::ofstream(dir / "transcript.rtf", std::ios::binary)
        << CreateRTFText(0, 0, 0, blocks, fonts, useSeparator);

    // A profile of its own, so that a LibreOffice already running, or another
    // test run, does not take the conversion over.
    const std::string d = dir.string();
    const std::string command = "cd '" + d + "' && timeout 50 " + office +
                                " -env:UserInstallation=file://" + d +
                                "/profile --headless --convert-to txt:Text --outdir out "
                                "transcript.rtf >log 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile(dir / "log");

    std::string text = ReadFile(dir / "out" / "transcript.txt");
    // The text export starts with a byte order mark and writes each space of
    // a run of spaces as U+2006 and a space.
    text = std::regex_replace(text, std::regex("^\xef\xbb\xbf|\r|\xe2\x80\x86"), "");
    EXPECT_EQ(text,
              "Maria\n"
              "Good morning.  \u00a7Greetings\n"
              "Caf\u00e9 au lait? {C:\\temp}\n"
              "* * *\n"
              "Juan\n"
              "Fine, thanks. \U0001F600\n"
              "\u00c7a va?\n")
        << ReadFile(dir / "log");
}

}  // namespace
}  // namespace scenova::test
