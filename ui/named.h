#pragma once
// Controls are created with an objectName equal to the name the program gives them, so that
// tests and tools find them by that name; and windows are placed the way the program shows them.

#include <QByteArray>
#include <QLatin1String>
#include <QWidget>
#include <utility>

template <typename Widget, typename... Args>
Widget* NewNamed(const char* name, Args&&... args) {
    auto* widget = new Widget(std::forward<Args>(args)...);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// The name of a numbered control: `prefix` followed by `number` ("CheckBox12").
QByteArray IndexedName(const char* prefix, int number);

// Moves a window to the middle of its screen's available area.
void CentreOnScreen(QWidget& window);
