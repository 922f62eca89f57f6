// scenova serve: a published site on 127.0.0.1, its files only.

#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <thread>

#include "cli/Serve.h"
#include "tests/support/TempDir.h"

namespace scenova::cli {
namespace {

// The page, a part of a movie as a video element asks for it (with the
// lesson's policy), and nothing outside the site or behind a link.
TEST(Serve, AnswersRangesAndKeepsToTheSite) {
    scenova::testing::TempDir folder;
    folder.Write("site/index.html", "<p>page</p>");
    folder.Write("site/lesson/0.webm", "0123456789");
    folder.Write("secret", "secret");
    std::filesystem::create_symlink(folder.Path() / "secret", folder.Path() / "site/link.bin");
    const auto server = SiteServer::Open(folder.Path() / "site");
    ASSERT_TRUE(server);
    const std::optional<int> port = server->Bind(0);
    ASSERT_TRUE(port);
    std::thread listening([&] { server->Listen(); });

    httplib::Client client("127.0.0.1", *port);
    const auto index = client.Get("/");
    ASSERT_TRUE(index);
    EXPECT_EQ(index->status, 200);
    EXPECT_EQ(index->body, "<p>page</p>");
    EXPECT_EQ(index->get_header_value("Content-Type"), "text/html");
    const auto part = client.Get("/lesson/0.webm", {{"Range", "bytes=2-4"}});
    ASSERT_TRUE(part);
    EXPECT_EQ(part->status, 206);
    EXPECT_EQ(part->body, "234");
    EXPECT_EQ(part->get_header_value("Content-Range"), "bytes 2-4/10");
    EXPECT_EQ(part->get_header_value("Content-Security-Policy"), "sandbox; default-src 'none'");
    EXPECT_EQ(part->get_header_value("X-Content-Type-Options"), "nosniff");
    for (const char* refused : {"/../secret", "/lesson/%2e%2e/../secret", "/link.bin"}) {
        const auto answer = client.Get(refused);
        ASSERT_TRUE(answer) << refused;
        EXPECT_EQ(answer->status, 403) << refused;
        EXPECT_EQ(answer->body.find("secret"), std::string::npos) << refused;
    }
    server->Stop();
    listening.join();
}

}  // namespace
}  // namespace scenova::cli
