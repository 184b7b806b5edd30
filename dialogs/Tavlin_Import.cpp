#include "Tavlin_Import.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>

#include <exception>

#include "FileIO.h"
#include "ParameterFile.h"

#include "QtFilePaths.h"
#include "WidgetNamesAndPens.h"

namespace tavlin {

namespace {

constexpr int kPreviewWidth = 200;
constexpr int kPreviewHeight = 128;
constexpr int kMaxTargetWidth = 1024;
constexpr int kMaxTargetHeight = 512;

QLabel* NewLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w) {
  QLabel* label = Named(new QLabel(text, parent), name);
  label->setGeometry(x, y, w, 18);
  return label;
}

QImage ImageFromPicture(const Picture& picture) {
  if (picture.Empty()) return QImage();
  QImage image(picture.Width, picture.Height, QImage::Format_RGB32);
  if (image.isNull()) return image;
  for (int y = 0; y < picture.Height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    const Rgb* source = picture.Pixels.data() + std::size_t(y) * std::size_t(picture.Width);
    for (int x = 0; x < picture.Width; ++x) row[x] = 0xFF000000u | source[x];
  }
  return image;
}

// A scroll bar for content c seen through a view of v pixels: ranged
// 0..c - v and shown when the content is larger, else ranged 0 and hidden.
void SetUpScrollBar(QScrollBar* bar, int content, int view) {
  const QSignalBlocker blocker(bar);
  if (view < content) {
    bar->setRange(0, content - view);
    bar->setPageStep((content - view) / 10);
    bar->setVisible(true);
  } else {
    bar->setRange(0, 0);
    bar->setPageStep(0);
    bar->setVisible(false);
  }
}

// Shows a picture 200 x 128: stretched to the whole preview, or at 1:1 from
// (left, top) over the uncovered background.
// The folder column is this much wider than the old fixed dialog's.
constexpr int kFolderColumnExtra = 220;
constexpr int kRecentFolderCount = 8;
constexpr const char* kRecentFoldersKey = "Import/RecentFolders";

QSettings ImportSettings() {
  return QSettings(QString::fromStdString(ConfigFilePath("Tavlin.ini")), QSettings::IniFormat);
}

QImage DrawPreview(const QImage& picture, bool stretched, int left, int top, QColor ground,
                   QColor hatch) {
  QImage preview(kPreviewWidth, kPreviewHeight, QImage::Format_RGB32);
  QPainter painter(&preview);
  painter.fillRect(preview.rect(), ground);
  const bool empty = picture.isNull() || picture.width() <= 0 || picture.height() <= 0;
  if (!stretched || empty) painter.fillRect(preview.rect(), QBrush(hatch, Qt::DiagCrossPattern));
  if (!empty) {
    if (stretched) {
      painter.drawImage(preview.rect(), picture);
    } else {
      const QRect shown = QRect(left, top, kPreviewWidth, kPreviewHeight) & picture.rect();
      painter.fillRect(QRect(QPoint(0, 0), shown.size()), Qt::white);
      painter.drawImage(QPoint(0, 0), picture, shown);
    }
  }
  painter.end();
  return preview;
}

}  // namespace

