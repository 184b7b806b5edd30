// The window's side of the document history: Undo and Redo, the step
// recorded when a page edited the selected element, the menu texts and
// buttons that name the steps, and the undo keys taken before a focused
// field can use them for its own text.
#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>
#include <algorithm>

#include "Document.h"
#include "DrawGrid.h"
#include "EditorHost.h"
#include "RecoveryKeeper.h"
#include "SpritePage.h"
#include "Tavlin_main.h"

namespace tavlin {

void TForm_Tavlin::ShowHistoryState() {
  const RICDocument& d = Document();
  StatusPanel[7]->setText(d.Modified() ? "modified" : QString());
  UpdateTitle();
  if (recovery_) recovery_->DocumentChanged();
  const QString undo = d.CanUndo() ? "Undo " + QString::fromStdString(d.UndoName()) : "Undo";
  const QString redo = d.CanRedo() ? "Redo " + QString::fromStdString(d.RedoName()) : "Redo";
  Menu_Edit_Undo->setText("&" + undo);
  Menu_Edit_Undo->setEnabled(d.CanUndo());
  Menu_Edit_Redo->setText("&" + redo);
  Menu_Edit_Redo->setEnabled(d.CanRedo());
  if (SpeedButton_RIC_Undo) {
    SpeedButton_RIC_Undo->setToolTip(undo);
    SpeedButton_RIC_Undo->setEnabled(d.CanUndo());
    SpeedButton_RIC_Redo->setToolTip(redo);
    SpeedButton_RIC_Redo->setEnabled(d.CanRedo());
  }
}

void TForm_Tavlin::UndoStep() {
  if (dragging_) return;
  if (Document().CanUndo()) ShowChangedDocument(Document().Undo());
}

void TForm_Tavlin::RedoStep() {
  if (dragging_) return;
  if (Document().CanRedo()) ShowChangedDocument(Document().Redo());
}

void TForm_Tavlin::ShowChangedDocument(int index) {
  const int n = ElementList().Count();
  selectedIndex_ =
      ElementList().ValidIndex(index) ? index : std::clamp(selectedIndex_, 0, std::max(0, n - 1));
  SetListRows(n);
  DrawGrid_RIC->SetRow(n > 0 ? selectedIndex_ + 1 : 1, false);
  {
    EditEventsPause pause(*this);
    ShowElement(selectedIndex_);
  }
  RefreshDocumentView();
}

void TForm_Tavlin::SelectedElementEdited(const std::string& name, const std::string& mergeKey) {
  if (!selectedElement_) return;
  Document().ElementEdited(selectedElement_, name, mergeKey);
}

void TForm_Tavlin::SealEditStep() { Document().SealLastStep(); }

std::string TForm_Tavlin::StepName(const char* verb, int index) const {
  const TRICElement* e = ElementList().At(index);
  return std::string(verb) + " " + (e ? KindName(e->Kind) : "Element");
}

bool TForm_Tavlin::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  auto* widget = qobject_cast<QWidget*>(watched);
  if ((type == QEvent::ShortcutOverride || type == QEvent::KeyPress) && widget &&
      widget->window() == this) {
    auto* key = static_cast<QKeyEvent*>(event);
    const int chord = key->keyCombination().toCombined();
    const bool undo = chord == QKeyCombination(Qt::ControlModifier, Qt::Key_Z).toCombined();
    const bool redo =
        chord == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z).toCombined() ||
        chord == QKeyCombination(Qt::ControlModifier, Qt::Key_Y).toCombined();
    if (undo || redo) {
      // Taken from the focused field (a spin box would undo its own text);
      // the key press that follows runs the window's command.
      if (type == QEvent::KeyPress) (undo ? Menu_Edit_Undo : Menu_Edit_Redo)->trigger();
      event->accept();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace tavlin
