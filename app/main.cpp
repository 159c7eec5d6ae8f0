// Tensovia: commissioning and monitoring of HART pressure transmitters.

#include <QApplication>

#include "app/main_window.h"
#include "app/qt_translations.h"
#include "ui/named.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tensovia"));
    const auto qtTexts = InstallQtTranslations();
    TForm1 form;
    // Centred on the screen when restored; opens maximised.
    form.resize(1200, 800);
    CentreOnScreen(form);
    form.showMaximized();
    return QApplication::exec();
}
