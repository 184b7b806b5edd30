#include "Tavlin_About.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "TavlinPicture.h"

namespace tavlin {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return label;
}

}  // namespace

TForm_Tavlin_Info::TForm_Tavlin_Info(QWidget* parent) : QDialog(parent) {
  setObjectName("Form_Tavlin_Info");
  setWindowTitle(tr("About %1").arg(kProgramName));

  Image_Picture = new QLabel(this);
  Image_Picture->setObjectName("Image_Picture");
  Image_Picture->setPixmap(TavlinPicture(120, 156));
  Image_Picture->setFixedSize(120, 156);

  Label_Name = MakeLabel(this, "Label_Name", kProgramName);
  QFont big = Label_Name->font();
  big.setPointSizeF(big.pointSizeF() * 2);
  big.setBold(true);
  Label_Name->setFont(big);
  Label_Version = MakeLabel(this, "Label_Version", kProgramVersionText);
  Label_Description = MakeLabel(this, "Label_Description",
                                "RIC picture editor for the LEGO MINDSTORMS NXT display");
  Label_Authors = MakeLabel(this, "Label_Authors", "by the Tavlin maintainers");

  Button_Close = new QPushButton("Close", this);
  Button_Close->setObjectName("Button_Close");
  Button_Close->setDefault(true);
  connect(Button_Close, &QPushButton::clicked, this, &TForm_Tavlin_Info::Button_CloseClick);

  auto* texts = new QVBoxLayout;
  texts->addWidget(Label_Name);
  texts->addWidget(Label_Version);
  texts->addSpacing(8);
  texts->addWidget(Label_Description);
  texts->addWidget(Label_Authors);
  texts->addStretch(1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Button_Close);
  texts->addLayout(buttons);

  auto* top = new QHBoxLayout(this);
  top->setSizeConstraint(QLayout::SetFixedSize);
  top->addWidget(Image_Picture, 0, Qt::AlignTop);
  top->addSpacing(12);
  top->addLayout(texts);
}

void TForm_Tavlin_Info::Button_CloseClick() { accept(); }

}  // namespace tavlin
