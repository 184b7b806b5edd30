// The element list: the navigation page with the grid and the element command
// buttons, the owner-drawn cells, row selection, drag to reorder and the Delete key.
#include <QLabel>
#include <QPainter>
#include <QStackedWidget>
#include <QToolButton>
#include <algorithm>

#include "Document.h"
#include "DrawGrid.h"
#include "ElementIcons.h"
#include "ElementIds.h"
#include "ElementKinds.h"
#include "SpritePage.h"
#include "Tavlin_main.h"
#include "UserDialogs.h"

namespace tavlin {

namespace {

QLabel* NewNavigationHeader(QWidget* page, const QString& title) {
  auto* header = new QLabel(title, page);
  header->setGeometry(4, 4, 333, 25);
  header->setAutoFillBackground(true);
  QPalette pal = header->palette();
  pal.setColor(QPalette::Window, QColor(0xC0, 0xDC, 0xC0));
  header->setPalette(pal);
  QFont f = header->font();
  f.setBold(true);
  header->setFont(f);
  header->setIndent(8);
  return header;
}

}  // namespace

void TForm_Tavlin::BuildNavigationPages(QWidget* client) {
  PageControl_Navigate = new QStackedWidget(client);
  PageControl_Navigate->setObjectName("PageControl_Navigate");
  PageControl_Navigate->setGeometry(4, 1, 341, 700);
  PageControl_Navigate->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);

  TabSheet_Navigate_Modify = new QWidget(PageControl_Navigate);
  TabSheet_Navigate_Modify->setObjectName("TabSheet_Navigate_Modify");
  NewNavigationHeader(TabSheet_Navigate_Modify, "Modify RIC file");
  PageControl_Navigate->addWidget(TabSheet_Navigate_Modify);

  DrawGrid_RIC = new TDrawGrid(TabSheet_Navigate_Modify);
  DrawGrid_RIC->setObjectName("DrawGrid_RIC");
  DrawGrid_RIC->setGeometry(4, 200, 325, 412);
  QPalette pal = DrawGrid_RIC->palette();
  pal.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
  DrawGrid_RIC->setPalette(pal);
  DrawGrid_RIC->SetCellPainter(
      [this](QPainter& p, int column, int row, const QRect& rect, bool selected) {
        DrawElementCell(p, column, row, rect, selected);
      });
  connect(DrawGrid_RIC, &TDrawGrid::SelectCell, this,
          [this](int column, int row) { DrawGrid_RICSelectCell(column, row); });
  connect(DrawGrid_RIC, &TDrawGrid::GridMouseDown, this,
          [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
            DrawGrid_RICMouseDown(button, x, y);
          });
  connect(DrawGrid_RIC, &TDrawGrid::GridMouseMove, this,
          [this](Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y) {
            DrawGrid_RICMouseMove(buttons, modifiers, x, y);
          });
  connect(DrawGrid_RIC, &TDrawGrid::GridMouseUp, this, [this] { DrawGrid_RICMouseUp(); });
  connect(DrawGrid_RIC, &TDrawGrid::GridKeyDown, this, [this](int key, bool* handled) {
    if (key == Qt::Key_Delete) {
      DeleteElement();
      *handled = true;
    }
  });