TForm_Tavlin_Import::TForm_Tavlin_Import(QWidget* parent) : QDialog(parent) {
  setObjectName("Form_Tavlin_Import");
  setWindowTitle("Tavlin V2 - Import");
  // A fixed dialog frame without title-bar buttons.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(618 + kFolderColumnExtra, 571);

  // Where to look: a path to type or paste, Home and the folders used lately.
  Edit_Location = Named(new QLineEdit(this), "Edit_Location");
  Edit_Location->setGeometry(8, 8, 186 + kFolderColumnExtra - 8, 24);
  Edit_Location->setPlaceholderText("Type or paste a folder or a picture's path");
  Edit_Location->setClearButtonEnabled(true);
  Button_Home = Named(new QPushButton("Home", this), "Button_Home");
  Button_Home->setGeometry(8, 38, 70, 26);
  ComboBox_RecentFolders = Named(new QComboBox(this), "ComboBox_RecentFolders");
  ComboBox_RecentFolders->setGeometry(84, 38, 186 + kFolderColumnExtra - 84, 26);
  ComboBox_RecentFolders->setPlaceholderText("Recent folders");
  ComboBox_RecentFolders->setToolTip("The folders pictures were imported from lately");
  const QSettings settings = ImportSettings();
  recentFolders_ = settings.value(kRecentFoldersKey).toStringList();
  FillRecentFolders();

  // Folder tree above, file list below.
  Splitter_FileSelect = Named(new QSplitter(Qt::Vertical, this), "Splitter_FileSelect");
  Splitter_FileSelect->setGeometry(8, 70, 186 + kFolderColumnExtra - 8, 555 - 62);
  Splitter_FileSelect->setChildrenCollapsible(false);

  folderModel_ = new QFileSystemModel(this);
  folderModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  ShellTreeView = Named(new QTreeView(Splitter_FileSelect), "ShellTreeView");
  ShellTreeView->setModel(folderModel_);
  ShellTreeView->setHeaderHidden(true);
  for (int column = 1; column < folderModel_->columnCount(); ++column)
    ShellTreeView->hideColumn(column);

  fileModel_ = new QFileSystemModel(this);
  fileModel_->setFilter(QDir::Files | QDir::NoDotAndDotDot);
  fileModel_->setNameFilters({"*.bmp", "*.jpg", "*.jpeg", "*.gif", "*.png"});
  fileModel_->setNameFilterDisables(false);
  fileModel_->sort(0, Qt::AscendingOrder);
  ShellListView = Named(new QListView(Splitter_FileSelect), "ShellListView");
  ShellListView->setModel(fileModel_);
  ShellListView->setSelectionMode(QAbstractItemView::SingleSelection);
  ShellListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Splitter_FileSelect->setSizes({300, 555 - 62 - 300});  // most of the column for the tree

  // The source picture.
  GroupBox_Original = Named(new QGroupBox("Original", this), "GroupBox_Original");
  GroupBox_Original->setGeometry(422, 8, 408, 214);
  Label_FilenameA = NewLabel(GroupBox_Original, "Label_FilenameA", "File name", 10, 24, 60);
  Label_FilenameB = NewLabel(GroupBox_Original, "Label_FilenameB", ":", 72, 24, 8);
  Label_Info1 = NewLabel(GroupBox_Original, "Label_Info1", QString(), 82, 24, 318);
  Label_SizeA = NewLabel(GroupBox_Original, "Label_SizeA", "File size", 10, 44, 60);
  Label_SizeB = NewLabel(GroupBox_Original, "Label_SizeB", ":", 72, 44, 8);
  Label_Info2 = NewLabel(GroupBox_Original, "Label_Info2", QString(), 82, 44, 318);
  CheckBox_OriginalStreched =
      Named(new QCheckBox("Strech image", GroupBox_Original), "CheckBox_OriginalStreched");
  CheckBox_OriginalStreched->setGeometry(10, 72, 160, 20);
  Shape_Original = Named(new QFrame(GroupBox_Original), "Shape_Original");
  Shape_Original->setFrameStyle(QFrame::Box | QFrame::Plain);
  Shape_Original->setGeometry(179, 67, kPreviewWidth + 2, kPreviewHeight + 2);
  Image_Original = Named(new QLabel(GroupBox_Original), "Image_Original");
  Image_Original->setGeometry(180, 68, kPreviewWidth, kPreviewHeight);
  ScrollBar_Original_H =
      Named(new QScrollBar(Qt::Horizontal, GroupBox_Original), "ScrollBar_Original_H");
  ScrollBar_Original_H->setGeometry(180, 68 + kPreviewHeight + 2, kPreviewWidth, 14);
  ScrollBar_Original_V =
      Named(new QScrollBar(Qt::Vertical, GroupBox_Original), "ScrollBar_Original_V");
  ScrollBar_Original_V->setGeometry(180 + kPreviewWidth + 2, 68, 14, kPreviewHeight);

  // The converted picture.
  GroupBox_NXT = Named(new QGroupBox("NXT image", this), "GroupBox_NXT");
  GroupBox_NXT->setGeometry(422, 230, 408, 214);
  Label_NXT_Width = NewLabel(GroupBox_NXT, "Label_NXT_Width", "Width", 10, 28, 50);
  SpinEdit_Image_Width = Named(new QSpinBox(GroupBox_NXT), "SpinEdit_Image_Width");
  SpinEdit_Image_Width->setGeometry(62, 24, 70, 24);
  SpinEdit_Image_Width->setRange(0, kMaxTargetWidth);
  SpinEdit_Image_Width->setValue(100);
  Label_NXT_Height = NewLabel(GroupBox_NXT, "Label_NXT_Height", "Height", 10, 58, 50);
  SpinEdit_Image_Height = Named(new QSpinBox(GroupBox_NXT), "SpinEdit_Image_Height");
  SpinEdit_Image_Height->setGeometry(62, 54, 70, 24);
  SpinEdit_Image_Height->setRange(0, kMaxTargetHeight);
  SpinEdit_Image_Height->setValue(64);
  Button_AdaptSize = Named(new QPushButton("Adapt", GroupBox_NXT), "Button_AdaptSize");
  Button_AdaptSize->setGeometry(10, 86, 122, 26);
  CheckBox_NXTStreched = Named(new QCheckBox("Strech image", GroupBox_NXT), "CheckBox_NXTStreched");
  CheckBox_NXTStreched->setGeometry(10, 124, 122, 20);
  Label_Contrast = NewLabel(GroupBox_NXT, "Label_Contrast", "Contrast", 130, 22, 56);
  Label_Contrast->setAlignment(Qt::AlignCenter);
  TrackBar_Brightness = Named(new QSlider(Qt::Vertical, GroupBox_NXT), "TrackBar_Brightness");
  TrackBar_Brightness->setGeometry(142, 42, 32, 130);
  TrackBar_Brightness->setRange(0, 100);
  TrackBar_Brightness->setValue(50);
  TrackBar_Brightness->setPageStep(5);
  TrackBar_Brightness->setSingleStep(1);
  TrackBar_Brightness->setTickInterval(20);
  TrackBar_Brightness->setTickPosition(QSlider::TicksBothSides);
  TrackBar_Brightness->setInvertedAppearance(true);  // 0 at the top
  Label_Contrast_Position = NewLabel(GroupBox_NXT, "Label_Contrast_Position", "50 %", 134, 176, 48);
  Label_Contrast_Position->setAlignment(Qt::AlignCenter);
  Shape_NXT = Named(new QFrame(GroupBox_NXT), "Shape_NXT");
  Shape_NXT->setFrameStyle(QFrame::Box | QFrame::Plain);
  Shape_NXT->setGeometry(185, 23, kPreviewWidth + 2, kPreviewHeight + 2);
  Image_NXT = Named(new QLabel(GroupBox_NXT), "Image_NXT");
  Image_NXT->setGeometry(186, 24, kPreviewWidth, kPreviewHeight);
  ScrollBar_NXT_H = Named(new QScrollBar(Qt::Horizontal, GroupBox_NXT), "ScrollBar_NXT_H");
  ScrollBar_NXT_H->setGeometry(186, 24 + kPreviewHeight + 2, kPreviewWidth, 14);
  ScrollBar_NXT_V = Named(new QScrollBar(Qt::Vertical, GroupBox_NXT), "ScrollBar_NXT_V");
  ScrollBar_NXT_V->setGeometry(186 + kPreviewWidth + 2, 24, 14, kPreviewHeight);

  Label_LoadError = Named(new QLabel(this), "Label_LoadError");
  Label_LoadError->setGeometry(422, 452, 408, 66);
  Label_LoadError->setWordWrap(true);
  Label_LoadError->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label_LoadError->setStyleSheet("color: #C00000;");

  BitBtn_Import = Named(new QPushButton("Import", this), "BitBtn_Import");
  BitBtn_Import->setGeometry(654, 533, 84, 30);
  BitBtn_Import->setDefault(true);
  BitBtn_Abort = Named(new QPushButton("Abort", this), "BitBtn_Abort");
  BitBtn_Abort->setGeometry(746, 533, 84, 30);

  // Nothing to scroll yet: all four bars hidden.
  for (QScrollBar* bar :
       {ScrollBar_Original_H, ScrollBar_Original_V, ScrollBar_NXT_H, ScrollBar_NXT_V})
    SetUpScrollBar(bar, 0, 1);

  connect(ShellTreeView->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &TForm_Tavlin_Import::ShellTreeViewChange);
  connect(ShellListView->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &TForm_Tavlin_Import::ShellListViewChange);
  connect(ShellListView, &QListView::clicked, this, &TForm_Tavlin_Import::ShellListViewClick);
  connect(CheckBox_OriginalStreched, &QCheckBox::toggled, this,
          &TForm_Tavlin_Import::CheckBox_OriginalStrechedClick);
  connect(ScrollBar_Original_H, &QScrollBar::valueChanged, this,
          &TForm_Tavlin_Import::ScrollBar_OriginalChange);
  connect(ScrollBar_Original_V, &QScrollBar::valueChanged, this,
          &TForm_Tavlin_Import::ScrollBar_OriginalChange);
  connect(SpinEdit_Image_Width, &QSpinBox::valueChanged, this,
          &TForm_Tavlin_Import::SpinEdit_ImageChange);
  connect(SpinEdit_Image_Height, &QSpinBox::valueChanged, this,
          &TForm_Tavlin_Import::SpinEdit_ImageChange);
  connect(TrackBar_Brightness, &QSlider::valueChanged, this,
          &TForm_Tavlin_Import::TrackBar_BrightnessChange);
  connect(CheckBox_NXTStreched, &QCheckBox::toggled, this,
          &TForm_Tavlin_Import::CheckBox_NXTStrechedClick);
  connect(ScrollBar_NXT_H, &QScrollBar::valueChanged, this,
          &TForm_Tavlin_Import::ScrollBar_NXTChange);
  connect(ScrollBar_NXT_V, &QScrollBar::valueChanged, this,
          &TForm_Tavlin_Import::ScrollBar_NXTChange);
  connect(Button_AdaptSize, &QPushButton::clicked, this,
          &TForm_Tavlin_Import::Button_AdaptSizeClick);
  connect(BitBtn_Import, &QPushButton::clicked, this, &TForm_Tavlin_Import::BitBtn_ImportClick);
  connect(BitBtn_Abort, &QPushButton::clicked, this, &TForm_Tavlin_Import::BitBtn_AbortClick);

  // The tree fills in the background; bring the chosen folder into view
  // once its branch has been read.
  connect(folderModel_, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
    if (revealFolder_.isEmpty() || !revealFolder_.startsWith(loaded)) return;
    const bool last = loaded == revealFolder_ || loaded == QFileInfo(revealFolder_).absolutePath();
    // The model sorts what it read a moment later; scroll after that.
    QTimer::singleShot(100, this, [this, last] {
      if (revealFolder_.isEmpty()) return;
      const QModelIndex node = folderModel_->index(revealFolder_);
      if (node.isValid()) ShellTreeView->scrollTo(node, QAbstractItemView::PositionAtCenter);
      if (last) revealFolder_.clear();
    });
  });

  Edit_Location->installEventFilter(this);
  connect(Button_Home, &QPushButton::clicked, this, [this] { ShowFolder(QDir::homePath()); });
  connect(ComboBox_RecentFolders, &QComboBox::activated, this,
          [this](int index) { ShowFolder(ComboBox_RecentFolders->itemText(index)); });

  // The folders are read when the dialog is first shown (or told a folder):
  // a dialog kept for later costs no reading of the disk meanwhile.
  startFolder_ = QDir::currentPath();
  RefreshOriginalPreview();
  ConvertPicture();
}

