#include "ui/string_grid.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr qsizetype kFittingKept = 64;

}  // namespace

// The header that shows the titles. The view asks for its size whenever it lays out its rows,
// that is after every added row, and the stock header measures every title's text to answer.
// The answer changes only with the titles, the font or the style, so it is measured once each.
class TitleHeader : public QHeaderView {
public:
    explicit TitleHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
        // As the view's own header is.
        setSectionsClickable(true);
        setHighlightSections(true);
    }

    QSize sizeHint() const override {
        if (!measured_) {
            measured_ = QHeaderView::sizeHint();
        }
        return *measured_;
    }

    void Remeasure() { measured_.reset(); }

protected:
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
            Remeasure();
        }
        QHeaderView::changeEvent(event);
    }

private:
    mutable std::optional<QSize> measured_;
};

TStringGrid::TStringGrid(const QString& name, int columnCount, int rowCount, QWidget* parent)
    : QTableWidget(rowCount, columnCount, parent),
      titles_(new TitleHeader(this)),
      fitting_(columnCount) {
    setObjectName(name);
    setHorizontalHeader(titles_);
    verticalHeader()->hide();
    setRowHidden(0, true);
}

void TStringGrid::SetRowCount(int rows) {
    setRowCount(rows);
}

void TStringGrid::SetColumnWidths(const QList<int>& widths) {
    for (int column = 0; column < std::min<int>(widths.size(), columnCount()); ++column) {
        setColumnWidth(column, std::max(widths[column], TitleWidth(column)));
    }
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
    // Measuring a text shapes it, a few microseconds a cell; a column mostly repeats a few texts
    // (addresses, commands, descriptions, names, the time within one poll), so those that fit
    // are remembered, up to a bound.
    QSet<QString>& fitting = fitting_[column];
    if (!fitting.contains(text)) {
        Widen(column, TextWidth(text));
        if (fitting.size() == kFittingKept) {
            fitting.clear();
        }
        fitting.insert(text);
    }
}

void TStringGrid::SetTitles(const QStringList& titles) {
    for (int column = 0; column < titles.size(); ++column) {
        SetCell(0, column, titles[column]);
    }
    setHorizontalHeaderLabels(titles);
    titles_->Remeasure();
    for (int column = 0; column < titles.size(); ++column) {
        Widen(column, TitleWidth(column));
    }
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

int TStringGrid::TitleWidth(int column) const {
    // The header's own measure: its margins, the room for a sort indicator where one is shown,
    // and the bold face a title takes while its column holds the current cell.
    return titles_->sectionSizeHint(column);
}

int TStringGrid::TextWidth(const QString& text) const {
    // As the item delegate lays a cell out: the text between two margins, beside the grid line.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int gridLine = showGrid() ? 1 : 0;
    return static_cast<int>(std::ceil(QFontMetricsF(font()).horizontalAdvance(text))) + 2 * margin +
           gridLine;
}

void TStringGrid::Widen(int column, int width) {
    if (columnWidth(column) < width) {
        setColumnWidth(column, width);
    }
}
