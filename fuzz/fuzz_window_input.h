// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window fuzzer's input as a user's actions: the bytes read front to back, one byte as one
// key press as an X11 desktop delivers it, and pasted bytes as a clipboard could hold them.

#include <QKeyEvent>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace brevan::fuzz::window_input {

inline constexpr std::size_t kMaxPasteBytes = 32;
inline constexpr std::size_t kMaxPastedText = 512;

// The fuzz input, read front to back; past its end every byte reads 0.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool atEnd() const { return m_pos >= m_size; }
    std::uint8_t next() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    std::size_t below(std::size_t bound) { return next() % bound; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

struct KeyStroke {
    int key;
    Qt::KeyboardModifiers modifiers;
    QString text;
};

inline KeyStroke printable(char16_t c, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QChar ch(c);
    if (ch.isUpper()) {
        modifiers |= Qt::ShiftModifier;
    }
    return {static_cast<int>(ch.toUpper().unicode()), modifiers, QString(ch)};
}

// One byte as one key press, with the key, modifiers and text an X11 desktop gives it:
//   20..7E printable ASCII; A0..CF the Latin-1 character; D0..FF the digits and the full
//   stop again, so that mutated inputs get numbers into the boxes; 08 Backspace "\b"; 09 Tab "\t";
//   0A keypad Enter; 0D Return; 1B Escape; 7F Delete "\x7f"; other 01..1A Ctrl+letter with its
//   control code (16 is Ctrl+V); 00 Up; 1C Left; 1D Right; 1E Home; 1F End;
//   80 Down; 81..84 Shift+Left/Right/Home/End; 85 Shift+Tab; 86 Delete with no text;
//   87 PageUp; 88 PageDown; 89 F1; 8A Ctrl+Backspace; 8B Ctrl+Delete; 8C Insert;
//   8D Alt+next byte; 90..99 keypad digits; 9A keypad full stop; 9B..9F a key carrying 2..6
//   characters (auto-repeat, composition), taken from the bytes that follow.
inline KeyStroke keyStroke(std::uint8_t code, ByteReader& in) {
    constexpr auto kNone = Qt::NoModifier;
    const QString none;
    switch (code) {
    case 0x00: return {Qt::Key_Up, kNone, none};
    case 0x08: return {Qt::Key_Backspace, kNone, QStringLiteral("\b")};
    case 0x09: return {Qt::Key_Tab, kNone, QStringLiteral("\t")};
    case 0x0a: return {Qt::Key_Enter, Qt::KeypadModifier, QStringLiteral("\r")};
    case 0x0d: return {Qt::Key_Return, kNone, QStringLiteral("\r")};
    case 0x1b: return {Qt::Key_Escape, kNone, QStringLiteral("\x1b")};
    case 0x1c: return {Qt::Key_Left, kNone, none};
    case 0x1d: return {Qt::Key_Right, kNone, none};
    case 0x1e: return {Qt::Key_Home, kNone, none};
    case 0x1f: return {Qt::Key_End, kNone, none};
    case 0x7f: return {Qt::Key_Delete, kNone, QStringLiteral("\x7f")};
    case 0x80: return {Qt::Key_Down, kNone, none};
    case 0x81: return {Qt::Key_Left, Qt::ShiftModifier, none};
    case 0x82: return {Qt::Key_Right, Qt::ShiftModifier, none};
    case 0x83: return {Qt::Key_Home, Qt::ShiftModifier, none};
    case 0x84: return {Qt::Key_End, Qt::ShiftModifier, none};
    case 0x85: return {Qt::Key_Backtab, Qt::ShiftModifier, none};
    case 0x86: return {Qt::Key_Delete, kNone, none};
    case 0x87: return {Qt::Key_PageUp, kNone, none};
    case 0x88: return {Qt::Key_PageDown, kNone, none};
    case 0x89: return {Qt::Key_F1, kNone, none};
    case 0x8a: return {Qt::Key_Backspace, Qt::ControlModifier, QStringLiteral("\b")};
    case 0x8b: return {Qt::Key_Delete, Qt::ControlModifier, QStringLiteral("\x7f")};
    case 0x8c: return {Qt::Key_Insert, kNone, none};
    case 0x8d: return printable(static_cast<char16_t>(0x20 + in.below(0x5f)), Qt::AltModifier);
    default: break;
    }
    if (code >= 0x01 && code <= 0x1a) {
        return {Qt::Key_A + code - 1, Qt::ControlModifier, QString(QChar(code))};
    }
    if (code >= 0x90 && code <= 0x99) {
        return printable(static_cast<char16_t>(u'0' + (code - 0x90)), Qt::KeypadModifier);
    }
    if (code == 0x9a) {
        return printable(u'.', Qt::KeypadModifier);
    }
    if (code >= 0x9b && code <= 0x9f) {
        QString text;
        for (int i = 0; i < code - 0x9b + 2; ++i) {
            text += QChar(static_cast<char16_t>(0x20 + in.below(0x5f)));
        }
        KeyStroke stroke = printable(text.at(0).unicode());
        stroke.text = text;
        return stroke;
    }
    if (code >= 0xd0) {
        static constexpr char kNumberKeys[] = "0123456789.";
        return printable(
            static_cast<char16_t>(kNumberKeys[(code - 0xd0) % (sizeof kNumberKeys - 1)]));
    }
    return printable(code); // 20..7E and A0..CF
}

// Pasted bytes as the clipboard could hold them: Latin-1, UTF-8 (broken sequences included),
// or mapped onto the characters that number readers care about, where F0..FF stands for a run
// of 24 to 384 nines or zeros, enough to overflow or underflow any reading. A paste is cut to
// 512 characters: longer ones only make every later check and layout slower.
inline QString pastedText(ByteReader& in, std::uint8_t mode) {
    const std::size_t length = in.below(kMaxPasteBytes + 1);
    std::string bytes;
    for (std::size_t i = 0; i < length; ++i) {
        bytes += static_cast<char>(in.next());
    }
    switch ((mode & 0x7f) % 3) {
    case 0: return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    case 1: return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    default: break;
    }
    static constexpr char kAlphabet[] = "0123456789.,eEdD&HhOo-+ 0123456789.";
    std::string mapped;
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        if (b >= 0xf0) {
            mapped.append(static_cast<std::size_t>((b & 0x0f) + 1) * 24, (b & 1) != 0 ? '9' : '0');
        } else {
            mapped += kAlphabet[b % (sizeof kAlphabet - 1)];
        }
    }
    mapped.resize(std::min(mapped.size(), kMaxPastedText));
    return QString::fromLatin1(mapped.data(), static_cast<qsizetype>(mapped.size()));
}

} // namespace brevan::fuzz::window_input
