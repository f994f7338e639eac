// Lines for the person or script that started the program: code page 932 text, written to
// a console as characters and to a pipe or file as UTF-8, so that a Linux terminal and a
// log read it alike.
#pragma once

#include <string>

namespace ov::demo {

void WriteLine(const std::string& text);

}  // namespace ov::demo
