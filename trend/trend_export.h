#pragma once
// The trend written out: every reading as CSV, the chart as PNG. A file is replaced only once all
// of it is written, so a failed save leaves any file of that name as it was.

#include <QIODevice>
#include <QImage>
#include <QLocale>
#include <QString>
#include <functional>

#include "trend/trend_history.h"

namespace trend {

// Writes every reading of every slot, oldest first, as "time, slot, address, value, unit" lines
// after a header line: UTF-8, the value of `variable` with `locale`'s decimal separator, its unit
// where the answers say it (else an empty field), and fields separated by ";" where that decimal
// separator is the comma, else by ",".
bool WriteCsv(QIODevice& device, const TrendHistory& history, Variable variable,
              const QLocale& locale);

bool WritePng(QIODevice& device, const QImage& image);

}  // namespace trend
