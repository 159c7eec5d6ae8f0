#pragma once
// Up/down arrows bound to an edit field (the "associate"): each step moves the position by one
// within Min..Max, without wrapping round, and writes it into the field as decimal text.

#include <QLineEdit>
#include <QPointer>
#include <QWidget>

class TUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TUpDown(QWidget* parent = nullptr);

    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }

    // Sets the range (the smaller bound is the minimum) and pulls the position into it.
    void SetRange(int min, int max);
    // Clamps the position into the range and writes it into the associate.
    void SetPosition(int position);
    // Binds the arrows and the Up/Down keys of `edit` to this control and shows the position in
    // it. Passing nullptr unbinds.
    void SetAssociate(QLineEdit* edit);
    QLineEdit* Associate() const { return associate_; }

    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Step(bool up);

    QPointer<QLineEdit> associate_;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
};
