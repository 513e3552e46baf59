// SPDX-License-Identifier: GPL-3.0-or-later
#include "key_press_hook.h"

#include "typed_character.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QWidget>

KeyPressHook::KeyPressHook(QWidget* target, Handler handler)
    : QObject(target), m_handler(std::move(handler)) {
    target->installEventFilter(this);
}

bool KeyPressHook::eventFilter(QObject* watched, QEvent* event) {
    // A replacement this hook sends itself has been filtered already.
    if (m_delivering) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::KeyPress: return filterKeyPress(watched, *static_cast<QKeyEvent*>(event));
    case QEvent::InputMethod: return filterInputMethod(*static_cast<QInputMethodEvent*>(event));
    default: return QObject::eventFilter(watched, event);
    }
}

bool KeyPressHook::filterKeyPress(QObject* watched, const QKeyEvent& event) {
    const std::optional<std::int16_t> code = typedCharacter(event);
    if (!code) {
        return false;
    }
    const QString text = event.text();
    const bool severalCharacters =
        text.size() > 1 && text.at(0).unicode() == static_cast<char16_t>(*code);
    if (!severalCharacters) {
        std::int16_t keyAscii = *code;
        m_handler(keyAscii);
        return keyAscii == 0;
    }
    // A repeated or composed key can carry several characters; each is judged on its own, and
    // only the accepted ones reach the widget.
    const QString kept = keptCharacters(text);
    if (kept == text) {
        return false;
    }
    if (!kept.isEmpty()) {
        QKeyEvent replacement(QEvent::KeyPress, event.key(), event.modifiers(), kept,
                              event.isAutoRepeat(), static_cast<quint16>(kept.size()));
        m_delivering = true;
        QCoreApplication::sendEvent(watched, &replacement);
        m_delivering = false;
    }
    return true;
}

bool KeyPressHook::filterInputMethod(QInputMethodEvent& event) {
    const QString commit = event.commitString();
    if (commit.isEmpty()) {
        return false;
    }
    const QString kept = keptCharacters(commit);
    if (kept == commit) {
        return false;
    }
    if (kept.isEmpty() && event.preeditString().isEmpty()) {
        return true;
    }
    // Keep the composition going, but without the refused characters; with nothing left to
    // commit, nothing of the box's text is replaced either.
    if (kept.isEmpty()) {
        event.setCommitString(QString());
    } else {
        event.setCommitString(kept, event.replacementStart(), event.replacementLength());
    }
    return false;
}

QString KeyPressHook::keptCharacters(const QString& text) {
    QString kept;
    for (const QChar character : text) {
        // Text carries no editing keys: a control character in it would land in the box as it
        // is, invisible, so it is dropped rather than offered as a key.
        if (character.unicode() < u' ' || character.unicode() == u'\x7f') {
            continue;
        }
        std::int16_t keyAscii = static_cast<std::int16_t>(character.unicode());
        m_handler(keyAscii);
        if (keyAscii != 0) {
            kept += QChar(static_cast<char16_t>(keyAscii));
        }
    }
    return kept;
}
