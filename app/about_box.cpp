#include "app/about_box.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/named.h"

namespace {

QLabel* NewTitle() {
    auto* title = new QLabel(QStringLiteral("Tensovia"));
    QFont font = title->font();
    font.setPointSizeF(font.pointSizeF() * 2);
    font.setBold(true);
    title->setFont(font);
    return title;
}

}  // namespace

TForm21::TForm21(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("TForm21"));
    setWindowTitle(QStringLiteral("О программе"));
    setFixedSize(414, 159);

    auto* icon = new QLabel;
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    auto* purpose = new QLabel(
        QStringLiteral("Наладка и контроль датчиков давления с цифровым протоколом HART"));
    purpose->setWordWrap(true);

    auto* texts = new QVBoxLayout;
    texts->addWidget(NewTitle());
    texts->addWidget(purpose);
    texts->addWidget(new QLabel(QStringLiteral("Версия %1").arg(QStringLiteral(TENSOVIA_VERSION))));
    texts->addStretch();
    auto* row = new QHBoxLayout(this);
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(texts, 1);
}

void TForm21::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        // Opens in the middle of the screen, not of the main window.
        CentreOnScreen(*this);
    }
}
