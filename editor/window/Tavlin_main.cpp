#include "Tavlin_main.h"
#include "QtFilePaths.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <map>
#include <utility>

#include "CopyBitsPage.h"
#include "DiskWatch.h"
#include "DisplayAdapter.h"
#include "Document.h"
#include "DocumentIO.h"
#include "DocumentSignals.h"
#include "DrawGrid.h"
#include "EditPage.h"
#include "EditorKinds.h"
#include "ElementIcons.h"
#include "FileIO.h"
#include "NxtImage.h"
#include "ParameterFile.h"
#include "PolygonPage.h"
#include "PreviewAnimation.h"
#include "RICParameterEdit.h"
#include "RecentFiles.h"
#include "RecoveryKeeper.h"
#include "ShapePage.h"
#include "SpritePage.h"
#include "Tavlin_About.h"
#include "UndefinedSpritePicture.h"
#include "UserDialogs.h"
#include "VarMapPage.h"

namespace tavlin {

namespace {
// Shown once at start when no settings folder may be used (no home folder, or another user's).
constexpr const char* kParametersNotKeptText =
    "No settings folder: parameter values are kept only while the program runs";
constexpr int kClientWidth = 1016;
constexpr int kClientHeight = 722;
constexpr int kStatusHeight = 19;
// The default client area less the status bar, and the smallest height, which
// leaves a window that fits a 1366 x 768 screen with a panel.
constexpr QSize kDefaultClient(kClientWidth, kClientHeight - kStatusHeight);
constexpr int kMinClientHeight = 600;

// The client area: it is as large as the window lets it be, and the window
// places its areas for that size.
class ClientArea : public QWidget {
 public:
  ClientArea(QWidget* parent, std::function<void(QSize)> arrange)
      : QWidget(parent), arrange_(std::move(arrange)) {}
  QSize sizeHint() const override { return kDefaultClient; }

 protected:
  void resizeEvent(QResizeEvent* event) override { arrange_(event->size()); }

 private:
  std::function<void(QSize)> arrange_;
};

// The largest zoom of the shape and preview pages' screens for a page area:
// the screen at (32, 52), its right margin, and under it the five argument
// controls, 30 below the screen and 148 high, and a margin.
int ScreenZoomFor(QSize page) {
  int z = 1;
  while (32 + ScreenWidth(z + 1) + 31 <= page.width() &&
         52 + ScreenHeight(z + 1) + 30 + 148 + 8 <= page.height())
    ++z;
  return z;
}

// The status bar with its panels on its whole height: QStatusBar's own
// layout keeps a few pixels above and below its items, too many at a height
// of 19 for the underscores and descenders of a file name.
class PanelStatusBar : public QStatusBar {
 public:
  explicit PanelStatusBar(QWidget* parent) : QStatusBar(parent) {}
  QWidget* Strip = nullptr;

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QStatusBar::resizeEvent(event);
    if (Strip) Strip->setGeometry(rect());
  }
};

// The largest font, up to the given one, with which the texts fit.
QFont FittingFont(QFont font, const std::function<bool(const QFontMetrics&)>& fits) {
  while (!fits(QFontMetrics(font))) {
    if (font.pixelSize() > 0) {
      if (font.pixelSize() <= 8) break;
      font.setPixelSize(font.pixelSize() - 1);
    } else {
      if (font.pointSizeF() <= 6) break;
      font.setPointSizeF(font.pointSizeF() - 0.5);
    }
  }
  return font;
}
}  // namespace

