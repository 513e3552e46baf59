#pragma once

// Placeholder until the build sheet lands: the agreed interface, writing nothing.

#include "check_report.h"

#include <QString>

bool writeBuildSheet(const QString& path, const brevan::check::CheckReport& report,
                     const QString& version, QString* error);
