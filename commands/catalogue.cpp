#include "commands/catalogue.h"

namespace commands {

QStringList CatalogueTexts() {
    return {
        QStringLiteral("Считать первичную переменную"),
        QStringLiteral("Считать ток и значения 4-х переменных"),
        QStringLiteral("Записать адрес опроса"),
        QStringLiteral("Считать переменные датчика"),
        QStringLiteral("Записать величину демпфирования"),
        QStringLiteral("Записать значение диапазона"),
        QStringLiteral("Провести коррекцию диапазона"),
        QStringLiteral("Провести коррекцию нуля"),
        QStringLiteral("Режим фиксированного тока"),
        QStringLiteral("Записать единицы измерения датчика"),
    };
}

QStringList RegistrationCommandTexts() {
    return {
        QStringLiteral("Считать первичную переменную"),
        QStringLiteral("Считать ток и значения 4-х переменных"),
        QStringLiteral("Считать переменные датчика"),
    };
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
