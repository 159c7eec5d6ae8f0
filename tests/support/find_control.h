#pragma once
// Controls are found by their objectName within their tab, as the operator finds them by their
// place: "TabSheet1" (setup), "TabSheet2" (registration), "TabSheet4" (port).

#include <QLatin1String>
#include <QWidget>

template <typename Control>
Control* Find(QWidget& window, const char* tab, const char* name) {
    return window.findChild<QWidget*>(QLatin1String(tab))->findChild<Control*>(QLatin1String(name));
}
