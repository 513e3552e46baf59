// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_parts.h"

#include <QFrame>
#include <QLabel>
#include <QScrollArea>
#include <QStringList>

namespace window_parts {

QLabel* wrapped(const QString& name, const QString& accessible) {
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setAccessibleName(accessible);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

QScrollArea* scrolled(const QString& name, QWidget* content, Sideways sideways) {
    auto* area = new QScrollArea;
    area->setObjectName(name);
    area->setWidget(content);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(sideways == Sideways::No ? Qt::ScrollBarAlwaysOff
                                                                : Qt::ScrollBarAsNeeded);
    return area;
}

QString joined(const std::vector<std::string>& sentences) {
    QStringList lines;
    for (const std::string& sentence : sentences) {
        lines << QString::fromStdString(sentence);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace window_parts
