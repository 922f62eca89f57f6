// The builds without libzip (WebAssembly): a packed lesson is refused.

#include "archive/PackedLesson.h"
#include "lesson/LessonFolder.h"

namespace scenova::archive {

namespace {

[[noreturn]] void Refuse(const std::string& name) {
    throw lesson::LessonError(name + ": this build reads and writes no packed lessons");
}

}  // namespace

struct Archive::Impl {};

Archive::Archive(std::unique_ptr<Impl> impl) : m(std::move(impl)) {}
Archive::~Archive() = default;

std::unique_ptr<Archive> Archive::Open(const std::filesystem::path& file) {
    Refuse(file.string());
}

std::unique_ptr<Archive> Archive::Open(std::string_view, const std::string& name) {
    Refuse(name);
}

const std::vector<Entry>& Archive::Entries() const {
    static const std::vector<Entry> none;
    return none;
}

void Archive::Read(std::size_t, const std::function<void(std::string_view)>&) const {}

PackResult Pack(const std::filesystem::path&, const std::filesystem::path& file) {
    Refuse(file.string());
}

}  // namespace scenova::archive
