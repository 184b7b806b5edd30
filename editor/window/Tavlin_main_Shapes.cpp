// The element pages: Information (Description), the six shape pages with
// their enlarged screens and mouse placement; the Polygon page's screen is
// drawn here too.
#include <QLabel>
#include <QSpinBox>
#include <QStackedWidget>
#include <cstdlib>
#include <string_view>

#include "ArgumentFields.h"
#include "CopyOptionChoices.h"
#include "DisplayAdapter.h"
#include "Document.h"
#include "DrawGrid.h"
#include "EditPage.h"
#include "NxtImage.h"
#include "PolygonPage.h"
#include "RICParameterEdit.h"
#include "Tavlin_main.h"

namespace tavlin {

namespace {
constexpr int kArgumentTops[5] = {468, 500, 528, 560, 588};

// "RICParameterEdit_Line_X1": the edit of an argument field on its shape page.
QByteArray FieldEditName(RICElementKind kind, const ArgumentField& field) {
  return QByteArray("RICParameterEdit_") + KindName(kind) + "_" + field.Name;
}

TRICParameterEdit* FieldEdit(QWidget* pages, RICElementKind kind, const ArgumentField& field) {
  return pages->findChild<TRICParameterEdit*>(QString::fromLatin1(FieldEditName(kind, field)));
}

// The page of the stack that holds this widget.
QWidget* PageOf(QStackedWidget* pages, QWidget* widget) {
  while (widget && widget->parentWidget() != pages) widget = widget->parentWidget();
  return widget;
}
}  // namespace

TNxtImage* TForm_Tavlin::NewScreenImage(QWidget* page, const char* name) {
  auto* image =
      new TNxtImage(page, ScreenWidth(kDefaultScreenZoom), ScreenHeight(kDefaultScreenZoom));
  image->setObjectName(name);
  image->move(32, 52);
  screens_.append(new TScreenLayout(page, image, kDefaultScreenZoom));
  return image;
}

void TForm_Tavlin::BuildShapePages() {
  struct Field {
    TRICParameterEdit** member;
    const char* name;
    const char* caption;
    int maxValue;
  };
  struct Page {
    RICElementKind kind;
    QWidget** page;
    const char* pageName;
    const char* header;
    TNxtImage** image;
    const char* imageName;
    std::vector<Field> fields;
  };
  const Page pages[] = {
      {RICElementKind::Pixel,
       &TabSheet_Edit_Pixel,
       "TabSheet_Edit_Pixel",
       "Pixel",
       &Image_Pixel,
       "Image_Pixel",
       {{&RICParameterEdit_Pixel_CopyOpt, "RICParameterEdit_Pixel_CopyOpt", "  Copy Opt", 4095},
        {&RICParameterEdit_Pixel_PosX, "RICParameterEdit_Pixel_PosX", "  Pos X", 4095},
        {&RICParameterEdit_Pixel_PosY, "RICParameterEdit_Pixel_PosY", "  Pos Y", 4095}}},
      {RICElementKind::Line,
       &TabSheet_Edit_Line,
       "TabSheet_Edit_Line",
       "Line",
       &Image_Line,
       "Image_Line",
       {{&RICParameterEdit_Line_CopyOpt, "RICParameterEdit_Line_CopyOpt", "  Copy Opt", 4095},
        {&RICParameterEdit_Line_X1, "RICParameterEdit_Line_X1", "  Start X", 4095},
        {&RICParameterEdit_Line_Y1, "RICParameterEdit_Line_Y1", "  Start Y", 4095},
        {&RICParameterEdit_Line_X2, "RICParameterEdit_Line_X2", "  End X", 4095},
        {&RICParameterEdit_Line_Y2, "RICParameterEdit_Line_Y2", "  End Y", 4095}}},
      {RICElementKind::Rectangle,
       &TabSheet_Edit_Rectangle,
       "TabSheet_Edit_Rectangle",
       "Rectangle",
       &Image_Rectangle,
       "Image_Rectangle",
       {{&RICParameterEdit_Rectangle_CopyOpt, "RICParameterEdit_Rectangle_CopyOpt", "  Copy Opt",
         4095},
        {&RICParameterEdit_Rectangle_PosX, "RICParameterEdit_Rectangle_PosX", "  Pos X", 99},
        {&RICParameterEdit_Rectangle_PosY, "RICParameterEdit_Rectangle_PosY", "  Pos Y", 63},
        {&RICParameterEdit_Rectangle_Width, "RICParameterEdit_Rectangle_Width", "  Width", 100},
        {&RICParameterEdit_Rectangle_Height, "RICParameterEdit_Rectangle_Height", "  Height", 64}}},
      {RICElementKind::Circle,
       &TabSheet_Edit_Circle,
       "TabSheet_Edit_Circle",
       "Circle",
       &Image_Circle,
       "Image_Circle",
       {{&RICParameterEdit_Circle_CopyOpt, "RICParameterEdit_Circle_CopyOpt", "  Copy Opt", 4095},
        {&RICParameterEdit_Circle_PosX, "RICParameterEdit_Circle_PosX", "  Pos X", 4095},
        {&RICParameterEdit_Circle_PosY, "RICParameterEdit_Circle_PosY", "  Pos Y", 4095},
        {&RICParameterEdit_Circle_Radius, "RICParameterEdit_Circle_Radius", "  Radius", 4095}}},
      {RICElementKind::Ellipse,
       &TabSheet_Edit_Ellipse,
       "TabSheet_Edit_Ellipse",
       "Ellipse",
       &Image_Ellipse,
       "Image_Ellipse",
       {{&RICParameterEdit_Ellipse_CopyOpt, "RICParameterEdit_Ellipse_CopyOpt", "  Copy Opt", 4095},
        {&RICParameterEdit_Ellipse_PosX, "RICParameterEdit_Ellipse_PosX", "  Pos X", 4095},
        {&RICParameterEdit_Ellipse_PosY, "RICParameterEdit_Ellipse_PosY", "  Pos Y", 4095},
        {&RICParameterEdit_Ellipse_RadiusX, "RICParameterEdit_Ellipse_RadiusX", "  Radius X", 4095},
        {&RICParameterEdit_Ellipse_RadiusY, "RICParameterEdit_Ellipse_RadiusY", "  Radius Y",
         4095}}},
      {RICElementKind::NumBox,
       &TabSheet_Edit_NumBox,
       "TabSheet_Edit_NumBox",
       "NumBox",
       &Image_NumBox,
       "Image_NumBox",
       {{&RICParameterEdit_NumBox_CopyOpt, "RICParameterEdit_NumBox_CopyOpt", "  Copy Opt", 4095},
        {&RICParameterEdit_NumBox_PosX, "RICParameterEdit_NumBox_PosX", "  Pos X", 4095},
        {&RICParameterEdit_NumBox_PosY, "RICParameterEdit_NumBox_PosY", "  Pos Y", 4095},
        {&RICParameterEdit_NumBox_Value, "RICParameterEdit_NumBox_Value", "  Value", 4095}}},
  };
  for (const Page& def : pages) {
    QWidget* page = NewEditPage(def.pageName, def.header);
    *def.page = page;
    TNxtImage* image = NewScreenImage(page, def.imageName);
    *def.image = image;
    RICElementKind kind = def.kind;
    for (std::size_t i = 0; i < def.fields.size(); ++i) {
      const Field& f = def.fields[i];
      // The edits come in the order of the kind's argument fields, named after them.
      Q_ASSERT(FieldEditName(kind, ArgumentFields(kind)[i]) == f.name);
      TRICParameterEdit* edit =
          NewArgumentEdit(page, f.name, f.caption, 8, kArgumentTops[i], f.maxValue);
      *f.member = edit;
      screens_.back()->AddBelow(edit);
      connect(edit, &TRICParameterEdit::OnChange, this,
              [this, kind, field = QString(f.caption).trimmed()] { ShapePageChange(kind, field); });
      if (std::string_view(ArgumentFields(kind)[i].Name) == "CopyOpt")
        AttachCopyOptionChoices(edit,
                                kind == RICElementKind::NumBox    ? CopyOptionFamily::Bitmaps
                                : kind == RICElementKind::Polygon ? CopyOptionFamily::Polygon
                                                                  : CopyOptionFamily::Shapes,
                                this);
    }
    connect(image, &TNxtImage::MousePressed, this,
            [this, kind](int x, int y, Qt::MouseButton) { ShapeImageMouse(kind, x, y, true, {}); });
    connect(image, &TNxtImage::MouseMoved, this,
            [this, kind](int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers) {
              ShapeImageMouse(kind, x, y, false, buttons);
            });
  }
}

void TForm_Tavlin::BuildInformationPage() {
  TabSheet_Edit_Information = NewEditPage("TabSheet_Edit_Information", "Information");
  struct Field {
    THoldingSpinEdit** member;
    const char* name;
    const char* label;
    int top;
    int maxValue;
  };
  const Field fields[] = {
      {&SpinEdit_Information_Options, "SpinEdit_Information_Options", "Options", 520, 65535},
      {&SpinEdit_Information_Width, "SpinEdit_Information_Width", "Width", 572, 100},
      {&SpinEdit_Information_Height, "SpinEdit_Information_Height", "Height", 600, 64},
  };
  for (const Field& f : fields) {
    auto* label = new QLabel(f.label, TabSheet_Edit_Information);
    label->move(8, f.top + 3);
    informationControls_.append({label, label->y()});
    auto* spin = new THoldingSpinEdit(TabSheet_Edit_Information);
    spin->setObjectName(f.name);
    spin->SetLimits(0, f.maxValue);
    spin->setGeometry(64, f.top, 64, 22);
    connect(spin, &QSpinBox::valueChanged, this,
            [this, field = QString(f.label)] { SpinEdit_Information_OptionsChange(field); });
    *f.member = spin;
    informationControls_.append({spin, spin->y()});
  }
}

void TForm_Tavlin::FillShapePage(const TRICElement& e) {
  TNxtImage* image = ShapeImage(e.Kind);
  if (!image) return;
  for (const ArgumentField& field : ArgumentFields(e.Kind))
    FieldEdit(PageControl_Edit, e.Kind, field)->setValue(e.*field.Member);
  PageControl_Edit->setCurrentWidget(PageOf(PageControl_Edit, image));
}

TNxtImage* TForm_Tavlin::ShapeImage(RICElementKind kind) const {
  switch (kind) {
    case RICElementKind::Pixel:
      return Image_Pixel;
    case RICElementKind::Line:
      return Image_Line;
    case RICElementKind::Rectangle:
      return Image_Rectangle;
    case RICElementKind::Circle:
      return Image_Circle;
    case RICElementKind::Ellipse:
      return Image_Ellipse;
    case RICElementKind::Polygon:
      return TabSheet_Edit_Polygon->Image_Polygon;
    case RICElementKind::NumBox:
      return Image_NumBox;
    default:
      return nullptr;
  }
}

void TForm_Tavlin::RedrawShapeImage() {
  if (!selectedElement_) return;
  TNxtImage* image = ShapeImage(selectedElement_->Kind);
  if (!image) return;
  if (!RenderSelectedOnBrick(workDisplay_)) RenderElementAlone(workDisplay_, selectedIndex_);
  PaintDisplayInto(image);
  if (selectedElement_->Kind == RICElementKind::Polygon) TabSheet_Edit_Polygon->MarkPoints();
  PaintBrickPageNotice(image);
}

void TForm_Tavlin::WriteShapeFields(RICElementKind kind) {
  TRICElement& e = *selectedElement_;
  for (const ArgumentField& f : ArgumentFields(kind))
    e.*f.Member = FieldEdit(PageControl_Edit, kind, f)->Value();
  ScheduleRefresh(kRefreshPageImage);
}

void TForm_Tavlin::ShapePageChange(RICElementKind kind, const QString& field) {
  // A placement writes the element itself once all its fields are set.
  if (!editEventsEnabled_ || placing_ || !selectedElement_ || selectedElement_->Kind != kind)
    return;
  if (!ShapeImage(kind)) return;
  WriteShapeFields(kind);
  SelectedElementEdited("Change " + field.toStdString(), field.toStdString());
}

void TForm_Tavlin::ShapeImageMouse(RICElementKind kind, int mx, int my, bool press,
                                   Qt::MouseButtons buttons) {
  TNxtImage* image = ShapeImage(kind);
  QPoint p = NxtPointFromMouse(image->width(), image->height(), mx, my);
  int x = p.x(), y = p.y();
  bool drag = !press && (buttons & Qt::LeftButton);
  if (kind == RICElementKind::Pixel || press || drag) ShowPointerPosition(x, y);
  if (!press && !drag) return;
  if (!selectedElement_ || selectedElement_->Kind != kind) return;
  // A press starts a placement of its own; the drag that follows belongs to it.
  if (press) SealEditStep();
  placing_ = true;
  switch (kind) {
    case RICElementKind::Pixel:
      RICParameterEdit_Pixel_PosX->setValue(EncodeConstant(unsigned(x)));
      RICParameterEdit_Pixel_PosY->setValue(EncodeConstant(unsigned(y)));
      break;
    case RICElementKind::Line:
      if (press) {
        RICParameterEdit_Line_X1->setValue(EncodeConstant(unsigned(x)));
        RICParameterEdit_Line_Y1->setValue(EncodeConstant(unsigned(y)));
      } else {
        RICParameterEdit_Line_X2->setValue(EncodeConstant(unsigned(x)));
        RICParameterEdit_Line_Y2->setValue(EncodeConstant(unsigned(y)));
      }
      break;
    case RICElementKind::Rectangle:
      if (press) {
        RICParameterEdit_Rectangle_PosX->setValue(EncodeConstant(unsigned(x)));
        RICParameterEdit_Rectangle_PosY->setValue(EncodeConstant(unsigned(y)));
        shapeDragAnchor_ = QPoint(x, y);
      } else {
        RICParameterEdit_Rectangle_PosX->setValue(
            EncodeConstant(unsigned(std::min(shapeDragAnchor_.x(), x))));
        RICParameterEdit_Rectangle_PosY->setValue(
            EncodeConstant(unsigned(std::min(shapeDragAnchor_.y(), y))));
        RICParameterEdit_Rectangle_Width->setValue(
            EncodeConstant(unsigned(std::abs(shapeDragAnchor_.x() - x))));
        RICParameterEdit_Rectangle_Height->setValue(
            EncodeConstant(unsigned(std::abs(shapeDragAnchor_.y() - y))));
      }
      break;
    case RICElementKind::Circle:
      if (press) {
        RICParameterEdit_Circle_PosX->setValue(EncodeConstant(unsigned(x)));
        RICParameterEdit_Circle_PosY->setValue(EncodeConstant(unsigned(y)));
      } else {
        int cx = RICParameterEdit_Circle_PosX->Value();
        int cy = RICParameterEdit_Circle_PosY->Value();
        RICParameterEdit_Circle_Radius->setValue(
            EncodeConstant(unsigned(std::max(std::abs(x - cx), std::abs(y - cy)))));
      }
      break;
    case RICElementKind::Ellipse:
      if (press) {
        RICParameterEdit_Ellipse_PosX->setValue(EncodeConstant(unsigned(x)));
        RICParameterEdit_Ellipse_PosY->setValue(EncodeConstant(unsigned(y)));
      } else {
        RICParameterEdit_Ellipse_RadiusX->setValue(
            EncodeConstant(unsigned(std::abs(x - RICParameterEdit_Ellipse_PosX->Value()))));
        RICParameterEdit_Ellipse_RadiusY->setValue(
            EncodeConstant(unsigned(std::abs(y - RICParameterEdit_Ellipse_PosY->Value()))));
      }
      break;
    case RICElementKind::NumBox:
      RICParameterEdit_NumBox_PosX->setValue(EncodeConstant(unsigned(x)));
      RICParameterEdit_NumBox_PosY->setValue(EncodeConstant(unsigned(y)));
      break;
    default:
      break;
  }
  placing_ = false;
  WriteShapeFields(kind);
  SelectedElementEdited(std::string("Place ") + KindName(kind), "place");
}

void TForm_Tavlin::SpinEdit_Information_OptionsChange(const QString& field) {
  if (!editEventsEnabled_ || !selectedElement_ ||
      selectedElement_->Kind != RICElementKind::Description)
    return;
  // The fields the user did not edit still hold the element's own numbers.
  selectedElement_->Options = std::uint16_t(SpinEdit_Information_Options->value());
  selectedElement_->Width = std::uint16_t(SpinEdit_Information_Width->value());
  selectedElement_->Height = std::uint16_t(SpinEdit_Information_Height->value());
  SelectedElementEdited("Change " + field.toStdString(), field.toStdString());
}

}  // namespace tavlin
