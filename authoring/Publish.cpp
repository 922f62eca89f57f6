#include "authoring/Publish.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "archive/PackedLesson.h"
#include "authoring/Check.h"
#include "authoring/NewLesson.h"
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
    std::string address;  // on the site
    std::uintmax_t bytes = 0;
};

// The files of a kind as lesson.json lists them: the names of those not
// shipped, else each with its address and size (the page reads no more).
std::string JsonList(const std::vector<LessonFile>& files, Kind kind) {
    std::string out = "[";
    for (const LessonFile& file : files) {
        if (file.kind != kind) {
            continue;
        }
        out += out.size() > 1 ? ",\n" : "\n";
        out += kind == Kind::NotShipped ? JsonString(file.name)
                                        : "{\"name\":" + JsonString(file.name) +
                                              ",\"address\":" + JsonString(file.address) +
                                              ",\"bytes\":" + std::to_string(file.bytes) + "}";
    }
    return out + "]";
}

// A path as a terminal may show it.
std::string Shown(const fs::path& path) {
    return utf8::Printable(path.string());
}

bool IsUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t at = pos;
        if (utf8::NextCodePoint(text, pos) == utf8::kReplacement &&
            text.substr(at, pos - at) != "\xEF\xBF\xBD") {
            return false;
        }
    }
    return true;
}

bool Contains(const fs::path& folder, const fs::path& path) {
    const fs::path inside = path.lexically_relative(folder);
    return !inside.empty() && *inside.begin() != "..";
}

// A new folder beside path, named after it, made readable as the user's
// files are (mkdtemp makes it private).
std::optional<fs::path> FolderBeside(const fs::path& path, const char* what) {
    std::string name = path.string() + what + "-XXXXXX";
    if (::mkdtemp(name.data()) == nullptr) {
        return std::nullopt;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(name.c_str(), 0777 & ~mask);
    return fs::path(name);
}

}  // namespace

