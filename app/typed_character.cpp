#include "typed_character.h"

#include <QKeyEvent>

std::optional<std::int16_t> typedCharacter(const QKeyEvent& event) {
    const QString text = event.text();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(text.at(0).unicode());
}
