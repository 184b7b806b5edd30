// Cut, Copy and Paste: the Edit menu's entries and the element list's
// right-click menu. Elements travel between documents and windows as RIC
// bytes under their own type, with their RicScript text beside them for
// other programs; on the sprite page the commands act on the marked area.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QStackedWidget>

#include "Document.h"
#include "DrawGrid.h"
#include "FileIO.h"
#include "RicFile.h"
#include "RicScript.h"
#include "SpritePage.h"
#include "Tavlin_main.h"

namespace tavlin {

namespace {
constexpr char kElementsMimeType[] = "application/x-tavlin-ric-elements";
}

void TForm_Tavlin::BuildListMenu() {
  DrawGrid_RIC->setContextMenuPolicy(Qt::CustomContextMenu);
  // A scroll area reports the position in its viewport's coordinates.
  connect(DrawGrid_RIC, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { ShowListMenu(DrawGrid_RIC->viewport()->mapToGlobal(pos)); });
}

bool TForm_Tavlin::ClipboardOnSprite() const {
  if (PageControl_Edit->currentWidget() != TabSheet_Edit_Sprite) return false;
  const QWidget* focus = QApplication::focusWidget();
  return !(focus && (focus == DrawGrid_RIC || DrawGrid_RIC->isAncestorOf(focus)));
}

void TForm_Tavlin::CutCommand() {
  if (ClipboardOnSprite())
    TabSheet_Edit_Sprite->CutMarkedArea();
  else
    CutElement();
}

void TForm_Tavlin::CopyCommand() {
  if (ClipboardOnSprite())
    TabSheet_Edit_Sprite->CopyMarkedArea();
  else
    CopyElement();
}

void TForm_Tavlin::PasteCommand() {
  if (ClipboardOnSprite())
    TabSheet_Edit_Sprite->PasteClipboardImage();
  else
    PasteElements();
}

bool TForm_Tavlin::CopyElement() {
  if (!ElementList().ValidIndex(selectedIndex_)) return false;
  Document().EndFloatingWork();  // the copy takes no preview pixels
  RICElementList one;
  one.Add(DuplicateElement(*ElementList()[selectedIndex_]));
  std::vector<std::uint8_t> bytes;
  try {
    bytes = EncodeRic(one);
  } catch (const TavlinError& e) {  // a sprite too large for a RIC element
    ShowFailure(QString("The element cannot be copied: %1").arg(e.what()));
    return false;
  }
  auto* mime = new QMimeData;
  mime->setData(kElementsMimeType,
                QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
  mime->setText(QString::fromStdString(RicScriptText(one)));
  QApplication::clipboard()->setMimeData(mime);
  return true;
}

void TForm_Tavlin::CutElement() {
  if (CopyElement()) DeleteElement();
}

namespace {

// RicScript text from the clipboard, read whole as elements: a text that
// does not read in full gives nothing and says why in `why`, its place named
// "clipboard:LINE:COLUMN".
RICElementList ElementsOfScriptText(const QString& text, QString& why) {
  const QByteArray utf8 = text.toUtf8();
  std::vector<std::string> notes;
  try {
    RICElementList list = ParseRicScript(
        std::string_view(utf8.constData(), std::size_t(utf8.size())), "clipboard", &notes);
    if (notes.empty()) return list;
    why = QString::fromStdString(notes.front());
  } catch (const TavlinError& e) {
    why = QString::fromStdString(e.what());
  }
  return {};
}

}  // namespace

bool TForm_Tavlin::PasteElements() {
  const QMimeData* mime = QApplication::clipboard()->mimeData();
  if (!mime) return false;
  if (!mime->hasFormat(kElementsMimeType)) {
    // Text, as copying an element puts beside its bytes, or as typed elsewhere.
    if (!mime->hasText() || mime->text().trimmed().isEmpty()) return false;
    if (std::size_t(mime->text().size()) > kMaxScriptFileBytes) {
      ShowFailure("The clipboard's text is more than a script can hold");
      return false;
    }
    QString why;
    RICElementList list = ElementsOfScriptText(mime->text(), why);
    if (!why.isEmpty()) {
      ShowFailure(QString("The clipboard's text cannot be pasted as elements: %1").arg(why));
      return false;
    }
    return InsertPasted(std::move(list));
  }
  const QByteArray bytes = mime->data(kElementsMimeType);
  // Another program may offer anything under our type; no RIC file holds more.
  if (std::size_t(bytes.size()) > kRicBufferSize) {
    ShowFailure(
        QString("The clipboard's elements (%1 bytes) are more than a RIC file can hold (%2)")
            .arg(bytes.size())
            .arg(kRicBufferSize));
    return false;
  }
  return InsertPasted(DecodeRic(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                std::size_t(bytes.size())));
}

bool TForm_Tavlin::InsertPasted(RICElementList&& list) {
  if (list.Empty()) return false;
  const std::string name =
      list.Count() == 1 ? std::string("Paste ") + KindName(list[0]->Kind) : "Paste Elements";
  const int index =
      ElementList().ValidIndex(selectedIndex_) ? selectedIndex_ + 1 : ElementList().Count();
  Document().InsertList(index, std::move(list), name);
  ShowChangedDocument(index);
  return true;
}

QMenu* TForm_Tavlin::ShowListMenu(const QPoint& global) {
  if (!listMenu_) {
    listMenu_ = new QMenu(this);
    listMenu_->setObjectName("Menu_ElementList_Context");
  }
  listMenu_->clear();
  const bool selected = ElementList().ValidIndex(selectedIndex_);
  const QMimeData* mime = QApplication::clipboard()->mimeData();
  const bool pasteable = mime && (mime->hasFormat(kElementsMimeType) || mime->hasText());
  auto add = [this](const QString& text, bool enabled, auto run) {
    QAction* a = listMenu_->addAction(text);
    a->setEnabled(enabled);
    connect(a, &QAction::triggered, this, run);
  };
  add("Cu&t\tCtrl+X", selected, [this] { CutElement(); });
  add("&Copy\tCtrl+C", selected, [this] { CopyElement(); });
  add("&Paste\tCtrl+V", pasteable, [this] { PasteElements(); });
  listMenu_->addSeparator();
  add("&Double", selected, [this] { DoubleElement(); });
  add("De&lete\tDel", selected, [this] { DeleteElement(); });
  listMenu_->addSeparator();
  add("Move &up", ElementList().Count() > 1 && selected, [this] { MoveElementUp(); });
  add("Move do&wn", ElementList().Count() > 1 && selected, [this] { MoveElementDown(); });
  listMenu_->popup(global);
  return listMenu_;
}

}  // namespace tavlin
