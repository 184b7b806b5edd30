// The About box and the pictures drawn in code.
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <vector>

#include "ElementIcons.h"
#include "Tavlin_About.h"
#include "Version.h"

using tavlin::RICElementKind;

namespace {

// clang-format off
const char* const kCommandNames[] = {
    "open",      "save",      "saveas",   "merge",   "new",      "delete",   "double",
    "moveup",    "movedown",  "paramload", "paramsave", "paramnew", "param16", "param256",
};
// clang-format on

int OpaquePixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) > 0) ++count;
  return count;
}

// Every picture must be drawn (neither empty nor filled) and unlike the others.
void CheckDistinctPictures(const std::vector<QImage>& images, const QStringList& names) {
  for (size_t i = 0; i < images.size(); ++i) {
    const int opaque = OpaquePixels(images[i]);
    const int all = images[i].width() * images[i].height();
    QVERIFY2(opaque > all / 50, qPrintable(names[int(i)] + " is nearly blank"));
    QVERIFY2(opaque < all, qPrintable(names[int(i)] + " has no transparent background"));
    for (size_t j = 0; j < i; ++j)
      QVERIFY2(images[i] != images[j], qPrintable(names[int(i)] + " looks like " + names[int(j)]));
  }
}

}  // namespace

class AboutTest : public QObject {
  Q_OBJECT

 private slots:
  void showsNameVersionAndPicture();
  void closesWithCloseButton();
  void elementIconsAreDistinct();
  void commandIconsAreDistinct();
  void programPictureFitsTheAskedSize();
};

void AboutTest::showsNameVersionAndPicture() {
  tavlin::TForm_Tavlin_Info about;
  about.show();
  QVERIFY(QTest::qWaitForWindowExposed(&about));

  QStringList texts;
  for (const QLabel* label : about.findChildren<QLabel*>())
    if (label->isVisible()) texts << label->text();
  QVERIFY(texts.contains("Tavlin"));
  QVERIFY(texts.contains(tavlin::kProgramVersionText));
  QVERIFY(texts.contains("RIC picture editor for the LEGO MINDSTORMS NXT display"));
  QVERIFY(texts.contains("by the Tavlin maintainers"));

  auto* picture = about.findChild<QLabel*>("Image_Picture");
  QVERIFY(picture);
  QVERIFY(picture->isVisible());
  QVERIFY(OpaquePixels(picture->pixmap().toImage()) > 1000);
}

void AboutTest::closesWithCloseButton() {
  tavlin::TForm_Tavlin_Info about;
  about.show();
  QVERIFY(QTest::qWaitForWindowExposed(&about));
  auto* close = about.findChild<QPushButton*>("Button_Close");
  QVERIFY(close);
  QCOMPARE(close->text(), QString("Close"));
  QTest::mouseClick(close, Qt::LeftButton);
  QTRY_VERIFY(!about.isVisible());
  QCOMPARE(about.result(), int(QDialog::Accepted));
}

void AboutTest::elementIconsAreDistinct() {
  std::vector<QImage> images;
  QStringList names;
  for (int kind = 0; kind < tavlin::kElementKindCount; ++kind) {
    const QPixmap icon = tavlin::ElementIcon(RICElementKind(kind));
    QCOMPARE(icon.size(), QSize(48, 48));
    images.push_back(icon.toImage().convertToFormat(QImage::Format_ARGB32));
    names << QString("element icon %1").arg(kind);
  }
  CheckDistinctPictures(images, names);
}

void AboutTest::commandIconsAreDistinct() {
  std::vector<QImage> images;
  QStringList names;
  for (const char* name : kCommandNames) {
    const QIcon icon = tavlin::CommandIcon(name);
    QVERIFY2(!icon.isNull(), name);
    const QPixmap glyph = icon.pixmap(QSize(20, 20));
    QCOMPARE(glyph.size(), QSize(20, 20));
    images.push_back(glyph.toImage().convertToFormat(QImage::Format_ARGB32));
    names << name;
  }
  CheckDistinctPictures(images, names);
  QVERIFY(tavlin::CommandIcon("no such command").isNull());
}

void AboutTest::programPictureFitsTheAskedSize() {
  for (const QSize size : {QSize(120, 156), QSize(300, 100), QSize(50, 400)}) {
    const QPixmap picture = tavlin::TavlinPicture(size.width(), size.height());
    QCOMPARE(picture.size(), size);
    const QImage image = picture.toImage();
    const int opaque = OpaquePixels(image);
    // The brick fills at least half the largest box of its proportions
    // that fits, centred, with the corners left transparent.
    const double scale = std::min(size.width() / 200.0, size.height() / 260.0);
    QVERIFY(opaque > 200 * scale * 260 * scale / 2);
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(image.pixel(size.width() - 1, size.height() - 1)), 0);
    QVERIFY(qAlpha(image.pixel(size.width() / 2, size.height() / 2)) > 0);
  }
  QVERIFY(tavlin::TavlinPicture(0, 10).isNull());
}

QTEST_MAIN(AboutTest)
#include "about_test.moc"
