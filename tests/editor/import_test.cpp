// The image import dialog: a picture file is loaded with the program's own
// decoders, stretched to the chosen size and cut into black and white at the
// chosen threshold; damaged files are reported and change nothing; the
// settings stay from one use to the next.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <memory>

#include "PictureFile.h"
#include "Tavlin_Import.h"

using tavlin::TForm_Tavlin_Import;

namespace {

constexpr QRgb kBlackPixel = 0xFF000000u;
constexpr QRgb kWhitePixel = 0xFFFFFFFFu;

// A 4 x 2 picture whose pixels sit on both sides of the thresholds:
//   grey 127, red 128, pure red, black
//   pure green, pure blue, red 1, white
QImage PatternImage() {
  QImage image(4, 2, QImage::Format_RGB32);
  const QRgb pixels[2][4] = {
      {qRgb(127, 127, 127), qRgb(128, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 0)},
      {qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(1, 0, 0), qRgb(255, 255, 255)}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) image.setPixel(x, y, pixels[y][x]);
  return image;
}

// Rows of 'B' (black) and '.' (white).
QStringList Rows(const QImage& image) {
  QStringList rows;
  for (int y = 0; y < image.height(); ++y) {
    QString row;
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      row += p == kBlackPixel ? 'B' : p == kWhitePixel ? '.' : '?';
    }
    rows << row;
  }
  return rows;
}

}  // namespace

class ImportTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  std::unique_ptr<TForm_Tavlin_Import> d_;

  QString Path(const QString& name) const { return dir_.filePath(name); }
  QString Save(const QImage& image, const QString& name) {
    const QString path = Path(name);
    if (!image.save(path)) qFatal("cannot write %s", qPrintable(path));
    return path;
  }
  QString WriteBytes(const QString& name, const QByteArray& bytes) {
    QFile file(Path(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
      qFatal("cannot write %s", qPrintable(name));
    return file.fileName();
  }
  void SetSize(int width, int height) {
    d_->SpinEdit_Image_Width->setValue(width);
    d_->SpinEdit_Image_Height->setValue(height);
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    qputenv("XDG_CONFIG_HOME", dir_.filePath("config").toLocal8Bit());
  }
  void init() { d_ = std::make_unique<TForm_Tavlin_Import>(nullptr); }
  void cleanup() { d_.reset(); }

  void startsWithTheDisplaySize();
  void cutsAtTheThreshold_data();
  void cutsAtTheThreshold();
  void stretchesToTheChosenSize_data();
  void stretchesToTheChosenSize();
  void zeroSizeGivesNoPicture();
  void adaptTakesThePreviewedSize();
  void adaptOnlyForPicturesThatFitASprite();
  void damagedFileIsReportedAndChangesNothing_data();
  void damagedFileIsReportedAndChangesNothing();
  void reselectingTheLoadedFileDoesNotReload();
  void previewsShowPictureAndHatch();
  void scrollBarsFollowLargePictures();
  void fileListShowsOnlyPictures();
  void listsTheWorkingFolderWhenFirstShown();
  void importNeedsALoadedPicture();
  void settingsStayBetweenTwoRuns();
  void locationHomeAndRecentFolders();
};

void ImportTest::startsWithTheDisplaySize() {
  QCOMPARE(d_->windowTitle(), QString("Tavlin V2 - Import"));
  QCOMPARE(d_->size(), QSize(838, 571));
  QCOMPARE(d_->SpinEdit_Image_Width->value(), 100);
  QCOMPARE(d_->SpinEdit_Image_Height->value(), 64);
  QCOMPARE(d_->SpinEdit_Image_Width->maximum(), 1024);
  QCOMPARE(d_->SpinEdit_Image_Height->maximum(), 512);
  QCOMPARE(d_->SpinEdit_Image_Width->minimum(), 0);
  QCOMPARE(d_->TrackBar_Brightness->value(), 50);
  QCOMPARE(d_->TrackBar_Brightness->maximum(), 100);
  QCOMPARE(d_->TrackBar_Brightness->pageStep(), 5);
  QCOMPARE(d_->TrackBar_Brightness->tickInterval(), 20);
  QCOMPARE(d_->Label_Contrast_Position->text(), QString("50 %"));
  QCOMPARE(d_->Image_Original->size(), QSize(200, 128));
  QCOMPARE(d_->Image_NXT->size(), QSize(200, 128));
  QCOMPARE(d_->BitBtn_Import->text(), QString("Import"));
  QCOMPARE(d_->BitBtn_Abort->text(), QString("Abort"));
  QCOMPARE(d_->Button_AdaptSize->text(), QString("Adapt"));
  QCOMPARE(d_->CheckBox_NXTStreched->text(), QString("Strech image"));
  QVERIFY(d_->LoadedFileName().isEmpty());
  d_->show();
  QVERIFY(QTest::qWaitForWindowExposed(d_.get()));
  for (QScrollBar* bar : d_->findChildren<QScrollBar*>(QRegularExpression("^ScrollBar_")))
    QVERIFY2(!bar->isVisible(), qPrintable(bar->objectName()));

  // A loaded picture at the defaults fills the NXT display exactly.
  QVERIFY(d_->LoadPictureFile(Save(PatternImage(), "default.png")));
  QCOMPARE(d_->ConvertedBitmap().size(), QSize(100, 64));
  QCOMPARE(d_->ConvertedBitmap().format(), QImage::Format_RGB32);
  QCOMPARE(d_->Label_Info1->text(), QString("default.png"));
  QCOMPARE(d_->Label_Info2->text(), QString("4 * 2 Pixels"));
  QVERIFY(d_->CheckBox_OriginalStreched->isChecked());
}

void ImportTest::cutsAtTheThreshold_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<int>("threshold");
  QTest::addColumn<QStringList>("rows");
  for (const char* file : {"pattern.png", "pattern.bmp"}) {
    QTest::addRow("%s at 0", file) << file << 0 << QStringList{"...B", "...."};
    QTest::addRow("%s at 49", file) << file << 49 << QStringList{"...B", "..B."};
    QTest::addRow("%s at 50", file) << file << 50 << QStringList{"B..B", "..B."};
    QTest::addRow("%s at 51", file) << file << 51 << QStringList{"BB.B", "..B."};
    QTest::addRow("%s at 99", file) << file << 99 << QStringList{"BB.B", "..B."};
    QTest::addRow("%s at 100", file) << file << 100 << QStringList{"BBBB", "BBBB"};
  }
}