TForm_Tavlin::TForm_Tavlin(UserDialogs& dialogs, std::unique_ptr<RICDocument> document,
                           QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      document_(document ? std::move(document) : std::make_unique<RICDocument>()),
      documentSignals_(std::make_unique<TDocumentSignals>(*document_)) {
  setObjectName("TForm_Tavlin");
  PaintUndefinedSprite(document_->UndefinedSprite());
  UpdateTitle();
  setAcceptDrops(true);

  auto* client = new ClientArea(this, [this](QSize size) { ArrangeClient(size); });
  client->setObjectName("Client");
  client->setMinimumSize(kClientWidth, kMinClientHeight);
  setCentralWidget(client);

  BuildMenus();
  BuildStatusBar();
  BuildNavigationPages(client);
  BuildEditPages(client);
  BuildOutputPanel(client);
  BuildParameterPanel(client);
  BuildListMenu();
  BuildDiskWatch();
  savedMessage_ = new QTimer(this);
  savedMessage_->setSingleShot(true);
  savedMessage_->setInterval(3000);
  connect(savedMessage_, &QTimer::timeout, this,
          [this] { StatusPanel[6]->setText(currentFileName_); });
  recentListFile_ = ConfigFilePath("recent-files");
  FillRecentMenu(ReadRecentFiles(recentListFile_));
  if (Params().ParameterFileName.empty()) {
    StatusPanel[6]->setText(kParametersNotKeptText);
    savedMessage_->start();
  }

  // Creation: 256 parameters, the frame's set-up, modify mode, 256 parameters again.
  SetParameterMode(256);
  SetUpWindow();
  EnterModifyMode();
  SetParameterMode(256);
  editEventsEnabled_ = true;
  ShowHistoryState();
  // The views follow the document: its counts at once, the list and the output
  // once the pass of the event loop is done, the history's state as it moves.
  connect(documentSignals_.get(), &TDocumentSignals::ElementsChanged, this, [this] {
    UpdateDocumentStatus();
    ScheduleRefresh(kRefreshList | kRefreshDocument);
  });
  connect(documentSignals_.get(), &TDocumentSignals::HistoryMoved, this,
          [this] { ShowHistoryState(); });
  // The default size, or less on a screen that has not that much room (a
  // laptop's 768 lines with a panel): the pictures then shrink by a zoom step.
  QSize size = sizeHint();
  if (const QScreen* s = screen()) {
    const QSize frame(0, 32);  // the window manager's title bar is not ours to measure yet
    size = size.boundedTo(s->availableGeometry().size() - frame).expandedTo(minimumSizeHint());
  }
  resize(size);
  // Undo and redo keys reach the window's history before a focused field's own undo.
  qApp->installEventFilter(this);
}

void TForm_Tavlin::ArrangeClient(QSize size) {
  const int extraWidth = size.width() - kDefaultClient.width();
  extraHeight_ = size.height() - kDefaultClient.height();
  PageControl_Navigate->setGeometry(4, 1, 341, 700 + extraHeight_);
  ArrangeNavigationPages();
  ArrangeParameterPanel();

  // The page area: 665 x 700 at the default size.
  const QSize page(665 + extraWidth, 700 + extraHeight_);
  PageControl_Edit->setGeometry(QRect(QPoint(348, 1), page));
  for (int i = 0; i < PageControl_Edit->count(); ++i) {
    QWidget* sheet = PageControl_Edit->widget(i);
    if (auto* header = sheet->findChild<QLabel*>(sheet->objectName() + "_Header"))
      header->resize(page.width() - 8, header->height());
  }
  for (const char* name : {"Image_Empty", "Label_Empty"}) {
    auto* w = TabSheet_Edit_Empty->findChild<QWidget*>(name);
    w->move((page.width() - w->width()) / 2, w->y());
  }
  // The Information page's fields stay at the page's foot when it is lower.
  for (const auto& [control, top] : informationControls_)
    control->move(control->x(), top + std::min(extraHeight_, 0));

  const int zoom = ScreenZoomFor(page);
  if (screens_.front()->Zoom() != zoom) {
    for (TScreenLayout* screen : screens_) screen->SetZoom(zoom);
    RedrawShapeImage();
    RenderPreview();
  }
  TabSheet_Edit_CopyBits->ArrangeViews(page);
  TabSheet_Edit_Sprite->ArrangeView(page);
  TabSheet_Edit_VarMap->ArrangeGraph(page);
}

// The child widgets go after this body: a focused parameter edit's focus-out
// must not reach the focus filter, which calls into this half-destroyed window.
TForm_Tavlin::~TForm_Tavlin() {
  delete paramFocusFilter_;
  // The pages keep pointers into the document: they go before it does.
  qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
}

QToolButton* TForm_Tavlin::NewSpeedButton(QWidget* parent, const char* name, const QString& icon,
                                          const QString& hint, int left, int top, int width,
                                          int height) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setGeometry(left, top, width, height);
  if (!icon.isEmpty()) {
    b->setIcon(CommandIcon(icon));
    b->setIconSize(QSize(width - 6, height - 6));
  }
  b->setToolTip(hint);
  b->setAutoRaise(false);
  return b;
}

namespace {
// One row of the menus: a menu, an action or a separator, in the menu named
// `parent` (the menu bar when empty), in order.
enum class MenuItem { Menu, Action, Separator };
struct MenuRow {
  MenuItem item;
  const char* parent;
  const char* name;  // the object name (none for most separators)
  const char* text = "";
  QKeySequence::StandardKey key = QKeySequence::UnknownKey;
  const char* keys = "";  // shortcuts as text, "; " between two
  void (*run)(TForm_Tavlin&) = nullptr;
};
}  // namespace

