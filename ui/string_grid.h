#pragma once
// A grid of text cells whose row count can grow. Row 0 holds the column titles, as a fixed row:
// the titles stay in the cells of row 0 (so rows are numbered as the program counts them) and are
// shown in the grid's header, which stays in view while the rows scroll.

#include <QString>
#include <QTableWidget>

class TitleHeader;

class TStringGrid : public QTableWidget {
    Q_OBJECT
public:
    TStringGrid(const QString& name, int columnCount, int rowCount, QWidget* parent = nullptr);

    int RowCount() const { return rowCount(); }
    void SetRowCount(int rows);

    QString Cell(int row, int column) const;
    void SetCell(int row, int column, const QString& text);

    // Writes the titles into row 0 and the header.
    void SetTitles(const QStringList& titles);
    // Selects the last row, scrolling it into view.
    void SelectLastRow();

private:
    TitleHeader* titles_;
};