void ImportTest::cutsAtTheThreshold() {
  QFETCH(QString, file);
  QFETCH(int, threshold);
  QFETCH(QStringList, rows);
  const QString path = Save(PatternImage(), file);
  QVERIFY(d_->LoadPictureFile(path));
  SetSize(4, 2);
  d_->TrackBar_Brightness->setValue(threshold);
  QCOMPARE(d_->Label_Contrast_Position->text(), QString("%1 %").arg(threshold));
  QCOMPARE(Rows(d_->ConvertedBitmap()), rows);
  // The RicScript IMPORT item cuts the same file the same way.
  const tavlin::Picture script =
      tavlin::ConvertToBlackAndWhite(tavlin::LoadPicture(path.toStdString()), 4, 2, threshold);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x)
      QCOMPARE(d_->ConvertedBitmap().pixel(x, y) & 0xFFFFFF, script.At(x, y));
}

void ImportTest::stretchesToTheChosenSize_data() {
  QTest::addColumn<int>("width");
  QTest::addColumn<int>("height");
  QTest::addColumn<QStringList>("rows");
  QTest::newRow("8 x 4") << 8 << 4 << QStringList{"BB....BB", "BB....BB", "....BB..", "....BB.."};
  QTest::newRow("12 x 2") << 12 << 2 << QStringList{"BBB......BBB", "......BBB..."};
  QTest::newRow("4 x 6") << 4 << 6 << QStringList{"B..B", "B..B", "B..B", "..B.", "..B.", "..B."};
}

void ImportTest::stretchesToTheChosenSize() {
  QFETCH(int, width);
  QFETCH(int, height);
  QFETCH(QStringList, rows);
  QVERIFY(d_->LoadPictureFile(Save(PatternImage(), "stretch.png")));
  SetSize(width, height);
  QCOMPARE(d_->ConvertedBitmap().size(), QSize(width, height));
  QCOMPARE(Rows(d_->ConvertedBitmap()), rows);
}

void ImportTest::zeroSizeGivesNoPicture() {
  QVERIFY(d_->LoadPictureFile(Save(PatternImage(), "zero.png")));
  SetSize(0, 64);
  QVERIFY(d_->ConvertedBitmap().isNull());
  SetSize(100, 0);
  QVERIFY(d_->ConvertedBitmap().isNull());
  // Shrinking keeps one of the merged pixels: every pixel is black or white.
  SetSize(2, 1);
  QCOMPARE(d_->ConvertedBitmap().size(), QSize(2, 1));
  QVERIFY(!Rows(d_->ConvertedBitmap()).join("").contains('?'));
}