void TForm_Tavlin::BuildMenus() {
  using enum MenuItem;
  using K = QKeySequence;
  static const MenuRow rows[] = {
      {Menu, "", "Menu_File", "File"},
      {Action, "Menu_File", "Menu_File_Load", "&Load", K::Open, "",
       [](TForm_Tavlin& w) { w.OpenCommand(); }},
      {Menu, "Menu_File", "Menu_File_Recent", "Open &Recent"},
      {Action, "Menu_File", "Menu_File_Merge", "&Merge", K::UnknownKey, "",
       [](TForm_Tavlin& w) { w.MergeCommand(); }},
      {Action, "Menu_File", "Menu_File_Save", "&Save", K::Save, "",
       [](TForm_Tavlin& w) { w.SaveDocument(); }},
      {Action, "Menu_File", "Menu_File_SaveAs", "Save &as", K::UnknownKey, "Ctrl+Shift+S",
       [](TForm_Tavlin& w) { w.SaveDocumentAs(); }},
      {Action, "Menu_File", "Menu_File_New", "&New", K::New, "",
       [](TForm_Tavlin& w) { w.NewCommand(); }},
      {Separator, "Menu_File", nullptr},
      {Action, "Menu_File", "ImportRicScript1", "Import RicScript", K::UnknownKey, "",
       [](TForm_Tavlin& w) { w.ImportRicScript1Click(); }},
      {Action, "Menu_File", "ExportRicScript1", "Export RicScript", K::UnknownKey, "",
       [](TForm_Tavlin& w) { w.ExportRicScript1Click(); }},
      {Menu, "Menu_File", "Menu_File_Export", "&Export"},
      {Action, "Menu_File_Export", "Menu_File_Export_Nxc", "NXC source...", K::UnknownKey, "",
       [](TForm_Tavlin& w) { w.Menu_File_Export_NxcClick(); }},
      {Action, "Menu_File_Export", "Menu_File_Export_Nbc", "NBC source...", K::UnknownKey, "",
       [](TForm_Tavlin& w) { w.Menu_File_Export_NbcClick(); }},
      {Action, "Menu_File_Export", "Menu_File_Export_Gif", "Animation (GIF)...", K::UnknownKey, "",
       [](TForm_Tavlin& w) { w.ExportAnimationGif(); }},
      {Action, "Menu_File_Export", "Menu_File_Export_Png", "Picture (PNG)...", K::UnknownKey, "",
       [](TForm_Tavlin& w) { w.ExportPicturePng(); }},
      {Separator, "Menu_File", nullptr},
      {Action, "Menu_File", "Menu_File_ModifyRICFile", "M&odify RIC file", K::UnknownKey, "",
       [](TForm_Tavlin& w) { w.EnterModifyMode(); }},
      {Action, "Menu_File", "Menue_File_PreviewRICfile", "&Preview RIC file", K::UnknownKey, "",
       [](TForm_Tavlin& w) { w.EnterPreviewMode(); }},
      {Separator, "Menu_File", nullptr},
      {Menu, "Menu_File", "Menu_File_Settings", "Se&ttings"},
      {Menu, "Menu_File_Settings", "Menu_File_Settings_Paramter", "&Parameter"},
      {Action, "Menu_File_Settings_Paramter", "Menu_File_Settings_Paramter_16Standard",
       "  16 Parameters (Standard)", K::UnknownKey, "",
       [](TForm_Tavlin& w) { w.SetParameterMode(16); }},
      {Action, "Menu_File_Settings_Paramter", "Menu_File_Settings_Paramter_256Orwick",
       "256 Parameters (Orwick's Firmware)", K::UnknownKey, "",
       [](TForm_Tavlin& w) { w.SetParameterMode(256); }},
      {Separator, "Menu_File", nullptr},
      {Action, "Menu_File", "Menu_File_Exit", "E&xit", K::UnknownKey, "Ctrl+Q",
       [](TForm_Tavlin& w) { w.close(); }},

      {Menu, "", "Menu_Edit", "Edit"},
      {Action, "Menu_Edit", "Menu_Edit_Undo", "&Undo", K::Undo, "",
       [](TForm_Tavlin& w) { w.UndoStep(); }},
      {Action, "Menu_Edit", "Menu_Edit_Redo", "&Redo", K::UnknownKey, "Ctrl+Shift+Z; Ctrl+Y",
       [](TForm_Tavlin& w) { w.RedoStep(); }},
      {Separator, "Menu_Edit", nullptr},
      // The clipboard: the element list's elements or the sprite's marked area.
      {Action, "Menu_Edit", "Menu_Edit_Cut", "Cu&t", K::Cut, "",
       [](TForm_Tavlin& w) { w.CutCommand(); }},
      {Action, "Menu_Edit", "Menu_Edit_Copy", "&Copy", K::Copy, "",
       [](TForm_Tavlin& w) { w.CopyCommand(); }},
      {Action, "Menu_Edit", "Menu_Edit_Paste", "&Paste", K::Paste, "",
       [](TForm_Tavlin& w) { w.PasteCommand(); }},
      {Separator, "Menu_Edit", nullptr},
      {Menu, "Menu_Edit", "Menu_Edit_ElementList", "&Element list"},
      {Menu, "Menu_Edit_ElementList", "Menu_Edit_ElementList_Add", "Add element"},
      {Action, "Menu_Edit_ElementList", "Menu_Edit_ElementList_Delete", "Delete Element",
       K::UnknownKey, "", [](TForm_Tavlin& w) { w.DeleteElement(); }},
      {Action, "Menu_Edit_ElementList", "Menu_Edit_ElementList_Double", "Double Element",
       K::UnknownKey, "", [](TForm_Tavlin& w) { w.DoubleElement(); }},
      {Action, "Menu_Edit_ElementList", "Menu_Edit_ElementList_MoveUp", "Move Element Up",
       K::UnknownKey, "", [](TForm_Tavlin& w) { w.MoveElementUp(); }},
      {Action, "Menu_Edit_ElementList", "Menu_Edit_ElementList_MoveDown", "Move Element Down",
       K::UnknownKey, "", [](TForm_Tavlin& w) { w.MoveElementDown(); }},
      {Separator, "Menu_Edit", "Menu_Edit_SpriteSeparator"},
      {Menu, "Menu_Edit", "Menu_Edit_Sprite", "&Sprite"},
      {Menu, "Menu_Edit", "Menu_Edit_Parameter", "&Parameter"},
      {Action, "Menu_Edit_Parameter", "Menu_Edit_Parameter_Load", "&Load", K::UnknownKey, "",
       [](TForm_Tavlin& w) { w.ParameterLoad(); }},
      {Action, "Menu_Edit_Parameter", "Menu_Edit_Parameter_Save", "&Save", K::UnknownKey, "",
       [](TForm_Tavlin& w) { w.ParameterSave(); }},
      {Action, "Menu_Edit_Parameter", "Menu_Edit_Parameter_Clear", "&Clear", K::UnknownKey, "",
       [](TForm_Tavlin& w) { w.ParameterClear(); }},
      {Menu, "Menu_Edit", "Menu_Edit_VarMap", "VarMap"},

      // The View menu's zoom entries are the sprite page's; it connects them.
      {Menu, "", "Menu_View", "View"},
      {Action, "Menu_View", "Menu_View_ZoomIn", "Zoom in "},
      {Action, "Menu_View", "Menu_View_ZoomOut", "Zoom out"},
      {Separator, "Menu_View", "Menu_View_ZoomSeparator"},
      {Action, "Menu_View", "Menu_View_ZoomNXTDisplaySize", "Zoom NXT display size"},
      {Action, "", "Menu_About", "About", K::UnknownKey, "",
       [](TForm_Tavlin& w) { w.AboutCommand(); }},
  };
  QMenuBar* bar = menuBar();
  std::map<std::string, QMenu*> menus;
  QAction* a = nullptr;
  for (const MenuRow& row : rows) {
    QMenu* parent = *row.parent ? menus.at(row.parent) : nullptr;
    switch (row.item) {
      case Menu: {
        QMenu* menu = parent ? parent->addMenu(row.text) : bar->addMenu(row.text);
        menu->setObjectName(row.name);
        menus[row.name] = menu;
        continue;
      }
      case Separator:
        a = parent->addSeparator();
        break;
      case Action:
        a = parent ? parent->addAction(row.text) : bar->addAction(row.text);
        if (row.key != K::UnknownKey) a->setShortcut(row.key);
        if (*row.keys) a->setShortcuts(QKeySequence::listFromString(row.keys));
        if (row.run) connect(a, &QAction::triggered, this, [this, run = row.run] { run(*this); });
        break;
    }
    if (row.name) a->setObjectName(row.name);
  }
  auto action = [this](const char* name) { return findChild<QAction*>(name); };
  Menu_File_Recent = menus.at("Menu_File_Recent");
  Menu_View = menus.at("Menu_View");
  Menu_Edit_Sprite = menus.at("Menu_Edit_Sprite");
  Menu_Edit_VarMap = menus.at("Menu_Edit_VarMap");
  Menu_File_ModifyRICFile = action("Menu_File_ModifyRICFile");
  Menue_File_PreviewRICfile = action("Menue_File_PreviewRICfile");
  Menu_File_Settings_Paramter_16Standard = action("Menu_File_Settings_Paramter_16Standard");
  Menu_File_Settings_Paramter_256Orwick = action("Menu_File_Settings_Paramter_256Orwick");
  Menu_Edit_Undo = action("Menu_Edit_Undo");
  Menu_Edit_Redo = action("Menu_Edit_Redo");
  Menu_Edit_SpriteSeparator = action("Menu_Edit_SpriteSeparator");
  for (const char* name : {"Menu_Edit_ElementList_Delete", "Menu_Edit_ElementList_Double",
                           "Menu_Edit_ElementList_MoveUp", "Menu_Edit_ElementList_MoveDown"})
    elementListActions_.append(action(name));
  Menu_File_ModifyRICFile->setVisible(false);
  Menu_File_Settings_Paramter_16Standard->setCheckable(true);
  Menu_File_Settings_Paramter_256Orwick->setCheckable(true);
  // Other windows may have opened files meanwhile: the list is read again each time.
  connect(Menu_File_Recent, &QMenu::aboutToShow, this,
          [this] { FillRecentMenu(ReadRecentFiles(recentListFile_)); });

  const std::pair<RICElementKind, const char*> addEntries[] = {
      {RICElementKind::Description, "Description"},
      {RICElementKind::VarMap, "VarMap"},
      {RICElementKind::CopyBits, "CopyBits"},
      {RICElementKind::Sprite, "Sprite"},
      {RICElementKind::Pixel, "Point"},
      {RICElementKind::Line, "Line"},
      {RICElementKind::Rectangle, "Rectangle"},
      {RICElementKind::Circle, "Circle"},
      {RICElementKind::Ellipse, "Ellipse"},
      {RICElementKind::Polygon, "Polygon"},
      {RICElementKind::NumBox, "NumBox"}};
  for (auto [kind, text] : addEntries) {
    QAction* add = menus.at("Menu_Edit_ElementList_Add")->addAction(text);
    add->setObjectName(QString("Menu_Edit_ElementList_Add_") + text);
    connect(add, &QAction::triggered, this, [this, kind = kind] { AddElement(kind); });
  }
  ShowKindMenus(nullptr);  // nothing is selected yet
}

