// TVarMapPage: the page that shows a VarMap element: its id and its points.
#pragma once

#include <QWidget>

#include "RICElement.h"

class QLabel;
class QSpinBox;

namespace tavlin {

class TForm_Tavlin;

class TVarMapPage : public QWidget {
  Q_OBJECT
 public:
  TVarMapPage(TForm_Tavlin& window, QWidget* parent);
  // Fills the page from the element; the window's EditEventsEnabled is false meanwhile.
  void ShowVarMapPage(const TRICElement& e);

  QSpinBox* SpinEdit_VarMap_ID = nullptr;
  QLabel* Label_VarMap_Points = nullptr;

 private:
  TForm_Tavlin& window_;
};

}  // namespace tavlin
