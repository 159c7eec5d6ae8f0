#include "commands/catalogue.h"

namespace commands {

const CommandRow* CatalogueRow(int index) {
    return index >= 0 && index < static_cast<int>(kCatalogue.size()) ? &kCatalogue[index] : nullptr;
}

const CommandRow* PolledRow(int index) {
    for (const CommandRow& row : kCatalogue) {
        if (row.Polled() && index-- == 0) {
            return &row;
        }
    }
    return nullptr;
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
        if (row.Polled()) {
            texts << QString::fromUtf8(row.text);
        }
    }
    return texts;
}

QStringList DeviceVariableTexts() {
    QStringList texts;
    for (const DeviceVariable& variable : kDeviceVariables) {
        texts << QString::fromUtf8(variable.name);
    }
    return texts;
}

QStringList PressureUnitTexts() {
    return {QStringLiteral("кгс/см2"), QStringLiteral("МПа"), QStringLiteral("кПа")};
}

QString PressureUnitText(int index) {
    const QStringList units = PressureUnitTexts();
    return index >= 0 && index < units.size() ? units[index] : QString::number(index);
}

}  // namespace commands
