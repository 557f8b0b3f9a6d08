// The one kind of failure the host tool reports: a message for the user, printed as a single
// line by main, after which the tool exits non-zero. Everything that holds a resource (the
// plug-in module and instance, the temporary output file) cleans up in its destructor, so
// throwing leaves nothing behind.
#pragma once

#include <stdexcept>
#include <string>

class HostError : public std::runtime_error {
 public:
  explicit HostError(const std::string& message) : std::runtime_error(message) {}
};
