// TCopyBitsPage: the page that edits a CopyBits element. Its eight argument
// controls write the whole element on every change. Beside them, an enlarged
// and scrollable view of the sprite shows the source block (which the mouse
// can mark), and an enlarged NXT screen shows the block at its destination
// (where the mouse can place it).
#pragma once

#include <QPoint>
#include <QStringList>
#include <QWidget>
#include <array>
#include <string>
#include <utility>

#include "RICElement.h"

class QLabel;
class QPushButton;
class QScrollBar;

namespace tavlin {

class TEditorHost;
class TNxtImage;
class TRICParameterEdit;

// Makes a sprite a notice in place of a picture: the title in blue above a
// line, then the lines in black, in the 100 x 64 field at the canvas's
// bottom-left (its used area), in a font small enough for each to fit.
void PaintSpriteNotice(TRICElement& sprite, const QString& title, const QStringList& lines,
                       const QColor& face);

class TCopyBitsPage : public QWidget {
  Q_OBJECT
 public:
  // Size of both enlarged views at the default window size: 4 x 4 image
  // pixels per NXT or sprite pixel, with a one-pixel frame and grid. A larger
  // or smaller page shows them at another whole zoom.
  static constexpr int kViewWidth = 403;
  static constexpr int kViewHeight = 259;
  static constexpr int kDefaultZoom = 4;

  TCopyBitsPage(TEditorHost& host, QWidget* parent);
  // Fills the controls from the element, then the scroll ranges and the
  // views. The window's edit events are off meanwhile, so filling
  // writes nothing back.
  void ShowCopyBits(const TRICElement& e);
  // Sizes the views for the page area, with the largest zoom that fits.
  void ArrangeViews(QSize page);
  static int ViewZoomFor(QSize page);
  int ViewZoom() const { return zoom_; }

  // Sets the scroll bars for the sprite shown and redraws the views.
  void UpdateCopyBitsScrollRanges();
  // Redraws the source view, its axis numbers and the destination view from
  // the controls' current words.
  void DrawCopyBitsViews();
  // "Adapt parameters to sprite": the block becomes the sprite's whole used
  // area, placed at the screen's origin.
  void AdaptCopyBitsToSprite();

  // The sprite the controls' SpriteID names at the selected element's place;
  // when there is none, a notice saying why: the placeholder for a sprite
  // not defined, or a notice naming the VarMap that hides the sprite.
  const TRICElement& ShownSprite();
  bool IsNotice(const TRICElement& sprite) const;
  // The NXT (or view window) point under a mouse position on either view,
  // clamped to 0..99 x 0..63.
  static QPoint CopyBitsPointFromMouse(int mouseX, int mouseY, int zoom = kDefaultZoom);
  // Where the last press on the source view marked the block's first corner.
  QPoint DragAnchor() const { return dragAnchor_; }

  TRICParameterEdit* RICParameterEdit_CopyBits_CopyOpt = nullptr;
  TRICParameterEdit* RICParameterEdit_CopyBits_SpriteID = nullptr;
  TRICParameterEdit* RICParameterEdit_CopyBits_PosX = nullptr;
  TRICParameterEdit* RICParameterEdit_CopyBits_PosY = nullptr;
  TRICParameterEdit* RICParameterEdit_CopyBits_Width = nullptr;
  TRICParameterEdit* RICParameterEdit_CopyBits_Height = nullptr;
  TRICParameterEdit* RICParameterEdit_CopyBits_RelX = nullptr;
  TRICParameterEdit* RICParameterEdit_CopyBits_RelY = nullptr;
  QPushButton* Button_CopyBits_Adapt2Sprite = nullptr;
  TNxtImage* Image_CopyBits_Source = nullptr;
  TNxtImage* Image_CopyBits_SourceX = nullptr;
  TNxtImage* Image_CopyBits_SourceY = nullptr;
  QScrollBar* ScrollBar_CopyBits_SourceX = nullptr;
  QScrollBar* ScrollBar_CopyBits_SourceY = nullptr;
  TNxtImage* Image_CopyBits_Destination = nullptr;
  std::array<QLabel*, 10> Label_CopyBits_Destination_X{};  // "0".."90"
  std::array<QLabel*, 7> Label_CopyBits_Destination_Y{};   // "0".."60"

 private:
  // `field` names the control edited; edits of one field merge into one step.
  void RICParameterEdit_CopyBits_Change(const QString& field);
  void Image_CopyBits_SourceMouse(int mx, int my, bool press, Qt::MouseButtons buttons);
  void Image_CopyBits_DestinationMouse(int mx, int my, bool press, Qt::MouseButtons buttons);
  // Writes constants into the controls as one edit: the element is written
  // by every control's change, the views and the list are redrawn once, and
  // the change is one step named `name` (merged with the last one of the same
  // mergeKey).
  void SetConstants(std::initializer_list<std::pair<TRICParameterEdit*, int>> values,
                    const std::string& name, const std::string& mergeKey = {});
  bool EditingCopyBits() const;
  // The sprite point under the mouse on the source view.
  QPoint SourcePointFromMouse(int mx, int my) const;
  int WordValue(const TRICParameterEdit* edit) const;

  // Places the views, their numbers, bars and labels for the zoom.
  void PlaceViews();

  TEditorHost& host_;
  int zoom_ = kDefaultZoom;
  QPoint dragAnchor_{0, 0};
  // Set while SetConstants writes several controls.
  bool batch_ = false;
  bool batchChanged_ = false;
  // The used-area size the scroll ranges were made for (-1: none yet).
  int rangesWidth_ = -1;
  int rangesHeight_ = -1;
  // The notice for a sprite hidden by a later VarMap of the same id, and the
  // sprite id and VarMap step it was painted for.
  TRICElement HiddenNotice_;
  std::pair<int, int> HiddenNoticeFor_{-1, -1};
  QString NoticeText_;  // what the source view's notice says, in a sentence
};

}  // namespace tavlin
