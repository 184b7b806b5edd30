// TEditorHost: what an element page may ask of the window that holds it. The
// pages edit the selected element in place and then say so through
// SelectedElementEdited, which records the change as one step of the
// document's history and refreshes the views.
#pragma once

#include <string>

class QAction;
class QMenu;

namespace tavlin {

class NXTDisplay;
class RICDocument;
struct TRICElement;
class UserDialogs;

class TEditorHost {
 public:
  virtual ~TEditorHost() = default;

  // The questions, notices and file dialogs.
  virtual UserDialogs& Dialogs() = 0;
  // The document the page edits: its elements, preview parameters and
  // placeholder sprite.
  virtual RICDocument& Document() = 0;

  // The element being edited (null without one) and its index in the list.
  virtual TRICElement* SelectedElement() const = 0;
  virtual int SelectedIndex() const = 0;

  // The selected element was changed by the page: one step named `name`
  // ("Change Pos X"). Consecutive edits with the same non-empty mergeKey
  // become one step; an edit that changed nothing records none.
  virtual void SelectedElementEdited(const std::string& name, const std::string& mergeKey = {}) = 0;
  // The next edit starts a step of its own, whatever its merge key.
  virtual void SealEditStep() = 0;
  // Takes back the last step of the document, whatever it was.
  virtual void UndoStep() = 0;

  virtual void ShowPointerPosition(int x, int y) = 0;
  // Shows the document's counts at once; the selected element's row and the
  // document's output are redrawn once the event loop's pass is done.
  virtual void RefreshSelectedRow() = 0;

  // False while the window fills a page from an element: the page's change
  // handlers must not write the element back then.
  virtual bool EditEventsEnabled() const = 0;
  virtual void SetEditEventsEnabled(bool enabled) = 0;

  // The window's menus a page adds entries to, and its Undo command.
  virtual QMenu* ViewMenu() const = 0;
  virtual QMenu* SpriteMenu() const = 0;
  virtual QMenu* VarMapMenu() const = 0;
  virtual QAction* UndoAction() const = 0;

  // In a brick display mode: draws the selected element with the sprites and
  // VarMaps before it as the chosen firmware would, and says so. False in the
  // editor's own preview, where the page draws it itself.
  virtual bool RenderSelectedOnBrick(NXTDisplay& /*screen*/) { return false; }

  // The display mode's caption when it draws no copy options (the editor's
  // own preview, the LEGO firmware), empty when it draws them; and the switch
  // to a mode that does, with that mode's caption.
  virtual std::string ModeIgnoringCopyOptions() const { return {}; }
  virtual std::string CopyOptionsModeName() const { return {}; }
  virtual void ShowCopyOptionsDrawn() {}
};

// Turns edit events off for its scope and restores what they were.
class EditEventsPause {
 public:
  explicit EditEventsPause(TEditorHost& host) : host_(host), was_(host.EditEventsEnabled()) {
    host_.SetEditEventsEnabled(false);
  }
  ~EditEventsPause() { host_.SetEditEventsEnabled(was_); }
  EditEventsPause(const EditEventsPause&) = delete;
  EditEventsPause& operator=(const EditEventsPause&) = delete;

 private:
  TEditorHost& host_;
  bool was_;
};

}  // namespace tavlin
