#pragma once
// Errors of the tax authority's subsystem (nav/): one base type, and the kinds its callers
// tell apart. Every what() is one line meant for the user; none carries a secret (password,
// keys, token, request signature).

#include <stdexcept>
#include <string>

namespace dorvan::nav {

class NavError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The credentials file, the address of the interface or another setting cannot be used;
// what() names the file or the variable.
class NavConfigError : public NavError {
  public:
    using NavError::NavError;
};

// The authority answered with funcCode ERROR (the request was refused as a whole, nothing was
// received); what() is "ERROR <errorCode>: <message>".
class NavApiError : public NavError {
  public:
    NavApiError(std::string errorCode, std::string message, long httpStatus);
    const std::string& errorCode() const { return errorCode_; }
    const std::string& message() const { return message_; }
    long httpStatus() const { return httpStatus_; }

  private:
    std::string errorCode_;
    std::string message_;
    long httpStatus_ = 0;
};

// No usable answer came: no connection, a time-out, an HTTP error without the authority's
// answer, an answer that is not one. `mayHaveArrived` tells whether the request may have
// reached the authority (then a submission's fate is unknown until it is looked up).
class NavTransportError : public NavError {
  public:
    NavTransportError(const std::string& what, bool mayHaveArrived)
        : NavError(what), mayHaveArrived_(mayHaveArrived) {}
    bool mayHaveArrived() const { return mayHaveArrived_; }

  private:
    bool mayHaveArrived_ = false;
};

}  // namespace dorvan::nav
