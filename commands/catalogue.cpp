#include "commands/catalogue.h"

#include <algorithm>

namespace commands {

const CommandRow* CatalogueRow(int index) {
    return index >= 0 && index < static_cast<int>(kCatalogue.size()) ? &kCatalogue[index] : nullptr;
}

const CommandRow* PolledRow(int index) {
    for (const CommandRow& row : kCatalogue) {
        if (row.polled && index-- == 0) {
            return &row;
        }
    }
    return nullptr;
}

const CommandRow* RowOfCommand(std::uint8_t number) {
    const auto* row = std::ranges::find(kCatalogue, number, &CommandRow::number);
    return row != kCatalogue.end() ? row : nullptr;
}

QStringList CatalogueTexts() {
    QStringList texts;
    for (const CommandRow& row : kCatalogue) {
        texts << QString::fromUtf8(row.text);
    }
    return texts;
}

QStringList RegistrationCommandTexts() {
    QStringList texts;
    for (const CommandRow& row : kCatalogue) {
        if (row.polled) {
            texts << QString::fromUtf8(row.text);
        }
    }
    return texts;
}

QStringList DeviceVariableTexts() {
    return {
        QStringLiteral("Давление/Pressure"),
        QStringLiteral("Токовый сигнал/Iout"),
        QStringLiteral("Um"),
        QStringLiteral("Udif"),
        QStringLiteral("Температура микропроцессора"),
        QStringLiteral("Температура тензодатчика"),
        QStringLiteral("Величина демпфирования"),
        QStringLiteral("Верхний предел (Pmax)"),
        QStringLiteral("Нижний предел (Pmin)"),
    };
}

QStringList PressureUnitTexts() {
    return {QStringLiteral("кгс/см2"), QStringLiteral("МПа"), QStringLiteral("кПа")};
}

}  // namespace commands
