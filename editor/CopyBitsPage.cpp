#include "CopyBitsPage.h"

#include "EditPage.h"
#include "RICParameterEdit.h"
#include "Tavlin_main.h"

namespace tavlin {

TCopyBitsPage::TCopyBitsPage(TForm_Tavlin& window, QWidget* parent)
    : QWidget(parent), window_(window) {
  setObjectName("TabSheet_Edit_CopyBits");
  AddPageHeader(this, "CopyBits");
  RICParameterEdit_CopyBits_CopyOpt =
      NewArgumentEdit(this, "RICParameterEdit_CopyBits_CopyOpt", "  Copy Opt", 4, 36, 4095);
  RICParameterEdit_CopyBits_SpriteID =
      NewArgumentEdit(this, "RICParameterEdit_CopyBits_SpriteID", "  Sprite ID", 4, 68, 10, 1);
  RICParameterEdit_CopyBits_PosX =
      NewArgumentEdit(this, "RICParameterEdit_CopyBits_PosX", "  Pos X", 4, 160, 4095);
  RICParameterEdit_CopyBits_PosY =
      NewArgumentEdit(this, "RICParameterEdit_CopyBits_PosY", "  Pos Y", 4, 188, 4095);
  RICParameterEdit_CopyBits_Width =
      NewArgumentEdit(this, "RICParameterEdit_CopyBits_Width", "  Width", 4, 248, 4095);
  RICParameterEdit_CopyBits_Height =
      NewArgumentEdit(this, "RICParameterEdit_CopyBits_Height", "  Height", 4, 276, 4095);
  RICParameterEdit_CopyBits_RelX =
      NewArgumentEdit(this, "RICParameterEdit_CopyBits_RelX", "  Rel X", 8, 516, 4095);
  RICParameterEdit_CopyBits_RelY =
      NewArgumentEdit(this, "RICParameterEdit_CopyBits_RelY", "  Rel Y", 8, 544, 4095);
  for (TRICParameterEdit* edit :
       {RICParameterEdit_CopyBits_CopyOpt, RICParameterEdit_CopyBits_SpriteID,
        RICParameterEdit_CopyBits_PosX, RICParameterEdit_CopyBits_PosY,
        RICParameterEdit_CopyBits_Width, RICParameterEdit_CopyBits_Height,
        RICParameterEdit_CopyBits_RelX, RICParameterEdit_CopyBits_RelY})
    connect(edit, &TRICParameterEdit::OnChange, this, [this] { RICParameterEdit_CopyBits_Change(); });
}

void TCopyBitsPage::ShowCopyBits(const TRICElement& e) {
  RICParameterEdit_CopyBits_CopyOpt->setValue(e.CopyOpt);
  RICParameterEdit_CopyBits_SpriteID->setValue(e.SpriteID);
  RICParameterEdit_CopyBits_PosX->setValue(e.PosX);
  RICParameterEdit_CopyBits_PosY->setValue(e.PosY);
  RICParameterEdit_CopyBits_Width->setValue(e.Width);
  RICParameterEdit_CopyBits_Height->setValue(e.Height);
  RICParameterEdit_CopyBits_RelX->setValue(e.RelX);
  RICParameterEdit_CopyBits_RelY->setValue(e.RelY);
}

void TCopyBitsPage::RICParameterEdit_CopyBits_Change() {
  TRICElement* e = window_.SelectedElement;
  if (!window_.EditEventsEnabled || !e || e->Kind != RICElementKind::CopyBits) return;
  e->CopyOpt = RICParameterEdit_CopyBits_CopyOpt->Value();
  e->SpriteID = RICParameterEdit_CopyBits_SpriteID->Value();
  e->PosX = RICParameterEdit_CopyBits_PosX->Value();
  e->PosY = RICParameterEdit_CopyBits_PosY->Value();
  e->Width = RICParameterEdit_CopyBits_Width->Value();
  e->Height = RICParameterEdit_CopyBits_Height->Value();
  e->RelX = RICParameterEdit_CopyBits_RelX->Value();
  e->RelY = RICParameterEdit_CopyBits_RelY->Value();
  window_.RefreshSelectedRow();
  window_.MarkModified();
}

}  // namespace tavlin
