#include "ui/tstring_grid.h"

#include <QHeaderView>

TStringGrid::TStringGrid(const QString& name, int columnCount, int rowCount, QWidget* parent)
    : QTableWidget(rowCount, columnCount, parent) {
    setObjectName(name);
    verticalHeader()->hide();
    setRowHidden(0, true);
}

void TStringGrid::SetRowCount(int rows) {
    setRowCount(rows);
}

QString TStringGrid::Cell(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

void TStringGrid::SetCell(int row, int column, const QString& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) {
        return;
    }
    if (QTableWidgetItem* cell = item(row, column)) {
        cell->setText(text);
    } else {
        setItem(row, column, new QTableWidgetItem(text));
    }
}

void TStringGrid::SetTitles(const QStringList& titles) {
    for (int column = 0; column < titles.size(); ++column) {
        SetCell(0, column, titles[column]);
    }
    setHorizontalHeaderLabels(titles);
}

void TStringGrid::SelectLastRow() {
    const int last = rowCount() - 1;
    // After rows were added the view lays out and repaints all its rows anyway; with updates
    // off, scrolling to the new row does not first move the viewport's pixels (a copy of most
    // of the window's backing store). Turning updates on again asks for that one repaint.
    viewport()->setUpdatesEnabled(false);
    setCurrentCell(last, 0);
    scrollToItem(item(last, 0) ? item(last, 0) : nullptr);
    viewport()->setUpdatesEnabled(true);
}