void TForm_Tavlin_Import::StartBrowsing() {
  if (browsing_) return;
  browsing_ = true;
  folderModel_->setRootPath(QString());
}

void TForm_Tavlin_Import::showEvent(QShowEvent* event) {
  if (!browsing_) {
    StartBrowsing();
    ShowFolder(startFolder_);
  }
  QDialog::showEvent(event);
}

bool TForm_Tavlin_Import::ShowFolder(const QString& path) {
  const QFileInfo info(path);
  if (path.isEmpty() || !info.isDir() || !info.isReadable()) return false;
  StartBrowsing();
  const QString folder = info.absoluteFilePath();
  fileModel_->setRootPath(folder);
  ShellListView->setRootIndex(fileModel_->index(folder));
  Edit_Location->setText(QDir::toNativeSeparators(folder));
  const QModelIndex node = folderModel_->index(folder);
  if (node.isValid()) {
    const QSignalBlocker blocker(ShellTreeView->selectionModel());
    ShellTreeView->setCurrentIndex(node);
    ShellTreeView->scrollTo(node);
    revealFolder_ = folder;
  }
  return true;
}

QString TForm_Tavlin_Import::ListedFolder() const {
  return browsing_ ? fileModel_->rootPath() : QFileInfo(startFolder_).absoluteFilePath();
}