  // The element commands: one add button per kind in a row; delete, double and
  // the two moves beside Undo and Redo under them.
  QWidget* m = TabSheet_Navigate_Modify;
  struct AddButton {
    QToolButton** member;
    const char* name;
    RICElementKind kind;
    const char* hint;
  };
  const AddButton adds[] = {
      {&SpeedButton_RIC_AddComment, "SpeedButton_RIC_AddComment", RICElementKind::Description,
       "Add a Description to the RIC file"},
      {&SpeedButton_RIC_AddSprite, "SpeedButton_RIC_AddSprite", RICElementKind::Sprite,
       "Add a Sprite to the RIC file"},
      {&SpeedButton_RIC_AddVarMap, "SpeedButton_RIC_AddVarMap", RICElementKind::VarMap,
       "Add a VarMap to the RIC file"},
      {&SpeedButton_RIC_AddCopyBits, "SpeedButton_RIC_AddCopyBits", RICElementKind::CopyBits,
       "Add a CopyBits to the RIC file"},
      {&SpeedButton_RIC_AddPixel, "SpeedButton_RIC_AddPixel", RICElementKind::Pixel,
       "Add a Pixel to the RIC file"},
      {&SpeedButton_RIC_AddLine, "SpeedButton_RIC_AddLine", RICElementKind::Line,
       "Add a Line to the RIC file"},
      {&SpeedButton_RIC_AddRectangle, "SpeedButton_RIC_AddRectangle", RICElementKind::Rectangle,
       "Add a Rectangle to the RIC file"},
      {&SpeedButton_RIC_AddCircle, "SpeedButton_RIC_AddCircle", RICElementKind::Circle,
       "Add a Circle to the RIC file"},
      {&SpeedButton_RIC_AddEllipse, "SpeedButton_RIC_AddEllipse", RICElementKind::Ellipse,
       "Add an Ellipse to the RIC file"},
      {&SpeedButton_RIC_AddPolygon, "SpeedButton_RIC_AddPolygon", RICElementKind::Polygon,
       "Add a Polygon to the RIC file"},
      {&SpeedButton_RIC_AddNumBox, "SpeedButton_RIC_AddNumBox", RICElementKind::NumBox,
       "Add a NumBox to the RIC file"},
  };
  int x = 4;
  for (const AddButton& a : adds) {
    QToolButton* b = NewSpeedButton(m, a.name, QString(), a.hint, x, 618);
    b->setIcon(QIcon(ElementIcon(a.kind)));
    b->setIconSize(QSize(21, 21));
    connect(b, &QToolButton::clicked, this, [this, kind = a.kind] { AddElement(kind); });
    *a.member = b;
    x += 25;
  }
  x = 207;  // after Undo and Redo
  SpeedButton_RIC_Delete = NewSpeedButton(m, "SpeedButton_RIC_Delete", "delete",
                                          "Delete selected element from list", x, 656);
  SpeedButton_RIC_Double =
      NewSpeedButton(m, "SpeedButton_RIC_Double", "double", "Double selected element", x + 25, 656);
  SpeedButton_RIC_MoveUp = NewSpeedButton(m, "SpeedButton_RIC_MoveUp", "moveup",
                                          "Move element one position up", x + 50, 656);
  SpeedButton_RIC_MoveDown = NewSpeedButton(m, "SpeedButton_RIC_MoveDown", "movedown",
                                            "Move element one position down", x + 75, 656);
  connect(SpeedButton_RIC_Delete, &QToolButton::clicked, this, [this] { DeleteElement(); });
  connect(SpeedButton_RIC_Double, &QToolButton::clicked, this, [this] { DoubleElement(); });
  connect(SpeedButton_RIC_MoveUp, &QToolButton::clicked, this, [this] { MoveElementUp(); });
  connect(SpeedButton_RIC_MoveDown, &QToolButton::clicked, this, [this] { MoveElementDown(); });

  SpeedButton_Preview = NewSpeedButton(m, "SpeedButton_Preview", QString(),
                                       "Switch to PreView mode", 4, 652, 137, 33);
  SpeedButton_Preview->setText("Switch to PreView");
  connect(SpeedButton_Preview, &QToolButton::clicked, this, [this] { EnterPreviewMode(); });
  // Undo and Redo beside the mode switch; their tooltips name the step.
  SpeedButton_RIC_Undo = NewSpeedButton(m, "SpeedButton_RIC_Undo", "undo", "Undo", 149, 656);
  SpeedButton_RIC_Redo = NewSpeedButton(m, "SpeedButton_RIC_Redo", "redo", "Redo", 174, 656);
  connect(SpeedButton_RIC_Undo, &QToolButton::clicked, this, [this] { UndoStep(); });
  connect(SpeedButton_RIC_Redo, &QToolButton::clicked, this, [this] { RedoStep(); });

  TabSheet_Navigate_Preview = new QWidget(PageControl_Navigate);
  TabSheet_Navigate_Preview->setObjectName("TabSheet_Navigate_Preview");
  NewNavigationHeader(TabSheet_Navigate_Preview, "PreView RIC file");
  PageControl_Navigate->addWidget(TabSheet_Navigate_Preview);
  SpeedButton2 = NewSpeedButton(TabSheet_Navigate_Preview, "SpeedButton2", QString(),
                                "Switch to Modify mode", 4, 652, 137, 33);
  SpeedButton2->setText("Switch to Modify");
  connect(SpeedButton2, &QToolButton::clicked, this, [this] { EnterModifyMode(); });
}

void TForm_Tavlin::ArrangeNavigationPages() {
  // The list takes the height; the buttons stay under it.
  DrawGrid_RIC->resize(DrawGrid_RIC->width(), 412 + extraHeight_);
  for (QToolButton* b :
       {SpeedButton_RIC_AddComment, SpeedButton_RIC_AddSprite, SpeedButton_RIC_AddVarMap,
        SpeedButton_RIC_AddCopyBits, SpeedButton_RIC_AddPixel, SpeedButton_RIC_AddLine,
        SpeedButton_RIC_AddRectangle, SpeedButton_RIC_AddCircle, SpeedButton_RIC_AddEllipse,
        SpeedButton_RIC_AddPolygon, SpeedButton_RIC_AddNumBox})
    b->move(b->x(), 618 + extraHeight_);
  SpeedButton_Preview->move(SpeedButton_Preview->x(), 652 + extraHeight_);
  SpeedButton2->move(SpeedButton2->x(), 652 + extraHeight_);
  for (QToolButton* b : {SpeedButton_RIC_Undo, SpeedButton_RIC_Redo, SpeedButton_RIC_Delete,
                         SpeedButton_RIC_Double, SpeedButton_RIC_MoveUp, SpeedButton_RIC_MoveDown})
    if (b) b->move(b->x(), 656 + extraHeight_);
}

