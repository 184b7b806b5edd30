// TSpritePage: the page that edits a Sprite element: its id and its picture.
#pragma once

#include <QWidget>

#include "RICElement.h"

class QLabel;
class QSpinBox;

namespace tavlin {

class TForm_Tavlin;

class TSpritePage : public QWidget {
  Q_OBJECT
 public:
  TSpritePage(TForm_Tavlin& window, QWidget* parent);
  // Shows the sprite; the window's EditEventsEnabled is false meanwhile.
  void ShowSprite(TRICElement& e);
  // The invisible picture the sprite view takes its marking colours from.
  void PaintMarkImage();

  QSpinBox* SpinEdit_Sprite_ID = nullptr;
  QLabel* Image_Mark = nullptr;

 private:
  void SpinEdit_Sprite_IDChange();

  TForm_Tavlin& window_;
};

}  // namespace tavlin
