#include "platform/FileSystem.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>


namespace pw {

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& path) {
  if (path.empty()) return false;
  std::string dir = path;
  while (dir.size() > 1 && dir.back() == kPathDelim) dir.pop_back();
  if (DirectoryExists(dir)) return true;
  size_t cut = dir.find_last_of(kPathDelim);
  if (cut != std::string::npos && cut > 0 && !ForceDirectories(dir.substr(0, cut))) return false;
  return ::mkdir(dir.c_str(), 0777) == 0 || (errno == EEXIST && DirectoryExists(dir));
}

std::vector<TDirEntry> ListDirectory(const std::string& folder) {
  std::vector<TDirEntry> names;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()), ::closedir);
  if (!dir) return names;
  while (dirent* e = ::readdir(dir.get())) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    bool isDir = e->d_type == DT_DIR;
    if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      std::string full = folder;
      if (!full.empty() && full.back() != kPathDelim) full += kPathDelim;
      isDir = DirectoryExists(full + name);
    }
    names.push_back({std::move(name), isDir});
  }
  return names;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

std::string ExtractFilePath(const std::string& path) {
  size_t cut = path.find_last_of(kPathDelim);
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string ExtractFileName(const std::string& path) {
  size_t cut = path.find_last_of(kPathDelim);
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

namespace {

bool MatchFrom(const char* name, const char* mask) {
  // Iterative wildcard match with one backtrack point, linear in practice.
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name) {
    if (*mask == '*') {
      star = mask++;
      resume = name;
    } else if (*mask == '?' || *mask == *name) {
      ++mask;
      ++name;
    } else if (star) {
      mask = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*mask == '*') ++mask;
  return *mask == '\0';
}

}  // namespace

bool MatchesMask(const std::string& name, const std::string& mask) {
  if (MatchFrom(name.c_str(), mask.c_str())) return true;
  // "x.*" also stands for "x" with no extension at all.
  if (mask.size() >= 2 && mask.compare(mask.size() - 2, 2, ".*") == 0 && name.find('.') == std::string::npos)
    return MatchFrom(name.c_str(), mask.substr(0, mask.size() - 2).c_str());
  return false;
}

}  // namespace pw