void TForm_Tavlin::BuildStatusBar() {
  auto* bar = new PanelStatusBar(this);
  setStatusBar(bar);
  bar->setObjectName("StatusBar");
  bar->setFixedHeight(kStatusHeight);
  bar->setSizeGripEnabled(false);
  // The eight panels sit side by side at their widths in one strip of their own.
  auto* strip = new QWidget(bar);
  strip->setObjectName("StatusStrip");
  strip->setGeometry(0, 0, kClientWidth, kStatusHeight);
  bar->Strip = strip;
  // A status font, as desktops have, small enough for the captions, the
  // word "modified" and the numbers to fit the panels inside their frames.
  strip->setFont(FittingFont(bar->font(), [](const QFontMetrics& fm) {
    const std::pair<const char*, int> texts[] = {{"Position:", 50}, {"65535", 38},
                                                 {"Elements:", 60}, {"999", 28},
                                                 {"RIC-File:", 60}, {"modified", 48}};
    for (const auto& [text, width] : texts)
      if (fm.horizontalAdvance(text) > width) return false;
    return true;
  }));
  auto* row = new QHBoxLayout(strip);
  row->setSpacing(0);
  row->setContentsMargins(0, 0, 0, 0);
  const int widths[8] = {50, 40, 40, 60, 30, 60, 650, 50};
  const char* texts[8] = {"  Position:", "", "", "Elements:", "", "RIC-File:", "", ""};
  for (int i = 0; i < 8; ++i) {
    auto* label = new QLabel(texts[i], strip);
    label->setObjectName(QString("StatusPanel%1").arg(i));
    bool caption = i == 0 || i == 3 || i == 5;
    // A number beyond the common ones widens its panel rather than being cut.
    if (caption || i == 6) {
      label->setFixedWidth(widths[i]);
    } else {
      label->setMinimumWidth(widths[i]);
      label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    }
    label->setAlignment(caption ? (Qt::AlignRight | Qt::AlignVCenter)
                                : (i == 6 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter));
    if (!caption) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // The element count is as wide as the largest one from the start: a
    // panel that widened only once the layout caught up would cut it.
    if (i == 4)
      label->setMinimumWidth(std::max(
          widths[i], label->fontMetrics().horizontalAdvance("32768") + 2 * label->frameWidth()));
    row->addWidget(label);
    StatusPanel[std::size_t(i)] = label;
  }
  row->addStretch(1);
}

