#pragma once
// The about box: the program's name, what it is for and its version.

#include <QDialog>

class TForm21 : public QDialog {
    Q_OBJECT
public:
    explicit TForm21(QWidget* parent);

protected:
    void showEvent(QShowEvent* event) override;
};
