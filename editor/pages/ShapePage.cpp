#include "ShapePage.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "CopyOptionChoices.h"
#include "DisplayAdapter.h"
#include "EditPage.h"
#include "EditorHost.h"
#include "EditorKinds.h"
#include "ElementKinds.h"
#include "NxtImage.h"
#include "RICParameterEdit.h"

namespace tavlin {

namespace {
constexpr int kArgumentTops[5] = {468, 500, 528, 560, 588};

CopyOptionFamily FamilyOf(CopyOptionSet set) {
  return set == CopyOptionSet::Bitmaps   ? CopyOptionFamily::Bitmaps
         : set == CopyOptionSet::Polygon ? CopyOptionFamily::Polygon
                                         : CopyOptionFamily::Shapes;
}
}  // namespace

TShapePage::TShapePage(TEditorHost& host, RICElementKind kind, std::function<void()> redrawImage,
                       QWidget* parent)
    : QWidget(parent),
      host_(host),
      kind_(kind),
      row_(EditorKind(kind)),
      redrawImage_(std::move(redrawImage)) {
  const char* name = KindName(kind);
  setObjectName(QString("TabSheet_Edit_") + name);
  AddPageHeader(this, name);
  image_ = new TNxtImage(this, ScreenWidth(kDefaultScreenZoom), ScreenHeight(kDefaultScreenZoom));
  image_->setObjectName(QString("Image_") + name);
  image_->move(32, 52);
  screen_ = new TScreenLayout(this, image_, kDefaultScreenZoom);
  const auto fields = KindRow(kind).Fields;
  Q_ASSERT(fields.size() == row_.Fields.size() && fields.size() <= std::size(kArgumentTops));
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const FieldView& view = row_.Fields[i];
    const QByteArray editName = QByteArray("RICParameterEdit_") + name + "_" + fields[i].Name;
    TRICParameterEdit* edit =
        NewArgumentEdit(this, editName.constData(), QString("  ") + view.Caption, 8,
                        kArgumentTops[i], view.MaxValue);
    screen_->AddBelow(edit);
    connect(edit, &TRICParameterEdit::OnChange, this,
            [this, caption = QString(view.Caption)] { FieldChange(caption); });
    if (std::strcmp(fields[i].Name, "CopyOpt") == 0)
      AttachCopyOptionChoices(edit, FamilyOf(KindRow(kind).CopyOptions), &host_);
    edits_.push_back(edit);
  }
  connect(image_, &TNxtImage::MousePressed, this,
          [this](int x, int y, Qt::MouseButton) { ImageMouse(x, y, true, {}); });
  connect(image_, &TNxtImage::MouseMoved, this,
          [this](int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers) {
            ImageMouse(x, y, false, buttons);
          });
}

TRICElement* TShapePage::Shape() const {
  TRICElement* e = host_.SelectedElement();
  return e && e->Kind == kind_ ? e : nullptr;
}

void TShapePage::ShowShape(const TRICElement& e) {
  EditEventsPause pause(host_);
  const auto fields = KindRow(kind_).Fields;
  for (std::size_t i = 0; i < fields.size(); ++i) edits_[i]->setValue(e.*fields[i].Member);
}

void TShapePage::WriteFields() {
  TRICElement& e = *Shape();
  const auto fields = KindRow(kind_).Fields;
  for (std::size_t i = 0; i < fields.size(); ++i) e.*fields[i].Member = edits_[i]->Value();
  redrawImage_();
}

void TShapePage::FieldChange(const QString& caption) {
  // A placement writes the element itself once all its fields are set.
  if (!host_.EditEventsEnabled() || placing_ || !Shape()) return;
  WriteFields();
  host_.SelectedElementEdited("Change " + caption.toStdString(), caption.toStdString());
}

void TShapePage::SetField(const char* name, int value) {
  const auto fields = KindRow(kind_).Fields;
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (std::strcmp(fields[i].Name, name) == 0)
      edits_[i]->setValue(EncodeConstant(unsigned(value)));
}

int TShapePage::FieldValue(const char* name) const {
  const auto fields = KindRow(kind_).Fields;
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (std::strcmp(fields[i].Name, name) == 0) return edits_[i]->Value();
  return 0;
}

void TShapePage::ImageMouse(int mx, int my, bool press, Qt::MouseButtons buttons) {
  const QPoint p = NxtPointFromMouse(image_->width(), image_->height(), mx, my);
  const int x = p.x(), y = p.y();
  const bool drag = !press && (buttons & Qt::LeftButton);
  if (row_.ShowsHover || press || drag) host_.ShowPointerPosition(x, y);
  if ((!press && !drag) || !Shape()) return;
  // A press starts a placement of its own; the drag that follows belongs to it.
  if (press) host_.SealEditStep();
  placing_ = true;
  switch (row_.Placing) {
    case Placement::None:
      break;
    case Placement::Point:
      SetField("PosX", x);
      SetField("PosY", y);
      break;
    case Placement::Ends:
      SetField(press ? "X1" : "X2", x);
      SetField(press ? "Y1" : "Y2", y);
      break;
    case Placement::Corners:
      if (press) anchor_ = QPoint(x, y);
      SetField("PosX", std::min(anchor_.x(), x));
      SetField("PosY", std::min(anchor_.y(), y));
      if (!press) {
        SetField("Width", std::abs(anchor_.x() - x));
        SetField("Height", std::abs(anchor_.y() - y));
      }
      break;
    case Placement::Radius:
    case Placement::Radii:
      if (press) {
        SetField("PosX", x);
        SetField("PosY", y);
        break;
      }
      {
        const int dx = std::abs(x - FieldValue("PosX")), dy = std::abs(y - FieldValue("PosY"));
        if (row_.Placing == Placement::Radius) {
          SetField("Radius", std::max(dx, dy));
        } else {
          SetField("RadiusX", dx);
          SetField("RadiusY", dy);
        }
      }
      break;
  }
  placing_ = false;
  WriteFields();
  host_.SelectedElementEdited(std::string("Place ") + KindName(kind_), "place");
}

}  // namespace tavlin
