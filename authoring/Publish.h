#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace scenova::authoring {

struct PublishOptions {
    // One lesson: the site is its page. Several: an index page lists them
    // by title, each in a folder of its own named after its lesson's, and
    // they share the page's scripts and module.
    std::vector<std::filesystem::path> lessons;
    std::filesystem::path output;
    // The browser build's page and module (build/wasm/web).
    std::filesystem::path site;
    // The page's title; by default the lesson's (the main bar's first
    // label), else its folder's name. With several lessons, the index
    // page's ("Lessons").
    std::string title;
};

// Writes a static site that plays the lesson in a browser from any web
// server: the page and the module from the site folder, the lesson's files
// it uses below lesson/ (settings.ini, script.txt, what the check's run of
// the tool opened and its resources), and lesson.json, which names them for
// the page (movies apart: the page measures them with its video element). A
// lesson whose video browsers do not all play, without a WebM beside it that
// they do, is refused (status 1, nothing written) with the reason and the
// command that makes the WebM, as is a used file whose name is not UTF-8.
// Hidden entries, unused files, links, devices and other files that are not
// ordinary are left out and named; a movie refused for browsers is left out
// when its WebM is there. The site is written into a new folder beside the
// output and replaces it whole; the output must be new, empty or an earlier
// site, and neither inside a lesson nor holding one.
int PublishCommand(const PublishOptions& options, std::ostream& out, std::ostream& err);

}  // namespace scenova::authoring