void TForm_Tavlin::BuildOutputPanel(QWidget* client) {
  GroupBox_NXT = new QGroupBox("NXT Output", client);
  GroupBox_NXT->setObjectName("GroupBox_NXT");
  GroupBox_NXT->setGeometry(12, 37, 137, 164);
  Image_NXT = new TNxtImage(GroupBox_NXT, 102, 66);
  Image_NXT->setObjectName("Image_NXT");
  Image_NXT->move(17, 22);
  // "File Size: ", a size of up to six digits and "Bytes" side by side:
  // placed by the font's widths, in a font small enough for the row to fit.
  // The size gets room for six of the widest digit, a pixel clear of the caption.
  auto sizeWidth = [](const QFontMetrics& fm) {
    int width = 0;
    for (char c = '0'; c <= '9'; ++c) width = std::max(width, fm.horizontalAdvance(QString(6, c)));
    return width;
  };
  const QFont font = FittingFont(GroupBox_NXT->font(), [&](const QFontMetrics& fm) {
    return 9 + fm.horizontalAdvance("File Size: ") + sizeWidth(fm) + 1 +
               fm.horizontalAdvance(" Bytes") <=
           133;
  });
  const QFontMetrics fm(font);
  auto label = [&](const QString& text, int left, int top, const char* name = nullptr) {
    auto* l = new QLabel(text, GroupBox_NXT);
    if (name) l->setObjectName(name);
    l->setFont(font);
    l->move(left, top);
    l->adjustSize();
    return l;
  };
  label("Elements:", 8, 96);
  Label_Elements = label("0", 80, 96, "Label_Elements");
  label("File Size: ", 8, 112);
  Label_FileSize = label("0", 9 + fm.horizontalAdvance("File Size: "), 112, "Label_FileSize");
  Label_FileSize->resize(sizeWidth(fm), Label_FileSize->height());
  Label_FileSize->setAlignment(Qt::AlignRight | Qt::AlignTop);
  label("Bytes", Label_FileSize->geometry().right() + 1 + fm.horizontalAdvance(" "), 112);
  SpeedButton_FileIO_Open =
      NewSpeedButton(GroupBox_NXT, "SpeedButton_FileIO_Open", "open", "Open RIC file", 6, 133);
  SpeedButton_FileIO_Save =
      NewSpeedButton(GroupBox_NXT, "SpeedButton_FileIO_Save", "save", "Save RIC file", 31, 133);
  SpeedButton_FileIO_SaveAs = NewSpeedButton(GroupBox_NXT, "SpeedButton_FileIO_SaveAs", "saveas",
                                             "Save RIC file as", 56, 133);
  SpeedButton_FileIO_Merge =
      NewSpeedButton(GroupBox_NXT, "SpeedButton_FileIO_Merge", "merge", "Merge RIC files", 81, 133);
  SpeedButton_FileIO_New =
      NewSpeedButton(GroupBox_NXT, "SpeedButton_FileIO_New", "new", "New RIC file", 106, 133);
  connect(SpeedButton_FileIO_Open, &QToolButton::clicked, this, [this] { OpenCommand(); });
  connect(SpeedButton_FileIO_Save, &QToolButton::clicked, this, [this] { SaveDocument(); });
  connect(SpeedButton_FileIO_SaveAs, &QToolButton::clicked, this, [this] { SaveDocumentAs(); });
  connect(SpeedButton_FileIO_Merge, &QToolButton::clicked, this, [this] { MergeCommand(); });
  connect(SpeedButton_FileIO_New, &QToolButton::clicked, this, [this] { NewCommand(); });
  GroupBox_NXT->raise();
}

