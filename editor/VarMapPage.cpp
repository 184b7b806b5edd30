#include "VarMapPage.h"

#include <QLabel>
#include <QSpinBox>

#include "EditPage.h"
#include "Tavlin_main.h"

namespace tavlin {

TVarMapPage::TVarMapPage(TForm_Tavlin& window, QWidget* parent) : QWidget(parent), window_(window) {
  setObjectName("TabSheet_Edit_VarMap");
  AddPageHeader(this, "VarMap");
  auto* label = new QLabel("ID", this);
  label->move(8, 43);
  SpinEdit_VarMap_ID = new QSpinBox(this);
  SpinEdit_VarMap_ID->setObjectName("SpinEdit_VarMap_ID");
  SpinEdit_VarMap_ID->setRange(0, 65535);
  SpinEdit_VarMap_ID->setReadOnly(true);
  SpinEdit_VarMap_ID->setButtonSymbols(QAbstractSpinBox::NoButtons);
  SpinEdit_VarMap_ID->setGeometry(40, 40, 64, 22);
  auto* caption = new QLabel("Points (domain -> range)", this);
  caption->move(8, 76);
  Label_VarMap_Points = new QLabel(this);
  Label_VarMap_Points->setObjectName("Label_VarMap_Points");
  Label_VarMap_Points->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label_VarMap_Points->setGeometry(8, 96, 300, 580);
}

void TVarMapPage::ShowVarMapPage(const TRICElement& e) {
  SpinEdit_VarMap_ID->setValue(e.ID);
  QString points;
  for (const VarMapPoint& p : e.Points) points += QString("%1 -> %2\n").arg(p.Domain).arg(p.Range);
  Label_VarMap_Points->setText(points);
}

}  // namespace tavlin
