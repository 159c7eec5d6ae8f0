#pragma once
// One slot's line in the chart. Qt Charts joins every point of a series, so a broken line is one
// series per unbroken piece, made when first needed and kept for the next refresh, and its lone
// readings are the dots of a scatter series, all in the slot's colour.

#include <QAbstractAxis>
#include <QChart>
#include <QColor>
#include <QLineSeries>
#include <QScatterSeries>
#include <vector>

#include "trend/line_reduction.h"

namespace trend {

// The colour of slot 1..10's line, each well apart from the others.
QColor SlotColour(int slot);

class SlotLine {
public:
    // The series are named `name`.
    SlotLine(QChart& chart, QAbstractAxis& timeAxis, QAbstractAxis& valueAxis, QColor colour,
             const QString& name);
    SlotLine(const SlotLine&) = delete;
    SlotLine& operator=(const SlotLine&) = delete;

    void Show(const ReducedLine& line);
    // Empties and hides the series.
    void Hide();

private:
    template <typename Series>
    Series* Attach(Series* series);
    QLineSeries* Piece(std::size_t index);

    QChart& chart_;
    QAbstractAxis& timeAxis_;
    QAbstractAxis& valueAxis_;
    QPen pen_;
    QString name_;
    std::vector<QLineSeries*> pieces_;  // owned by the chart
    std::size_t piecesShown_ = 0;
    QScatterSeries* dots_;
};

}  // namespace trend
