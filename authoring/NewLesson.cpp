#include "authoring/NewLesson.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "authoring/Commands.h"
#include "formats/Descriptor.h"
#include "formats/MovieFile.h"
#include "runtime/Convert.h"
#include "runtime/Utf8.h"

namespace scenova::authoring {

namespace {

namespace fs = std::filesystem;

struct Picture {
    const char* name;
    std::string_view bytes;
};

// The transport buttons' pictures the sample lesson uses, drawn by its
// make-market.sh and built into the command, so that an installed scenova
// needs no files beside it.
constexpr Picture kButtonPictures[] = {
#include "authoring/ButtonPictures.inc"
};

using formats::Descriptor;

std::string Shown(const fs::path& path) {
    return utf8::Printable(path.string());
}

bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

// Text a settings or script line can hold as it is: UTF-8 without control
// characters (a line break would start a line of the text's making).
bool FitsOneLine(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t at = pos;
        const char32_t c = utf8::NextCodePoint(text, pos);
        if (IsControl(c) || (c == utf8::kReplacement && text.substr(at, pos - at) != "\uFFFD")) {
            return false;
        }
    }
    return true;
}

// The video's name in the lesson: its own, with what a script line or
// another host could not take as a name (control characters, bytes that are
// not UTF-8, a backslash, blanks at its ends, a leading dot) made plain.
std::string VideoName(const fs::path& video) {
    const std::string original = video.filename().string();
    std::string name;
    for (std::size_t pos = 0; pos < original.size();) {
        const std::size_t at = pos;
        const char32_t c = utf8::NextCodePoint(original, pos);
        const bool bad = IsControl(c) || c == U'\\' ||
                         (c == utf8::kReplacement && original.compare(at, pos - at, "\uFFFD") != 0);
        name += bad ? std::string("_") : original.substr(at, pos - at);
    }
    const std::size_t first = name.find_first_not_of(". ");
    const std::size_t last = name.find_last_not_of(' ');
    name = first == std::string::npos ? "" : name.substr(first, last + 1 - first);
    return name.empty() ? "video" + video.extension().string() : name;
}

// Writes all of the bytes; false when a write failed (errno says why).
bool WriteAll(int fd, std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            errno = n == 0 ? EIO : errno;
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// Opens a new file for writing, never through a link planted in its place.
int OpenNew(const fs::path& file) {
    return ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

bool WriteNew(const fs::path& file, std::string_view bytes) {
    Descriptor fd(OpenNew(file));
    return fd.Get() >= 0 && WriteAll(fd.Get(), bytes) && fd.Close();
}

// Renames a file or folder to a name nothing holds; false (errno says
// why) when something does.
bool MoveToNew(const fs::path& from, const fs::path& to) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL) {
        return false;
    }
#endif
    // A file system or C library without the flag: looked at, then renamed.
    struct stat there {};
    if (::lstat(to.c_str(), &there) == 0) {
        errno = EEXIST;
        return false;
    }
    return std::rename(from.c_str(), to.c_str()) == 0;
}

// Copies what is read from the descriptor into a new file, at most limit
// bytes; "" when done, else what failed.
std::string CopyNew(int from, const fs::path& to, std::uintmax_t limit) {
    Descriptor fd(OpenNew(to));
    if (fd.Get() < 0) {
        return std::strerror(errno);
    }
    std::vector<char> buffer(std::size_t{1} << 20);
    std::uintmax_t copied = 0;
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::strerror(errno);
        }
        if (got == 0) {
            break;
        }
        copied += static_cast<std::uintmax_t>(got);
        if (copied > limit) {
            return "it grew past the size it had while it was copied";
        }
        if (!WriteAll(fd.Get(), std::string_view(buffer.data(), static_cast<std::size_t>(got)))) {
            return std::strerror(errno);
        }
    }
    return fd.Close() ? "" : std::strerror(errno);
}

}  // namespace

