#pragma once

#include <QAbstractScrollArea>
#include <QStringList>

// The message list of a run panel: one line of text per row, all rows of one height, one row selected.
// A run may add tens of thousands of lines, so adding one never lays out or measures the others: the
// scroll bars count rows (vertically) and pixels (horizontally), only the rows in view are painted, and
// the list scrolls sideways as far as the widest line that has been in view.
class LogList : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit LogList(QWidget* parent = nullptr);

    void addLine(const QString& line) { addLines({line}); }
    // Lines added together move the scroll bar once: each change of its range costs an event and a
    // layout pass of the list.
    void addLines(const QStringList& lines);
    void clear();

    int count() const { return int(m_lines.size()); }
    QString line(int row) const { return m_lines.value(row); }

    // The selected row, -1 when none.
    int currentRow() const { return m_current; }
    void setCurrentRow(int row);

    // The first row in view; scrolling stops where the last row reaches the bottom.
    int firstVisibleRow() const;
    void scrollToRow(int row);

    int rowHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    int rowsInView() const; // rows that fit whole in the viewport, at least 1
    int lineWidth(const QString& line) const;
    void updateScrollBars();
    void ensureVisible(int row);

    QStringList m_lines;
    int m_current = -1;
    int m_widest = 0; // of the lines painted so far, in pixels, text margins included
};