QWidget* TForm_Tavlin::NewEditPage(const char* name, const QString& header) {
  auto* page = new QWidget(PageControl_Edit);
  page->setObjectName(name);
  if (!header.isEmpty()) AddPageHeader(page, header);
  PageControl_Edit->addWidget(page);
  return page;
}

void TForm_Tavlin::BuildEditPages(QWidget* client) {
  PageControl_Edit = new QStackedWidget(client);
  PageControl_Edit->setObjectName("PageControl_Edit");
  PageControl_Edit->setGeometry(348, 1, 665, 700);
  PageControl_Edit->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);

  TabSheet_Edit_Empty = NewEditPage("TabSheet_Edit_Empty", QString());
  auto* picture = new QLabel(TabSheet_Edit_Empty);
  picture->setObjectName("Image_Empty");
  picture->setPixmap(TavlinPicture(360, 240));
  picture->setGeometry(152, 120, 360, 240);
  auto* text = new QLabel(TabSheet_Edit_Empty);
  text->setObjectName("Label_Empty");
  text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  text->setText(QStringLiteral("<h2>%2</h2>"
                               "<p>RIC picture editor for the LEGO MINDSTORMS NXT display</p>"
                               "<p>%1</p><p>by the Tavlin maintainers</p>"
                               "<p>Open a RIC file or add an element to start.</p>")
                    .arg(QStringLiteral(__DATE__), QString::fromUtf8(kProgramVersionText)));
  text->setGeometry(32, 380, 600, 200);

  BuildInformationPage();
  TabSheet_Edit_Sprite = new TSpritePage(*this, PageControl_Edit);
  PageControl_Edit->addWidget(TabSheet_Edit_Sprite);
  TabSheet_Edit_VarMap = new TVarMapPage(*this, PageControl_Edit);
  PageControl_Edit->addWidget(TabSheet_Edit_VarMap);
  TabSheet_Edit_CopyBits = new TCopyBitsPage(*this, PageControl_Edit);
  PageControl_Edit->addWidget(TabSheet_Edit_CopyBits);
  BuildShapePages();
  TabSheet_Edit_Polygon = new TPolygonPage(
      *this, [this] { ScheduleRefresh(kRefreshPageImage); }, PageControl_Edit);
  PageControl_Edit->addWidget(TabSheet_Edit_Polygon);
  screens_.append(TabSheet_Edit_Polygon->Screen());
  BuildPreviewPage();
}

void TForm_Tavlin::SetUpWindow() {
  editEventsEnabled_ = false;
  DrawGrid_RIC->SetRowCount(2);
  // The step column takes from the object column what the largest step
  // number needs beyond its usual width.
  const int stepWidth =
      std::max(30, DrawGrid_RIC->viewport()->fontMetrics().horizontalAdvance("32768") + 8);
  DrawGrid_RIC->SetGeometryDefaults(24, 48, stepWidth, 310 - stepWidth);
  TabSheet_Edit_Sprite->PaintMarkImage();
  workDisplay_ = NXTDisplay();
  PageControl_Edit->setCurrentWidget(TabSheet_Edit_Empty);
  RefreshDocumentView();
}