std::string ShellWord(const fs::path& path) {
    const std::string text = utf8::Printable(path.string());
    if (!text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || std::strchr("_./-+:,@", c);
        })) {
        return text;
    }
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string NewLessonSettings(int videoWidth, int videoHeight, const std::string& title) {
    // The video is shown at its own size when that suits a lesson window,
    // else scaled, its shape kept, to at most 480 by 360 pixels or to at
    // least 320 across: the sample shows its 160 by 120 video at 320 by 240.
    double width = videoWidth > 0 && videoHeight > 0 ? videoWidth : 320;
    double height = videoWidth > 0 && videoHeight > 0 ? videoHeight : 240;
    double scale = 1;
    if (width > 480 || height > 360) {
        scale = std::min(480 / width, 360 / height);
    } else if (width < 320) {
        scale = std::min(320 / width, 360 / height);
    }
    const int w = std::max(1, static_cast<int>(std::lround(width * scale)));
    const int h = std::max(1, static_cast<int>(std::lround(height * scale)));

    constexpr int kMargin = 20;
    constexpr int kVideoTop = 56;      // below the title
    constexpr int kSliderHeight = 20;  // the slider's own height
    constexpr int kButton = 24;        // the pictures' size
    constexpr int kButtonStep = 32;
    const int buttonsTop = kVideoTop + h + kSliderHeight + 8;
    // Six buttons, the two for the transcript apart at the right.
    const int rowRight = std::max(kMargin + w, kMargin + 6 * kButtonStep + 16);
    const int transcriptLeft = rowRight + kMargin;
    constexpr int kTranscriptWidth = 260;
    const int transcriptHeight = buttonsTop + kButton - kVideoTop;

    const auto button = [&](const char* name, const char* picture, int type, int left, bool enabled,
                            const char* tip) {
        const std::string key = std::string(name) + ".";
        return key + "Bmp=" + picture + "\n" + key + "Type=" + std::to_string(type) + "\n" + key +
               "Top=" + std::to_string(buttonsTop) + "\n" + key + "Left=" + std::to_string(left) +
               "\n" + key + "Visible=True\n" + key + "Enabled=" + (enabled ? "True" : "False") +
               "\n" + key + "ToolTip=" + tip + "\n\n";
    };
    std::string text =
        "; The lesson's window. KEY=VALUE, one a line; lines starting with ';' are\n"
        "; comments. Sizes and places are pixels. docs/lesson-format.md tells every\n"
        "; key, what it is when left out and what the learner sees; scenova check\n"
        "; says what is wrong.\n\n"
        "; --- The window ----------------------------------------------------------\n"
        "WIDTH=" +
        std::to_string(transcriptLeft + kTranscriptWidth + kMargin) +
        "\n"
        "HEIGHT=" +
        std::to_string(buttonsTop + kButton + kMargin) +
        "\n"
        "; A whole number, red in the lowest byte: RGB(248,242,234).\n"
        "BACKCOLOR=15397624\n\n"
        "; --- The title, a label on the main bar (publish titles the page so) ------\n"
        "Label.Count=1\n"
        "Label(0).Caption=\"" +
        title +
        "\"\n"
        "Label(0).Top=14\n"
        "Label(0).Left=" +
        std::to_string(kMargin) +
        "\n"
        "Label(0).FontName=Arial\n"
        "Label(0).FontSize=18\n"
        "Label(0).FontBold=True\n"
        "Label(0).ForeColor=RGB(60,40,20)\n\n"
        "; --- The video: ";
    text += videoWidth > 0 && videoHeight > 0
                ? std::to_string(videoWidth) + " by " + std::to_string(videoHeight) + " pixels, "
                : std::string("its size unknown, ");
    text += "shown at " + std::to_string(w) + " by " + std::to_string(h) +
            "\n"
            "movOrvMovie.Top=" +
            std::to_string(kVideoTop) +
            "\n"
            "movOrvMovie.Left=" +
            std::to_string(kMargin) +
            "\n"
            "movOrvMovie.Width=" +
            std::to_string(w) +
            "\n"
            "movOrvMovie.Height=" +
            std::to_string(h) +
            "\n"
            "; The times in script.txt are seconds.\n"
            "movOrvMovie.TimeFormat=0\n\n"
            "; --- The slider: left out, it lies under the video, as wide as it ------\n"
            "sldVideoSlider.Visible=True\n"
            "sldVideoSlider.ForeColor=RGB(40,70,110)\n"
            "sldVideoSlider.BackColor=RGB(220,225,235)\n\n"
            "; --- The transcript: beside the video; a longer one scrolls -------------\n"
            "rtfText.Visible=True\n"
            "rtfText.Top=" +
            std::to_string(kVideoTop) +
            "\n"
            "rtfText.Left=" +
            std::to_string(transcriptLeft) +
            "\n"
            "rtfText.Width=" +
            std::to_string(kTranscriptWidth) +
            "\n"
            "rtfText.Height=" +
            std::to_string(transcriptHeight) +
            "\n"
            "rtfText.ActorFontName=Arial\n"
            "rtfText.ActorFontSize=10\n"
            "rtfText.ActorFontColor=RGB(150,60,20)\n"
            "rtfText.TextFontName=Times New Roman\n"
            "rtfText.TextFontSize=11\n"
            "rtfText.TextFontColor=RGB(30,30,60)\n"
            "rtfText.RolloverColor=RGB(0,102,204)\n\n"
            "; --- The buttons under the slider, pictures in media/ -------------------\n";
    text += button("btnVideoRew", "rew.bmp", 109, kMargin, false, "Back one speaker");
    text += button("btnVideoPlay", "play.bmp", 109, kMargin + kButtonStep, true, "Play");
    text += button("btnVideoStop", "stop.bmp", 109, kMargin + 2 * kButtonStep, false, "Stop");
    text += button("btnVideoFwd", "fwd.bmp", 109, kMargin + 3 * kButtonStep, true,
                   "On to the next speaker");
    text += button("btnTextOn", "texton.bmp", 110, rowRight - kButtonStep - kButton, false,
                   "Show the transcript");
    text +=
        button("btnTextOff", "textoff.bmp", 110, rowRight - kButton, true, "Hide the transcript");
    text.pop_back();
    return text;
}

