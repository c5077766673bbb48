#pragma once
// Errors of the configuration layer (INI files, folders, printers, network helpers).

#include <stdexcept>
#include <string>

namespace dorvan {

class ConfigError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A settings file cannot be written; what() names the file and the reason.
class IniWriteError : public ConfigError {
  public:
    using ConfigError::ConfigError;
};

// A text that should be an integer is not one (the conversion error of the INI reader).
class ConversionError : public ConfigError {
  public:
    using ConfigError::ConfigError;
};

// The printer object cannot select a printer (no printer installed at all).
class PrinterError : public ConfigError {
  public:
    using ConfigError::ConfigError;
};

// A web request failed at the transport level (no connection, time-out, bad address).
class NetworkError : public ConfigError {
  public:
    using ConfigError::ConfigError;
    NetworkError(const std::string& what, bool requestSent)
        : ConfigError(what), requestSent_(requestSent) {}
    // True when the request (or a part of it) had left before the failure, so the server may
    // have received it.
    bool RequestSent() const { return requestSent_; }

  private:
    bool requestSent_ = false;
};

}  // namespace dorvan
