#pragma once

#include <filesystem>
#include <ostream>

namespace scenova::authoring {

struct PublishOptions {
    std::filesystem::path lesson;
    std::filesystem::path output;
    // The browser build's page and module (build/wasm/web).
    std::filesystem::path site;
};

// Writes a static site that plays the lesson in a browser from any web
// server: the page and the module from the site folder, the lesson's
// ordinary files below lesson/, and lesson.json, which names them for the
// page (movies apart: the page measures them with its video element). A
// lesson whose video browsers do not all play, without a WebM beside it that
// they do, is refused (status 1, nothing written) with the reason and the
// command that makes the WebM. Links, devices and other files that are not
// ordinary are left out and named; a movie refused for browsers is left out
// when its WebM is there. The site may not be written inside the lesson.
int PublishCommand(const PublishOptions& options, std::ostream& out, std::ostream& err);

}  // namespace scenova::authoring
