#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace scenova::cli {

// A published site served on 127.0.0.1 for its author's preview: regular
// files inside the site only (no link is followed, no name climbs out or is
// hidden), Range requests answered (a video cannot seek without them), each
// file with its MIME type and, under /lesson/, a policy that keeps the
// lesson's files data (`Content-Security-Policy: sandbox; default-src
// 'none'`, `nosniff`), as scripts/serve-site sends them.
class SiteServer {
public:
    // Nothing when the site is not a folder that can be opened.
    static std::unique_ptr<SiteServer> Open(const std::filesystem::path& site);
    ~SiteServer();
    SiteServer(const SiteServer&) = delete;
    SiteServer& operator=(const SiteServer&) = delete;

    // Binds 127.0.0.1:port (0: a free one); the port bound, or nothing.
    std::optional<int> Bind(int port);
    // Answers requests until Stop (from another thread).
    void Listen();
    void Stop();

private:
    struct State;
    explicit SiteServer(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

// scenova serve SITE [PORT]: prints the address, then serves until killed.
// 2 when the site cannot be opened or the port bound.
int Serve(const std::filesystem::path& site, int port, std::ostream& out, std::ostream& err);

}  // namespace scenova::cli
