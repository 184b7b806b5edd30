// TPolygonPage: the page that edits a Polygon element. The polygon drawn
// alone on an enlarged NXT screen with its points marked, its copy options
// with their named choices, and a table of its points, four rows at a time,
// each coordinate an argument control. On the screen a click adds a point after the selected one,
// dragging a point moves it and a right click removes it; the buttons add a
// point after the selected one or remove it. Every change is one step of the
// document's history; a drag is one step.
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "RICElement.h"

class QLabel;
class QPushButton;
class QScrollBar;
class QToolButton;

namespace tavlin {

class TEditorHost;
class TNxtImage;
class TRICParameterEdit;
class TScreenLayout;

class TPolygonPage : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kRows = 4;
  // The brick skips a polygon with room for fewer points; Remove keeps them.
  static constexpr int kMinPoints = 3;
  // The most points whose record size still fits the size word.
  static constexpr int kMaxPoints = (65535 - 6) / 4;

  // `redrawImage` asks the window to redraw the page's screen once the event
  // loop's pass is done; the window then calls MarkPoints.
  TPolygonPage(TEditorHost& host, std::function<void()> redrawImage, QWidget* parent);
  // Fills the page from the element; the window's edit events are off
  // meanwhile, so filling writes nothing back. The selected point stays
  // while the same polygon is shown again.
  void ShowPolygon(const TRICElement& e);
  // Marks the points on the screen the window has just drawn.
  void MarkPoints();
  TScreenLayout* Screen() const { return screen_; }
  // The selected point's index, -1 without one.
  int SelectedPoint() const { return selected_; }

  // Operations on the selected polygon (nothing without one). Inserting and
  // removing record a step each; the count the brick uses becomes the
  // number of points.
  void InsertPointAfter(int index, PolygonPoint point, const std::string& mergeKey = {});
  void RemovePoint(int index);
  void SelectPoint(int index);

  TNxtImage* Image_Polygon = nullptr;
  TRICParameterEdit* RICParameterEdit_Polygon_CopyOpt = nullptr;
  QPushButton* Button_Polygon_AddPoint = nullptr;
  QPushButton* Button_Polygon_RemovePoint = nullptr;
  QLabel* Label_Polygon_Count = nullptr;
  std::array<QToolButton*, kRows> Button_Polygon_Row{};  // the point's number; selects it
  std::array<TRICParameterEdit*, kRows> RICParameterEdit_Polygon_X{};
  std::array<TRICParameterEdit*, kRows> RICParameterEdit_Polygon_Y{};
  QScrollBar* ScrollBar_Polygon = nullptr;

 private:
  void BuildTable();
  // The selected element when it is a Polygon, else null.
  TRICElement* Polygon() const;
  // Shows the rows from the scroll bar's place, the count and the buttons' states.
  void FillTable();
  // Scrolls so that the point's row is shown.
  void ShowRowOf(int index);
  // The element's points changed in place: the table, the screen and one step.
  void PointsEdited(const std::string& name, const std::string& mergeKey);
  void CopyOptChange();
  void RowChange(int row, bool x);
  void AddPointClick();
  void ImageMouse(int mx, int my, Qt::MouseButtons buttons, bool press);
  // The point drawn under NXT point (x, y) (within one pixel), -1 for none.
  int PointAt(int x, int y) const;

  TEditorHost& host_;
  std::function<void()> redrawImage_;
  TScreenLayout* screen_ = nullptr;
  const TRICElement* shown_ = nullptr;  // the polygon the page was last filled from
  int selected_ = -1;
  int dragged_ = -1;      // the point a press on the screen took, -1 for none
  std::string dragStep_;  // the merge key of the step the drag belongs to
};

}  // namespace tavlin
