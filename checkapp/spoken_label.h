// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A label whose accessible name says what it is ("What it means") carries its words as its
// accessible description: with a name set, Qt no longer offers a label's text to a screen
// reader, which would then announce the caption and never the sentences under it.

#include <QLabel>
#include <QString>

inline void setSpokenText(QLabel* label, const QString& text) {
    label->setText(text);
    label->setAccessibleDescription(text);
}