void ImportTest::adaptTakesThePreviewedSize() {
  QVERIFY(d_->LoadPictureFile(Save(PatternImage(), "adapt.png")));
  d_->show();
  QVERIFY(d_->Button_AdaptSize->isEnabled());
  QTest::mouseClick(d_->Button_AdaptSize, Qt::LeftButton);
  QCOMPARE(d_->SpinEdit_Image_Width->value(), 4);
  QCOMPARE(d_->SpinEdit_Image_Height->value(), 2);
  QCOMPARE(d_->ConvertedBitmap().size(), QSize(4, 2));
  // Unstretched, the source preview holds 200 x 128 pixels.
  d_->CheckBox_OriginalStreched->setChecked(false);
  QTest::mouseClick(d_->Button_AdaptSize, Qt::LeftButton);
  QCOMPARE(d_->SpinEdit_Image_Width->value(), 200);
  QCOMPARE(d_->SpinEdit_Image_Height->value(), 128);
  QCOMPARE(d_->ConvertedBitmap().size(), QSize(200, 128));
  // Every load ticks "Strech image" again.
  QVERIFY(d_->LoadPictureFile(Save(PatternImage().scaled(7, 3), "adapt2.png")));
  QVERIFY(d_->CheckBox_OriginalStreched->isChecked());
  QTest::mouseClick(d_->Button_AdaptSize, Qt::LeftButton);
  QCOMPARE(d_->ConvertedBitmap().size(), QSize(7, 3));
}

void ImportTest::adaptOnlyForPicturesThatFitASprite() {
  QImage wide(2000, 300, QImage::Format_RGB32);
  wide.fill(Qt::gray);
  QVERIFY(d_->LoadPictureFile(Save(wide, "wide.png")));
  QVERIFY(!d_->Button_AdaptSize->isEnabled());
  QImage largest(1024, 512, QImage::Format_RGB32);
  largest.fill(Qt::gray);
  QVERIFY(d_->LoadPictureFile(Save(largest, "largest.png")));
  QVERIFY(d_->Button_AdaptSize->isEnabled());
  QImage tall(10, 513, QImage::Format_RGB32);
  tall.fill(Qt::gray);
  QVERIFY(d_->LoadPictureFile(Save(tall, "tall.png")));
  QVERIFY(!d_->Button_AdaptSize->isEnabled());
}

void ImportTest::damagedFileIsReportedAndChangesNothing_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QByteArray>("bytes");
  QTest::newRow("text named .png") << "text.png" << QByteArray("not a picture at all");
  QTest::newRow("cut PNG") << "cut.png" << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0", 18);
  QTest::newRow("BMP header only")
      << "head.bmp" << QByteArray("BM\x46\0\0\0\0\0\0\0\x36\0\0\0", 14);
  QTest::newRow("empty JPEG") << "empty.jpg" << QByteArray();
  QTest::newRow("GIF of no frames") << "none.gif" << QByteArray("GIF89a\x01\0\x01\0\0\0\0;", 14);
}

void ImportTest::damagedFileIsReportedAndChangesNothing() {
  QFETCH(QString, name);
  QFETCH(QByteArray, bytes);
  const QString good = Save(PatternImage(), "good.png");
  QVERIFY(d_->LoadPictureFile(good));
  SetSize(4, 2);
  const QImage before = d_->ConvertedBitmap();
  const QImage source = d_->SourceBitmap();
  QSignalSpy failed(d_.get(), &TForm_Tavlin_Import::LoadFailed);

  const QString bad = WriteBytes(name, bytes);
  QVERIFY(!d_->LoadPictureFile(bad));
  QCOMPARE(failed.count(), 1);
  const QString message = failed.at(0).at(0).toString();
  QVERIFY2(message.contains(name), qPrintable(message));
  QCOMPARE(d_->LastError(), message);
  QCOMPARE(d_->Label_LoadError->text(), message);
  QCOMPARE(d_->LoadedFileName(), good);
  QCOMPARE(d_->Label_Info1->text(), QString("good.png"));
  QCOMPARE(d_->Label_Info2->text(), QString("4 * 2 Pixels"));
  QCOMPARE(d_->ConvertedBitmap(), before);
  QCOMPARE(d_->SourceBitmap(), source);
  // A missing file too.
  QVERIFY(!d_->LoadPictureFile(Path("missing.png")));
  QCOMPARE(failed.count(), 2);
  // The next good load clears the report.
  QVERIFY(d_->LoadPictureFile(Save(PatternImage(), "good2.bmp")));
  QVERIFY(d_->Label_LoadError->text().isEmpty());
  QVERIFY(d_->LastError().isEmpty());
}

