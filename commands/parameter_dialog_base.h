#pragma once
// The frame the parameter dialogs share: fixed size, a title bar without window buttons, an OK
// button that is the only way to close it, and centred on its parent when shown.

#include <QDialog>

#include "ui/named.h"

class QPushButton;
class QVBoxLayout;

class TParameterDialog : public QDialog {
    Q_OBJECT
public:
    QPushButton* BitBtn1;

protected:
    // `name` becomes the objectName (the class name), `caption` the window title.
    TParameterDialog(const char* name, const QString& caption, QWidget* parent);

    // The column the dialog lays its controls out in; it fixes the dialog's size to its content.
    QVBoxLayout* Column() const { return column_; }
    // Puts the OK button centred below everything added so far.
    void AddOkButton();

    // What OK does: close the dialog as accepted. A dialog with a check on OK replaces it.
    virtual void BitBtn1Click();

    // The caller uses whatever the fields hold however the dialog closes, so neither Escape nor
    // the window manager's close may pose as a cancel: only OK closes.
    void reject() override {}

private:
    QVBoxLayout* column_;
};
