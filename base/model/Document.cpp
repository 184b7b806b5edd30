#include "Document.h"

#include <algorithm>
#include <utility>

namespace tavlin {

namespace {

std::unique_ptr<TRICElement> CopyOf(const TRICElement& e) {
  return std::make_unique<TRICElement>(e);
}

// Undo and redo put an element's content back; how the user looks at it (the
// sprite's zoom and marked area) stays as it is now.
void RestoreContent(TRICElement& target, const TRICElement& source) {
  const std::int32_t zoom = target.ZoomFactor;
  const TRect marked = target.MarkedArea;
  target = source;
  target.ZoomFactor = zoom;
  target.MarkedArea = marked;
}

// Equal in everything undo and redo put back.
bool SameContent(const TRICElement& a, const TRICElement& b) {
  return a.DataSize == b.DataSize && a.Kind == b.Kind && a.Options == b.Options &&
         a.Width == b.Width && a.Height == b.Height && a.ID == b.ID && a.UsedArea == b.UsedArea &&
         a.Points == b.Points && a.SpriteID == b.SpriteID && a.CopyOpt == b.CopyOpt &&
         a.PosX == b.PosX && a.PosY == b.PosY && a.RelX == b.RelX && a.RelY == b.RelY &&
         a.X1 == b.X1 && a.Y1 == b.Y1 && a.X2 == b.X2 && a.Y2 == b.Y2 && a.Radius == b.Radius &&
         a.Value == b.Value && a.RadiusX == b.RadiusX && a.RadiusY == b.RadiusY &&
         a.PolygonPoints == b.PolygonPoints && a.PolygonCount == b.PolygonCount &&
         a.ExtraBytes == b.ExtraBytes && a.CutSize == b.CutSize && a.Canvas.SamePixels(b.Canvas);
}

int IndexOf(const RICElementList& list, const TRICElement* e) {
  int i = 0;
  for (const ElementPtr& p : list) {
    if (p.get() == e) return i;
    ++i;
  }
  return -1;
}

}  // namespace

RICDocument::RICDocument() : undefinedSprite_(MakeUndefinedSprite(kGrey)) {}

RICDocument::~RICDocument() = default;

void RICDocument::AddObserver(DocumentObserver* observer) {
  if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
    observers_.push_back(observer);
}

void RICDocument::RemoveObserver(DocumentObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

// Observers may add or remove observers while they are told: each call walks a copy.
void RICDocument::EndFloatingWork() {
  for (DocumentObserver* o : std::vector<DocumentObserver*>(observers_)) o->EndFloatingWork(*this);
}

void RICDocument::NotifyChanged(const DocumentChange& change) {
  for (DocumentObserver* o : std::vector<DocumentObserver*>(observers_))
    o->DocumentChanged(*this, change);
}

void RICDocument::NotifyHistory() {
  for (DocumentObserver* o : std::vector<DocumentObserver*>(observers_)) o->HistoryChanged(*this);
}

void RICDocument::MarkSaved() {
  savedPosition_ = std::ptrdiff_t(position_);
  changedOutsideHistory_ = false;
  mergeOpen_ = false;
  NotifyHistory();
}

void RICDocument::MarkChanged() {
  changedOutsideHistory_ = true;
  NotifyHistory();
}

void RICDocument::Reset(RICElementList&& list, std::string fileName) {
  EndFloatingWork();
  steps_.clear();
  position_ = 0;
  if (&list != &list_) list_ = std::move(list);
  fileName_ = std::move(fileName);
  tracked_ = nullptr;
  trackedCopy_.reset();
  DocumentChange change;
  change.Focus = list_.Empty() ? -1 : 0;
  NotifyChanged(change);
  MarkSaved();
}

void RICDocument::Take(Step step) {
  EndFloatingWork();
  Apply(step, true);
  const DocumentChange change = ChangeOf(step, true);
  Push(std::move(step));
  NotifyChanged(change);
  NotifyHistory();
}

void RICDocument::Push(Step step) {
  if (savedPosition_ > std::ptrdiff_t(position_)) savedPosition_ = -1;
  steps_.erase(steps_.begin() + std::ptrdiff_t(position_), steps_.end());
  steps_.push_back(std::move(step));
  ++position_;
  while (steps_.size() > kHistoryLimit) {
    steps_.pop_front();
    --position_;
    if (savedPosition_ >= 0) --savedPosition_;  // at -1 the saved state is gone for good
  }
  mergeOpen_ = steps_.back().type == StepType::Edit && !steps_.back().mergeKey.empty();
  RefreshTracked();
}

void RICDocument::RefreshTracked() {
  if (tracked_ && IndexOf(list_, tracked_) < 0) tracked_ = nullptr;
  if (tracked_)
    trackedCopy_ = CopyOf(*tracked_);
  else
    trackedCopy_.reset();
}

int RICDocument::Add(ElementPtr element, std::string name) {
  int index = list_.Count();
  Insert(index, std::move(element), std::move(name));
  return index;
}

void RICDocument::Insert(int index, ElementPtr element, std::string name) {
  RICElementList one;
  one.Add(std::move(element));
  InsertList(index, std::move(one), std::move(name));
}

void RICDocument::InsertList(int index, RICElementList&& elements, std::string name) {
  if (elements.Empty()) return;  // an empty merge changes nothing
  Step step;
  step.name = std::move(name);
  step.type = StepType::Insert;
  step.index = std::clamp(index, 0, list_.Count());
  step.other = elements.Count();
  while (!elements.Empty()) step.held.push_back(elements.Take(0));
  Take(std::move(step));
}

void RICDocument::Do(StepType type, std::string name, int index, int other) {
  Step step;
  step.name = std::move(name);
  step.type = type;
  step.index = index;
  step.other = other;
  Take(std::move(step));
}

void RICDocument::Remove(int index, std::string name) {
  if (!list_.ValidIndex(index)) return;
  Do(StepType::Remove, std::move(name), index);
}

void RICDocument::Exchange(int a, int b, std::string name) {
  if (!list_.ValidIndex(a) || !list_.ValidIndex(b) || a == b) return;
  Do(StepType::Exchange, std::move(name), a, b);
}

void RICDocument::Move(int from, int to, std::string name) {
  if (!list_.ValidIndex(from) || !list_.ValidIndex(to) || from == to) return;
  Do(StepType::Move, std::move(name), from, to);
}

void RICDocument::ReplaceAll(RICElementList&& list, std::string name) {
  Step step;
  step.name = std::move(name);
  step.type = StepType::ReplaceAll;
  step.list = std::move(list);
  Take(std::move(step));
}

void RICDocument::Reorder(const std::vector<int>& order, int focus, std::string name) {
  std::vector<bool> seen(std::size_t(list_.Count()), false);
  bool moved = false;
  if (int(order.size()) != list_.Count()) return;
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (!list_.ValidIndex(order[i]) || seen[std::size_t(order[i])]) return;
    seen[std::size_t(order[i])] = true;
    moved = moved || order[i] != int(i);
  }
  if (!moved) return;
  // A drag moves one element: kept as a move, the step holds two numbers
  // instead of the whole order.
  int lo = 0, hi = int(order.size()) - 1;
  while (order[std::size_t(lo)] == lo) ++lo;
  while (order[std::size_t(hi)] == hi) --hi;
  auto shifted = [&](int first, int last, int by) {
    for (int i = first; i <= last; ++i)
      if (order[std::size_t(i)] != i + by) return false;
    return true;
  };
  if (order[std::size_t(lo)] == hi && shifted(lo + 1, hi, -1)) {
    Move(hi, lo, std::move(name));
    return;
  }
  if (order[std::size_t(hi)] == lo && shifted(lo, hi - 1, 1)) {
    Move(lo, hi, std::move(name));
    return;
  }
  Step step;
  step.name = std::move(name);
  step.type = StepType::Reorder;
  step.order = order;
  step.index = std::clamp(focus, 0, list_.Count() - 1);
  step.other = order[std::size_t(step.index)];
  Take(std::move(step));
}

void RICDocument::Track(const TRICElement* element) {
  if (element != tracked_) mergeOpen_ = false;
  tracked_ = element && IndexOf(list_, element) >= 0 ? element : nullptr;
  if (tracked_)
    trackedCopy_ = CopyOf(*tracked_);
  else
    trackedCopy_.reset();
}

void RICDocument::ElementEdited(const TRICElement* element, std::string name,
                                std::string mergeKey) {
  if (!element) return;
  EndFloatingWork();  // a shape still being placed is no part of the step
  if (element != tracked_ || !trackedCopy_) {
    // Without the state before the edit there is nothing to go back to; the
    // change still counts as unsaved work.
    changedOutsideHistory_ = true;
    Track(element);
    NotifyEdited(element);
    return;
  }
  if (SameContent(*element, *trackedCopy_)) return;
  if (mergeOpen_ && !mergeKey.empty() && position_ == steps_.size() && position_ > 0 &&
      savedPosition_ != std::ptrdiff_t(position_)) {
    Step& last = steps_.back();
    if (last.type == StepType::Edit && last.element == element && last.mergeKey == mergeKey) {
      last.after = CopyOf(*element);
      trackedCopy_ = CopyOf(*element);
      NotifyEdited(element);
      return;
    }
  }
  Step step;
  step.name = std::move(name);
  step.type = StepType::Edit;
  step.element = element;
  step.before = std::move(trackedCopy_);
  step.after = CopyOf(*element);
  step.mergeKey = std::move(mergeKey);
  Push(std::move(step));
  NotifyEdited(element);
}

void RICDocument::NotifyEdited(const TRICElement* element) {
  DocumentChange change;
  change.What = DocumentChange::Kind::Edited;
  change.First = change.Last = change.Focus = IndexOf(list_, element);
  change.Count = 1;
  NotifyChanged(change);
  NotifyHistory();
}

void RICDocument::Apply(Step& step, bool forward) {
  switch (step.type) {
    case StepType::Edit:
      RestoreContent(*const_cast<TRICElement*>(step.element), forward ? *step.after : *step.before);
      break;
    case StepType::Insert:
      if (forward) {
        for (std::size_t i = 0; i < step.held.size(); ++i)
          list_.Insert(step.index + int(i), std::move(step.held[i]));
        step.held.clear();
      } else {
        for (int i = 0; i < step.other; ++i) step.held.push_back(list_.Take(step.index));
      }
      break;
    case StepType::Remove:
      if (forward) {
        step.held.push_back(list_.Take(step.index));
      } else {
        list_.Insert(step.index, std::move(step.held.back()));
        step.held.clear();
      }
      break;
    case StepType::Exchange:
      list_.Exchange(step.index, step.other);
      break;
    case StepType::Move: {
      int from = forward ? step.index : step.other, to = forward ? step.other : step.index;
      ElementPtr e = list_.Take(from);
      list_.Insert(to, std::move(e));
      break;
    }
    case StepType::ReplaceAll:
      std::swap(list_, step.list);
      break;
    case StepType::Reorder: {
      std::vector<ElementPtr> old;
      while (!list_.Empty()) old.push_back(list_.Take(0));
      std::vector<ElementPtr> placed(old.size());
      for (std::size_t i = 0; i < old.size(); ++i) {
        const auto from = std::size_t(step.order[i]);
        if (forward)
          placed[i] = std::move(old[from]);
        else
          placed[from] = std::move(old[i]);
      }
      for (ElementPtr& e : placed) list_.Add(std::move(e));
      break;
    }
  }
}

int RICDocument::Undo() {
  if (!CanUndo()) return -1;
  EndFloatingWork();
  Step& step = steps_[--position_];
  Apply(step, false);
  mergeOpen_ = false;
  RefreshTracked();
  const DocumentChange change = ChangeOf(step, false);
  NotifyChanged(change);
  NotifyHistory();
  return change.Focus;
}

int RICDocument::Redo() {
  if (!CanRedo()) return -1;
  EndFloatingWork();
  Step& step = steps_[position_++];
  Apply(step, true);
  mergeOpen_ = false;
  RefreshTracked();
  const DocumentChange change = ChangeOf(step, true);
  NotifyChanged(change);
  NotifyHistory();
  return change.Focus;
}

DocumentChange RICDocument::ChangeOf(const Step& step, bool forward) const {
  using Kind = DocumentChange::Kind;
  const int last = list_.Count() - 1;
  DocumentChange c;
  auto moved = [&](int a, int b, int focus) {
    c.What = Kind::Moved;
    c.First = std::min(a, b);
    c.Last = std::max(a, b);
    c.Focus = focus;
  };
  auto counted = [&](bool inserted, int count) {
    c.What = inserted ? Kind::Inserted : Kind::Removed;
    c.First = step.index;
    c.Count = count;
    c.Last = step.index + count - 1;
    c.Focus = inserted ? step.index : std::min(step.index, last);
  };
  switch (step.type) {
    case StepType::Edit:
      c.What = Kind::Edited;
      c.First = c.Last = c.Focus = IndexOf(list_, step.element);
      c.Count = 1;
      break;
    case StepType::Insert:
      counted(forward, step.other);
      break;
    case StepType::Remove:
      counted(!forward, 1);
      break;
    case StepType::Exchange:
    case StepType::Move:
      moved(step.index, step.other, forward ? step.other : step.index);
      break;
    case StepType::ReplaceAll:
      c.Focus = list_.Empty() ? -1 : 0;
      break;
    case StepType::Reorder:
      moved(0, last, forward ? step.index : step.other);
      break;
  }
  return c;
}

std::string RICDocument::UndoName() const { return CanUndo() ? steps_[position_ - 1].name : ""; }
std::string RICDocument::RedoName() const { return CanRedo() ? steps_[position_].name : ""; }

}  // namespace tavlin
