#include "tests/faults/process_usage.h"

#include <unistd.h>
#include <QFile>

namespace faults {

QString ProcDirectory(qint64 pid) {
    return pid == 0 ? QStringLiteral("/proc/self") : QStringLiteral("/proc/%1").arg(pid);
}

double CpuSeconds(const QString& procDirectory) {
    QFile stat(procDirectory + QStringLiteral("/stat"));
    if (!stat.open(QIODevice::ReadOnly)) {
        return -1;
    }
    // The command name in parentheses may hold blanks; count the fields from after it.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() <= 12) {
        return -1;
    }
    const long long ticks = fields[11].toLongLong() + fields[12].toLongLong();  // utime, stime
    return static_cast<double>(ticks) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

long long ResidentKiB(const QString& procDirectory) {
    QFile statm(procDirectory + QStringLiteral("/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    if (fields.size() < 2) {
        return -1;
    }
    return fields[1].toLongLong() * ::sysconf(_SC_PAGESIZE) / 1024;
}

}  // namespace faults