void TForm_Tavlin::SetListRows(int elementCount) {
  DrawGrid_RIC->SetRowCount(std::max(2, elementCount + 1));
  DrawGrid_RIC->viewport()->update();
}

void TForm_Tavlin::DrawElementCell(QPainter& p, int column, int row, const QRect& rect,
                                   bool selected) {
  const QColor fill = selected ? QColor(240, 240, 240) : palette().color(QPalette::Button);
  p.fillRect(rect, fill);
  p.setPen(Qt::black);
  QFontMetrics fm(p.font());
  if (row == 0) {
    p.drawText(rect.left() + 2, rect.top() + 2 + fm.ascent(), column == 0 ? "Step" : "Object");
    return;
  }
  if (column == 0) {
    // Right-aligned six pixels before the column's end, which is wide
    // enough for the largest step number.
    QString number = QString::number(row);
    p.drawText(rect.right() - 5 - fm.horizontalAdvance(number), rect.top() + 2 + fm.ascent(),
               number);
    return;
  }
  const TRICElement* e = ElementList().At(row - 1);
  if (!e) return;
  if (selected) {
    // The selection fill is close to the button face: a frame makes the row easy to find.
    p.setPen(palette().color(QPalette::Highlight));
    p.drawRect(rect.adjusted(0, 0, -1, -1));
    p.setPen(Qt::black);
  }
  p.drawPixmap(rect.left() + 7, rect.top(), ElementIcon(e->Kind));
  // The items end where the cell can be seen (the scroll bar may cover its end).
  const int right = std::min(rect.right(), p.device()->width() - 1) - 2;
  const RowItemsLayout items = LayOutRowItems(p.font(), ElementItems(*e), rect.left() + 61, right);
  const QFont cellFont = p.font();
  p.setFont(items.Font);
  const QFontMetrics itemMetrics(items.Font);
  // One line of items: the label 10 pixels down, the value 14 under it; two
  // lines share the row's height in four.
  const int step =
      items.LineCount == 1 ? 14 : std::min(itemMetrics.height(), (rect.height() - 2) / 4);
  const int top = items.LineCount == 1 ? 10 : 1;
  for (std::size_t i = 0; i < items.Lefts.size(); ++i) {
    const int y = rect.top() + top + 2 * step * items.Lines[i] + itemMetrics.ascent();
    p.setPen(QColor(128, 128, 128));
    p.drawText(items.Lefts[i], y, items.Labels[qsizetype(i)]);
    p.setPen(Qt::black);
    p.drawText(items.Lefts[i], y + step, items.Values[qsizetype(i)]);
  }
  p.setFont(cellFont);  // the painter goes on to the other cells
}

void TForm_Tavlin::RefreshSelectedRow() {
  // The numbers and the history's state at once, the pictures when the pass is done.
  UpdateDocumentStatus();
  ShowHistoryState();
  ScheduleRefresh(kRefreshList | kRefreshDocument);
}

void TForm_Tavlin::DrawGrid_RICSelectCell(int, int row) {
  EditEventsPause pause(*this);
  if (!dragging_ && !ElementList().Empty()) {
    selectedIndex_ = row - 1;
    ShowElement(selectedIndex_);
  }
}

void TForm_Tavlin::DrawGrid_RICMouseDown(Qt::MouseButton button, int, int y) {
  if (button != Qt::LeftButton) return;
  // Only a press on an element's row starts a drag; one on the header or
  // below the rows would otherwise move the selected element unasked.
  int row = DrawGrid_RIC->RowAt(y);
  if (!ElementList().ValidIndex(row - 1)) return;
  dragging_ = true;
  selectedIndex_ = row - 1;
  dragStartOrder_.clear();
  for (const ElementPtr& e : ElementList()) dragStartOrder_.push_back(e.get());
}

