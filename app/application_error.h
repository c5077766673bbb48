#pragma once
// The application's standard handler for exceptions that leave an event handler or a
// start-up step: an error box captioned with the application title.

#include <exception>
#include <string>

namespace dorvan::app {

// The message of an exception (its what(), or a fixed text for foreign ones).
std::string ExceptionMessage(const std::exception_ptr& error);

// Shows the message through the user-interface port with the application title as caption;
// the silent abort shows nothing.
void ShowApplicationError(const std::exception_ptr& error);

}  // namespace dorvan::app
