#pragma once
// The trace pane: a read-only plain-text view that is appended to a line at a time, for days.
// It keeps the newest lines, between LineLimit() and LineLimit() plus a tenth of it, and an
// appended line costs the same whether the pane holds ten lines or the limit:
// - a line is laid out when it is painted, not when it is appended;
// - the oldest lines go a tenth of the limit at a time (the plain-text layout looks for its
//   widest line again, over every line, whenever a line goes);
// - there is no undo history;
// - nothing is laid out when a line is appended: the pane catches up with its new lines (its
//   scroll range, and following the newest line) once per pass of the event loop, laying out
//   only the lines that come into view, and repaints once instead of moving its pixels once
//   per appended line.

#include <QPlainTextEdit>

class TraceMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TraceMemo(int lineLimit, QWidget* parent = nullptr);

    int LineLimit() const { return lineLimit_; }

    // Appends a line at the end. The pane follows it when it showed the newest line.
    void AppendLine(const QString& line);

protected:
    void scrollContentsBy(int dx, int dy) override;

private:
    void DropOldestLines(int count);
    void CatchUp();

    int lineLimit_;
    bool catchUpPending_ = false;
    bool followNewest_ = true;
};