int PublishCommand(const PublishOptions& options, std::ostream& out, std::ostream& err) {
    std::error_code error;
    lesson::Lesson lesson;
    std::unique_ptr<archive::LessonPlace> place;
    try {
        place = std::make_unique<archive::LessonPlace>(options.lesson);
        lesson = lesson::LoadLesson(place->Folder());
    } catch (const lesson::LessonError& failure) {
        err << "scenova publish: " << utf8::Printable(failure.what()) << '\n';
        return 2;
    }
    for (const char* name : kSiteFiles) {
        if (!fs::is_regular_file(options.site / name, error)) {
            err << "scenova publish: " << Shown(options.site / name)
                << " is missing: build the page with cmake --preset wasm && cmake --build "
                   "--preset wasm --target scenova-web, or name its folder with --site\n";
            return 2;
        }
    }
    // A site inside the lesson would be published again with it, each time;
    // the old site is replaced whole, so it may not hold the lesson either.
    fs::path output = fs::absolute(options.output, error).lexically_normal();
    if (output.filename().empty()) {
        output = output.parent_path();
    }
    const fs::path real = fs::weakly_canonical(output, error);
    const fs::path lessonReal = fs::weakly_canonical(lesson.folder, error);
    if (Contains(lessonReal, real) || Contains(real, lessonReal) || real == lessonReal) {
        err << "scenova publish: " << Shown(options.output)
            << " is inside the lesson folder or holds it: write the site elsewhere\n";
        return 2;
    }
    // The old site is replaced, never written into: a link there would lead
    // the copies elsewhere.
    const fs::file_status old = fs::symlink_status(output, error);
    if (fs::exists(old)) {
        const bool empty = fs::is_directory(old) && fs::is_empty(output, error);
        if (!fs::is_directory(old) ||
            (!empty && !fs::is_regular_file(fs::symlink_status(output / "lesson.json", error)))) {
            err << "scenova publish: " << Shown(options.output)
                << (fs::is_directory(old) ? " holds files and is no site scenova publish wrote"
                    : fs::is_symlink(old) ? " is a link, which would be replaced"
                                          : " is not a folder")
                << ": name a new folder, or a site written before, which is replaced\n";
            return 2;
        }
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
    // What keeps the lesson from playing is said here too: published, it
    // would fail in front of the learner.
    for (const Finding& finding : check.findings) {
        if (finding.severity == Finding::Severity::Error) {
            err << "scenova publish: "
                << utf8::Printable(finding.file + ":" + std::to_string(finding.line) +
                                   ": error: " + finding.message)
                << '\n';
        }
    }
    std::string title = options.title.empty() ? check.title : options.title;
    if (title.empty()) {
        // "cafe/", as tab completion writes it, names the folder cafe.
        const fs::path folder = fs::absolute(lesson.folder, error).lexically_normal();
        title = (folder.has_filename() ? folder : folder.parent_path()).filename().string();
    }

    // Only what the lesson uses is published: every learner downloads all of
    // it, and a folder may hold what is not for them (.git, .env, drafts).
    std::vector<LessonFile> files;
    int leftOut = 0;
    const auto leave = [&](const std::string& name, const char* why) {
        err << "scenova publish: left out " << utf8::Printable(name) << ": " << why << '\n';
        ++leftOut;
    };
    fs::recursive_directory_iterator walk(lesson.folder, error);
    for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
        const fs::file_status status = walk->symlink_status(error);
        const std::string name = walk->path().lexically_relative(lesson.folder).generic_string();
        if (walk->path().filename().string().starts_with('.')) {
            walk.disable_recursion_pending();
            leave(name, "hidden");
            continue;
        }
        if (fs::is_directory(status)) {
            continue;
        }
        if (!fs::is_regular_file(status)) {
            leave(name, "not an ordinary file");
            continue;
        }
        if (!check.used.contains(walk->path().lexically_normal().string())) {
            leave(name, "not used by the lesson");
            continue;
        }
        if (!IsUtf8(name)) {
            err << "scenova publish: the name " << utf8::Printable(name)
                << " is not UTF-8, and a browser cannot ask for it: rename the file, and where "
                   "the lesson names it; nothing written\n";
            return 1;
        }
        LessonFile file{walk->path(), name, Kind::File, "", 0};
        // Each file lies at an address of the site's making, never at its
        // name: opened there, a page or picture of the lesson would run its
        // script as the site. A movie keeps the kind its container is, for
        // the video element; everything else is data the page reads.
        std::string extension = ".bin";
        if (const std::optional<formats::Movie> movie = formats::ProbeMovie(file.path.string())) {
            file.kind = Kind::Movie;
            extension = movie->container == "matroska,webm" ? ".webm" : ".mp4";
            if (formats::BrowserRefusal(*movie)) {
                const std::optional<formats::Movie> webm =
                    formats::ProbeMovie(formats::BrowserWebm(file.path.string()));
                file.kind = webm && !formats::BrowserRefusal(*webm) ? Kind::NotShipped : Kind::File;
                extension = ".bin";
            }
        }
        file.address = "lesson/" + std::to_string(files.size()) + extension;
        file.bytes = fs::file_size(file.path, error);
        if (error) {
            break;
        }
        files.push_back(std::move(file));
    }
    if (error) {
        err << "scenova publish: cannot read " << Shown(lesson.folder) << ": " << error.message()
            << '\n';
        return 2;
    }

    // The site is written whole into a new folder beside the output, then
    // put in the old one's place: a failed write leaves the old site as it was.
    const std::optional<fs::path> fresh = FolderBeside(output, ".new");
    if (!fresh) {
        err << "scenova publish: cannot write beside " << Shown(options.output) << '\n';
        return 2;
    }
    const auto failed = [&](const fs::path& what) {
        err << "scenova publish: cannot write " << Shown(what) << ": " << error.message()
            << "; the old site is left as it was\n";
        std::error_code ignored;
        fs::remove_all(*fresh, ignored);
        return 2;
    };
    for (const char* name : kSiteFiles) {
        if (!fs::copy_file(options.site / name, *fresh / name, error)) {
            return failed(options.output / name);
        }
    }
    for (const LessonFile& file : files) {
        if (file.kind == Kind::NotShipped) {
            continue;
        }
        const fs::path to = *fresh / file.address;
        fs::create_directories(to.parent_path(), error);
        if (error || !fs::copy_file(file.path, to, error)) {
            return failed(options.output / file.address);
        }
    }
    const std::string manifest = "{\"title\":" + JsonString(title) +
                                 ",\n\"files\":" + JsonList(files, Kind::File) +
                                 ",\n\"movies\":" + JsonList(files, Kind::Movie) +
                                 ",\n\"notShipped\":" + JsonList(files, Kind::NotShipped) + "}\n";
    {
        std::ofstream json(*fresh / "lesson.json", std::ios::binary);
        json << manifest;
        if (!json.flush()) {
            error = std::make_error_code(std::errc::io_error);
            return failed(options.output / "lesson.json");
        }
    }
    // The old site goes aside (renamed over an empty folder made for it)
    // and the new one takes its name.
    std::optional<fs::path> aside;
    if (fs::exists(old)) {
        aside = FolderBeside(output, ".old");
        if (!aside || std::rename(output.c_str(), aside->c_str()) != 0) {
            error = std::error_code(errno, std::generic_category());
            if (aside) {
                std::error_code ignored;
                fs::remove(*aside, ignored);
            }
            return failed(options.output);
        }
    }
    if (std::rename(fresh->c_str(), output.c_str()) != 0) {
        error = std::error_code(errno, std::generic_category());
        if (aside) {
            std::rename(aside->c_str(), output.c_str());
        }
        return failed(options.output);
    }
    if (aside) {
        fs::remove_all(*aside, error);
    }
    out << "Published \"" << utf8::Printable(title) << "\" to " << Shown(options.output) << " ("
        << files.size() << " lesson files, " << leftOut
        << " left out)\nWatch it in a browser: scenova serve " << ShellWord(options.output)
        << ", and open the address it prints (any server that answers Range requests will do)\n";
    return 0;
}

}  // namespace scenova::authoring
