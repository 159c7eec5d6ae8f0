#pragma once
// The time text of the result tables and protocol files, in the workstation's regional formats.

#include <QDateTime>
#include <QString>

// The current time in the long time format.
QString LongTimeText(const QDateTime& moment);
// The current date in the short date format.
QString ShortDateText(const QDateTime& moment);
// Time, one blank, date: the form of the tables' time column.
QString TimeAndDateText(const QDateTime& moment = QDateTime::currentDateTime());