void TForm_Tavlin_Import::ShellTreeViewChange(const QModelIndex& current) {
  if (!current.isValid()) return;
  // A folder that cannot be listed leaves the list where it was.
  const QString path = folderModel_->filePath(current);
  const QFileInfo info(path);
  if (!info.isDir() || !info.isReadable()) return;
  fileModel_->setRootPath(path);
  ShellListView->setRootIndex(fileModel_->index(path));
  Edit_Location->setText(QDir::toNativeSeparators(path));
}

bool TForm_Tavlin_Import::GoToLocation() {
  QString path = QDir::fromNativeSeparators(Edit_Location->text().trimmed());
  if (path == "~" || path.startsWith("~/")) path = QDir::homePath() + path.mid(1);
  const QFileInfo info(path);
  if (info.isFile()) {
    // A picture's path: its folder, and the picture loaded.
    ShowFolder(info.absolutePath());
    Edit_Location->setText(QDir::toNativeSeparators(info.absoluteFilePath()));
    return LoadPictureFile(info.absoluteFilePath());
  }
  if (ShowFolder(path)) return true;
  lastError_ = QString("%1: no such folder or picture").arg(path);
  Label_LoadError->setText(lastError_);
  return false;
}

void TForm_Tavlin_Import::RememberFolder(const QString& folder) {
  recentFolders_.removeAll(folder);
  recentFolders_.prepend(folder);
  while (recentFolders_.size() > kRecentFolderCount) recentFolders_.removeLast();
  QSettings settings = ImportSettings();
  settings.setValue(kRecentFoldersKey, recentFolders_);
  FillRecentFolders();
}

