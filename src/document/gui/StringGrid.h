#pragma once

#include <QTableView>

#include <algorithm>
#include <functional>
#include <vector>

namespace quorvex {

// The main grid. It forwards the events the editor's rules need to the main
// window before (or instead of) the table view's own handling.
class StringGrid final : public QTableView {
    Q_OBJECT
public:
    // Return true to swallow the event.
    using KeyHook = std::function<bool(QKeyEvent *)>;
    using MouseHook = std::function<void(QMouseEvent *)>;

    explicit StringGrid(QWidget *parent = nullptr);

    bool isEditing() const { return state() == QAbstractItemView::EditingState; }
    void closeEditor();
    using QTableView::edit;
    void setInPlaceEditing(bool on);
    bool inPlaceEditing() const { return m_inPlaceEditing; }

    // Cell sizes leave the grid lines out: the lines take the line-width pixels
    // right of and below each cell, so a section is its cell plus the line
    // width (less, with a negative width, and neighbouring cells overlap).
    void setGridLineWidth(int width);
    int gridLineWidth() const { return m_lineWidth; }
    // Every row, the header row included.
    void setCellHeight(int height);
    int cellHeight() const { return m_cellHeight; }
    // `column` is a model column.
    void setCellWidth(int column, int width);
    int cellWidth(int column) const;
    // Column 0: the row header's width.
    void setPageColumnWidth(int width);

    KeyHook onKeyDown;
    KeyHook onKeyUp;
    MouseHook onMouseMove;
    MouseHook onMouseDown;
    MouseHook onMouseUp;
    std::function<void()> onDoubleClick;
    std::function<void(bool down)> onWheel;
    // The list's current cell when it is not Qt's current index (a range keeps it
    // at the corner where the range started); typing edits that cell.
    std::function<QModelIndex()> currentCell;
    // Tab on the last cell, from the grid or from an open editor.
    std::function<void()> onTabPastEnd;
    // After the cells were painted while the grid has the keyboard focus:
    // once per paint, never once per cell.
    std::function<void()> onPaintedWithFocus;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    bool atLastCell() const;
    void setRowPitch(int size);
    static constexpr int DragLeastWidth = 4;
    int pitch(int cellSize) const { return std::max(0, cellSize + m_lineWidth); }
    bool m_inPlaceEditing = true;
    int m_lineWidth = 0;
    int m_cellHeight = 0;
    int m_pageColumnWidth = 0;
    std::vector<int> m_cellWidths; // by model column; -1 where not set
};

} // namespace quorvex
