// TShapePage: the page of a kind that holds its fields only and is placed
// with the mouse (Pixel, Line, Rectangle, Circle, Ellipse, NumBox), built
// from the kind's rows: the element drawn alone on an enlarged NXT screen
// and one argument control per field ("RICParameterEdit_Line_X1"), the copy
// options with their named choices. A press and a drag on the screen place
// the element as its row says, as one step of the document's history.
#pragma once

#include <QPoint>
#include <QWidget>
#include <functional>
#include <vector>

#include "RICElement.h"

namespace tavlin {

struct EditorKindRow;
class TEditorHost;
class TNxtImage;
class TRICParameterEdit;
class TScreenLayout;

class TShapePage : public QWidget {
  Q_OBJECT
 public:
  // `redrawImage` asks the window to redraw the page's screen once the event
  // loop's pass is done.
  TShapePage(TEditorHost& host, RICElementKind kind, std::function<void()> redrawImage,
             QWidget* parent);
  RICElementKind Kind() const { return kind_; }
  TNxtImage* Image() const { return image_; }
  TScreenLayout* Screen() const { return screen_; }
  // Fills the controls from the element; writes nothing back.
  void ShowShape(const TRICElement& e);

 private:
  // The selected element when it is of this page's kind, else null.
  TRICElement* Shape() const;
  void FieldChange(const QString& caption);
  void ImageMouse(int mx, int my, bool press, Qt::MouseButtons buttons);
  // Sets a field's control to a constant.
  void SetField(const char* name, int value);
  int FieldValue(const char* name) const;
  // Copies the controls into the element.
  void WriteFields();

  TEditorHost& host_;
  RICElementKind kind_;
  const EditorKindRow& row_;
  std::function<void()> redrawImage_;
  TNxtImage* image_ = nullptr;
  TScreenLayout* screen_ = nullptr;
  std::vector<TRICParameterEdit*> edits_;  // in the order of the kind's fields
  QPoint anchor_{0, 0};                    // where a corner drag started
  // Set while a placement sets several controls: it writes the element once.
  bool placing_ = false;
};

}  // namespace tavlin