void TForm_Tavlin_Import::FillRecentFolders() {
  ComboBox_RecentFolders->clear();
  for (const QString& folder : recentFolders_) ComboBox_RecentFolders->addItem(folder);
  ComboBox_RecentFolders->setCurrentIndex(-1);
}

void TForm_Tavlin_Import::LoadSelectedEntry(const QModelIndex& index) {
  if (!index.isValid() || fileModel_->isDir(index)) return;
  // Only the picture names the list is meant to show.
  if (!IsPictureFileName(fileModel_->fileName(index).toStdString())) return;
  LoadPictureFile(fileModel_->filePath(index));
}

void TForm_Tavlin_Import::ShellListViewChange(const QModelIndex& current) {
  LoadSelectedEntry(current);
}

void TForm_Tavlin_Import::ShellListViewClick(const QModelIndex& index) { LoadSelectedEntry(index); }

bool TForm_Tavlin_Import::LoadPictureFile(const QString& path) {
  if (path.isEmpty()) return false;
  if (path == loadedFileName_) return true;
  Picture picture;
  QImage image;
  try {
    picture = LoadPicture(LocalPath(path));
    image = ImageFromPicture(picture);
    if (image.isNull()) throw TavlinError(path.toStdString(), "not enough memory for the picture");
  } catch (const std::exception& error) {
    lastError_ = QString::fromLocal8Bit(error.what());
    Label_LoadError->setText(lastError_);
    emit LoadFailed(lastError_);
    return false;
  }
  source_ = std::move(picture);
  sourceBitmap_ = image;
  lastError_.clear();
  Label_LoadError->clear();

  const int width = source_.Width;
  const int height = source_.Height;
  Label_Info1->setText(QFileInfo(path).fileName());
  Label_Info2->setText(QString("%1 * %2 Pixels").arg(width).arg(height));
  loadedFileName_ = path;
  SetUpScrollBar(ScrollBar_Original_H, width, kPreviewWidth);
  SetUpScrollBar(ScrollBar_Original_V, height, kPreviewHeight);
  {
    const QSignalBlocker blocker(CheckBox_OriginalStreched);
    CheckBox_OriginalStreched->setChecked(true);
  }
  Button_AdaptSize->setEnabled(width <= kMaxTargetWidth && height <= kMaxTargetHeight);
  RefreshOriginalPreview();
  ConvertPicture();
  return true;
}