void ImportTest::reselectingTheLoadedFileDoesNotReload() {
  const QString path = Save(PatternImage(), "same.png");
  QVERIFY(d_->LoadPictureFile(path));
  QImage other(9, 9, QImage::Format_RGB32);
  other.fill(Qt::black);
  Save(other, "same.png");
  QVERIFY(d_->LoadPictureFile(path));
  QCOMPARE(d_->SourceBitmap().size(), QSize(4, 2));
  QCOMPARE(d_->Label_Info2->text(), QString("4 * 2 Pixels"));
}

void ImportTest::previewsShowPictureAndHatch() {
  QVERIFY(d_->LoadPictureFile(Save(PatternImage(), "preview.png")));
  SetSize(4, 2);
  // Stretched: each source pixel covers 50 x 64 preview pixels.
  QImage original = d_->OriginalPreview();
  QCOMPARE(original.size(), QSize(200, 128));
  QCOMPARE(original.pixel(10, 10), qRgb(127, 127, 127));
  QCOMPARE(original.pixel(190, 120), qRgb(255, 255, 255));
  QCOMPARE(original.pixel(60, 120), qRgb(0, 0, 255));

  // At 1:1 the picture sits top left, the rest is hatched in red on white.
  d_->CheckBox_OriginalStreched->setChecked(false);
  original = d_->OriginalPreview();
  QCOMPARE(original.pixel(0, 0), qRgb(127, 127, 127));
  QCOMPARE(original.pixel(3, 1), qRgb(255, 255, 255));
  QCOMPARE(original.pixel(2, 1), qRgb(1, 0, 0));
  int red = 0, white = 0;
  for (int y = 20; y < 128; ++y)
    for (int x = 20; x < 200; ++x) {
      const QRgb p = original.pixel(x, y) & 0xFFFFFF;
      if (p == 0xFF0000)
        ++red;
      else if (p == 0xFFFFFF)
        ++white;
      else
        QFAIL(qPrintable(QString("unexpected colour %1 at %2,%3").arg(p, 0, 16).arg(x).arg(y)));
    }
  QVERIFY(red > 1000);
  QVERIFY(white > 1000);

  // The converted preview: stretched, then 1:1 over a white hatch.
  d_->CheckBox_NXTStreched->setChecked(true);
  QImage nxt = d_->NXTPreview();
  QCOMPARE(nxt.pixel(10, 10), kBlackPixel);
  QCOMPARE(nxt.pixel(60, 10), kWhitePixel);
  d_->CheckBox_NXTStreched->setChecked(false);
  nxt = d_->NXTPreview();
  QCOMPARE(nxt.pixel(0, 0), kBlackPixel);
  QCOMPARE(nxt.pixel(1, 0), kWhitePixel);
  QCOMPARE(nxt.pixel(2, 1), kBlackPixel);
  QSet<QRgb> outside;
  for (int y = 10; y < 128; ++y)
    for (int x = 10; x < 200; ++x) outside.insert(nxt.pixel(x, y));
  QVERIFY(outside.contains(kWhitePixel));
  QCOMPARE(outside.size(), 2);  // the hatch and its ground
}

