#pragma once
// What the scan learnt of one poll address, and how the scan table and its CSV show it.

#include <QStringList>
#include <cstdint>
#include <optional>

#include "hart/device_identity.h"

namespace scan {

struct ScanRow {
    int pollAddress = 0;
    std::optional<hart::DeviceIdentity> identity;  // none when no answer could be trusted
    std::optional<hart::TagDescriptorDate> tag;    // none when command 13 gave nothing
    std::uint8_t deviceStatus = 0;
    QString problem;  // why the answers could not be trusted; empty when they could
};

// The table's column titles, and a row's texts under them.
QStringList ScanColumnTitles();
QStringList ScanRowTexts(const ScanRow& row);

// The text of a row whose answers could not be trusted.
extern const QString kNotReliable;

}  // namespace scan
