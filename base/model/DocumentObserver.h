// What a document tells those who show or edit it: that unfinished work on
// its elements must end (before a change, or before the document is read
// out), what changed, and that its history or saved state moved. Views
// subscribe instead of being told by whoever made the change.
#pragma once

namespace tavlin {

class RICDocument;

// One change of the element list, as a step did, undid or redid it.
struct DocumentChange {
  enum class Kind {
    Edited,    // element `first` changed its content
    Inserted,  // `count` elements now start at `first`
    Removed,   // `count` elements that started at `first` are gone
    Moved,     // the order changed between `first` and `last` (inclusive)
    Replaced,  // every element may be another (Open, New, Import, Reload)
  };
  Kind What = Kind::Replaced;
  int First = 0;
  int Count = 0;
  int Last = 0;
  // The element the change is about, where there is one to show (the one a
  // step edited, inserted or moved; -1 when none is left).
  int Focus = -1;
};

class DocumentObserver {
 public:
  virtual ~DocumentObserver() = default;
  // Whatever holds unfinished work on an element (a shape being placed on a
  // sprite) ends it now: the elements are about to change, or to be saved,
  // copied or exported.
  virtual void EndFloatingWork(const RICDocument& /*document*/) {}
  virtual void DocumentChanged(const RICDocument& /*document*/, const DocumentChange& /*change*/) {}
  // The history (what Undo and Redo would do) or the saved state changed.
  virtual void HistoryChanged(const RICDocument& /*document*/) {}
};

}  // namespace tavlin