void ImportTest::scrollBarsFollowLargePictures() {
  QImage big(300, 200, QImage::Format_RGB32);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 300; ++x) big.setPixel(x, y, qRgb(x % 256, y, 7));
  QVERIFY(d_->LoadPictureFile(Save(big, "big.png")));
  d_->show();
  QVERIFY(QTest::qWaitForWindowExposed(d_.get()));
  QVERIFY(!d_->ScrollBar_Original_H->isVisible());  // stretched after a load
  d_->CheckBox_OriginalStreched->setChecked(false);
  QVERIFY(d_->ScrollBar_Original_H->isVisible());
  QVERIFY(d_->ScrollBar_Original_V->isVisible());
  QCOMPARE(d_->ScrollBar_Original_H->maximum(), 100);
  QCOMPARE(d_->ScrollBar_Original_H->pageStep(), 10);
  QCOMPARE(d_->ScrollBar_Original_V->maximum(), 72);
  QCOMPARE(d_->ScrollBar_Original_V->pageStep(), 7);
  d_->ScrollBar_Original_H->setValue(100);
  d_->ScrollBar_Original_V->setValue(30);
  QCOMPARE(d_->OriginalPreview().pixel(0, 0), qRgb(100, 30, 7));
  QCOMPARE(d_->OriginalPreview().pixel(199, 127), qRgb(299 % 256, 157, 7));

  // The converted picture's bars follow the target size.
  SetSize(260, 64);
  QVERIFY(d_->ScrollBar_NXT_H->isVisible());
  QVERIFY(!d_->ScrollBar_NXT_V->isVisible());
  QCOMPARE(d_->ScrollBar_NXT_H->maximum(), 60);
  d_->CheckBox_NXTStreched->setChecked(true);
  QVERIFY(!d_->ScrollBar_NXT_H->isVisible());
  // A picture that fits hides the source bars again.
  QVERIFY(d_->LoadPictureFile(Save(PatternImage(), "small.png")));
  d_->CheckBox_OriginalStreched->setChecked(false);
  QVERIFY(!d_->ScrollBar_Original_H->isVisible());
  QVERIFY(!d_->ScrollBar_Original_V->isVisible());
}

void ImportTest::fileListShowsOnlyPictures() {
  QTemporaryDir folder;
  QVERIFY(folder.isValid());
  const QDir here(folder.path());
  QVERIFY(PatternImage().save(here.filePath("b.PNG"), "PNG"));
  QVERIFY(PatternImage().save(here.filePath("a.bmp"), "BMP"));
  for (const char* other : {"d.JPeg", "c.txt", "e.png.txt", "f"}) {
    QFile file(here.filePath(other));
    QVERIFY(file.open(QIODevice::WriteOnly));
  }
  QVERIFY(here.mkdir("sub.png"));

  d_->show();
  QVERIFY(QTest::qWaitForWindowExposed(d_.get()));
  QVERIFY(!d_->ShowFolder(here.filePath("no such folder")));
  QVERIFY(d_->ShowFolder(folder.path()));
  QCOMPARE(d_->ListedFolder(), folder.path());
  QListView* list = d_->ShellListView;
  auto names = [list] {
    QStringList shown;
    const QModelIndex root = list->rootIndex();
    for (int row = 0; row < list->model()->rowCount(root); ++row)
      shown << list->model()->index(row, 0, root).data().toString();
    return shown;
  };
  // The folder is read on a thread of its own: give a busy machine time.
  QTRY_COMPARE_WITH_TIMEOUT(names(), (QStringList{"a.bmp", "b.PNG", "d.JPeg"}), 30000);

  // Clicking an entry loads it.
  const QModelIndex entry = list->model()->index(1, 0, list->rootIndex());
  list->scrollTo(entry);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(entry).center());
  QCOMPARE(d_->LoadedFileName(), here.filePath("b.PNG"));
  QCOMPARE(d_->Label_Info1->text(), QString("b.PNG"));

  // Choosing a folder in the tree lists that folder.
  auto* folders = qobject_cast<QFileSystemModel*>(d_->ShellTreeView->model());
  QVERIFY(folders);
  d_->ShellTreeView->setCurrentIndex(folders->index(here.filePath("sub.png")));
  QCOMPARE(d_->ListedFolder(), here.filePath("sub.png"));
  QTRY_COMPARE(list->model()->rowCount(list->rootIndex()), 0);
}

// The folders are read only once the dialog is shown; it then lists the
// folder the program was started in.
void ImportTest::listsTheWorkingFolderWhenFirstShown() {
  QCOMPARE(d_->ListedFolder(), QDir::currentPath());
  d_->show();
  QVERIFY(QTest::qWaitForWindowExposed(d_.get()));
  auto* files = qobject_cast<QFileSystemModel*>(d_->ShellListView->model());
  QVERIFY(files);
  QCOMPARE(files->filePath(d_->ShellListView->rootIndex()), QDir::currentPath());
  QCOMPARE(d_->ListedFolder(), QDir::currentPath());
}

