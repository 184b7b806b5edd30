// Named choices for a CopyOpt word, beside the argument control that edits it:
// pixel mode and fill for shapes, logic, invert and solid for bitmaps, and
// polyline for polygons. A choice writes the control's word (other bits kept),
// so the page stores it as it stores any edit of the control. While the word
// is a parameter reference the choices are disabled and show nothing.
//
// To give a page's CopyOpt control its choices, once after creating it:
//   AttachCopyOptionChoices(edit, CopyOptionFamily::Shapes, &host);
// The choices follow the control when it moves. With a host, each choice
// starts an undo step of its own.
#pragma once

#include <QWidget>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace tavlin {

class TEditorHost;
class TRICParameterEdit;

enum class CopyOptionFamily {
  Shapes,   // pixel, line, rectangle, circle, ellipse
  Bitmaps,  // CopyBits, number box
  Polygon,  // the shapes' choices and polyline
};

class TCopyOptionChoices : public QWidget {
  Q_OBJECT
 public:
  TCopyOptionChoices(TRICParameterEdit* edit, CopyOptionFamily family, TEditorHost* host);

  // The parts, found by these object names too.
  QComboBox* ModeChoice =
      nullptr;  // shapes: black / white / invert; bitmaps: copy / AND / OR / XOR
  QCheckBox* FillChoice = nullptr;      // shapes: fill; bitmaps: solid
  QCheckBox* InvertChoice = nullptr;    // bitmaps only
  QCheckBox* PolylineChoice = nullptr;  // polygons only
  // Under the choices, while the display mode ignores the chosen options:
  // what it draws instead, and the switch to a mode that draws them.
  QLabel* IgnoredHint = nullptr;
  QPushButton* ShowDrawnButton = nullptr;

  // Shows the control's present word.
  void ShowWord();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Writes the word with `mask`'s bits replaced by `bits`.
  void Choose(std::uint16_t mask, std::uint16_t bits);
  void Follow();  // beside the control, at its height
  void ShowIgnoredHint(std::uint16_t word);

  TRICParameterEdit* edit_;
  CopyOptionFamily family_;
  TEditorHost* host_;
  bool showing_ = false;
};

// Makes the choices beside `edit` (as its sibling) and returns them; a control
// that has them already keeps the ones it has.
TCopyOptionChoices* AttachCopyOptionChoices(TRICParameterEdit* edit, CopyOptionFamily family,
                                            TEditorHost* host = nullptr);

}  // namespace tavlin
