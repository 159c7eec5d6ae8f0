// Tensovia: commissioning and monitoring of HART pressure transmitters.

#include <QApplication>

#include "app/main_window.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tensovia"));
    TForm1 form;
    form.showMaximized();
    return QApplication::exec();
}
