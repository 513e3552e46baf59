// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The check window's small makers that its parts share: a wrapped label, a scrolled pane, and
// sentences as lines.

#include <QString>

#include <string>
#include <vector>

class QLabel;
class QScrollArea;
class QWidget;

namespace window_parts {

// A label whose text wraps and can be selected and copied.
QLabel* wrapped(const QString& name, const QString& accessible);

// Wrapped text scrolls down only; a table too wide for a narrow window scrolls sideways too.
enum class Sideways { No, AsNeeded };
QScrollArea* scrolled(const QString& name, QWidget* content, Sideways sideways);

// One sentence a line.
QString joined(const std::vector<std::string>& sentences);

} // namespace window_parts
