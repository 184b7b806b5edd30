// TDocumentSignals: a document's announcements as Qt signals, so that views
// connect to what they show instead of being told by each command. It adds
// itself to the document's observers and takes itself off when it goes;
// the document must outlive it.
#pragma once

#include <QObject>

#include "DocumentObserver.h"

namespace tavlin {

class TDocumentSignals : public QObject, public DocumentObserver {
  Q_OBJECT
 public:
  explicit TDocumentSignals(RICDocument& document, QObject* parent = nullptr);
  ~TDocumentSignals() override;

  void EndFloatingWork(const RICDocument&) override { emit FloatingWorkEnding(); }
  void DocumentChanged(const RICDocument&, const DocumentChange& change) override {
    emit ElementsChanged(change);
  }
  void HistoryChanged(const RICDocument&) override { emit HistoryMoved(); }

 signals:
  void FloatingWorkEnding();
  void ElementsChanged(const tavlin::DocumentChange& change);
  void HistoryMoved();

 private:
  RICDocument& document_;
};

}  // namespace tavlin