void ImportTest::importNeedsALoadedPicture() {
  d_->show();
  QTest::mouseClick(d_->BitBtn_Import, Qt::LeftButton);
  QCOMPARE(d_->result(), int(QDialog::Rejected));
  QVERIFY(!d_->isVisible());

  QVERIFY(!d_->LoadPictureFile(WriteBytes("bad.gif", "GIF8")));
  d_->show();
  QTest::mouseClick(d_->BitBtn_Import, Qt::LeftButton);
  QCOMPARE(d_->result(), int(QDialog::Rejected));

  QVERIFY(d_->LoadPictureFile(Save(PatternImage(), "import.png")));
  d_->show();
  QTest::mouseClick(d_->BitBtn_Abort, Qt::LeftButton);
  QCOMPARE(d_->result(), int(QDialog::Rejected));
  d_->show();
  QTest::mouseClick(d_->BitBtn_Import, Qt::LeftButton);
  QCOMPARE(d_->result(), int(QDialog::Accepted));
}

void ImportTest::settingsStayBetweenTwoRuns() {
  const QString path = Save(PatternImage(), "twice.png");
  auto runModal = [this](auto&& whileOpen) {
    QTimer::singleShot(0, d_.get(), [this, whileOpen] {
      whileOpen();
      QTest::mouseClick(d_->BitBtn_Import, Qt::LeftButton);
    });
    return d_->exec();
  };
  const int first = runModal([&] {
    QVERIFY(d_->LoadPictureFile(path));
    SetSize(8, 4);
    d_->TrackBar_Brightness->setValue(60);
    d_->CheckBox_NXTStreched->setChecked(true);
    d_->CheckBox_OriginalStreched->setChecked(false);
  });
  QCOMPARE(first, int(QDialog::Accepted));
  const QImage converted = d_->ConvertedBitmap();
  QCOMPARE(converted.size(), QSize(8, 4));

  // The second run imports the same picture again at once.
  const int second = runModal([] {});
  QCOMPARE(second, int(QDialog::Accepted));
  QCOMPARE(d_->LoadedFileName(), path);
  QCOMPARE(d_->SpinEdit_Image_Width->value(), 8);
  QCOMPARE(d_->SpinEdit_Image_Height->value(), 4);
  QCOMPARE(d_->TrackBar_Brightness->value(), 60);
  QVERIFY(d_->CheckBox_NXTStreched->isChecked());
  QVERIFY(!d_->CheckBox_OriginalStreched->isChecked());
  QCOMPARE(d_->ConvertedBitmap(), converted);
}

// A typed path shows its folder or loads its picture; Home goes home; an
// import's folder comes first among the recent ones, in the next dialog too.
void ImportTest::locationHomeAndRecentFolders() {
  QVERIFY(QDir(dir_.path()).mkpath("deep/er"));
  const QString picture = Save(PatternImage(), "deep/er/p.png");
  QVERIFY(d_->ShellTreeView->height() >= 250);
  d_->show();
  QVERIFY(QTest::qWaitForWindowExposed(d_.get()));
  d_->Edit_Location->setFocus();
  d_->Edit_Location->setText(Path("deep"));
  QTest::keyClick(d_->Edit_Location, Qt::Key_Return);
  QCOMPARE(d_->ListedFolder(), Path("deep"));
  QVERIFY(d_->isVisible());  // Return went to the location, not to Import
  d_->Edit_Location->setText(picture);
  QVERIFY(d_->GoToLocation());
  QCOMPARE(d_->LoadedFileName(), picture);
  QCOMPARE(d_->ListedFolder(), Path("deep/er"));
  d_->Edit_Location->setText(Path("nowhere"));
  QVERIFY(!d_->GoToLocation());
  QVERIFY(d_->Label_LoadError->text().contains("no such folder or picture"));
  d_->Button_Home->click();
  QCOMPARE(d_->ListedFolder(), QDir::homePath());
  d_->BitBtn_Import->click();
  QCOMPARE(d_->result(), int(QDialog::Accepted));
  d_ = std::make_unique<TForm_Tavlin_Import>(nullptr);
  QVERIFY(d_->ComboBox_RecentFolders->count() >= 1);  // earlier imports of this run too
  QCOMPARE(d_->ComboBox_RecentFolders->itemText(0), Path("deep/er"));
  emit d_->ComboBox_RecentFolders->activated(0);
  QCOMPARE(d_->ListedFolder(), Path("deep/er"));
}

QTEST_MAIN(ImportTest)
#include "import_test.moc"
