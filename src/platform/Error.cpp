#include "platform/Error.h"

#include <cerrno>
#include <cstring>

namespace pw {

void ThrowStreamReadError() {
  throw Error("Stream read error");
}

void ThrowCannotOpen(const std::string& path, const std::string& reason) {
  throw Error("Cannot open file \"" + path + "\". " + reason);
}

void ThrowCannotCreate(const std::string& path, const std::string& reason) {
  throw Error("Cannot create file \"" + path + "\". " + reason);
}

std::string SystemReason(int err) {
  // A lock held elsewhere reads better as what it means to the user.
  if (err == EWOULDBLOCK) return "The file is in use by another process.";
  return std::strerror(err);
}

}  // namespace pw
