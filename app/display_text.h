#pragma once
// The program's texts on screen: its CR LF and lone CR line breaks become Qt's "\n".

#include <QString>
#include <string>

namespace dorvan::app {

QString DisplayText(const std::string& text);

}  // namespace dorvan::app
