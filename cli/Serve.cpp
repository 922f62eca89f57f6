#include "cli/Serve.h"

#include <fcntl.h>
#include <httplib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "formats/Descriptor.h"
#include "runtime/Utf8.h"

namespace scenova::cli {

namespace {

using formats::Descriptor;

// The types a published site holds (scripts/serve-site's, Python's table);
// the lesson's files are .bin, .webm and .mp4.
const char* MimeType(const std::string& name) {
    static const std::pair<const char*, const char*> kTypes[] = {
        {".html", "text/html"},
        {".htm", "text/html"},
        {".js", "text/javascript"},
        {".css", "text/css"},
        {".wasm", "application/wasm"},
        {".json", "application/json"},
        {".webm", "video/webm"},
        {".mp4", "video/mp4"},
        {".png", "image/png"},
        {".svg", "image/svg+xml"},
        {".txt", "text/plain"},
        {".vtt", "text/vtt"},
        {".ico", "image/vnd.microsoft.icon"}};
    for (const auto& [extension, type] : kTypes) {
        if (name.ends_with(extension)) {
            return type;
        }
    }
    return "application/octet-stream";
}

// What a request's path names inside the site.
struct Found {
    int status = 200;  // 403, 404 or 301 when it names no file to send
    std::shared_ptr<Descriptor> file;
    std::uint64_t size = 0;
    std::string name;  // its last part, for its type
};

// Walks the path from the site's folder one name at a time, following no
// link: a name that climbs out (..) or is hidden names nothing, nor does
// anything that is not a folder or a regular file. A folder gives its
// index.html.
Found Find(int site, const std::string& path) {
    Found found;
    if (path.empty() || path[0] != '/' || path.find('\0') != std::string::npos) {
        found.status = 403;
        return found;
    }
    std::vector<std::string> names;
    for (std::size_t at = 1; at <= path.size();) {
        std::size_t end = path.find('/', at);
        end = end == std::string::npos ? path.size() : end;
        const std::string name = path.substr(at, end - at);
        if (name.starts_with('.')) {
            found.status = 403;
            return found;
        }
        if (!name.empty()) {
            names.push_back(name);
        }
        at = end + 1;
    }
    const bool folderAsked = path.ends_with('/');
    auto folder = std::make_shared<Descriptor>(::dup(site));
    for (std::size_t i = 0; i < names.size(); ++i) {
        const bool last = i + 1 == names.size();
        auto next = std::make_shared<Descriptor>(
            ::openat(folder->Get(), names[i].c_str(),
                     O_RDONLY | O_NOFOLLOW | O_CLOEXEC | (last ? O_NONBLOCK : O_DIRECTORY)));
        if (next->Get() < 0) {
            found.status = errno == ENOENT ? 404 : 403;
            return found;
        }
        folder = std::move(next);
    }
    struct stat status {};
    if (::fstat(folder->Get(), &status) != 0) {
        found.status = 403;
        return found;
    }
    found.name = names.empty() ? "" : names.back();
    if (S_ISDIR(status.st_mode)) {
        if (!folderAsked) {
            found.status = 301;  // its index's links are relative to the folder
            return found;
        }
        found.file = std::make_shared<Descriptor>(
            ::openat(folder->Get(), "index.html", O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        found.name = "index.html";
        if (found.file->Get() < 0 || ::fstat(found.file->Get(), &status) != 0) {
            found.status = errno == ENOENT ? 404 : 403;
            return found;
        }
    } else {
        found.file = folder;
    }
    if (!S_ISREG(status.st_mode)) {
        found.status = 403;
        return found;
    }
    found.size = static_cast<std::uint64_t>(status.st_size);
    return found;
}

void Answer(int site, const httplib::Request& request, httplib::Response& response) {
    // The lesson's files are the page's data, never documents of the site.
    if (request.path.starts_with("/lesson/")) {
        response.set_header("Content-Security-Policy", "sandbox; default-src 'none'");
        response.set_header("X-Content-Type-Options", "nosniff");
    }
    response.set_header("Accept-Ranges", "bytes");
    const Found found = Find(site, request.path);
    if (found.status == 301) {
        response.set_redirect(request.path + "/", 301);
        return;
    }
    if (found.status != 200) {
        response.status = found.status;
        // The library would cut a body to the range asked for.
        if (request.ranges.empty()) {
            response.set_content(found.status == 404 ? "Not found\n" : "Not served\n",
                                 "text/plain");
        }
        return;
    }
    // One range that starts past the end is answered as unsatisfiable.
    if (request.ranges.size() == 1 && request.ranges[0].first >= 0 &&
        static_cast<std::uint64_t>(request.ranges[0].first) >= found.size) {
        response.status = 416;
        response.set_header("Content-Range", "bytes */" + std::to_string(found.size));
        return;
    }
    const std::shared_ptr<Descriptor> file = found.file;
    response.set_content_provider(
        static_cast<std::size_t>(found.size), MimeType(found.name),
        [file](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            std::vector<char> buffer(std::min<std::size_t>(length, std::size_t{1} << 16));
            const ssize_t got =
                ::pread(file->Get(), buffer.data(), buffer.size(), static_cast<off_t>(offset));
            // A file cut short while it is sent ends the answer.
            return got > 0 && sink.write(buffer.data(), static_cast<std::size_t>(got));
        });
}

}  // namespace

struct SiteServer::State {
    Descriptor site;
    httplib::Server server;
    explicit State(int fd) : site(fd) {}
};

SiteServer::SiteServer(std::unique_ptr<State> state) : m_state(std::move(state)) {
    const int site = m_state->site.Get();
    m_state->server.Get(".*", [site](const httplib::Request& request, httplib::Response& response) {
        Answer(site, request, response);
    });
}

SiteServer::~SiteServer() = default;

std::unique_ptr<SiteServer> SiteServer::Open(const std::filesystem::path& site) {
    const int fd = ::open(site.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    return std::unique_ptr<SiteServer>(new SiteServer(std::make_unique<State>(fd)));
}

std::optional<int> SiteServer::Bind(int port) {
    // Only this machine: it is a preview.
    if (port == 0) {
        const int bound = m_state->server.bind_to_any_port("127.0.0.1");
        return bound > 0 ? std::optional<int>(bound) : std::nullopt;
    }
    return m_state->server.bind_to_port("127.0.0.1", port) ? std::optional<int>(port)
                                                           : std::nullopt;
}

void SiteServer::Listen() {
    m_state->server.listen_after_bind();
}

void SiteServer::Stop() {
    m_state->server.stop();
}

int Serve(const std::filesystem::path& site, int port, std::ostream& out, std::ostream& err) {
    const std::string shown = utf8::Printable(site.string());
    std::error_code error;
    if (!std::filesystem::is_regular_file(site / "index.html", error)) {
        err << "scenova serve: " << shown
            << " holds no index.html: serve a site scenova publish wrote\n";
        return 2;
    }
    const std::unique_ptr<SiteServer> server = SiteServer::Open(site);
    const std::optional<int> bound = server ? server->Bind(port) : std::nullopt;
    if (!bound) {
        err << "scenova serve: cannot serve " << shown << " on 127.0.0.1:" << port << ": "
            << std::strerror(errno) << '\n';
        return 2;
    }
    out << "http://127.0.0.1:" << *bound << "/\n"
        << "Serving " << shown << " there (on this computer only); Ctrl+C stops it" << std::endl;
    server->Listen();
    return 0;
}

}  // namespace scenova::cli
