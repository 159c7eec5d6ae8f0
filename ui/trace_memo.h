#pragma once
// The trace pane: a read-only plain-text view that is appended to a line at a time, for days.
// It keeps the newest lines, between LineLimit() and LineLimit() plus a tenth of it, and an
// appended line costs the same whether the pane holds ten lines or the limit:
// - a line is laid out when it is painted, not when it is appended;
// - the oldest lines go a tenth of the limit at a time (the plain-text layout looks for its
//   widest line again, over every line, whenever a line goes);
// - there is no undo history;
// - following the newest line repaints the pane once per pass of the event loop instead of
//   moving its pixels once per appended line.

#include <QPlainTextEdit>

class TraceMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TraceMemo(int lineLimit, QWidget* parent = nullptr);

    int LineLimit() const { return lineLimit_; }

protected:
    void scrollContentsBy(int dx, int dy) override;

private:
    void DropOldestLines(int count);

    int lineLimit_;
};
