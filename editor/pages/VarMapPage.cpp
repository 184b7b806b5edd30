#include "VarMapPage.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>

#include "EditPage.h"
#include "EditorHost.h"
#include "ElementIcons.h"
#include "NxtImage.h"
#include "RICParameterEdit.h"
#include "UserDialogs.h"

namespace tavlin {

namespace {

constexpr int kRowTop = 528;   // top of the first row's index label
constexpr int kRowPitch = 25;  // rows are this far apart
constexpr int kFieldTop = kRowTop - 3;

QToolButton* NewButton(QWidget* page, const QString& name, const QString& glyph,
                       const QString& hint, int left, int top, int size) {
  auto* b = new QToolButton(page);
  b->setObjectName(name);
  b->setGeometry(left, top, size, size);
  b->setIcon(PageGlyph(glyph, size - 6));
  b->setIconSize(QSize(size - 6, size - 6));
  if (!hint.isEmpty()) b->setToolTip(hint);
  return b;
}

template <class T>
void SetIfDifferent(QSpinBox* box, T value) {
  if (box->value() != int(value)) box->setValue(int(value));
}

}  // namespace

TVarMapPage::TVarMapPage(TEditorHost& host, QWidget* parent) : QWidget(parent), host_(host) {
  setObjectName("TabSheet_Edit_VarMap");
  AddPageHeader(this, "VarMap");

  Image_VarMap = new TNxtImage(this, 552, 385);
  Image_VarMap->setObjectName("Image_VarMap");
  Image_VarMap->move(64, 52);
  Image_VarMap->setCursor(Qt::CrossCursor);
  Image_VarMap_Range = new TNxtImage(this, 61, 385);
  Image_VarMap_Range->setObjectName("Image_VarMap_Range");
  Image_VarMap_Range->move(0, 52);
  Image_VarMap_Domain = new TNxtImage(this, 553, 29);
  Image_VarMap_Domain->setObjectName("Image_VarMap_Domain");
  Image_VarMap_Domain->move(64, 440);
  connect(Image_VarMap, &TNxtImage::MousePressed, this,
          [this](int x, int y, Qt::MouseButton b) { Image_VarMapMouseDown(x, y, b); });
  connect(Image_VarMap, &TNxtImage::MouseMoved, this,
          [this](int x, int y, Qt::MouseButtons, Qt::KeyboardModifiers) {
            Image_VarMapMouseMove(x, y);
          });

  BuildTable();
  BuildCommands();
  DrawVarMapGraph();
}

void TVarMapPage::ArrangeGraph(QSize page) {
  const int extra = page.height() - 700;
  if (belowGraph_.isEmpty())
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (w->y() >= Image_VarMap_Domain->y()) belowGraph_.append({w, w->y()});
  const int height = 385 + extra;
  if (Image_VarMap->height() == height) return;
  Image_VarMap->Resize(Image_VarMap->width(), height);
  Image_VarMap_Range->Resize(Image_VarMap_Range->width(), height);
  for (const auto& [w, top] : belowGraph_) w->move(w->x(), top + extra);
  DrawVarMapGraph();
}

void TVarMapPage::BuildTable() {
  Label_VarMap_Domain = new QLabel("Domain", this);
  Label_VarMap_Domain->setObjectName("Label_VarMap_Domain");
  Label_VarMap_Domain->setGeometry(74, kRowTop - 22, 60, 16);
  Label_VarMap_Range = new QLabel("Range", this);
  Label_VarMap_Range->setObjectName("Label_VarMap_Range");
  Label_VarMap_Range->setGeometry(142, kRowTop - 22, 60, 16);

  for (int r = 0; r < kRows; ++r) {
    const QString n = QString::number(r);
    const int top = kFieldTop + kRowPitch * r;
    auto* label = new QLabel(this);
    label->setObjectName("Label_VarMap_DS" + n);
    label->setGeometry(44, kRowTop + kRowPitch * r, 24, 16);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label_VarMap_DS[std::size_t(r)] = label;

    auto* domain = new THoldingSpinEdit(this);
    domain->setObjectName("SpinEdit_VarMap_Domain" + n);
    domain->SetLimits(0, kMaxDomain);
    domain->setGeometry(72, top, 62, 22);
    SpinEdit_VarMap_Domain[std::size_t(r)] = domain;
    auto* range = new QSpinBox(this);
    range->setObjectName("SpinEdit_VarMap_Range" + n);
    range->setRange(0, 65535);
    range->setGeometry(140, top, 80, 22);
    SpinEdit_VarMap_Range[std::size_t(r)] = range;
    for (QSpinBox* box : {static_cast<QSpinBox*>(domain), range})
      connect(box, &QSpinBox::valueChanged, this,
              [this, box] { SpinEdit_VarMap_Change(box->objectName()); });

    BitBtn_VarMap_Delete[std::size_t(r)] =
        NewButton(this, "BitBtn_VarMap_Delete" + n, "minus", "Delete this point", 226, top, 22);
    BitBtn_VarMap_Insert[std::size_t(r)] = NewButton(this, "BitBtn_VarMap_Insert" + n, "plus",
                                                     "Insert a point after this one", 250, top, 22);
    connect(BitBtn_VarMap_Delete[std::size_t(r)], &QToolButton::clicked, this,
            [this, r] { BitBtn_VarMap_DeleteClick(r); });
    connect(BitBtn_VarMap_Insert[std::size_t(r)], &QToolButton::clicked, this,
            [this, r] { BitBtn_VarMap_InsertClick(r); });
  }

  ScrollBar_VarMap = new QScrollBar(Qt::Vertical, this);
  ScrollBar_VarMap->setObjectName("ScrollBar_VarMap");
  ScrollBar_VarMap->setGeometry(276, kFieldTop, 17, kRowPitch * (kRows - 1) + 22);
  ScrollBar_VarMap->setRange(0, kRows - 1);
  ScrollBar_VarMap->setPageStep(kRows);
  ScrollBar_VarMap->hide();
  connect(ScrollBar_VarMap, &QScrollBar::valueChanged, this, [this] { ScrollBar_VarMapChange(); });
}

void TVarMapPage::BuildCommands() {
  Label_VarMap_ID = new QLabel("VarMap ID", this);
  Label_VarMap_ID->setObjectName("Label_VarMap_ID");
  Label_VarMap_ID->setGeometry(340, kRowTop, 64, 16);
  SpinEdit_VarMap_ID = new THoldingSpinEdit(this);
  SpinEdit_VarMap_ID->setObjectName("SpinEdit_VarMap_ID");
  SpinEdit_VarMap_ID->SetLimits(1, 10);
  SpinEdit_VarMap_ID->setToolTip("Set the ID for the sprite");
  SpinEdit_VarMap_ID->setGeometry(408, kFieldTop, 48, 22);
  connect(SpinEdit_VarMap_ID, &QSpinBox::valueChanged, this,
          [this] { SpinEdit_VarMap_Change(SpinEdit_VarMap_ID->objectName()); });

  const int top = kFieldTop + kRowPitch * 2;
  SpeedButton_VarMap_Import = NewButton(this, "SpeedButton_VarMap_Import", "pastepoints",
                                        "Import VarMap values from clipboard", 340, top, 25);
  SpeedButton_VarMap_DeleteEntries = NewButton(this, "SpeedButton_VarMap_DeleteEntries", "clear",
                                               "Delete all VarMap entries", 368, top, 25);
  SpeedButton_VarMap_Optimize = NewButton(this, "SpeedButton_VarMap_Optimize", "optimize",
                                          "Optimize VarMap list", 396, top, 25);
  connect(SpeedButton_VarMap_Import, &QToolButton::clicked, this,
          [this] { ImportVarMapFromClipboard(); });
  connect(SpeedButton_VarMap_DeleteEntries, &QToolButton::clicked, this,
          [this] { ResetVarMapPoints(); });
  connect(SpeedButton_VarMap_Optimize, &QToolButton::clicked, this, [this] { OptimizeVarMap(); });

  // The window shows its Edit > "VarMap" menu only while a VarMap is selected.
  QMenu* menu = host_.VarMapMenu();
  auto entry = [this, menu](const char* name, const QString& text, auto slot) {
    QAction* a = menu ? menu->addAction(text) : new QAction(text, this);
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, slot);
    return a;
  };
  VarMap_DeleteList = entry("VarMap_DeleteList", "Delete list", [this] { ResetVarMapPoints(); });
  Menu_VarMap_Import = entry("Menu_VarMap_Import", "Import domain/range list",
                             [this] { ImportVarMapFromClipboard(); });
  Menu_VarMap_Export = entry("Menu_VarMap_Export", "Export domain/range list",
                             [this] { Menu_VarMap_ExportClick(); });
  Menue_VarMap_Optimize =
      entry("Menue_VarMap_Optimize", "Optimize VarMap list", [this] { OptimizeVarMap(); });
}

