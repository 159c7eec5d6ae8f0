#include "trend/slot_line.h"

#include <array>

#include "hart/program_state.h"

namespace trend {

QColor SlotColour(int slot) {
    static const std::array<QColor, hart::kSlotCount> kColours{
        QColor(0x1f, 0x77, 0xb4), QColor(0xff, 0x7f, 0x0e), QColor(0x2c, 0xa0, 0x2c),
        QColor(0xd6, 0x27, 0x28), QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
        QColor(0xe3, 0x77, 0xc2), QColor(0x7f, 0x7f, 0x7f), QColor(0xbc, 0xbd, 0x22),
        QColor(0x17, 0xbe, 0xcf),
    };
    return kColours.at(static_cast<std::size_t>(slot - 1));
}

SlotLine::SlotLine(QChart& chart, QAbstractAxis& timeAxis, QAbstractAxis& valueAxis, QColor colour,
                   const QString& name)
    : chart_(chart),
      timeAxis_(timeAxis),
      valueAxis_(valueAxis),
      // One pixel wide: the raster engine draws such lines without stroking their outline, in a
      // third of the time a wider pen takes.
      pen_(colour, 1),
      name_(name),
      dots_(Attach(new QScatterSeries)) {
    dots_->setMarkerSize(6);
    dots_->setColor(colour);
    dots_->setBorderColor(colour);
}

template <typename Series>
Series* SlotLine::Attach(Series* series) {
    series->setName(name_);
    chart_.addSeries(series);
    series->attachAxis(&timeAxis_);
    series->attachAxis(&valueAxis_);
    series->setVisible(false);
    return series;
}

QLineSeries* SlotLine::Piece(std::size_t index) {
    while (pieces_.size() <= index) {
        auto* piece = Attach(new QLineSeries);
        piece->setPen(pen_);
        pieces_.push_back(piece);
    }
    return pieces_[index];
}

void SlotLine::Show(const ReducedLine& line) {
    for (std::size_t i = 0; i < line.runs.size(); ++i) {
        QLineSeries* piece = Piece(i);
        piece->replace(line.runs[i]);
        piece->setVisible(true);
    }
    for (std::size_t i = line.runs.size(); i < piecesShown_; ++i) {
        pieces_[i]->clear();
        pieces_[i]->setVisible(false);
    }
    piecesShown_ = line.runs.size();
    dots_->replace(line.dots);
    dots_->setVisible(!line.dots.isEmpty());
}

void SlotLine::Hide() {
    Show(ReducedLine{});
}

}  // namespace trend
