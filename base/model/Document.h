// RICDocument: the open document. It owns its picture (the ElementList), the
// parameters it is previewed with, the placeholder sprite a CopyBits without
// a sprite shows, the file's state and the undo history. Every change of the
// elements goes through it, so that each change is one named step that can
// be undone and redone.
//
// Element objects keep their identity through every step: a deleted element
// is held by its step and put back as the same object, and undoing an edit
// restores the element's fields in place. Views may therefore keep pointers
// to elements across undo and redo.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "DocumentObserver.h"
#include "ParameterSet.h"
#include "RICElement.h"

namespace tavlin {

class RICDocument {
 public:
  // The most steps kept; the oldest go first.
  static constexpr std::size_t kHistoryLimit = 500;

  RICDocument();
  RICDocument(const RICDocument&) = delete;
  RICDocument& operator=(const RICDocument&) = delete;
  ~RICDocument();

  // The elements, in drawing and file order. Change them through the steps
  // below; reading them is free.
  RICElementList& ElementList() { return list_; }
  const RICElementList& ElementList() const { return list_; }
  // The parameters the picture is previewed with; not part of the history.
  PreviewParameters& Parameters() { return parameters_; }
  const PreviewParameters& Parameters() const { return parameters_; }
  // The placeholder a CopyBits shows when no sprite before it has its id.
  TRICElement& UndefinedSprite() { return undefinedSprite_; }
  const TRICElement& UndefinedSprite() const { return undefinedSprite_; }

  // Observers learn of every change of the elements and of the history, in
  // the order they were added. The document does not own them; an observer
  // removes itself before it goes.
  void AddObserver(DocumentObserver* observer);
  void RemoveObserver(DocumentObserver* observer);
  // Asks the observers to end their unfinished work before the elements are
  // read out (saved, copied, exported). Every change does so by itself.
  void EndFloatingWork();

  // The file the document was read from or last saved to; empty for a new one.
  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string name) { fileName_ = std::move(name); }

  // True when the document differs from the state of its last save or open.
  bool Modified() const {
    return changedOutsideHistory_ || std::ptrdiff_t(position_) != savedPosition_;
  }
  // The document now matches its file.
  void MarkSaved();
  // A change that no step records (a failed import may have started one) still
  // counts as unsaved work.
  void MarkChanged();

  // Replaces the document and starts a new history (New, Open).
  void Reset(RICElementList&& list, std::string fileName);

  // Structural steps. Indexes are those of the list before the step.
  int Add(ElementPtr element, std::string name);
  void Insert(int index, ElementPtr element, std::string name);
  // Inserts a whole list at `index` (Merge appends with index = Count()).
  void InsertList(int index, RICElementList&& elements, std::string name);
  void Remove(int index, std::string name);
  // Element `a` and element `b` trade places.
  void Exchange(int a, int b, std::string name);
  // The element at `from` moves to `to`; those between shift by one.
  void Move(int from, int to, std::string name);
  // The whole document is replaced, as one step that can be undone (Import).
  void ReplaceAll(RICElementList&& list, std::string name);
  // The elements take a new order: the one at order[i] goes to place i
  // (order holds every index once). Undo shows the element now at `focus`,
  // redo shows it at its new place. A drag over the list is one such step.
  void Reorder(const std::vector<int>& order, int focus, std::string name);

  // In-place edits. The document keeps a copy of one element as it was after
  // the last step (the element being edited, normally the selected one);
  // after the page has changed it, ElementEdited records the step from that
  // copy to its present state. Consecutive edits with the same non-empty
  // mergeKey of the same element merge into one step; an edit that left the
  // element's content as it was records nothing.
  void Track(const TRICElement* element);
  const TRICElement* Tracked() const { return tracked_; }
  void ElementEdited(const TRICElement* element, std::string name, std::string mergeKey = {});
  // Ends merging: the next edit starts a step of its own.
  void SealLastStep() { mergeOpen_ = false; }

  bool CanUndo() const { return position_ > 0; }
  bool CanRedo() const { return position_ < steps_.size(); }
  // The names of the steps Undo and Redo would take ("Move Line").
  std::string UndoName() const;
  std::string RedoName() const;
  // Take back or redo one step; returns the index of the element the step
  // changed (the first of several), or -1 when it names none.
  int Undo();
  int Redo();
  std::size_t UndoCount() const { return position_; }
  std::size_t RedoCount() const { return steps_.size() - position_; }

 private:
  enum class StepType { Edit, Insert, Remove, Exchange, Move, ReplaceAll, Reorder };
  struct Step {
    std::string name;
    StepType type = StepType::Edit;
    int index = 0;                               // Edit, Insert, Remove, Exchange a, Move from
    int other = 0;                               // Exchange b, Move to, Insert count
    const TRICElement* element = nullptr;        // Edit: the edited element
    std::unique_ptr<TRICElement> before, after;  // Edit
    std::vector<ElementPtr> held;                // Insert (while undone), Remove (while done)
    RICElementList list;                         // ReplaceAll: the other document
    std::vector<int> order;                      // Reorder: index = other, focus = index
    std::string mergeKey;
  };

  // Applies a new step, records it and tells the observers.
  void Take(Step step);
  void Push(Step step);
  void NotifyEdited(const TRICElement* element);
  // Takes a step that needs no more than its two indexes, and records it.
  void Do(StepType type, std::string name, int index, int other = 0);
  void Apply(Step& step, bool forward);
  void RefreshTracked();
  // What a step did (forward) or undid, for the observers.
  DocumentChange ChangeOf(const Step& step, bool forward) const;
  void NotifyChanged(const DocumentChange& change);
  void NotifyHistory();

  RICElementList list_;
  std::vector<DocumentObserver*> observers_;
  PreviewParameters parameters_;
  TRICElement undefinedSprite_;
  std::string fileName_;
  std::deque<Step> steps_;
  std::size_t position_ = 0;          // steps_[0, position_) are done
  std::ptrdiff_t savedPosition_ = 0;  // -1: the saved state left the history
  bool changedOutsideHistory_ = false;
  bool mergeOpen_ = false;
  const TRICElement* tracked_ = nullptr;
  std::unique_ptr<TRICElement> trackedCopy_;
};

}  // namespace tavlin
