#pragma once

#include <QObject>

#include <cstdint>
#include <functional>

class QWidget;

// Hands every character typed into `target` to a key-press handler before the widget sees it;
// a handler that sets the code to 0 discards the key. Keys that type no character pass through.
class KeyPressHook : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(std::int16_t& keyAscii)>;

    KeyPressHook(QWidget* target, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler m_handler;
};
