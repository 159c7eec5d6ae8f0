#include "ui/trace_memo.h"

#include <QPlainTextDocumentLayout>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace {

// The plain-text layout, quiet while it takes in a change: its notifications make the view lay
// out and shape the changed lines at once. The view repaints on the document's own change
// signal instead, and lays out what it paints.
class PaintTimeLayout : public QPlainTextDocumentLayout {
public:
    using QPlainTextDocumentLayout::QPlainTextDocumentLayout;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override {
        const QSignalBlocker quiet(this);
        QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
    }
};

}  // namespace

TraceMemo::TraceMemo(int lineLimit, QWidget* parent)
    : QPlainTextEdit(parent), lineLimit_(lineLimit) {
    auto* trace = new QTextDocument(this);
    trace->setDocumentLayout(new PaintTimeLayout(trace));
    trace->setUndoRedoEnabled(false);
    setDocument(trace);
    setReadOnly(true);
    setLineWrapMode(NoWrap);
    // Digits and Cyrillic need no glyph shaping; without it laying out a line takes a fraction
    // of the time.
    QFont unshaped = font();
    unshaped.setStyleStrategy(QFont::PreferNoShaping);
    setFont(unshaped);
    connect(trace, &QTextDocument::contentsChanged, viewport(), qOverload<>(&QWidget::update));
    const int slack = std::max(1, lineLimit_ / 10);
    connect(trace, &QTextDocument::blockCountChanged, this, [this, slack](int lines) {
        if (lines > lineLimit_ + slack) {
            DropOldestLines(lines - lineLimit_);
        }
    });
}

void TraceMemo::AppendLine(const QString& line) {
    if (!catchUpPending_) {
        catchUpPending_ = true;
        followNewest_ = verticalScrollBar()->value() == verticalScrollBar()->maximum();
        QMetaObject::invokeMethod(this, &TraceMemo::CatchUp, Qt::QueuedConnection);
    }
    QTextCursor end(document());
    // One edit: the layout takes it in as a new line (nothing to lay out), and the cursor
    // does not lay out the line to learn where it stands.
    end.beginEditBlock();
    end.movePosition(QTextCursor::End);
    if (!document()->isEmpty()) {
        end.insertBlock();
    }
    end.insertText(line);
    end.endEditBlock();
}

void TraceMemo::CatchUp() {
    catchUpPending_ = false;
    // The view sets its scroll range from the lines at the bottom, laying out those in view.
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    emit layout->documentSizeChanged(layout->documentSize());
    if (followNewest_) {
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    }
}

void TraceMemo::scrollContentsBy(int dx, int dy) {
    // With updates off the viewport's pixels stay where they are (QWidget::scroll does nothing);
    // turning them on again asks for one repaint, which the event loop merges with the others.
    viewport()->setUpdatesEnabled(false);
    QPlainTextEdit::scrollContentsBy(dx, dy);
    viewport()->setUpdatesEnabled(true);
}

void TraceMemo::DropOldestLines(int count) {
    QTextCursor oldest(document());
    // Inside an edit block a moving cursor lays out no line.
    oldest.beginEditBlock();
    oldest.setPosition(document()->findBlockByNumber(count).position(), QTextCursor::KeepAnchor);
    oldest.removeSelectedText();
    oldest.endEditBlock();
}
