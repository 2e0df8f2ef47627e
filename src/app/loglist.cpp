#include "app/loglist.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace {
constexpr int kTextMargin = 3; // left and right of a line's text
constexpr int kRowPadding = 1; // above and below it
} // namespace

LogList::LogList(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(1);
    updateScrollBars();
}

int LogList::rowHeight() const
{
    return fontMetrics().height() + 2 * kRowPadding;
}

int LogList::rowsInView() const
{
    return qMax(1, viewport()->height() / rowHeight());
}

int LogList::lineWidth(const QString& line) const
{
    return fontMetrics().horizontalAdvance(line) + 2 * kTextMargin;
}

void LogList::addLines(const QStringList& lines)
{
    if (lines.isEmpty()) return;
    // Their widths are measured when they are painted: a line never in view never needs it.
    const int first = count();
    m_lines.append(lines);
    verticalScrollBar()->setRange(0, qMax(0, count() - rowsInView()));
    // Only new rows that fall in view need painting.
    if (first < firstVisibleRow() + rowsInView() + 1) viewport()->update();
}

void LogList::clear()
{
    m_lines.clear();
    m_current = -1;
    m_widest = 0;
    updateScrollBars();
    viewport()->update();
}

void LogList::setCurrentRow(int row)
{
    const int current = (row >= 0 && row < count()) ? row : -1;
    if (current == m_current) return;
    m_current = current;
    viewport()->update();
}

int LogList::firstVisibleRow() const
{
    return verticalScrollBar()->value();
}

void LogList::scrollToRow(int row)
{
    verticalScrollBar()->setValue(row);
}

void LogList::updateScrollBars()
{
    const int inView = rowsInView();
    QScrollBar* vertical = verticalScrollBar();
    // A list scrolled to its end stays there when fewer rows fit (a horizontal bar appearing, say), so
    // that its last line stays in view.
    const bool atEnd = vertical->value() == vertical->maximum();
    vertical->setPageStep(inView);
    vertical->setRange(0, qMax(0, count() - inView));
    if (atEnd) vertical->setValue(vertical->maximum());
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(fontMetrics().averageCharWidth() * 2);
    horizontal->setRange(0, qMax(0, m_widest - viewport()->width()));
}

void LogList::ensureVisible(int row)
{
    if (row < firstVisibleRow())
        scrollToRow(row);
    else if (row >= firstVisibleRow() + rowsInView())
        scrollToRow(row - rowsInView() + 1);
}

void LogList::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const int height = rowHeight();
    const int first = firstVisibleRow();
    const int last = qMin(count() - 1, first + viewport()->height() / height);
    const QPalette::ColorGroup group =
        !isEnabled() ? QPalette::Disabled : (hasFocus() ? QPalette::Active : QPalette::Inactive);
    // The widest line in view so far sets how far the list scrolls sideways.
    int widest = m_widest;
    for (int row = first; row <= last; ++row)
        widest = qMax(widest, lineWidth(m_lines.at(row)));
    if (widest > m_widest) {
        m_widest = widest;
        updateScrollBars();
    }
    const int left = -horizontalScrollBar()->value();
    const int width = qMax(m_widest, viewport()->width());
    for (int row = first; row <= last; ++row) {
        const QRect rect(left, (row - first) * height, width, height);
        const bool selected = row == m_current;
        if (selected) painter.fillRect(rect, palette().brush(group, QPalette::Highlight));
        painter.setPen(palette().color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter.drawText(rect.adjusted(kTextMargin, 0, -kTextMargin, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_lines.at(row));
    }
}

void LogList::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void LogList::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_widest = 0; // measured again as lines are painted
        updateScrollBars();
    }
}

void LogList::mousePressEvent(QMouseEvent* event)
{
    const int row = firstVisibleRow() + int(event->position().y()) / rowHeight();
    if (row < count()) setCurrentRow(row);
    QAbstractScrollArea::mousePressEvent(event);
}

void LogList::keyPressEvent(QKeyEvent* event)
{
    if (count() == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    int row = m_current;
    switch (event->key()) {
    case Qt::Key_Up:
        row = qMax(0, row - 1);
        break;
    case Qt::Key_Down:
        row = qMin(count() - 1, row + 1);
        break;
    case Qt::Key_PageUp:
        row = qMax(0, row - rowsInView());
        break;
    case Qt::Key_PageDown:
        row = qMin(count() - 1, row + rowsInView());
        break;
    case Qt::Key_Home:
        row = 0;
        break;
    case Qt::Key_End:
        row = count() - 1;
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    setCurrentRow(row);
    ensureVisible(row);
}

void LogList::scrollContentsBy(int, int)
{
    viewport()->update();
}
