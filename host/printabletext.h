// Text from files, arguments and plug-ins made safe to print on one line: control characters
// and bytes that are not UTF-8 are written as \xHH, so a message never breaks a line or sends a
// terminal an escape sequence. Valid UTF-8 stays as it is, but for the C1 controls (U+0080 to
// U+009F), which are escaped byte by byte.
#pragma once

#include <string>

namespace kt3host {

std::string printable (const std::string& text);

} // namespace kt3host
