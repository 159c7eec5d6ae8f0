#pragma once
// A grid of text cells whose row count can grow. Row 0 holds the column titles, as a fixed row:
// the titles stay in the cells of row 0 (so rows are numbered as the program counts them) and are
// shown in the grid's header, which stays in view while the rows scroll. A column is as wide as
// it was set, or wider where its title or a cell's text needs more room in the grid's font.

#include <QList>
#include <QSet>
#include <QString>
#include <QTableWidget>

class TitleHeader;

class TStringGrid : public QTableWidget {
    Q_OBJECT
public:
    TStringGrid(const QString& name, int columnCount, int rowCount, QWidget* parent = nullptr);

    int RowCount() const { return rowCount(); }
    void SetRowCount(int rows);

    // The least width of each column, from the first.
    void SetColumnWidths(const QList<int>& widths);

    QString Cell(int row, int column) const;
    // Widens the column where the text would not fit on one line.
    void SetCell(int row, int column, const QString& text);

    // Writes the titles into row 0 and the header.
    void SetTitles(const QStringList& titles);
    // Selects the last row, scrolling it into view.
    void SelectLastRow();

private:
    int TitleWidth(int column) const;
    int TextWidth(const QString& text) const;
    void Widen(int column, int width);

    TitleHeader* titles_;
    // Per column, texts known to fit it.
    QList<QSet<QString>> fitting_;
};
