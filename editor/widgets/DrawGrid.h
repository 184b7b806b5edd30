// TDrawGrid: the owner-drawn element list grid. One fixed header row, one
// fixed first column and whole-row selection; every cell is painted by the
// owner through the CellPainter, and mouse, key and selection events are
// passed on so that the main window decides what they do.
#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <QStringList>
#include <functional>
#include <vector>

#include "RICElement.h"

namespace tavlin {

// How the labelled values of one element row are placed in its Object cell:
// the font, each item's left edge, and the texts as drawn.
struct RowItemsLayout {
  QFont Font;
  std::vector<int> Lefts;
  QStringList Labels;
  QStringList Values;
  std::vector<int> Lines;  // the line of each item: 0, or 1 when they take two
  int LineCount = 1;
};
// Lays the items out side by side from x `left`, each as wide as the wider
// of its two texts, ending at x `right` at the latest; where one line cannot
// hold them whole, on two.
RowItemsLayout LayOutRowItems(const QFont& font, const std::vector<ElementItem>& items, int left,
                              int right);

class TDrawGrid : public QAbstractScrollArea {
  Q_OBJECT
 public:
  // Paints cell (column, row) into rect; `selected` for the body cells of the current row.
  using CellPainter =
      std::function<void(QPainter&, int column, int row, const QRect&, bool selected)>;

  explicit TDrawGrid(QWidget* parent);
  void SetCellPainter(CellPainter painter) { painter_ = std::move(painter); }

  int RowCount() const { return rowCount_; }
  void SetRowCount(int rows);
  // The current (selected) row, 1 or more.
  int Row() const { return row_; }
  // Moves the selection; `notify` runs SelectCell as a user's selection would.
  void SetRow(int row, bool notify = true);
  int TopRow() const { return topRow_; }

  int HeaderHeight() const { return headerHeight_; }
  int RowHeight() const { return rowHeight_; }
  int FirstColumnWidth() const { return firstColumnWidth_; }
  int ColumnWidth() const { return columnWidth_; }
  void SetGeometryDefaults(int headerHeight, int rowHeight, int firstColumnWidth, int columnWidth);

  // The rectangle of a cell in viewport coordinates.
  QRect CellRect(int column, int row) const;
  // The body row under a viewport position, or -1.
  int RowAt(int y) const;
  int VisibleBodyRows() const;

 signals:
  void SelectCell(int column, int row);
  void GridMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
  void GridMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
  void GridMouseUp(Qt::MouseButton button, int x, int y);
  // Sent before the grid's own handling; set *handled to skip it.
  void GridKeyDown(int key, bool* handled);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void UpdateScrollBar();
  void EnsureVisible(int row);

  CellPainter painter_;
  int rowCount_ = 2;
  int row_ = 1;
  int topRow_ = 1;  // first body row shown
  int headerHeight_ = 24, rowHeight_ = 48, firstColumnWidth_ = 30, columnWidth_ = 280;
};

}  // namespace tavlin
