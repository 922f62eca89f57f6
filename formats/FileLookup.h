#pragma once

#include <string>

namespace scenova::formats {

// True when an ordinary file matches path: a regular file or a symlink to
// one, not a folder, special file or hidden entry (name starting with ".").
// "*" and "?" act as wildcards in the last component only; a wildcard in a
// folder component makes the path invalid. Matching is case-sensitive.
// Never throws; any file system error gives false.
bool FindOrdinaryFile(const std::string& path) noexcept;

// The wildcard match of one file name, as FindOrdinaryFile uses it: "*" any
// run of characters, "?" exactly one (UTF-8) character, "*.*" every name.
bool MatchesWildcard(const std::string& pattern, const std::string& name);

}  // namespace scenova::formats
