// TCopyBitsPage: the page that edits a CopyBits element. Its eight argument
// controls write the whole element on every change.
#pragma once

#include <QWidget>

#include "RICElement.h"

namespace tavlin {

class TForm_Tavlin;
class TRICParameterEdit;

class TCopyBitsPage : public QWidget {
  Q_OBJECT
 public:
  TCopyBitsPage(TForm_Tavlin& window, QWidget* parent);
  // Fills the controls from the element; the window's EditEventsEnabled is
  // false meanwhile, so filling writes nothing back.
  void ShowCopyBits(const TRICElement& e);

  TRICParameterEdit* RICParameterEdit_CopyBits_CopyOpt = nullptr;
  TRICParameterEdit* RICParameterEdit_CopyBits_SpriteID = nullptr;
  TRICParameterEdit* RICParameterEdit_CopyBits_PosX = nullptr;
  TRICParameterEdit* RICParameterEdit_CopyBits_PosY = nullptr;
  TRICParameterEdit* RICParameterEdit_CopyBits_Width = nullptr;
  TRICParameterEdit* RICParameterEdit_CopyBits_Height = nullptr;
  TRICParameterEdit* RICParameterEdit_CopyBits_RelX = nullptr;
  TRICParameterEdit* RICParameterEdit_CopyBits_RelY = nullptr;

 private:
  void RICParameterEdit_CopyBits_Change();

  TForm_Tavlin& window_;
};

}  // namespace tavlin
