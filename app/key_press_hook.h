// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

class QKeyEvent;
class QInputMethodEvent;
class QWidget;

// Hands every character typed into `target` to a key-press handler before the widget sees it;
// a handler that sets the code to 0 discards the character. Keys that type no character pass
// through. Characters committed by an input method are handed over one by one as well.
class KeyPressHook : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(std::int16_t& keyAscii)>;

    KeyPressHook(QWidget* target, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool filterKeyPress(QObject* watched, const QKeyEvent& event);
    bool filterInputMethod(QInputMethodEvent& event);
    // The characters of `text` that the handler lets through, each one offered on its own.
    QString keptCharacters(const QString& text);

    Handler m_handler;
    bool m_delivering = false;
};
