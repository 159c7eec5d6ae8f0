#pragma once
// A titled group of radio buttons made from a list of texts; at most one is chosen.

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& title, const QStringList& items, QWidget* parent = nullptr);

    const QStringList& Items() const { return items_; }
    // The position of the chosen item, -1 when none is chosen.
    int ItemIndex() const { return buttons_.checkedId(); }
    // Chooses the item at `index`; an index outside the items chooses none.
    void SetItemIndex(int index);

signals:
    // Emitted whenever the chosen item changes, by the operator or by SetItemIndex.
    void ItemIndexChanged(int index);

private:
    QStringList items_;
    QButtonGroup buttons_;
};
