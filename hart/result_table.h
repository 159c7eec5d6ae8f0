#pragma once
// The six columns the setup table and the registration table share, named once beside their
// titles.

#include <QStringList>

namespace hart::column {

inline constexpr int kAddress = 0;      // "Адрес датчика"
inline constexpr int kCommand = 1;      // "Команда"
inline constexpr int kDescription = 2;  // "Описание"
inline constexpr int kParameter = 3;    // "Параметр"
inline constexpr int kValue = 4;        // "Значение"
inline constexpr int kTime = 5;         // "Время выполнения"
inline constexpr int kCount = 6;

}  // namespace hart::column

namespace hart {

// The titles of row 0, by column.
inline QStringList ResultTableTitles() {
    return {QStringLiteral("Адрес датчика"), QStringLiteral("Команда"),
            QStringLiteral("Описание"),      QStringLiteral("Параметр"),
            QStringLiteral("Значение"),      QStringLiteral("Время выполнения")};
}

}  // namespace hart