TRICElement* TVarMapPage::Map() const {
  TRICElement* e = host_.SelectedElement();
  return e && e->Kind == RICElementKind::VarMap ? e : nullptr;
}

void TVarMapPage::ShowVarMapPage(const TRICElement& e) {
  {
    QSignalBlocker blockId(SpinEdit_VarMap_ID), blockScroll(ScrollBar_VarMap);
    SpinEdit_VarMap_ID->Hold(e.ID);  // also an id beyond 1..10, until the user edits it
    ScrollBar_VarMap->setValue(0);
  }
  // The page edits the selected element, which ShowElement has just set to e.
  RefreshVarMapTable();
  DrawVarMapGraph();
}

// ---- point operations ----

void TVarMapPage::SetVarMapPoint(int domain, int range) {
  TRICElement* m = Map();
  if (!m) return;
  PutVarMapPoint(m->Points, std::uint16_t(std::clamp(domain, 0, 65535)),
                 std::uint16_t(std::clamp(range, 0, 65535)));
  {
    EditEventsPause pause(host_);
    RefreshVarMapTable();
  }
}

void TVarMapPage::DeleteVarMapPoint(int domain, int range) {
  TRICElement* m = Map();
  if (!m || domain < 0 || domain > 65535 || range < 0 || range > 65535) return;
  if (!RemoveVarMapPoint(m->Points, std::uint16_t(domain), std::uint16_t(range))) return;
  {
    EditEventsPause pause(host_);
    RefreshVarMapTable();
  }
}

