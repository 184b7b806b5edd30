// The element pages: Information (Description), and the shape pages
// (TShapePage, one per kind whose editor row asks for one) whose screens,
// like the Polygon page's, are drawn here.
#include <QLabel>
#include <QSpinBox>
#include <QStackedWidget>
#include <cstdlib>
#include <string_view>

#include "CopyOptionChoices.h"
#include "DisplayAdapter.h"
#include "Document.h"
#include "DrawGrid.h"
#include "EditPage.h"
#include "EditorKinds.h"
#include "NxtImage.h"
#include "PolygonPage.h"
#include "RICParameterEdit.h"
#include "ShapePage.h"
#include "Tavlin_main.h"

namespace tavlin {

TNxtImage* TForm_Tavlin::NewScreenImage(QWidget* page, const char* name) {
  auto* image =
      new TNxtImage(page, ScreenWidth(kDefaultScreenZoom), ScreenHeight(kDefaultScreenZoom));
  image->setObjectName(name);
  image->move(32, 52);
  screens_.append(new TScreenLayout(page, image, kDefaultScreenZoom));
  return image;
}

void TForm_Tavlin::BuildShapePages() {
  for (int k = 0; k < kElementKindCount; ++k) {
    const auto kind = RICElementKind(k);
    if (EditorKind(kind).Page != PageType::Shape) continue;
    auto* page = new TShapePage(
        *this, kind, [this] { ScheduleRefresh(kRefreshPageImage); }, PageControl_Edit);
    PageControl_Edit->addWidget(page);
    screens_.append(page->Screen());
    shapePages_[std::size_t(kind)] = page;
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

TNxtImage* TForm_Tavlin::ShapeImage(RICElementKind kind) const {
  if (kind == RICElementKind::Polygon) return TabSheet_Edit_Polygon->Image_Polygon;
  const TShapePage* page = shapePages_[std::size_t(kind)];
  return page ? page->Image() : nullptr;
}

void TForm_Tavlin::RedrawShapeImage() {
  if (!selectedElement_) return;
  TNxtImage* image = ShapeImage(selectedElement_->Kind);
  if (!image) return;
  if (!RenderSelectedOnBrick(workDisplay_))
    RenderElementAlone(workDisplay_, selectedIndex_, Document());
  PaintDisplayInto(image);
  if (selectedElement_->Kind == RICElementKind::Polygon) TabSheet_Edit_Polygon->MarkPoints();
  PaintBrickPageNotice(image);
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
