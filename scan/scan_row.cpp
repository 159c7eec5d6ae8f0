#include "scan/scan_row.h"

namespace scan {
namespace {

QString Hex(std::uint32_t value, int digits) {
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

QString HexBytes(std::span<const std::uint8_t> bytes) {
    QStringList texts;
    for (const std::uint8_t byte : bytes) {
        texts << Hex(byte, 2);
    }
    return texts.join(u' ');
}

}  // namespace

const QString kNotReliable = QStringLiteral("Данные не достоверны");

QStringList ScanColumnTitles() {
    return {QStringLiteral("Адрес"),
            QStringLiteral("Изготовитель"),
            QStringLiteral("Тип устройства"),
            QStringLiteral("ID устройства"),
            QStringLiteral("Уникальный адрес"),
            QStringLiteral("HART"),
            QStringLiteral("Версия устройства"),
            QStringLiteral("Версия ПО"),
            QStringLiteral("Преамбулы"),
            QStringLiteral("Тег"),
            QStringLiteral("Описание"),
            QStringLiteral("Дата"),
            QStringLiteral("Состояние")};
}

QStringList ScanRowTexts(const ScanRow& row) {
    QStringList texts{QString::number(row.pollAddress)};
    if (!row.identity) {
        while (texts.size() < ScanColumnTitles().size() - 1) {
            texts << QString();
        }
        return texts << kNotReliable + QStringLiteral(" (") + row.problem + u')';
    }
    const hart::DeviceIdentity& id = *row.identity;
    // Codes as the standard's tables list them: the manufacturer and the device type in hex.
    texts << QStringLiteral("0x") + Hex(id.manufacturer, id.universalRevision >= 7 ? 4 : 2)
          << QStringLiteral("0x") + Hex(id.deviceType, id.universalRevision >= 7 ? 4 : 2)
          << Hex(id.deviceId, 6) << HexBytes(id.uniqueAddress)
          << QString::number(id.universalRevision) << QString::number(id.deviceRevision)
          << QString::number(id.softwareRevision) << QString::number(id.requestPreambles);
    if (row.tag) {
        texts << row.tag->tag << row.tag->descriptor
              << (row.tag->date.isValid() ? row.tag->date.toString(QStringLiteral("dd.MM.yyyy"))
                                          : QString());
    } else {
        texts << QString() << QString() << QString();
    }
    return texts << hart::DeviceStatusText(row.deviceStatus);
}

}  // namespace scan
