// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The build sheet: one printable page with all a builder takes to the workbench: the inputs,
// what the check means, the cut list with the drawing of one half, the coil, the SWR plot, the
// date and the program's version. The pictures are painted by the same functions as the
// window's widgets.
//
//   CheckReport --buildSheetPdf(page size, date)--> PDF bytes --writeBuildSheet--> file, whole

#include "check_report.h"

#include <QByteArray>
#include <QDate>
#include <QLocale>
#include <QPageSize>
#include <QString>

// Letter where the locale measures in US units, A4 everywhere else (the UK included).
QPageSize::PageSizeId buildSheetPageSize(QLocale::MeasurementSystem system);

// The sheet as PDF bytes, one page; empty only if the PDF could not be painted.
QByteArray buildSheetPdf(const brevan::check::CheckReport& report, const QString& version,
                         QPageSize::PageSizeId pageSize, const QDate& date);

// Writes the sheet for the user's locale and today's date, whole or not at all. On failure,
// returns false and says why in `error` (when given); any file already at `path` is kept.
bool writeBuildSheet(const QString& path, const brevan::check::CheckReport& report,
                     const QString& version, QString* error);
