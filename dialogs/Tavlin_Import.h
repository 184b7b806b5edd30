// TForm_Tavlin_Import: a picture file (BMP, JPEG, GIF, PNG) converted into a
// black-and-white picture for the current sprite. The user browses folders,
// picks a file, sees it, chooses the target size and the brightness threshold,
// sees the converted picture and presses "Import".
//
// Pictures are decoded and cut with the same functions the RicScript IMPORT
// item uses (base/Picture.h), so both give the same pixels. The dialog is
// created once and kept: folder, picture, sizes, threshold and check boxes
// stay as the user left them.
#pragma once

#include <QDialog>
#include <QImage>
#include <QString>
#include <QStringList>

#include "PictureFile.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QFileSystemModel;
class QFrame;
class QGroupBox;
class QLabel;
class QListView;
class QModelIndex;
class QPushButton;
class QScrollBar;
class QShowEvent;
class QSlider;
class QSpinBox;
class QSplitter;
class QTreeView;

namespace tavlin {

class TForm_Tavlin_Import : public QDialog {
  Q_OBJECT

 public:
  explicit TForm_Tavlin_Import(QWidget* parent = nullptr);

  // The converted picture: SpinEdit_Image_Width x SpinEdit_Image_Height,
  // Format_RGB32, pixels 0xFF000000 (black, set) and 0xFFFFFFFF (white).
  // Null when either size is 0.
  const QImage& ConvertedBitmap() const { return convertedBitmap_; }
  // The decoded picture at its own size (null before the first load).
  const QImage& SourceBitmap() const { return sourceBitmap_; }
  // The full path of the picture now loaded; empty until the first load.
  const QString& LoadedFileName() const { return loadedFileName_; }
  // The message of the last picture that could not be loaded; empty after a
  // successful load.
  const QString& LastError() const { return lastError_; }

  // Loads a picture file as selecting it in the file list does. Re-selecting
  // the loaded file does nothing. A file that cannot be decoded is reported
  // (LoadFailed, the error line) and leaves the previous picture, labels and
  // LoadedFileName() as they were; then the result is false.
  bool LoadPictureFile(const QString& path);
  // Shows the folder in the file list (and selects it in the folder tree).
  // Returns false, keeping the previous folder, if it is not a readable folder.
  bool ShowFolder(const QString& path);
  // The folder the file list shows.
  QString ListedFolder() const;
  // Goes where the location field says: a folder is shown, a picture's path
  // shows its folder and loads it. False, with the reason on the error line,
  // for a path that is neither.
  bool GoToLocation();

  void ConvertPicture();
  void AdaptSize();
  void RefreshOriginalPreview();
  void RefreshNXTPreview();

  QLineEdit* Edit_Location;  // the folder shown, or a path to go to
  QPushButton* Button_Home;
  QComboBox* ComboBox_RecentFolders;  // the folders pictures were imported from lately
  QTreeView* ShellTreeView;
  QSplitter* Splitter_FileSelect;
  QListView* ShellListView;
  QGroupBox* GroupBox_Original;
  QLabel* Label_FilenameA;
  QLabel* Label_FilenameB;
  QLabel* Label_Info1;
  QLabel* Label_SizeA;
  QLabel* Label_SizeB;
  QLabel* Label_Info2;
  QCheckBox* CheckBox_OriginalStreched;
  QFrame* Shape_Original;
  QLabel* Image_Original;
  QScrollBar* ScrollBar_Original_H;
  QScrollBar* ScrollBar_Original_V;
  QGroupBox* GroupBox_NXT;
  QLabel* Label_NXT_Width;
  QSpinBox* SpinEdit_Image_Width;
  QLabel* Label_NXT_Height;
  QSpinBox* SpinEdit_Image_Height;
  QPushButton* Button_AdaptSize;
  QLabel* Label_Contrast;
  QSlider* TrackBar_Brightness;
  QLabel* Label_Contrast_Position;
  QCheckBox* CheckBox_NXTStreched;
  QFrame* Shape_NXT;
  QLabel* Image_NXT;
  QScrollBar* ScrollBar_NXT_H;
  QScrollBar* ScrollBar_NXT_V;
  // Why the last chosen file could not be loaded.
  QLabel* Label_LoadError;
  QPushButton* BitBtn_Import;
  QPushButton* BitBtn_Abort;

  // The previews as last drawn (200 x 128 each).
  const QImage& OriginalPreview() const { return originalPreview_; }
  const QImage& NXTPreview() const { return nxtPreview_; }

 signals:
  // A chosen picture file could not be loaded; the message names the file
  // and the reason.
  void LoadFailed(const QString& message);

 private slots:
  void ShellTreeViewChange(const QModelIndex& current);
  void ShellListViewChange(const QModelIndex& current);
  void ShellListViewClick(const QModelIndex& index);
  void CheckBox_OriginalStrechedClick();
  void ScrollBar_OriginalChange();
  void SpinEdit_ImageChange();
  void TrackBar_BrightnessChange();
  void CheckBox_NXTStrechedClick();
  void ScrollBar_NXTChange();
  void Button_AdaptSizeClick();
  void BitBtn_ImportClick();
  void BitBtn_AbortClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void LoadSelectedEntry(const QModelIndex& index);
  void RememberFolder(const QString& folder);
  void FillRecentFolders();
  // Sets the folder tree reading the disk, once.
  void StartBrowsing();

  QFileSystemModel* folderModel_;
  QFileSystemModel* fileModel_;
  Picture source_;
  QImage sourceBitmap_;
  QImage convertedBitmap_;
  QImage originalPreview_;
  QImage nxtPreview_;
  QString loadedFileName_;
  QString lastError_;
  QString revealFolder_;  // the folder to scroll to once the tree has read it
  QStringList recentFolders_;
  QString startFolder_;    // listed when the dialog is first shown
  bool browsing_ = false;  // the folder models read the disk
};

}  // namespace tavlin
