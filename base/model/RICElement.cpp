// The element list, copies and release of elements.
#include "RICElement.h"

#include <algorithm>

namespace tavlin {

int RICElementList::Add(ElementPtr element) {
  items_.push_back(std::move(element));
  return Count() - 1;
}

void RICElementList::Insert(int index, ElementPtr element) {
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, std::move(element));
}

ElementPtr RICElementList::Take(int index) {
  if (!ValidIndex(index)) return nullptr;
  ElementPtr e = std::move(items_[std::size_t(index)]);
  items_.erase(items_.begin() + index);
  return e;
}

void RICElementList::Exchange(int a, int b) {
  if (ValidIndex(a) && ValidIndex(b)) std::swap(items_[std::size_t(a)], items_[std::size_t(b)]);
}

void RICElementList::Append(RICElementList&& other) {
  for (auto& e : other.items_) items_.push_back(std::move(e));
  other.items_.clear();
}

ElementPtr DuplicateElement(const TRICElement& source) {
  auto e = std::make_unique<TRICElement>(source);  // the canvas copy shares tiles until written
  if (source.Kind == RICElementKind::Sprite) {
    e->MarkedArea = kUnsetRect;
    e->ZoomFactor = 6;
  }
  return e;
}

void FreeElement(ElementPtr element) { element.reset(); }

void ClearElements(RICElementList& list) {
  // All at once: taking element 0 out again and again would shift the rest
  // every time, quadratic in the length of the document.
  list.Clear();
}

}  // namespace tavlin
