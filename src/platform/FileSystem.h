#pragma once
// Files and folders as the program sees them: existence tests, folder creation and listing, paths.

#include <string>
#include <vector>

namespace pw {

// The folder delimiter of this platform.
inline constexpr char kPathDelim = '/';

// True when path names an existing file that is not a folder (links followed).
bool FileExists(const std::string& path);
// True when path names an existing folder (links followed).
bool DirectoryExists(const std::string& path);
// Creates path and every missing parent; true when the folder exists afterwards.
bool ForceDirectories(const std::string& path);

// One name of a folder listing.
struct TDirEntry {
  std::string Name;
  bool IsDirectory = false;
};
// The names in folder, hidden ones included, "." and ".." left out, in the order the system returns them.
// A folder that does not exist or cannot be read gives an empty list.
std::vector<TDirEntry> ListDirectory(const std::string& folder);

// True when the two paths name the same existing file (same device and inode).
bool SameFile(const std::string& a, const std::string& b);

// The folder part of path, up to and including its last delimiter ("" when there is none).
std::string ExtractFilePath(const std::string& path);
// The name part of path, after its last delimiter.
std::string ExtractFileName(const std::string& path);

// Wildcard match of a file name: "*" any run, "?" one character; a mask ending in ".*" also matches a
// name without any dot.
bool MatchesMask(const std::string& name, const std::string& mask);

}  // namespace pw
