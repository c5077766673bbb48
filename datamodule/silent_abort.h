#pragma once
// The silent abort: ends the user's whole operation without a message. The event loop
// and the command-line entry catch it and show nothing; callers treat it as a
// cancellation.

#include <exception>

namespace dorvan {

class SilentAbort : public std::exception {
  public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

}  // namespace dorvan