// ---- the table ----

void TVarMapPage::RefreshVarMapTable() {
  TRICElement* m = Map();
  if (!m) return;
  EditEventsPause pause(host_);
  const int n = int(m->Points.size());
  {
    QSignalBlocker block(ScrollBar_VarMap);
    if (n > kRows) {
      ScrollBar_VarMap->setRange(0, n - kRows);  // also pulls the position back inside
      ScrollBar_VarMap->show();
    } else {
      ScrollBar_VarMap->hide();
      ScrollBar_VarMap->setValue(0);
      ScrollBar_VarMap->setRange(0, kRows - 1);
    }
  }
  m->ID = std::uint16_t(SpinEdit_VarMap_ID->value());
  const int position = ScrollBar_VarMap->value();
  for (int r = 0; r < kRows; ++r) FillVarMapRow(r, position + r);
  host_.RefreshSelectedRow();
}

void TVarMapPage::FillVarMapRow(int row, int index) {
  const std::vector<VarMapPoint>& points = Map()->Points;
  const int n = int(points.size());
  const std::size_t r = std::size_t(row);
  THoldingSpinEdit* domain = SpinEdit_VarMap_Domain[r];
  QSpinBox* range = SpinEdit_VarMap_Range[r];
  bool shown = index < n;
  bool canInsert = false;
  if (shown) {
    const VarMapPoint& p = points[std::size_t(index)];
    Label_VarMap_DS[r]->setText(QString::number(index));
    // An edited domain stays between its neighbours' and inside 0..255; the
    // field shows what the point holds, also a domain a file brought beyond
    // that or out of order.
    int lo = index == 0 ? 0 : points[std::size_t(index - 1)].Domain + 1;
    int hi = index == n - 1 ? kMaxDomain : points[std::size_t(index + 1)].Domain - 1;
    lo = std::clamp(lo, 0, kMaxDomain);
    hi = std::clamp(hi, lo, kMaxDomain);
    domain->SetLimits(lo, hi);
    domain->Hold(p.Domain);
    SetIfDifferent(range, p.Range);
    canInsert = index == n - 1 ? p.Domain < kMaxDomain
                               : int(points[std::size_t(index + 1)].Domain) - int(p.Domain) > 1;
  } else {
    Label_VarMap_DS[r]->clear();
    domain->SetLimits(0, kMaxDomain);
    domain->Hold(kMaxDomain);
  }
  rowShown_[r] = shown;
  domain->setVisible(shown);
  range->setVisible(shown);
  BitBtn_VarMap_Delete[r]->setVisible(shown && n > 2);
  BitBtn_VarMap_Insert[r]->setVisible(shown && canInsert);
}

void TVarMapPage::ApplyVarMapRows() {
  TRICElement* m = Map();
  if (!m) return;
  const int position = ScrollBar_VarMap->value();
  for (int r = 0; r < kRows; ++r) {
    const std::size_t i = std::size_t(position + r);
    if (!rowShown_[std::size_t(r)] || i >= m->Points.size()) continue;
    // The fields the user did not edit hold the point's own values; an edited
    // domain is held between its neighbours, so the order stays as it was
    // (a map that came unsorted from a file is not sorted behind the user's
    // back: the interpreter takes its points in stored order).
    m->Points[i].Domain = std::uint16_t(SpinEdit_VarMap_Domain[std::size_t(r)]->value());
    m->Points[i].Range = std::uint16_t(SpinEdit_VarMap_Range[std::size_t(r)]->value());
  }
  {
    EditEventsPause pause(host_);
    RefreshVarMapTable();
  }
  DrawVarMapGraph();
}

// ---- event handlers ----

