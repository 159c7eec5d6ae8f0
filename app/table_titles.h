#pragma once
// The column titles both result tables share.

#include <QStringList>

inline QStringList TableTitles() {
    return {QStringLiteral("Адрес датчика"), QStringLiteral("Команда"),
            QStringLiteral("Описание"),      QStringLiteral("Параметр"),
            QStringLiteral("Значение"),      QStringLiteral("Время выполнения")};
}
