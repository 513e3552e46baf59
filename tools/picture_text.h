// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The manual's pictures of a window carry the words the window showed when it was drawn, as a
// PNG text chunk ("Content"), so that a test can tell a picture the program has moved away from
// (a changed figure, a renamed label) without comparing pixels, which fonts and anti-aliasing
// change from one machine to the next.

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTabBar>
#include <QTextEdit>
#include <QWidget>

namespace picture_text {

inline void itemTexts(const QAbstractItemModel& model, const QModelIndex& parent,
                      QStringList& out) {
    for (int row = 0; row < model.rowCount(parent); ++row) {
        QStringList cells;
        for (int column = 0; column < model.columnCount(parent); ++column) {
            cells << model.index(row, column, parent).data().toString();
        }
        out << cells.join(QLatin1Char('\t'));
        itemTexts(model, model.index(row, 0, parent), out);
    }
}

// What one widget shows in words; painted widgets give what they tell a screen reader.
inline QStringList shownText(const QWidget& w) {
    if (const auto* label = qobject_cast<const QLabel*>(&w)) {
        return {label->text()};
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(&w)) {
        return {edit->text()};
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&w)) {
        return {button->text()};
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(&w)) {
        return {combo->currentText()};
    }
    if (const auto* tabs = qobject_cast<const QTabBar*>(&w)) {
        QStringList out;
        for (int i = 0; i < tabs->count(); ++i) {
            out << tabs->tabText(i);
        }
        return out;
    }
    if (const auto* text = qobject_cast<const QTextEdit*>(&w)) {
        return {text->toPlainText()};
    }
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(&w)) {
        return {plain->toPlainText()};
    }
    if (const auto* header = qobject_cast<const QHeaderView*>(&w); header && header->model()) {
        QStringList out;
        for (int i = 0; i < header->count(); ++i) {
            out << header->model()->headerData(i, header->orientation()).toString();
        }
        return {out.join(QLatin1Char('\t'))};
    }
    if (const auto* view = qobject_cast<const QAbstractItemView*>(&w); view && view->model()) {
        QStringList out;
        itemTexts(*view->model(), view->rootIndex(), out);
        return out;
    }
    return {w.accessibleDescription()};
}

// The words of every widget shown in `window`, in the order of the widget tree.
inline QString windowText(const QWidget& window) {
    QStringList out;
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisible()) {
            continue;
        }
        for (const QString& text : shownText(*w)) {
            if (!text.isEmpty()) {
                out << text;
            }
        }
    }
    return out.join(QLatin1Char('\n'));
}

// The window drawn to `path` with its words in the picture.
inline bool savePicture(QWidget& window, const QString& path) {
    QImage image = window.grab().toImage();
    image.setText(QStringLiteral("Content"), windowText(window));
    return image.save(path);
}

} // namespace picture_text
