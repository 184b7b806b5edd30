#include "DrawGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>

namespace tavlin {

RowItemsLayout LayOutRowItems(const QFont& font, const std::vector<ElementItem>& items, int left,
                              int right) {
  RowItemsLayout layout;
  layout.Font = font;
  for (const ElementItem& item : items) {
    layout.Labels << QString::fromStdString(item.Label);
    layout.Values << QString::fromStdString(item.Value);
  }
  const int n = int(items.size());
  auto widths = [&layout, n](const QFont& f) {
    const QFontMetrics fm(f);
    std::vector<int> w;
    for (int i = 0; i < n; ++i)
      w.push_back(
          std::max(fm.horizontalAdvance(layout.Labels[i]), fm.horizontalAdvance(layout.Values[i])));
    return w;
  };
  auto total = [](const std::vector<int>& w, int gap) {
    int sum = 0;
    for (int width : w) sum += width;
    return sum + gap * std::max(0, int(w.size()) - 1);
  };
  // The items 15 pixels apart where they fit; else closer, then in a smaller
  // font, then on two lines; only what still does not fit is shortened with
  // an ellipsis.
  const int room = right - left;
  auto fitGap = [&total, room](const std::vector<int>& w) {
    int gap = 15;
    while (total(w, gap) > room && gap > 6) --gap;
    return gap;
  };
  std::vector<int> w = widths(layout.Font);
  int gap = fitGap(w);
  const double smallest = std::max(6.5, 0.75 * font.pointSizeF());
  while (total(w, gap) > room && font.pointSizeF() > 0 &&
         layout.Font.pointSizeF() - 0.5 >= smallest) {
    layout.Font.setPointSizeF(layout.Font.pointSizeF() - 0.5);
    w = widths(layout.Font);
  }
  // The items of each line, [first, end).
  std::vector<std::pair<int, int>> lines{{0, n}};
  if (total(w, gap) > room && n > 1) {
    // Two lines, split where the wider line is narrowest.
    int best = 1, bestWidth = INT_MAX;
    for (int k = 1; k < n; ++k) {
      const std::vector<int> a(w.begin(), w.begin() + k), b(w.begin() + k, w.end());
      const int wider = std::max(total(a, 6), total(b, 6));
      if (wider < bestWidth) best = k, bestWidth = wider;
    }
    lines = {{0, best}, {best, n}};
    layout.LineCount = 2;
  }
  for (const auto& [first, end] : lines) {
    std::vector<int> lw(w.begin() + first, w.begin() + end);
    const int lineGap = fitGap(lw);
    const int count = end - first;
    if (total(lw, lineGap) > room) {
      // Items narrower than an even share keep their width; the others share
      // what is left evenly.
      int free = room - lineGap * std::max(0, count - 1);
      std::vector<int> order(std::size_t(count), 0);
      for (int i = 0; i < count; ++i) order[std::size_t(i)] = i;
      std::sort(order.begin(), order.end(),
                [&lw](int a, int b) { return lw[std::size_t(a)] < lw[std::size_t(b)]; });
      for (int k = 0; k < count; ++k) {
        const int i = order[std::size_t(k)];
        const int share = std::max(0, free / (count - k));
        lw[std::size_t(i)] = std::min(lw[std::size_t(i)], share);
        free -= lw[std::size_t(i)];
      }
      const QFontMetrics fm(layout.Font);
      for (int i = 0; i < count; ++i) {
        const int item = first + i;
        layout.Labels[item] =
            fm.elidedText(layout.Labels[item], Qt::ElideRight, lw[std::size_t(i)]);
        layout.Values[item] =
            fm.elidedText(layout.Values[item], Qt::ElideRight, lw[std::size_t(i)]);
      }
    }
    int x = left;
    for (int i = 0; i < count; ++i) {
      layout.Lefts.push_back(x);
      layout.Lines.push_back(first == 0 ? 0 : 1);
      x += lw[std::size_t(i)] + lineGap;
    }
  }
  return layout;
}

TDrawGrid::TDrawGrid(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setMouseTracking(false);
  UpdateScrollBar();
}

void TDrawGrid::SetGeometryDefaults(int headerHeight, int rowHeight, int firstColumnWidth,
                                    int columnWidth) {
  headerHeight_ = headerHeight;
  rowHeight_ = rowHeight;
  firstColumnWidth_ = firstColumnWidth;
  columnWidth_ = columnWidth;
  UpdateScrollBar();
  viewport()->update();
}

void TDrawGrid::SetRowCount(int rows) {
  rowCount_ = std::max(rows, 2);
  if (row_ >= rowCount_) row_ = rowCount_ - 1;
  UpdateScrollBar();
  viewport()->update();
}

void TDrawGrid::SetRow(int row, bool notify) {
  row = std::clamp(row, 1, rowCount_ - 1);
  row_ = row;
  EnsureVisible(row);
  viewport()->update();
  if (notify) emit SelectCell(1, row);
}

int TDrawGrid::VisibleBodyRows() const {
  return std::max(1, (viewport()->height() - headerHeight_) / rowHeight_);
}

QRect TDrawGrid::CellRect(int column, int row) const {
  int x = column == 0 ? 0 : firstColumnWidth_;
  int w = column == 0 ? firstColumnWidth_ : columnWidth_;
  int y = row == 0 ? 0 : headerHeight_ + (row - topRow_) * rowHeight_;
  int h = row == 0 ? headerHeight_ : rowHeight_;
  return QRect(x, y, w, h);
}

int TDrawGrid::RowAt(int y) const {
  if (y < headerHeight_) return -1;
  int row = topRow_ + (y - headerHeight_) / rowHeight_;
  return row < rowCount_ ? row : -1;
}

void TDrawGrid::UpdateScrollBar() {
  int bodyRows = rowCount_ - 1;
  int maxTop = std::max(0, bodyRows - VisibleBodyRows());
  verticalScrollBar()->setRange(0, maxTop);
  verticalScrollBar()->setPageStep(VisibleBodyRows());
  verticalScrollBar()->setSingleStep(1);
  topRow_ = 1 + std::clamp(verticalScrollBar()->value(), 0, maxTop);
}

void TDrawGrid::EnsureVisible(int row) {
  int visible = VisibleBodyRows();
  if (row < topRow_)
    verticalScrollBar()->setValue(row - 1);
  else if (row >= topRow_ + visible)
    verticalScrollBar()->setValue(row - visible);
  topRow_ = 1 + verticalScrollBar()->value();
}

void TDrawGrid::scrollContentsBy(int, int) {
  topRow_ = 1 + verticalScrollBar()->value();
  viewport()->update();
}

void TDrawGrid::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  UpdateScrollBar();
}

