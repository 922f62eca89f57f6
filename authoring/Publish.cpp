#include "authoring/Publish.h"

#include <fstream>
#include <string>
#include <vector>

#include "authoring/Check.h"
#include "formats/BrowserVideo.h"
#include "formats/MovieFile.h"
#include "lesson/LessonFolder.h"
#include "runtime/Utf8.h"

namespace scenova::authoring {

namespace {

namespace fs = std::filesystem;

// The page and the module the browser build leaves in its site folder.
constexpr const char* kSiteFiles[] = {"index.html", "boot.js",        "view.js",
                                      "page.css",   "scenova-web.js", "scenova-web.wasm"};

// A lesson file holds a movie the page measures and plays, one it is not
// given (its WebM beside it plays instead), or anything else.
enum class Kind { File, Movie, NotShipped };

struct LessonFile {
    fs::path path;
    std::string name;  // relative to the lesson folder, with '/'
    Kind kind = Kind::File;
};

std::string JsonList(const std::vector<LessonFile>& files, Kind kind) {
    std::string out = "[";
    for (const LessonFile& file : files) {
        if (file.kind == kind) {
            out += (out.size() > 1 ? "," : "") + JsonString(file.name);
        }
    }
    return out + "]";
}

}  // namespace

int PublishCommand(const PublishOptions& options, std::ostream& out, std::ostream& err) {
    std::error_code error;
    lesson::Lesson lesson;
    try {
        lesson = lesson::LoadLesson(options.lesson);
    } catch (const lesson::LessonError& failure) {
        err << "scenova publish: " << failure.what() << '\n';
        return 2;
    }
    for (const char* name : kSiteFiles) {
        if (!fs::is_regular_file(options.site / name, error)) {
            err << "scenova publish: " << (options.site / name).string()
                << " is missing: build the page with cmake --preset wasm && cmake --build "
                   "--preset wasm --target scenova-web, or name its folder with --site\n";
            return 2;
        }
    }
    // A site inside the lesson would be published again with it, each time.
    const fs::path output = fs::weakly_canonical(fs::absolute(options.output, error), error);
    const fs::path inside = output.lexically_relative(fs::weakly_canonical(lesson.folder, error));
    if (!inside.empty() && *inside.begin() != "..") {
        err << "scenova publish: " << options.output.string()
            << " is inside the lesson folder: write the site elsewhere\n";
        return 2;
    }
    const CheckResult check = CheckLesson(lesson.folder);
    int refused = 0;
    for (const Finding& finding : check.findings) {
        if (finding.code == "browser-video") {
            err << "scenova publish: "
                << utf8::Printable(finding.file + ":" + std::to_string(finding.line) + ": " +
                                   finding.message)
                << '\n';
            ++refused;
        }
    }
    if (refused > 0) {
        err << "scenova publish: the lesson's video would not play in every browser; nothing "
               "written\n";
        return 1;
    }

    std::vector<LessonFile> files;
    fs::recursive_directory_iterator walk(lesson.folder, error);
    for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
        const fs::file_status status = walk->symlink_status(error);
        if (fs::is_directory(status)) {
            continue;
        }
        const std::string name = walk->path().lexically_relative(lesson.folder).generic_string();
        if (!fs::is_regular_file(status)) {
            err << "scenova publish: left out " << name << ": not an ordinary file\n";
            continue;
        }
        LessonFile file{walk->path(), name};
        if (const std::optional<formats::Movie> movie = formats::ProbeMovie(file.path.string())) {
            file.kind = Kind::Movie;
            if (formats::BrowserRefusal(*movie)) {
                const std::optional<formats::Movie> webm =
                    formats::ProbeMovie(formats::BrowserWebm(file.path.string()));
                file.kind = webm && !formats::BrowserRefusal(*webm) ? Kind::NotShipped : Kind::File;
            }
        }
        files.push_back(std::move(file));
    }
    if (error) {
        err << "scenova publish: cannot read " << lesson.folder.string() << ": " << error.message()
            << '\n';
        return 2;
    }

    const auto failed = [&](const fs::path& what) {
        err << "scenova publish: cannot write " << what.string() << ": " << error.message() << '\n';
        return 2;
    };
    fs::create_directories(options.output / "lesson", error);
    if (error) {
        return failed(options.output);
    }
    for (const char* name : kSiteFiles) {
        if (!fs::copy_file(options.site / name, options.output / name,
                           fs::copy_options::overwrite_existing, error)) {
            return failed(options.output / name);
        }
    }
    for (const LessonFile& file : files) {
        if (file.kind == Kind::NotShipped) {
            continue;
        }
        const fs::path to = options.output / "lesson" / fs::path(file.name);
        fs::create_directories(to.parent_path(), error);
        if (error || !fs::copy_file(file.path, to, fs::copy_options::overwrite_existing, error)) {
            return failed(to);
        }
    }
    const std::string manifest = "{\"title\":" + JsonString(lesson.folder.filename().string()) +
                                 ",\n\"files\":" + JsonList(files, Kind::File) +
                                 ",\n\"movies\":" + JsonList(files, Kind::Movie) +
                                 ",\n\"notShipped\":" + JsonList(files, Kind::NotShipped) + "}\n";
    {
        std::ofstream json(options.output / "lesson.json", std::ios::binary);
        json << manifest;
        if (!json.flush()) {
            error = std::make_error_code(std::errc::io_error);
            return failed(options.output / "lesson.json");
        }
    }
    out << "Published " << lesson.folder.filename().string() << " to " << options.output.string()
        << " (" << files.size()
        << " lesson files); serve that folder over HTTP with Range requests and open index.html\n";
    return 0;
}

}  // namespace scenova::authoring
