#include "authoring/Publish.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
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

// The lesson's files the page reads, as one file.
constexpr const char* kBundle = "lesson/files.bin";

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

// "cafe/", as tab completion writes it, is the folder cafe.
std::string FolderName(const fs::path& path) {
    std::error_code error;
    const fs::path folder = fs::absolute(path, error).lexically_normal();
    return (folder.has_filename() ? folder : folder.parent_path()).filename().string();
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

// A lesson ready to be written: its title and the files it ships.
struct Prepared {
    // Where the lesson is read: a packed one's unpacked copy lives as long.
    std::shared_ptr<archive::LessonPlace> place;
    fs::path name;  // as given: the folder, or the packed lesson without its extension
    fs::path folder;
    std::string title;
    std::vector<LessonFile> files;
    int leftOut = 0;
    // The window's first look, with the site's address of the movie it
    // shows: the page shows it while the lesson starts.
    std::optional<FirstView> firstView;
    std::string firstMovie;
};

// Checks a lesson and finds the files it uses; 0, or the status to end with
// (the reason told).
int Prepare(const fs::path& folder, const fs::path& output, const std::string& titleGiven,
            Prepared& prepared, std::ostream& err) {
    std::error_code error;
    lesson::Lesson lesson;
    try {
        prepared.place = std::make_shared<archive::LessonPlace>(folder);
        lesson = lesson::LoadLesson(prepared.place->Folder());
    } catch (const lesson::LessonError& failure) {
        err << "scenova publish: " << utf8::Printable(failure.what()) << '\n';
        return 2;
    }
    // A site inside the lesson would be published again with it, each time;
    // the old site is replaced whole, so it may not hold the lesson either.
    const fs::path real = fs::weakly_canonical(output, error);
    const fs::path lessonReal = fs::weakly_canonical(lesson.folder, error);
    if (Contains(lessonReal, real) || Contains(real, lessonReal) || real == lessonReal) {
        err << "scenova publish: " << Shown(output)
            << " is inside the lesson folder or holds it: write the site elsewhere\n";
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
    prepared.folder = lesson.folder;
    prepared.name = prepared.place->Packed() ? folder.parent_path() / folder.stem() : folder;
    prepared.title = titleGiven.empty() ? check.title : titleGiven;
    if (prepared.title.empty()) {
        prepared.title = FolderName(prepared.name);
    }

    // Only what the lesson uses is published: every learner downloads all of
    // it, and a folder may hold what is not for them (.git, .env, drafts).
    std::vector<LessonFile>& files = prepared.files;
    const auto leave = [&](const std::string& name, const char* why) {
        err << "scenova publish: left out " << utf8::Printable(name) << ": " << why << '\n';
        ++prepared.leftOut;
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
        if (!utf8::IsValid(name)) {
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
    // The movie the window opens with: the page's video loads it first.
    if (check.firstView) {
        const fs::path opened = fs::path(check.firstView->movie).lexically_normal();
        const auto at = [&](const fs::path& path) {
            return std::find_if(files.begin(), files.end(), [&](const LessonFile& file) {
                return file.kind == Kind::Movie && file.path.lexically_normal() == path;
            });
        };
        auto movie = at(opened);
        if (movie == files.end()) {
            movie = at(fs::path(formats::BrowserWebm(opened.string())).lexically_normal());
        }
        if (movie != files.end()) {
            prepared.firstView = check.firstView;
            prepared.firstMovie = movie->address;
            std::rotate(files.begin(), movie, std::next(movie));
        }
    }
    return 0;
}

bool WriteText(const fs::path& path, const std::string& text, std::error_code& error) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    if (!file.flush()) {
        error = std::make_error_code(std::errc::io_error);
        return false;
    }
    return true;
}

std::string HtmlText(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// A number for CSS, to thousandths: the point a point whatever the locale,
// no exponent.
std::string CssNumber(double value) {
    const long long thousandths =
        std::isfinite(value) && std::abs(value) < 1e12 ? std::llround(value * 1000) : 0;
    std::string out = (thousandths < 0 ? "-" : "") + std::to_string(std::llabs(thousandths) / 1000);
    if (const long long part = std::llabs(thousandths) % 1000; part != 0) {
        std::string digits = std::to_string(1000 + part).substr(1);
        digits.erase(digits.find_last_not_of('0') + 1);
        out += "." + digits;
    }
    return out;
}

// The window's first look as the page's first markup: its box, fitted to
// the page's width as the page fits the window, with the video at its place
// loading the movie it opens with, before any script has run.
std::string FirstViewHtml(const Prepared& lesson) {
    if (!lesson.firstView || !(lesson.firstView->width >= 1) || !(lesson.firstView->height >= 1)) {
        return "";
    }
    const FirstView& view = *lesson.firstView;
    const auto percent = [](double part, double whole) {
        return CssNumber(part * 100 / whole) + "%";
    };
    std::string back;
    if (view.backColour) {
        const int32_t c = *view.backColour;
        back = ";background:rgb(" + std::to_string(c & 255) + "," + std::to_string((c >> 8) & 255) +
               "," + std::to_string((c >> 16) & 255) + ")";
    }
    return "<div id=\"first-view\" aria-hidden=\"true\" style=\"width:min(" +
           CssNumber(view.width) + "px,100vw - 2em);aspect-ratio:" + CssNumber(view.width) + "/" +
           CssNumber(view.height) + back + "\"><video id=\"lesson-video\" src=\"" +
           HtmlText(lesson.firstMovie) +
           "\" preload=\"auto\" playsinline tabindex=\"-1\" aria-label=\"Lesson video\" "
           "style=\"left:" +
           percent(view.videoLeft, view.width) + ";top:" + percent(view.videoTop, view.height) +
           ";width:" + percent(view.videoWidth, view.width) +
           ";height:" + percent(view.videoHeight, view.height) + "\"></video></div>";
}

// The lesson's page, its files and lesson.json into a folder; the page
// loads the shared files from `shared` ("" or "../"). False, with the file
// that failed, on a write error.
bool WriteLesson(const Prepared& lesson, const fs::path& site, const fs::path& into,
                 const std::string& shared, fs::path& failedAt, std::error_code& error) {
    failedAt = "index.html";
    std::ifstream in(site / "index.html", std::ios::binary);
    std::string page{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // The style sheet goes into the page: fetched apart, it would hold the
    // first look back by a round trip to the server.
    std::ifstream css(site / "page.css", std::ios::binary);
    if (const std::string style{std::istreambuf_iterator<char>(css),
                                std::istreambuf_iterator<char>()};
        css && !style.empty()) {
        constexpr std::string_view kLink = "<link rel=\"stylesheet\" href=\"page.css\">";
        if (const std::size_t at = page.find(kLink); at != std::string::npos) {
            page.replace(at, kLink.size(), "<style>\n" + style + "</style>");
        }
    }
    for (const char* name : kSiteFiles) {
        const std::string quoted = std::string("\"") + name + '"';
        for (std::size_t at = page.find(quoted); !shared.empty() && at != std::string::npos;
             at = page.find(quoted, at + quoted.size() + shared.size())) {
            page.insert(at + 1, shared);
        }
    }
    const auto replace = [&page](std::string_view what, const std::string& with) {
        if (const std::size_t at = page.find(what); at != std::string::npos) {
            page.replace(at, what.size(), with);
        }
    };
    const std::string title = HtmlText(lesson.title);
    replace("<title>Scenova</title>", "<title>" + title + " \u2014 Scenova</title>");
    replace(">Scenova</h1>", ">" + title + "</h1>");
    replace("<div id=\"stage\">", "<div id=\"stage\">" + FirstViewHtml(lesson));
    if (!in || !WriteText(into / "index.html", page, error)) {
        error = error ? error : std::make_error_code(std::errc::io_error);
        return false;
    }
    for (const LessonFile& file : lesson.files) {
        if (file.kind == Kind::NotShipped) {
            continue;
        }
        const fs::path to = into / file.address;
        failedAt = file.address;
        fs::create_directories(to.parent_path(), error);
        if (error || !fs::copy_file(file.path, to, error)) {
            return false;
        }
    }
    // The files the page reads, also as one, in the order lesson.json lists
    // them: one request, not one a file, each of which costs the page's
    // thread more than its bytes while the lesson starts.
    failedAt = kBundle;
    std::string bundle;
    for (const LessonFile& file : lesson.files) {
        if (file.kind == Kind::File) {
            std::ifstream in(file.path, std::ios::binary);
            const std::size_t before = bundle.size();
            bundle.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            if (!in.good() && !in.eof()) {
                error = std::make_error_code(std::errc::io_error);
                return false;
            }
            if (bundle.size() - before != file.bytes) {
                error = std::make_error_code(std::errc::resource_unavailable_try_again);
                return false;  // changed while it was published
            }
        }
    }
    if (!WriteText(into / kBundle, bundle, error)) {
        return false;
    }
    failedAt = "lesson.json";
    return WriteText(into / "lesson.json",
                     "{\"title\":" + JsonString(lesson.title) +
                         ",\n\"bundle\":" + JsonString(kBundle) +
                         ",\n\"files\":" + JsonList(lesson.files, Kind::File) +
                         ",\n\"movies\":" + JsonList(lesson.files, Kind::Movie) +
                         ",\n\"notShipped\":" + JsonList(lesson.files, Kind::NotShipped) + "}\n",
                     error);
}

// The page that lists a site's lessons, a link to each, in the lesson
// page's look.
std::string IndexPage(const std::string& title, const std::vector<Prepared>& lessons,
                      const std::vector<std::string>& folders) {
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'self'; img-src "
        "'self' data:; object-src 'none'\">\n"
        "<link rel=\"icon\" href=\"data:,\">\n<link rel=\"stylesheet\" href=\"page.css\">\n"
        "<title>" +
        HtmlText(title) + "</title>\n</head>\n<body>\n<header><h1>" + HtmlText(title) +
        "</h1></header>\n<main>\n<nav class=\"lessons\" aria-label=\"Lessons\">\n<ul>\n";
    for (std::size_t i = 0; i < lessons.size(); ++i) {
        page += "<li><a href=\"" + folders[i] + "/\">" + HtmlText(lessons[i].title) + "</a></li>\n";
    }
    return page + "</ul>\n</nav>\n</main>\n</body>\n</html>\n";
}

// A lesson's folder on a site of several: its folder's name as an address
// needs no escaping, and unlike any other.
std::string SiteFolderName(const fs::path& lesson, const std::vector<std::string>& taken) {
    std::string name;
    for (const char c : FolderName(lesson)) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (plain || (c >= 'A' && c <= 'Z')) {
            name += static_cast<char>(plain ? c : c - 'A' + 'a');
        } else if (!name.empty() && name.back() != '-') {
            name += '-';
        }
    }
    while (!name.empty() && name.back() == '-') {
        name.pop_back();
    }
    if (name.empty()) {
        name = "lesson";
    }
    std::string unique = name;
    for (int n = 2; std::find(taken.begin(), taken.end(), unique) != taken.end(); ++n) {
        unique = name + "-" + std::to_string(n);
    }
    return unique;
}

}  // namespace

int PublishCommand(const PublishOptions& options, std::ostream& out, std::ostream& err) {
    std::error_code error;
    for (const char* name : kSiteFiles) {
        if (!fs::is_regular_file(options.site / name, error)) {
            err << "scenova publish: " << Shown(options.site / name)
                << " is missing: build the page with cmake --preset wasm && cmake --build "
                   "--preset wasm --target scenova-web, or name its folder with --site\n";
            return 2;
        }
    }
    fs::path output = fs::absolute(options.output, error).lexically_normal();
    if (output.filename().empty()) {
        output = output.parent_path();
    }
    // The old site is replaced, never written into: a link there would lead
    // the copies elsewhere.
    const fs::file_status old = fs::symlink_status(output, error);
    if (fs::exists(old)) {
        const bool empty = fs::is_directory(old) && fs::is_empty(output, error);
        const bool site = fs::is_regular_file(fs::symlink_status(output / "lesson.json", error)) ||
                          fs::is_regular_file(fs::symlink_status(output / "lessons.json", error));
        if (!fs::is_directory(old) || (!empty && !site)) {
            err << "scenova publish: " << Shown(options.output)
                << (fs::is_directory(old) ? " holds files and is no site scenova publish wrote"
                    : fs::is_symlink(old) ? " is a link, which would be replaced"
                                          : " is not a folder")
                << ": name a new folder, or a site written before, which is replaced\n";
            return 2;
        }
    }
    const bool several = options.lessons.size() > 1;
    std::vector<Prepared> lessons(options.lessons.size());
    std::vector<std::string> folders;
    for (std::size_t i = 0; i < lessons.size(); ++i) {
        const int status =
            Prepare(options.lessons[i], output, several ? "" : options.title, lessons[i], err);
        if (status != 0) {
            return status;
        }
        folders.push_back(several ? SiteFolderName(lessons[i].name, folders) : "");
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
        if (name != std::string_view("index.html") &&
            !fs::copy_file(options.site / name, *fresh / name, error)) {
            return failed(options.output / name);
        }
    }
    for (std::size_t i = 0; i < lessons.size(); ++i) {
        fs::path failedAt;
        const fs::path into = *fresh / folders[i];
        if ((several && !fs::create_directory(into, error)) ||
            !WriteLesson(lessons[i], options.site, into, several ? "../" : "", failedAt, error)) {
            return failed(options.output / folders[i] / failedAt);
        }
    }
    if (several) {
        // The index, and the list a later publish knows its own site by.
        const std::string title = options.title.empty() ? "Lessons" : options.title;
        std::string list = "[";
        for (std::size_t i = 0; i < lessons.size(); ++i) {
            list += (i == 0 ? "\n{\"title\":" : ",\n{\"title\":") + JsonString(lessons[i].title) +
                    ",\"address\":" + JsonString(folders[i] + "/") + "}";
        }
        if (!WriteText(*fresh / "index.html", IndexPage(title, lessons, folders), error) ||
            !WriteText(*fresh / "lessons.json", list + "]\n", error)) {
            return failed(options.output / "index.html");
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
    for (std::size_t i = 0; i < lessons.size(); ++i) {
        out << "Published \"" << utf8::Printable(lessons[i].title) << "\" to "
            << Shown(several ? options.output / folders[i] : options.output) << " ("
            << lessons[i].files.size() << " lesson files, " << lessons[i].leftOut << " left out)\n";
    }
    if (several) {
        out << "Published " << lessons.size() << " lessons to " << Shown(options.output)
            << ", listed in its index.html\n";
    }
    out << "Watch it in a browser: scenova serve " << ShellWord(options.output)
        << ", and open the address it prints (any server that answers Range requests will do)\n";
    return 0;
}

}  // namespace scenova::authoring
