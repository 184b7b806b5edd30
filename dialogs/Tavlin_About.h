// TForm_Tavlin_Info: the About box. It shows the program's name, version and
// picture, and closes with its "Close" button.
#pragma once

#include <QDialog>

#include "Version.h"

class QLabel;
class QPushButton;

namespace tavlin {

inline constexpr const char* kProgramName = "Tavlin";

class TForm_Tavlin_Info : public QDialog {
  Q_OBJECT

 public:
  explicit TForm_Tavlin_Info(QWidget* parent = nullptr);

  QLabel* Image_Picture;
  QLabel* Label_Name;
  QLabel* Label_Version;
  QLabel* Label_Description;
  QLabel* Label_Authors;
  QPushButton* Button_Close;

 private slots:
  void Button_CloseClick();
};

}  // namespace tavlin
