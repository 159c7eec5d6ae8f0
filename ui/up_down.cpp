#include "ui/up_down.h"

#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QToolButton* NewArrow(const char* name, Qt::ArrowType arrow, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    // The arrows never take the focus away from the field they drive.
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    return button;
}

}  // namespace

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
    auto* up = NewArrow("UpButton", Qt::UpArrow, this);
    auto* down = NewArrow("DownButton", Qt::DownArrow, this);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(up);
    column->addWidget(down);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    connect(up, &QToolButton::clicked, this, [this] { Step(true); });
    connect(down, &QToolButton::clicked, this, [this] { Step(false); });
}

void TUpDown::SetRange(int min, int max) {
    min_ = std::min(min, max);
    max_ = std::max(min, max);
    SetPosition(position_);
}

void TUpDown::SetPosition(int position) {
    position_ = std::clamp(position, min_, max_);
    if (associate_) {
        associate_->setText(QString::number(position_));
    }
}

void TUpDown::SetAssociate(QLineEdit* edit) {
    if (associate_) {
        associate_->removeEventFilter(this);
    }
    associate_ = edit;
    if (associate_) {
        associate_->installEventFilter(this);
        SetPosition(position_);
    }
}

QSize TUpDown::sizeHint() const {
    const int height = associate_ ? associate_->sizeHint().height() : 22;
    return {17, height};
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event) {
    // The type is tested first: a field being destroyed still passes its last events through
    // here, when it is no longer a QLineEdit that the guarded pointer may be compared as.
    if (event->type() == QEvent::KeyPress && watched == associate_) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TUpDown::Step(bool up) {
    // The operator may have typed into the field: a valid number there is where the step starts.
    int from = position_;
    if (associate_) {
        bool isNumber = false;
        const int typed = associate_->text().trimmed().toInt(&isNumber);
        if (isNumber) {
            from = std::clamp(typed, min_, max_);
        }
    }
    if (up && from < max_) {
        ++from;
    } else if (!up && from > min_) {
        --from;
    }
    SetPosition(from);
}