void TForm_Tavlin_Import::RefreshOriginalPreview() {
  const bool stretched = CheckBox_OriginalStreched->isChecked();
  if (stretched) {
    ScrollBar_Original_H->setVisible(false);
    ScrollBar_Original_V->setVisible(false);
  } else {
    ScrollBar_Original_H->setVisible(ScrollBar_Original_H->maximum() != 0);
    ScrollBar_Original_V->setVisible(ScrollBar_Original_V->maximum() != 0);
  }
  originalPreview_ = DrawPreview(sourceBitmap_, stretched, ScrollBar_Original_H->value(),
                                 ScrollBar_Original_V->value(), Qt::white, QColor(0xFF, 0, 0));
  Image_Original->setPixmap(QPixmap::fromImage(originalPreview_));
}

void TForm_Tavlin_Import::ConvertPicture() {
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  const int width = SpinEdit_Image_Width->value();
  const int height = SpinEdit_Image_Height->value();
  const int threshold = TrackBar_Brightness->value();
  Label_Contrast_Position->setText(QString("%1 %").arg(threshold));
  try {
    convertedBitmap_ = ImageFromPicture(ConvertToBlackAndWhite(source_, width, height, threshold));
  } catch (const std::exception&) {
    // Cannot happen within the spin ranges; an empty picture is the safe answer.
    convertedBitmap_ = QImage();
  }
  RefreshNXTPreview();
  QGuiApplication::restoreOverrideCursor();
}

void TForm_Tavlin_Import::RefreshNXTPreview() {
  const bool stretched = CheckBox_NXTStreched->isChecked();
  if (stretched) {
    ScrollBar_NXT_H->setVisible(false);
    ScrollBar_NXT_V->setVisible(false);
  } else {
    SetUpScrollBar(ScrollBar_NXT_H, SpinEdit_Image_Width->value(), kPreviewWidth);
    SetUpScrollBar(ScrollBar_NXT_V, SpinEdit_Image_Height->value(), kPreviewHeight);
  }
  nxtPreview_ = DrawPreview(convertedBitmap_, stretched, ScrollBar_NXT_H->value(),
                            ScrollBar_NXT_V->value(), QColor(0x80, 0x80, 0x80), Qt::white);
  Image_NXT->setPixmap(QPixmap::fromImage(nxtPreview_));
}

void TForm_Tavlin_Import::AdaptSize() {
  // The size of what the source preview holds: the picture itself while it
  // is stretched into the preview, the preview's own size otherwise.
  const bool stretched = CheckBox_OriginalStreched->isChecked();
  SpinEdit_Image_Width->setValue(stretched ? source_.Width : kPreviewWidth);
  SpinEdit_Image_Height->setValue(stretched ? source_.Height : kPreviewHeight);
}

void TForm_Tavlin_Import::CheckBox_OriginalStrechedClick() { RefreshOriginalPreview(); }
void TForm_Tavlin_Import::ScrollBar_OriginalChange() { RefreshOriginalPreview(); }
void TForm_Tavlin_Import::SpinEdit_ImageChange() { ConvertPicture(); }
void TForm_Tavlin_Import::TrackBar_BrightnessChange() { ConvertPicture(); }
void TForm_Tavlin_Import::CheckBox_NXTStrechedClick() { RefreshNXTPreview(); }
void TForm_Tavlin_Import::ScrollBar_NXTChange() { RefreshNXTPreview(); }
void TForm_Tavlin_Import::Button_AdaptSizeClick() { AdaptSize(); }

void TForm_Tavlin_Import::BitBtn_ImportClick() {
  if (loadedFileName_.isEmpty()) {
    reject();
    return;
  }
  RememberFolder(QFileInfo(loadedFileName_).absolutePath());
  accept();
}

bool TForm_Tavlin_Import::eventFilter(QObject* watched, QEvent* event) {
  // Return in the location goes there, not to the Import button.
  if (watched == Edit_Location && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      GoToLocation();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TForm_Tavlin_Import::BitBtn_AbortClick() { reject(); }

}  // namespace tavlin
