#include "nav/nav_error.h"

#include <algorithm>

namespace dorvan::nav {
namespace {

std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
    return text;
}

}  // namespace

NavApiError::NavApiError(std::string errorCode, std::string message, long httpStatus)
    : NavError(OneLine("ERROR " + (errorCode.empty() ? std::string("-") : errorCode) +
                       (message.empty() ? std::string() : ": " + message))),
      errorCode_(std::move(errorCode)),
      message_(std::move(message)),
      httpStatus_(httpStatus) {}

}  // namespace dorvan::nav
