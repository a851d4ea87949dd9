#include "app/KeyCharacter.h"

#include <QKeyEvent>

namespace vrx {

std::optional<char16_t> CharacterCode(const QKeyEvent &event) {
    const int key = event.key();
    switch (key) {
    case Qt::Key_Backspace:
        return u'\b';
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return u'\r';
    case Qt::Key_Escape:
        return char16_t(27);
    default:
        break;
    }
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::AltModifier) && key >= Qt::Key_A &&
        key <= Qt::Key_Z)
        return char16_t(key - Qt::Key_A + 1);
    const QString text = event.text();
    if (text.isEmpty())
        return std::nullopt;
    return text.at(0).unicode();
}

} // namespace vrx
