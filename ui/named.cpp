#include "ui/named.h"

#include <QScreen>
#include <QStyle>

void CentreOnScreen(QWidget& window) {
    window.move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.frameGeometry().size(),
                                    window.screen()->availableGeometry())
                    .topLeft());
}
