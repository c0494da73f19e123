#pragma once
// The one exception type of the program: its message is the text the user sees.

#include <stdexcept>
#include <string>

namespace pw {

// An error whose what() is the user-facing message.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws the error every short read raises.
[[noreturn]] void ThrowStreamReadError();

// "Cannot open file "%s". %s" with the path and the system's reason.
[[noreturn]] void ThrowCannotOpen(const std::string& path, const std::string& reason);

// "Cannot create file "%s". %s" with the path and the system's reason.
[[noreturn]] void ThrowCannotCreate(const std::string& path, const std::string& reason);

// The system's text for an errno value.
std::string SystemReason(int err);

}  // namespace pw
