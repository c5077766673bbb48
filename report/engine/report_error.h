#pragma once
// Errors of the report engine: a missing band, control or column, an unreadable design.

#include <stdexcept>
#include <string>

namespace dorvan::report {

class ReportError : public std::runtime_error {
  public:
    explicit ReportError(const std::string& message) : std::runtime_error(message) {}
};

// A file of an export could not be created or written.
class ReportIoError : public ReportError {
  public:
    explicit ReportIoError(const std::string& message) : ReportError(message) {}
};

}  // namespace dorvan::report
