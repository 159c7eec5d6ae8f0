#include "hart/time_text.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

// The locale's long time format without its time-zone part: the tables show the wall-clock time
// the way the workstation writes it, hours to seconds.
QString LongTimeFormat() {
    static const QString format = [] {
        QString f = QLocale::system().timeFormat(QLocale::LongFormat);
        f.remove(QRegularExpression(QStringLiteral("\\s*t+")));
        return f.trimmed();
    }();
    return format;
}

}  // namespace

QString LongTimeText(const QDateTime& moment) {
    return QLocale::system().toString(moment.time(), LongTimeFormat());
}

QString ShortDateText(const QDateTime& moment) {
    return QLocale::system().toString(moment.date(), QLocale::ShortFormat);
}

QString TimeAndDateText(const QDateTime& moment) {
    return LongTimeText(moment) + u' ' + ShortDateText(moment);
}
