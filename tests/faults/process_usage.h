#pragma once
// Resident memory and CPU time of processes and threads, read from /proc.

#include <QString>

namespace faults {

// "/proc/self", "/proc/<pid>" or "/proc/self/task/<tid>".
QString ProcDirectory(qint64 pid);

// User plus system CPU time in seconds of the process or thread at `procDirectory`; negative
// when it is gone.
double CpuSeconds(const QString& procDirectory);

// Resident memory of the process at `procDirectory` in KiB; negative when it is gone.
long long ResidentKiB(const QString& procDirectory);

}  // namespace faults
