#include "key_press_hook.h"

#include "typed_character.h"

#include <QKeyEvent>
#include <QWidget>

KeyPressHook::KeyPressHook(QWidget* target, Handler handler)
    : QObject(target), m_handler(std::move(handler)) {
    target->installEventFilter(this);
}

bool KeyPressHook::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const std::optional<std::int16_t> code = typedCharacter(*static_cast<QKeyEvent*>(event));
    if (!code) {
        return false;
    }
    std::int16_t keyAscii = *code;
    m_handler(keyAscii);
    return keyAscii == 0;
}