void TDrawGrid::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  p.fillRect(viewport()->rect(), palette().color(QPalette::Window));
  if (!painter_) return;
  for (int column = 0; column < 2; ++column) painter_(p, column, 0, CellRect(column, 0), false);
  for (int row = topRow_; row < rowCount_; ++row) {
    QRect r = CellRect(0, row);
    if (r.top() > viewport()->height()) break;
    painter_(p, 0, row, r, false);
    painter_(p, 1, row, CellRect(1, row), row == row_);
  }
}

void TDrawGrid::mousePressEvent(QMouseEvent* e) {
  setFocus(Qt::MouseFocusReason);
  QPoint pos = e->position().toPoint();
  // The right button selects its row too, for the menu it opens.
  if (e->button() == Qt::LeftButton || e->button() == Qt::RightButton) {
    int row = RowAt(pos.y());
    if (row >= 1) SetRow(row);
  }
  emit GridMouseDown(e->button(), e->modifiers(), pos.x(), pos.y());
}

void TDrawGrid::mouseMoveEvent(QMouseEvent* e) {
  QPoint pos = e->position().toPoint();
  bool plainLeft = e->buttons() == Qt::LeftButton &&
                   !(e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
  if (plainLeft) {
    // A drag beyond the top or bottom scrolls the list one row at a time.
    QScrollBar* bar = verticalScrollBar();
    if (pos.y() >= viewport()->height())
      bar->setValue(bar->value() + 1);
    else if (pos.y() < headerHeight_)
      bar->setValue(bar->value() - 1);
    topRow_ = 1 + bar->value();
    // The selection follows the pointer while the left button alone is held.
    int row = RowAt(std::clamp(pos.y(), headerHeight_, viewport()->height() - 1));
    if (row >= 1 && row != row_) SetRow(row);
    pos.setY(std::clamp(pos.y(), headerHeight_, viewport()->height() - 1));
  }
  emit GridMouseMove(e->buttons(), e->modifiers(), pos.x(), pos.y());
}

void TDrawGrid::mouseReleaseEvent(QMouseEvent* e) {
  QPoint pos = e->position().toPoint();
  emit GridMouseUp(e->button(), pos.x(), pos.y());
}

void TDrawGrid::keyPressEvent(QKeyEvent* e) {
  bool handled = false;
  emit GridKeyDown(e->key(), &handled);
  if (handled) return;
  switch (e->key()) {
    case Qt::Key_Up:
      SetRow(row_ - 1);
      break;
    case Qt::Key_Down:
      SetRow(row_ + 1);
      break;
    case Qt::Key_PageUp:
      SetRow(row_ - VisibleBodyRows());
      break;
    case Qt::Key_PageDown:
      SetRow(row_ + VisibleBodyRows());
      break;
    case Qt::Key_Home:
      SetRow(1);
      break;
    case Qt::Key_End:
      SetRow(rowCount_ - 1);
      break;
    default:
      QAbstractScrollArea::keyPressEvent(e);
  }
}

}  // namespace tavlin
