#pragma once
// The byte-for-byte copy of the plain-text invoice to the dot-matrix printer's port, used by
// the console's print test and by dorvan-print.

#include <string>

namespace dorvan::app {

// The default device of the parallel port "LPT1", and the environment variable that
// replaces it.
inline constexpr const char* kDefaultLpt1Device = "/dev/lp0";
inline constexpr const char* kLpt1DeviceVariable = "DORVAN_LPT1";

// The device path that stands for "LPT1": $DORVAN_LPT1 when set and not empty, else
// "/dev/lp0".
std::string Lpt1DevicePath();

// Copies `source` byte for byte to `target` by the rules of every output (app/output_file.h):
// a device or pipe is written into without waiting for ever, a missing name below /dev is
// never created, a plain file is replaced whole. Returns false when anything failed, with the
// one-line reason in `reason` when given; nothing is reported.
bool CopyFileToPort(const std::string& source, const std::string& target,
                    std::string* reason = nullptr);

}  // namespace dorvan::app
