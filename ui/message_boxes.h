#pragma once
// The program's message boxes: modal, with an OK button, titled with the application's title.

#include <QString>

class QWidget;

// A plain message box.
void ShowMessage(const QString& text, QWidget* parent = nullptr);
// A message box with the warning icon.
void ShowWarning(const QString& text, QWidget* parent = nullptr);
// The platform's default alert sound.
void Beep();
