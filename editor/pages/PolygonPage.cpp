#include "PolygonPage.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "CopyOptionChoices.h"
#include "DisplayAdapter.h"
#include "EditPage.h"
#include "EditorHost.h"
#include "NxtImage.h"
#include "RICParameterEdit.h"

namespace tavlin {

namespace {
// The copy options and their choices on the first line, the point table
// under their choices, the point commands under the copy options.
constexpr int kCopyOptTop = 468;
constexpr int kRowTop = 498;
constexpr int kRowPitch = 30;
constexpr int kRowLeft = 206;  // the row's number button; the two edits follow it

bool IsConstant(RICArgument word) { return DecodeArgument(word).Mode == ArgumentMode::Constant; }
}  // namespace

TPolygonPage::TPolygonPage(TEditorHost& host, std::function<void()> redrawImage, QWidget* parent)
    : QWidget(parent), host_(host), redrawImage_(std::move(redrawImage)) {
  setObjectName("TabSheet_Edit_Polygon");
  AddPageHeader(this, "Polygon");
  Image_Polygon =
      new TNxtImage(this, ScreenWidth(kDefaultScreenZoom), ScreenHeight(kDefaultScreenZoom));
  Image_Polygon->setObjectName("Image_Polygon");
  Image_Polygon->move(32, 52);
  Image_Polygon->setCursor(Qt::CrossCursor);
  screen_ = new TScreenLayout(this, Image_Polygon, kDefaultScreenZoom);
  connect(Image_Polygon, &TNxtImage::MousePressed, this,
          [this](int x, int y, Qt::MouseButton button) { ImageMouse(x, y, button, true); });
  connect(Image_Polygon, &TNxtImage::MouseMoved, this,
          [this](int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers) {
            ImageMouse(x, y, buttons, false);
          });

  RICParameterEdit_Polygon_CopyOpt =
      NewArgumentEdit(this, "RICParameterEdit_Polygon_CopyOpt", "  Copy Opt", 8, kCopyOptTop, 4095);
  connect(RICParameterEdit_Polygon_CopyOpt, &TRICParameterEdit::OnChange, this,
          [this] { CopyOptChange(); });
  Button_Polygon_AddPoint = new QPushButton("Add point", this);
  Button_Polygon_AddPoint->setObjectName("Button_Polygon_AddPoint");
  Button_Polygon_AddPoint->setToolTip("Add a point after the selected one");
  Button_Polygon_AddPoint->setGeometry(8, kRowTop + 2, 92, 25);
  connect(Button_Polygon_AddPoint, &QPushButton::clicked, this, [this] { AddPointClick(); });
  Button_Polygon_RemovePoint = new QPushButton("Remove point", this);
  Button_Polygon_RemovePoint->setObjectName("Button_Polygon_RemovePoint");
  Button_Polygon_RemovePoint->setToolTip(
      "Remove the selected point (a polygon keeps at least three)");
  Button_Polygon_RemovePoint->setGeometry(104, kRowTop + 2, 95, 25);
  connect(Button_Polygon_RemovePoint, &QPushButton::clicked, this,
          [this] { RemovePoint(selected_); });
  Label_Polygon_Count = new QLabel(this);
  Label_Polygon_Count->setObjectName("Label_Polygon_Count");
  Label_Polygon_Count->setGeometry(12, kRowTop + kRowPitch + 6, 187, 16);
  auto* hint =
      new QLabel("Click: add a point\nDrag a point: move it\nRight-click: remove it", this);
  hint->setObjectName("Label_Polygon_Hint");
  hint->setGeometry(12, kRowTop + 2 * kRowPitch, 187, 52);
  hint->setEnabled(false);  // a note, greyed
  BuildTable();
  for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (w->y() >= kCopyOptTop) screen_->AddBelow(w);
  // They follow their control.
  AttachCopyOptionChoices(RICParameterEdit_Polygon_CopyOpt, CopyOptionFamily::Polygon, &host_);
}

void TPolygonPage::BuildTable() {
  for (int r = 0; r < kRows; ++r) {
    const QString n = QString::number(r);
    const int top = kRowTop + kRowPitch * r;
    auto* button = new QToolButton(this);
    button->setObjectName("Button_Polygon_Row" + n);
    button->setCheckable(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip("Select this point");
    button->setGeometry(kRowLeft, top + 3, 24, 22);
    connect(button, &QToolButton::clicked, this,
            [this, r] { SelectPoint(ScrollBar_Polygon->value() + r); });
    Button_Polygon_Row[std::size_t(r)] = button;
    for (bool x : {true, false}) {
      TRICParameterEdit* edit = NewArgumentEdit(
          this, qPrintable(QString("RICParameterEdit_Polygon_%1%2").arg(x ? "X" : "Y").arg(r)),
          x ? "  X" : "  Y", kRowLeft + (x ? 26 : 221), top, 4095);
      connect(edit, &TRICParameterEdit::OnChange, this, [this, r, x] { RowChange(r, x); });
      (x ? RICParameterEdit_Polygon_X : RICParameterEdit_Polygon_Y)[std::size_t(r)] = edit;
    }
  }
  ScrollBar_Polygon = new QScrollBar(Qt::Vertical, this);
  ScrollBar_Polygon->setObjectName("ScrollBar_Polygon");
  ScrollBar_Polygon->setGeometry(kRowLeft + 416, kRowTop, 17, kRowPitch * (kRows - 1) + 28);
  ScrollBar_Polygon->setPageStep(kRows);
  connect(ScrollBar_Polygon, &QScrollBar::valueChanged, this, [this] { FillTable(); });
}

TRICElement* TPolygonPage::Polygon() const {
  TRICElement* e = host_.SelectedElement();
  return e && e->Kind == RICElementKind::Polygon ? e : nullptr;
}

void TPolygonPage::ShowPolygon(const TRICElement& e) {
  const int n = int(e.PolygonPoints.size());
  // Another polygon starts at its last point, so that clicks go on from there.
  selected_ = &e == shown_ ? std::min(selected_, n - 1) : n - 1;
  if (&e != shown_) dragged_ = -1;
  shown_ = &e;
  EditEventsPause pause(host_);
  RICParameterEdit_Polygon_CopyOpt->setValue(e.CopyOpt);
  ShowRowOf(selected_);
  FillTable();
}

void TPolygonPage::FillTable() {
  const TRICElement* e = Polygon();
  const int n = e ? int(e->PolygonPoints.size()) : 0;
  EditEventsPause pause(host_);
  {
    const QSignalBlocker quiet(ScrollBar_Polygon);
    ScrollBar_Polygon->setRange(0, std::max(0, n - kRows));
  }
  ScrollBar_Polygon->setVisible(n > kRows);
  const int first = ScrollBar_Polygon->value();
  for (int r = 0; r < kRows; ++r) {
    const int index = first + r;
    const bool shown = index < n;
    const std::size_t row = std::size_t(r);
    for (QWidget* w : {static_cast<QWidget*>(Button_Polygon_Row[row]),
                       static_cast<QWidget*>(RICParameterEdit_Polygon_X[row]),
                       static_cast<QWidget*>(RICParameterEdit_Polygon_Y[row])})
      w->setVisible(shown);
    if (!shown) continue;
    const PolygonPoint& p = e->PolygonPoints[std::size_t(index)];
    Button_Polygon_Row[row]->setText(QString::number(index + 1));
    Button_Polygon_Row[row]->setChecked(index == selected_);
    // Rewriting an unchanged word would drop the control's held form of it.
    if (RICParameterEdit_Polygon_X[row]->Value() != p.X)
      RICParameterEdit_Polygon_X[row]->setValue(p.X);
    if (RICParameterEdit_Polygon_Y[row]->Value() != p.Y)
      RICParameterEdit_Polygon_Y[row]->setValue(p.Y);
  }
  Label_Polygon_Count->setText(QString("Points: %1").arg(n));
  Button_Polygon_AddPoint->setEnabled(e && n < kMaxPoints);
  Button_Polygon_RemovePoint->setEnabled(e && n > kMinPoints && selected_ >= 0);
}

void TPolygonPage::ShowRowOf(int index) {
  if (index < 0) return;
  const QSignalBlocker quiet(ScrollBar_Polygon);
  const int first = ScrollBar_Polygon->value();
  ScrollBar_Polygon->setMaximum(std::max(ScrollBar_Polygon->maximum(), index));
  if (index < first)
    ScrollBar_Polygon->setValue(index);
  else if (index >= first + kRows)
    ScrollBar_Polygon->setValue(index - kRows + 1);
}

void TPolygonPage::MarkPoints() {
  const TRICElement* e = Polygon();
  if (!e) return;
  QImage picture = Image_Polygon->Picture();
  const int zoom = std::max(1, (picture.width() - 2) / 100);
  QPainter p(&picture);
  for (std::size_t i = 0; i < e->PolygonPoints.size(); ++i) {
    const PolygonPoint& point = e->PolygonPoints[i];
    if (!IsConstant(point.X) || !IsConstant(point.Y) || point.X > 99 || point.Y > 63) continue;
    // A frame around the point's cell, the selected point's in blue and wider.
    const bool selected = int(i) == selected_;
    p.setPen(
        QPen(selected ? QColor(0x1E, 0x6E, 0xD0) : QColor(0xE0, 0x30, 0x30), selected ? 2 : 1));
    p.setBrush(Qt::NoBrush);
    const int m = selected ? 2 : 1;
    p.drawRect(QRect(1 + zoom * point.X - m, 1 + zoom * (63 - point.Y) - m, zoom + 2 * m - 1,
                     zoom + 2 * m - 1));
  }
  p.end();
  Image_Polygon->SetPicture(picture);
}

void TPolygonPage::PointsEdited(const std::string& name, const std::string& mergeKey) {
  FillTable();
  redrawImage_();
  host_.SelectedElementEdited(name, mergeKey);
}

void TPolygonPage::SelectPoint(int index) {
  const TRICElement* e = Polygon();
  if (!e || index < 0 || index >= int(e->PolygonPoints.size())) return;
  selected_ = index;
  ShowRowOf(index);
  FillTable();
  redrawImage_();
}

void TPolygonPage::InsertPointAfter(int index, PolygonPoint point, const std::string& mergeKey) {
  TRICElement* e = Polygon();
  if (!e || int(e->PolygonPoints.size()) >= kMaxPoints) return;
  index = std::clamp(index + 1, 0, int(e->PolygonPoints.size()));
  e->PolygonPoints.insert(e->PolygonPoints.begin() + index, point);
  e->PolygonCount.reset();  // the brick draws the points there are
  selected_ = index;
  ShowRowOf(index);
  PointsEdited("Add Point", mergeKey);
}

void TPolygonPage::RemovePoint(int index) {
  TRICElement* e = Polygon();
  const int n = e ? int(e->PolygonPoints.size()) : 0;
  if (index < 0 || index >= n || n <= kMinPoints) return;
  e->PolygonPoints.erase(e->PolygonPoints.begin() + index);
  e->PolygonCount.reset();
  selected_ = std::min(index, n - 2);
  PointsEdited("Remove Point", {});
}

void TPolygonPage::AddPointClick() {
  const TRICElement* e = Polygon();
  if (!e) return;
  const std::vector<PolygonPoint>& points = e->PolygonPoints;
  PolygonPoint point{50, 32};
  if (selected_ >= 0) {
    // Halfway to the next point (the first after the last), or on the selected one.
    const PolygonPoint& a = points[std::size_t(selected_)];
    const PolygonPoint& b = points[(std::size_t(selected_) + 1) % points.size()];
    point = a;
    if (IsConstant(a.X) && IsConstant(b.X)) point.X = RICArgument((a.X + b.X) / 2);
    if (IsConstant(a.Y) && IsConstant(b.Y)) point.Y = RICArgument((a.Y + b.Y) / 2);
  }
  host_.SealEditStep();
  InsertPointAfter(selected_ >= 0 ? selected_ : int(points.size()) - 1, point);
}

void TPolygonPage::CopyOptChange() {
  TRICElement* e = Polygon();
  if (!host_.EditEventsEnabled() || !e) return;
  e->CopyOpt = RICParameterEdit_Polygon_CopyOpt->Value();
  redrawImage_();
  host_.SelectedElementEdited("Change Copy Opt", "Copy Opt");
}

void TPolygonPage::RowChange(int row, bool x) {
  TRICElement* e = Polygon();
  const int index = ScrollBar_Polygon->value() + row;
  if (!host_.EditEventsEnabled() || !e || index >= int(e->PolygonPoints.size())) return;
  PolygonPoint& p = e->PolygonPoints[std::size_t(index)];
  (x ? p.X : p.Y) =
      (x ? RICParameterEdit_Polygon_X : RICParameterEdit_Polygon_Y)[std::size_t(row)]->Value();
  selected_ = index;
  const std::string field = "Point " + std::to_string(index + 1) + (x ? " X" : " Y");
  PointsEdited("Change " + field, field);
}

int TPolygonPage::PointAt(int x, int y) const {
  const TRICElement* e = Polygon();
  if (!e) return -1;
  int best = -1, bestDistance = 3;  // within one pixel each way
  for (std::size_t i = 0; i < e->PolygonPoints.size(); ++i) {
    const PolygonPoint& p = e->PolygonPoints[i];
    if (!IsConstant(p.X) || !IsConstant(p.Y)) continue;
    const int dx = std::abs(p.X - x), dy = std::abs(p.Y - y);
    if (dx > 1 || dy > 1) continue;
    // The nearest; of equals the selected one, else the first.
    const int distance = dx + dy;
    if (distance < bestDistance || (distance == bestDistance && int(i) == selected_)) {
      best = int(i);
      bestDistance = distance;
    }
  }
  return best;
}

void TPolygonPage::ImageMouse(int mx, int my, Qt::MouseButtons buttons, bool press) {
  const QPoint nxt = NxtPointFromMouse(Image_Polygon->width(), Image_Polygon->height(), mx, my);
  const int x = nxt.x(), y = nxt.y();
  const bool drag = !press && (buttons & Qt::LeftButton);
  if (press || drag) host_.ShowPointerPosition(x, y);
  TRICElement* e = Polygon();
  if (!e) return;
  if (press) {
    // A press starts a step of its own; the drag that follows belongs to it.
    host_.SealEditStep();
    dragged_ = -1;
    const int hit = PointAt(x, y);
    if (buttons & Qt::RightButton) {
      RemovePoint(hit);
    } else if (buttons & Qt::LeftButton) {
      if (hit >= 0) {
        SelectPoint(hit);
        dragStep_ = "move point";
        dragged_ = hit;
      } else if (int(e->PolygonPoints.size()) < kMaxPoints) {
        const int after = selected_ >= 0 ? selected_ : int(e->PolygonPoints.size()) - 1;
        dragStep_ = "add point";
        InsertPointAfter(after, {EncodeConstant(unsigned(x)), EncodeConstant(unsigned(y))},
                         dragStep_);
        dragged_ = selected_;
      }
    }
    return;
  }
  if (!drag || dragged_ < 0 || dragged_ >= int(e->PolygonPoints.size())) return;
  PolygonPoint& p = e->PolygonPoints[std::size_t(dragged_)];
  const PolygonPoint moved{EncodeConstant(unsigned(x)), EncodeConstant(unsigned(y))};
  if (p == moved) return;
  p = moved;
  PointsEdited("Move Point", dragStep_);
}

}  // namespace tavlin
