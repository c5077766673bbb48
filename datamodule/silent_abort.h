#pragma once
// The silent abort: ends the user's whole operation without a message. The event loop
// and the command-line entry catch it and show nothing; callers treat it as a
// cancellation. A reason may be attached for the command-line programs, which end every
// refusal with one line: the window program still shows nothing.

#include <exception>
#include <string>
#include <utility>

namespace dorvan {

class SilentAbort : public std::exception {
  public:
    SilentAbort() = default;
    explicit SilentAbort(std::string reason) : reason_(std::move(reason)) {}
    const char* what() const noexcept override { return "Operation aborted"; }
    // Why the operation was abandoned, for a command line; empty when not told.
    const std::string& Reason() const { return reason_; }

  private:
    std::string reason_;
};

}  // namespace dorvan
