#pragma once

#include "check_report.h"

#include <QByteArray>

namespace brevan::cli {

// The report as one JSON object for scripts: the same content as the text, numbers at full
// precision, units in the key names (_mhz, _m, _mm, _uh, _ohm, _hz, _pf, _percent).
QByteArray reportJson(const check::CheckReport& report, const QString& version);

} // namespace brevan::cli
