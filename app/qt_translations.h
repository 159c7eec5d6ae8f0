#pragma once
// Qt's own texts (standard buttons, the file dialog, the edit fields' context menu) in Russian,
// whatever the system's locale, so that they match the program's texts.

#include <QTranslator>
#include <memory>

// Installs Qt's Russian translations into the application. Returns their owner, which removes
// them when destroyed; nullptr when the system has no translation file, and Qt's texts stay
// English.
std::unique_ptr<QTranslator> InstallQtTranslations();
