#include "ui/named.h"

#include <QScreen>
#include <QStyle>

QByteArray IndexedName(const char* prefix, int number) {
    return QByteArray(prefix) + QByteArray::number(number);
}

void CentreOnScreen(QWidget& window) {
    window.move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.frameGeometry().size(),
                                    window.screen()->availableGeometry())
                    .topLeft());
}