void TForm_Tavlin::ShowElement(int index) {
  const BrickPass pass(*this);  // the page and the preview share one encoding
  TabSheet_Edit_Sprite->SelectionChanging(ElementList().At(index));
  ShowElementPage(index);
  // In preview mode the preview stays in view; a command that changed the
  // document shows in it at once.
  if (InPreviewMode()) {
    PageControl_Edit->setCurrentWidget(TabSheet_Edit_Preview);
    RenderPreview();
  }
}

void TForm_Tavlin::ShowElementPage(int index) {
  if (!ElementList().ValidIndex(index)) {
    PageControl_Edit->setCurrentWidget(TabSheet_Edit_Empty);
    selectedElement_ = nullptr;
    Document().Track(nullptr);
    ShowKindMenus(nullptr);  // their commands need a selected Sprite or VarMap
    return;
  }
  selectedElement_ = ElementList()[index];
  EditEventsPause pause(*this);
  const TRICElement& e = *selectedElement_;
  switch (EditorKind(e.Kind).Page) {
    case PageType::Information:
      SpinEdit_Information_Options->Hold(e.Options);
      SpinEdit_Information_Width->Hold(e.Width);  // also beyond 0..100 until edited
      SpinEdit_Information_Height->Hold(e.Height);
      PageControl_Edit->setCurrentWidget(TabSheet_Edit_Information);
      break;
    case PageType::Sprite:
      TabSheet_Edit_Sprite->ShowSprite(*selectedElement_);
      PageControl_Edit->setCurrentWidget(TabSheet_Edit_Sprite);
      break;
    case PageType::VarMap:
      TabSheet_Edit_VarMap->ShowVarMapPage(e);
      PageControl_Edit->setCurrentWidget(TabSheet_Edit_VarMap);
      break;
    case PageType::CopyBits:
      TabSheet_Edit_CopyBits->ShowCopyBits(e);
      PageControl_Edit->setCurrentWidget(TabSheet_Edit_CopyBits);
      break;
    case PageType::Shape: {
      TShapePage* page = shapePages_[std::size_t(e.Kind)];
      page->ShowShape(e);
      PageControl_Edit->setCurrentWidget(page);
      RedrawShapeImage();
      break;
    }
    case PageType::Polygon:
      TabSheet_Edit_Polygon->ShowPolygon(e);
      PageControl_Edit->setCurrentWidget(TabSheet_Edit_Polygon);
      RedrawShapeImage();
      break;
  }
  ShowKindMenus(&e);
  // The element's state as shown is where its next edit starts from.
  Document().Track(selectedElement_);
}

void TForm_Tavlin::SelectElement(int index) {
  if (!ElementList().ValidIndex(index)) return;
  selectedIndex_ = index;
  DrawGrid_RIC->SetRow(index + 1, false);
  EditEventsPause pause(*this);
  ShowElement(index);
}

bool TForm_Tavlin::Modified() const { return Document().Modified(); }

void TForm_Tavlin::SetCurrentFileName(const QString& path) {
  currentFileName_ = path;
  Document().SetFileName(LocalPath(path));
  // The document now matches the file as it is, or belongs to none.
  if (path.isEmpty())
    diskWatch_->Forget();
  else
    diskWatch_->Track(path);
  UpdateTitle();
}

void TForm_Tavlin::ShowKindMenus(const TRICElement* e) {
  bool sprite = e && e->Kind == RICElementKind::Sprite;
  // The View menu keeps the display modes; its zoom entries are the sprite's.
  for (const char* name : {"Menu_View_ZoomIn", "Menu_View_ZoomOut", "Menu_View_ZoomSeparator",
                           "Menu_View_ZoomNXTDisplaySize"})
    if (auto* a = Menu_View->findChild<QAction*>(name)) a->setVisible(sprite);
  Menu_Edit_SpriteSeparator->setVisible(sprite);
  Menu_Edit_Sprite->menuAction()->setVisible(sprite);
  Menu_Edit_VarMap->menuAction()->setVisible(e && e->Kind == RICElementKind::VarMap);
}

void TForm_Tavlin::UpdateDocumentStatus() {
  int n = ElementList().Count();
  for (QToolButton* b : {SpeedButton_RIC_Delete, SpeedButton_RIC_Double}) b->setEnabled(n > 0);
  for (QToolButton* b : {SpeedButton_RIC_MoveUp, SpeedButton_RIC_MoveDown}) b->setEnabled(n > 1);
  // Delete and Double need an element, Move Up and Move Down two.
  for (int i = 0; i < elementListActions_.size(); ++i)
    elementListActions_[i]->setEnabled(n > (i < 2 ? 0 : 1));
  StatusPanel[4]->setText(QString::number(n));
  Label_Elements->setText(QString::number(n));
  Label_Elements->adjustSize();
  // As the file is on disk until the document changes, then as it will be written.
  const RICDocument& document = Document();
  Label_FileSize->setText(
      QString::number(document.Modified() ? std::uint64_t(ComputeFileSize(ElementList()))
                                          : DocumentFileSize(document.FileName(), ElementList())));
}

