#pragma once

#include <optional>

class QKeyEvent;

namespace vrx {

// The character code a keystroke types, as a key-press handler sees it: printable characters by their
// code, backspace 8, Enter 13, Escape 27 and Ctrl+letter as the control characters 1 to 26 (Ctrl+V is
// 22). Keys that type nothing (arrows, Delete, Home, function keys, Shift+Insert) give nothing: they are
// editing keys, not characters.
std::optional<char16_t> CharacterCode(const QKeyEvent &event);

} // namespace vrx
