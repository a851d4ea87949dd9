#pragma once

namespace vrx {

// The key fields take hexadecimal digits (either case, kept as typed) and backspace; every other
// character code, control characters such as Ctrl+V (22) included, is discarded.
bool IsKeyCharAccepted(char16_t code);

} // namespace vrx