void TForm_Tavlin::PaintDisplayInto(TNxtImage* image) {
  image->SetPicture(ZoomedDisplayImage(workDisplay_, image->width(), image->height()));
}

void TForm_Tavlin::RefreshDocumentView() {
  pendingRefresh_ &= ~kRefreshDocument;
  ++documentRenders_;
  UpdateDocumentStatus();
  if (BrickVariantOf(displayMode_)) {
    const BrickCall call = BrickCallAt(0, 0, false);
    RenderBrickInto(workDisplay_, BrickBytes(), call);
    if (!InPreviewMode()) UpdateBrickChecks(call);
  } else {
    RenderDocumentInto(workDisplay_, 0, 0, Document());
  }
  PaintDisplayInto(Image_NXT);
  ShowHistoryState();
}

void TForm_Tavlin::ScheduleRefresh(int parts) {
  pendingRefresh_ |= parts;
  if (refreshPosted_) return;
  refreshPosted_ = true;
  QTimer::singleShot(0, this, [this] {
    refreshPosted_ = false;
    FlushRefresh();
  });
}

void TForm_Tavlin::FlushRefresh() {
  const int parts = std::exchange(pendingRefresh_, 0);
  const BrickPass pass(*this);  // the views drawn as the brick would share one encoding
  if (parts & kRefreshPage) {
    EditEventsPause pause(*this);
    ShowElement(selectedIndex_);  // its screen too
  } else if (parts & kRefreshPageImage) {
    RedrawShapeImage();
  }
  if (parts & kRefreshPreview) RenderPreview();
  if (parts & kRefreshList) DrawGrid_RIC->viewport()->update();
  // The page's screen shares the work display: the document comes last.
  if (parts & kRefreshDocument) RefreshDocumentView();
}

void TForm_Tavlin::UpdateTitle() {
  const QString name = currentFileName_.isEmpty() ? QStringLiteral("Untitled")
                                                  : QFileInfo(currentFileName_).fileName();
  setWindowFilePath(currentFileName_);
  const bool incomplete = diskWatch_ && diskWatch_->PassedOver() > 0;
  setWindowTitle(name + (Document().Modified() ? "*" : "") +
                 (incomplete ? " (not read completely)" : "") + " - " + kProgramVersionText);
}

void TForm_Tavlin::ShowSavedMessage() {
  StatusPanel[6]->setText("Saved " + QFileInfo(currentFileName_).fileName());
  savedMessage_->start();  // then the file's path again
}

void TForm_Tavlin::ShowPointerPosition(int x, int y) {
  StatusPanel[1]->setText(QString::number(x));
  StatusPanel[2]->setText(QString::number(y));
}

void TForm_Tavlin::ShowFailure(const QString& what) { dialogs_.ShowError(this, what); }

void TForm_Tavlin::closeEvent(QCloseEvent* event) {
  if (Modified()) {
    SaveAnswer answer = dialogs_.AskYesNoCancel(
        this, "RIC file was modified. Would you like to save the file first?");
    // Cancel, Esc and a save that did not happen keep the window open.
    if (answer == SaveAnswer::Cancel || (answer == SaveAnswer::Yes && !SaveDocument())) {
      event->ignore();
      return;
    }
  }
  Animation_PreView->Pause();
  // The user has decided about the work: no copy of it is kept.
  recovery_->Remove();
  // The parameter values are kept on every close; a failure is reported and the window closes all
  // the same. A file that failed to read at start is left as it is, and the
  // default file, which nobody picked, is never written through a link.
  try {
    const bool implicit = Params().ParameterFileName == DefaultParameterFilePath();
    if (implicit && !Params().ParameterFileName.empty())
      CreateParentFolders(Params().ParameterFileName);
    if (!Params().ParameterFileReadFailed && !Params().ParameterFileName.empty())
      WriteParameterFile(Params().ParameterFileName, Params().ParameterSet,
                         implicit ? LinkRule::Refuse : LinkRule::Follow);
  } catch (const TavlinError& e) {
    ShowFailure(QString::fromStdString(e.what()));
  }
  event->accept();
}

void TForm_Tavlin::dragEnterEvent(QDragEnterEvent* event) {
  const QMimeData* mime = event->mimeData();
  if (mime->hasUrls() && !mime->urls().isEmpty() && mime->urls().first().isLocalFile() &&
      QFileInfo(mime->urls().first().toLocalFile()).suffix().compare("ric", Qt::CaseInsensitive) ==
          0)
    event->acceptProposedAction();
}

void TForm_Tavlin::dropEvent(QDropEvent* event) {
  QString path = event->mimeData()->urls().first().toLocalFile();
  event->acceptProposedAction();
  if (AskSaveFirst()) OpenRicFile(path);
}

}  // namespace tavlin