void TForm_Tavlin::DrawGrid_RICMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                                         int, int y) {
  if (!dragging_ || buttons != Qt::LeftButton ||
      (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)))
    return;
  int target = DrawGrid_RIC->RowAt(y) - 1;
  if (target == selectedIndex_ || !ElementList().ValidIndex(target) ||
      !ElementList().ValidIndex(selectedIndex_))
    return;
  // The dragged element trades places with the one under the pointer; the
  // whole drag becomes one step when the button comes up.
  ElementList().Exchange(selectedIndex_, target);
  selectedIndex_ = target;
  selectedElement_ = ElementList()[target];
  DrawGrid_RIC->SetRow(target + 1, false);
  RefreshDocumentView();
  StatusPanel[7]->setText("modified");
}

void TForm_Tavlin::DrawGrid_RICMouseUp() {
  if (dragging_ && int(dragStartOrder_.size()) == ElementList().Count()) {
    // The order the drag made, as indexes of the order it began with.
    std::vector<int> order;
    for (const ElementPtr& e : ElementList())
      order.push_back(int(std::find(dragStartOrder_.begin(), dragStartOrder_.end(), e.get()) -
                          dragStartOrder_.begin()));
    bool moved = false;
    for (std::size_t i = 0; i < order.size(); ++i) moved = moved || order[i] != int(i);
    if (moved) {
      // Back to where the drag began; the document takes the new order as one step.
      std::vector<ElementPtr> taken;
      while (!ElementList().Empty()) taken.push_back(ElementList().Take(0));
      std::vector<ElementPtr> restored(taken.size());
      for (std::size_t i = 0; i < taken.size(); ++i)
        restored[std::size_t(order[i])] = std::move(taken[i]);
      for (ElementPtr& e : restored) ElementList().Add(std::move(e));
      Document().Reorder(order, selectedIndex_,
                         StepName("Move", order[std::size_t(selectedIndex_)]));
    }
  }
  dragStartOrder_.clear();
  dragging_ = false;
  if (ElementList().ValidIndex(selectedIndex_) &&
      ElementList()[selectedIndex_]->Kind == RICElementKind::CopyBits)
    ShowElement(selectedIndex_);
  // The highlighted row always names the element being edited.
  if (ElementList().ValidIndex(selectedIndex_)) DrawGrid_RIC->SetRow(selectedIndex_ + 1, false);
  RefreshDocumentView();
}

// ---- The list commands: add, delete, double and move ----

void TForm_Tavlin::AddElement(RICElementKind kind) {
  ElementPtr e = KindRow(kind).MakeDefault();
  if (kind == RICElementKind::Sprite || kind == RICElementKind::VarMap) {
    // A free id, so that the new element hides none before it.
    const std::optional<std::uint16_t> id = FreeSpriteId(ElementList());
    if (!id)
      dialogs_.ShowWarning(this, QString("All ids from 1 to 10 are taken by Sprites and "
                                         "VarMaps: the new %1 takes id 1 and, from where it "
                                         "stands on, hides the earlier element with that id.")
                                     .arg(KindName(kind)));
    e->ID = id.value_or(1);
  } else if (kind == RICElementKind::CopyBits) {
    // It copies from the last sprite before it: the one it would see.
    e->SpriteID = LastSpriteIdBefore(ElementList(), ElementList().Count()).value_or(1);
  }
  ShowChangedDocument(Document().Add(std::move(e), std::string("Add ") + KindName(kind)));
}

void TForm_Tavlin::DeleteElement() {
  if (!ElementList().ValidIndex(selectedIndex_)) return;
  Document().Remove(selectedIndex_, StepName("Delete", selectedIndex_));
  ShowChangedDocument(std::min(selectedIndex_, ElementList().Count() - 1));
}

void TForm_Tavlin::DoubleElement() {
  if (!ElementList().ValidIndex(selectedIndex_)) return;
  Document().EndFloatingWork();  // the copy takes no preview pixels
  Document().Insert(selectedIndex_, DuplicateElement(*ElementList()[selectedIndex_]),
                    StepName("Double", selectedIndex_));
  ShowChangedDocument(selectedIndex_);
}

// Move Up and Move Down exchange the selected element with its neighbour;
// at either end the first and the last element trade places.
void TForm_Tavlin::MoveElementUp() {
  int n = ElementList().Count();
  MoveSelectedElement(selectedIndex_ > 0 ? selectedIndex_ - 1 : n - 1);
}

void TForm_Tavlin::MoveElementDown() {
  int n = ElementList().Count();
  MoveSelectedElement(selectedIndex_ < n - 1 ? selectedIndex_ + 1 : 0);
}

void TForm_Tavlin::MoveSelectedElement(int target) {
  int i = selectedIndex_;
  if (!ElementList().ValidIndex(i) || !ElementList().ValidIndex(target) || i == target) return;
  Document().Exchange(i, target, StepName("Move", i));
  ShowChangedDocument(target);
}

}  // namespace tavlin
