#include "DocumentSignals.h"

#include "Document.h"

namespace tavlin {

TDocumentSignals::TDocumentSignals(RICDocument& document, QObject* parent)
    : QObject(parent), document_(document) {
  document_.AddObserver(this);
}

TDocumentSignals::~TDocumentSignals() { document_.RemoveObserver(this); }

}  // namespace tavlin