int NewLessonCommand(const NewLessonOptions& options, std::ostream& out, std::ostream& err) {
    std::error_code error;
    fs::path folder = fs::absolute(options.folder, error).lexically_normal();
    if (folder.filename().empty()) {
        folder = folder.parent_path();  // "cafe/", as tab completion writes it
    }
    const std::string title = options.title.empty() ? folder.filename().string() : options.title;
    if (!FitsOneLine(title) || title.size() > 200) {
        err << "scenova new: the title must be UTF-8 of at most 200 bytes without control "
               "characters\n";
        return 2;
    }
    if (options.speaker && !FitsOneLine(*options.speaker)) {
        err << "scenova new: the speaker's name must be UTF-8 without control characters\n";
        return 2;
    }
    const fs::file_status existing = fs::symlink_status(folder, error);
    if (fs::exists(existing) &&
        (!fs::is_directory(existing) || !fs::is_empty(folder, error) || error)) {
        err << "scenova new: " << Shown(options.folder)
            << (fs::is_symlink(existing)     ? " is a link"
                : fs::is_directory(existing) ? " holds files"
                                             : " is not a folder")
            << ": name a new folder, or an empty one\n";
        return 2;
    }

    // The video is the user's file or anyone's: a regular file, not a link,
    // of a bounded size, read through the one descriptor opened here.
    Descriptor video(::open(options.video.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (video.Get() < 0 || ::fstat(video.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        err << "scenova new: cannot read the video " << Shown(options.video) << ": "
            << (video.Get() < 0 && errno == ELOOP ? "it is a link; name the file itself"
                : video.Get() < 0                 ? std::strerror(errno)
                                                  : "it is not an ordinary file")
            << '\n';
        return 2;
    }
    if (static_cast<std::uintmax_t>(status.st_size) > kMaxNewVideoBytes) {
        err << "scenova new: the video " << Shown(options.video)
            << " holds more than 4 GiB, more than a lesson's video needs\n";
        return 1;
    }
    const std::string videoName = VideoName(options.video);

    std::optional<std::string> script;
    if (options.subtitles) {
        int importStatus = 0;
        script = ImportScript({*options.subtitles, videoName, options.speaker, std::nullopt,
                               SpeakerPrefixes::WhenMost},
                              err, importStatus);
        if (!script) {
            return importStatus;
        }
    }

    // The lesson is made beside its folder and put in its place whole; in
    // an empty folder the user made (a shell may stand in it, its rights are
    // theirs) it is made in a hidden folder inside, and its parts moved up.
    const bool inside = fs::exists(existing);
    if (!inside) {
        fs::create_directories(folder.parent_path(), error);
    }
    std::string made = inside ? (folder / ".new-XXXXXX").string() : folder.string() + ".new-XXXXXX";
    if (::mkdtemp(made.data()) == nullptr) {
        err << "scenova new: cannot write beside " << Shown(options.folder) << ": "
            << std::strerror(errno) << '\n';
        return 2;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(made.c_str(), 0777 & ~mask);
    const fs::path fresh(made);
    const auto fail = [&](const std::string& what, int exitStatus) {
        err << "scenova new: " << what << "; nothing written\n";
        fs::remove_all(fresh, error);
        return exitStatus;
    };

    for (const char* sub : {"media", "video"}) {
        if (::mkdir((fresh / sub).c_str(), 0777) != 0) {
            return fail(std::string("cannot make ") + sub + "/: " + std::strerror(errno), 2);
        }
    }
    for (const Picture& picture : kButtonPictures) {
        if (!WriteNew(fresh / "media" / picture.name, picture.bytes)) {
            return fail(
                std::string("cannot write media/") + picture.name + ": " + std::strerror(errno), 2);
        }
    }
    const fs::path copy = fresh / "video" / videoName;
    if (const std::string problem =
            CopyNew(video.Get(), copy, static_cast<std::uintmax_t>(status.st_size));
        !problem.empty()) {
        return fail("cannot copy the video " + Shown(options.video) + ": " + problem, 2);
    }
    const std::optional<formats::Movie> movie = formats::ProbeMovie(copy.string());
    if (!movie) {
        return fail("the video " + Shown(options.video) +
                        " is no movie with a picture and a length that the lesson can play",
                    1);
    }
    if (!script) {
        // One block, the whole video: a click on its line plays it all.
        const double end = std::floor(movie->seconds * 1000) / 1000;
        script =
            "# The video alone: write each spoken line as ACTOR, TEXT, AVSTART and "
            "AVEND (seconds),\n# or make this file from subtitles with scenova import.\n"
            "VIDEO " +
            videoName + "\nACTOR " + options.speaker.value_or("Video") + "\nTEXT " + title +
            "\nAVSTART 0\nAVEND " + ShortestText(end) + "\n";
    }
    if (!WriteNew(fresh / "script.txt", *script) ||
        !WriteNew(fresh / "settings.ini", NewLessonSettings(movie->width, movie->height, title))) {
        return fail(std::string("cannot write the lesson: ") + std::strerror(errno), 2);
    }
    // A folder that came to hold files meanwhile is not written over.
    if (!inside && !MoveToNew(fresh, folder)) {
        return fail(
            "cannot put the lesson in " + Shown(options.folder) + ": " + std::strerror(errno), 2);
    }
    if (inside) {
        const char* parts[] = {"media", "video", "script.txt", "settings.ini"};
        for (std::size_t moved = 0; moved < std::size(parts); ++moved) {
            if (!MoveToNew(fresh / parts[moved], folder / parts[moved])) {
                const std::string problem = std::strerror(errno);
                while (moved-- > 0) {
                    std::rename((folder / parts[moved]).c_str(), (fresh / parts[moved]).c_str());
                }
                return fail("cannot put the lesson in " + Shown(options.folder) + ": " + problem,
                            2);
            }
        }
        fs::remove(fresh, error);
    }

    std::size_t lines = 0;
    for (std::size_t at = script->find("\nTEXT "); at != std::string::npos;
         at = script->find("\nTEXT ", at + 1)) {
        ++lines;
    }
    out << "Made \"" << utf8::Printable(title) << "\" in " << Shown(options.folder) << ": " << lines
        << (lines == 1 ? " spoken line" : " spoken lines") << ", the video as video/"
        << utf8::Printable(videoName) << ", settings.ini laid out for it, the buttons in media/\n";
    const int checked = CheckCommand(options.folder, false, out, err, options.doc);
    const std::string shown = ShellWord(options.folder);
    out << (checked == 0 ? "" : "Mend what the check says, then\n")
        << "Watch it:    scenova-player " << shown << "  (or scenova play " << shown
        << " here, without a window)\n"
        << "Publish it:  scenova publish " << shown
        << " -o SITE, then scenova serve SITE to watch it in a browser\n";
    return checked == 0 ? 0 : 1;
}

}  // namespace scenova::authoring