void TVarMapPage::SpinEdit_VarMap_Change(const QString& field) {
  if (!host_.EditEventsEnabled() || !Map()) return;
  ApplyVarMapRows();
  // A row shows another point once the table scrolled: its edits are another field.
  const bool id = field == "SpinEdit_VarMap_ID";
  host_.SelectedElementEdited(
      id ? "Change VarMap ID" : "Change VarMap Point",
      field.isEmpty() ? std::string()
      : id            ? field.toStdString()
                      : (field + ':' + QString::number(ScrollBar_VarMap->value())).toStdString());
}

void TVarMapPage::ScrollBar_VarMapChange() { RefreshVarMapTable(); }

void TVarMapPage::BitBtn_VarMap_DeleteClick(int row) {
  const std::size_t r = std::size_t(row);
  TRICElement* m = Map();
  const std::size_t i = std::size_t(ScrollBar_VarMap->value() + row);
  if (!m || row < 0 || row >= kRows || !rowShown_[r] || i >= m->Points.size()) return;
  // The row's point itself, even when its domain lies beyond what the field shows.
  const VarMapPoint p = m->Points[i];
  DeleteVarMapPoint(p.Domain, p.Range);
  ApplyVarMapRows();
  host_.SelectedElementEdited("Delete VarMap Point");
}

void TVarMapPage::BitBtn_VarMap_InsertClick(int row) {
  const std::size_t r = std::size_t(row);
  if (!Map() || row < 0 || row >= kRows || !rowShown_[r]) return;
  const int domain = SpinEdit_VarMap_Domain[r]->value() + 1;
  if (domain > kMaxDomain) return;
  SetVarMapPoint(domain, SpinEdit_VarMap_Range[r]->value());
  ApplyVarMapRows();
  host_.SelectedElementEdited("Insert VarMap Point");
}

void TVarMapPage::Image_VarMapMouseDown(int x, int y, Qt::MouseButton button) {
  if (!Map()) return;
  int domain = 0, range = 0;
  GraphToPoint(x, y, domain, range);
  if (button == Qt::LeftButton)
    SetVarMapPoint(domain, range);
  else if (button == Qt::RightButton)
    DeleteVarMapPoint(domain, range);
  DrawVarMapGraph(domain, range);
  host_.ShowPointerPosition(domain, range);
  if (button == Qt::LeftButton) host_.SelectedElementEdited("Set VarMap Point");
  if (button == Qt::RightButton) host_.SelectedElementEdited("Delete VarMap Point");
}

void TVarMapPage::Image_VarMapMouseMove(int x, int y) {
  if (!Map()) return;
  int domain = 0, range = 0;
  GraphToPoint(x, y, domain, range);
  DrawVarMapGraph(domain, range);
  host_.ShowPointerPosition(domain, range);
}

// ---- commands ----

void TVarMapPage::ResetVarMapPoints() {
  TRICElement* m = Map();
  if (!m) return;
  {
    EditEventsPause pause(host_);
    m->Points.clear();
    SetVarMapPoint(0, 0);
    SetVarMapPoint(99, 63);
  }
  ApplyVarMapRows();
  host_.SelectedElementEdited("Delete VarMap List");
}

void TVarMapPage::ImportVarMapFromClipboard() {
  TRICElement* m = Map();
  if (!m) return;
  const QClipboard* clipboard = QGuiApplication::clipboard();
  const std::vector<std::uint16_t> numbers =
      ReadClipboardNumbers(clipboard ? clipboard->text() : QString());
  if (numbers.empty()) {
    host_.Dialogs().Inform(this, "Clipboard do not contain values");
    return;
  }
  if (numbers.size() % 2 != 0) {
    host_.Dialogs().Inform(this, "Clipboard do not contain a odd count of numbers!");
    return;
  }
  // Pairs sharing a domain collapse into one point; the map must keep two.
  std::vector<VarMapPoint> points;
  for (std::size_t i = 0; i + 1 < numbers.size(); i += 2)
    PutVarMapPoint(points, std::min<std::uint16_t>(numbers[i], kMaxDomain), numbers[i + 1]);
  if (numbers.size() < 4 || points.size() < 2) {
    host_.Dialogs().Inform(this, "Clipboard do not contain minimum of 4 values!");
    return;
  }
  {
    EditEventsPause pause(host_);
    m->Points = std::move(points);
    RefreshVarMapTable();
  }
  ApplyVarMapRows();
  host_.SelectedElementEdited("Import VarMap List");
}

void TVarMapPage::Menu_VarMap_ExportClick() {
  host_.Dialogs().Inform(this, "VarMap export - not yet defined");
}

void TVarMapPage::OptimizeVarMap() {
  TRICElement* m = Map();
  if (!m) return;
  {
    EditEventsPause pause(host_);
    m->Points = OptimizeVarMapPoints(m->Points);
  }
  RefreshVarMapTable();
  ApplyVarMapRows();
  host_.SelectedElementEdited("Optimize VarMap");
}

}  // namespace tavlin
