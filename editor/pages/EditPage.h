// Helpers shared by the element pages: the green header band, the argument
// controls and the enlarged NXT screen with its axis labels.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <utility>

class QLabel;
class QWidget;

namespace tavlin {

class TNxtImage;
class TRICParameterEdit;

// The 657 x 25 light green band with the page's bold caption.
void AddPageHeader(QWidget* page, const QString& header);
// A 191 x 28 argument control with its caption and constant range.
TRICParameterEdit* NewArgumentEdit(QWidget* page, const char* name, const QString& caption,
                                   int left, int top, int maxValue, int minValue = 0);
// The shape and preview pages' screens at the default window size.
constexpr int kDefaultScreenZoom = 6;
// The zoom of an enlarged NXT screen: 100 z + 2 by 64 z + 2 pixels.
constexpr int ScreenWidth(int zoom) { return 100 * zoom + 2; }
constexpr int ScreenHeight(int zoom) { return 64 * zoom + 2; }

// The enlarged NXT screen of a page, with its axis labels "0".."90" above and
// "0".."60" beside it, and the controls under it, which keep their distance
// to its bottom edge when the screen grows or shrinks by a zoom step.
class TScreenLayout : public QObject {
 public:
  // `image` is at its place for `zoom`; the labels are made here.
  TScreenLayout(QWidget* page, TNxtImage* image, int zoom);
  // A control under the screen, at its place for the current zoom.
  void AddBelow(QWidget* control);
  int Zoom() const { return zoom_; }
  // Resizes the screen to the zoom and moves its labels and the controls.
  void SetZoom(int zoom);

 private:
  void PlaceLabels();
  TNxtImage* image_;
  int zoom_;
  QList<QLabel*> xLabels_, yLabels_;
  QList<std::pair<QWidget*, int>> below_;  // with their tops at zoom 0
};

}  // namespace tavlin
