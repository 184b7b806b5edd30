// The add-text dialog: typed text becomes a black-and-white picture whose size
// follows the font, the styles change it, and Cancel leaves the last picture.
// Fonts differ from machine to machine, so sizes are compared with each other
// rather than with fixed numbers.
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>

#include <memory>

#include "Tavlin_AddText.h"

using tavlin::TForm_Tavlin_AddText;

namespace {

constexpr QRgb kBlackPixel = 0xFF000000u;
constexpr QRgb kWhitePixel = 0xFFFFFFFFu;

bool IsPureBlackAndWhite(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (p != kBlackPixel && p != kWhitePixel) return false;
    }
  return true;
}

int BlackPixels(const QImage& image, int fromRow = 0, int toRow = -1) {
  if (toRow < 0) toRow = image.height();
  int count = 0;
  for (int y = fromRow; y < toRow; ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) == kBlackPixel) ++count;
  return count;
}

struct Style {
  bool italic = false, underline = false, strikeOut = false;
};

}  // namespace

class AddTextTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TForm_Tavlin_AddText> d_;

  // Sets the controls as a user would leave them and confirms with OK.
  QImage Render(const QString& text, int size, Style style = {}) {
    d_->Memo_Text->setPlainText(text);
    d_->SpinEdit_FontSize->setValue(size);
    d_->CheckBox_Italic->setChecked(style.italic);
    d_->CheckBox_Underline->setChecked(style.underline);
    d_->CheckBox_StrikeOut->setChecked(style.strikeOut);
    d_->show();
    QTest::mouseClick(d_->BitBtn_Ok, Qt::LeftButton);
    if (d_->result() != QDialog::Accepted) qWarning("OK did not accept");
    return d_->TextBitmap();
  }

 private slots:
  void init() {
    d_ = std::make_unique<TForm_Tavlin_AddText>(nullptr);
    // A face every machine has, so the pictures hold glyphs.
    d_->ComboBox_FontName->setEditText(
        QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
  }
  void cleanup() { d_.reset(); }

  void controlsStartAsDesigned();
  void typedTextGivesBlackAndWhitePicture();
  void pictureSizeFollowsFontSize();
  void linesStackAtTheEmHeight();
  void emptyTextGivesEmptyPicture();
  void linesBelowThePreviewStillCount();
  void stylesChangeThePicture_data();
  void stylesChangeThePicture();
  void cancelKeepsTheLastPicture();
  void settingsStayBetweenUses();
};

void AddTextTest::controlsStartAsDesigned() {
  TForm_Tavlin_AddText fresh(nullptr);
  QCOMPARE(fresh.windowTitle(), QString("Tavlin2 - Add text"));
  QCOMPARE(fresh.size(), QSize(489, 254));
  QCOMPARE(fresh.SpinEdit_FontSize->value(), 8);
  QCOMPARE(fresh.SpinEdit_FontSize->minimum(), 1);
  QCOMPARE(fresh.SpinEdit_FontSize->maximum(), 128);
  QCOMPARE(fresh.ComboBox_FontName->currentText(), QString("Arial"));
  QVERIFY(fresh.ComboBox_FontName->isEditable());
  QCOMPARE(fresh.ComboBox_FontName->count(), int(QFontDatabase::families().size()));
  QVERIFY(fresh.ComboBox_FontName->count() > 0);
  QCOMPARE(fresh.Image_Preview->size(), QSize(344, 64));
  for (QCheckBox* box : {fresh.CheckBox_Italic, fresh.CheckBox_Underline, fresh.CheckBox_StrikeOut})
    QVERIFY(!box->isChecked());
  QCOMPARE(fresh.CheckBox_StrikeOut->text(), QString("Strike out"));
  QCOMPARE(fresh.BitBtn_Ok->text(), QString("OK"));
  QCOMPARE(fresh.BitBtn_Cancel->text(), QString("Cancel"));
  QCOMPARE(fresh.findChild<QGroupBox*>("GroupBox_Preview")->title(), QString("Preview"));
  QVERIFY(fresh.findChild<QPlainTextEdit*>("Memo_Text"));
  QVERIFY(fresh.TextBitmap().isNull());
  QCOMPARE(fresh.TextBitmapWidth(), 0);
  QCOMPARE(fresh.TextBitmapHeight(), 0);
  // The em height at the screen's resolution: 11 pixels for 8 points at 96 dpi.
  const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
  QCOMPARE(fresh.LinePitch(), qRound(8 * dpi / 72.0));
  if (qFuzzyCompare(dpi, 96.0)) QCOMPARE(fresh.LinePitch(), 11);
}

void AddTextTest::typedTextGivesBlackAndWhitePicture() {
  d_->show();
  QVERIFY(QTest::qWaitForWindowExposed(d_.get()));
  QTest::keyClicks(d_->Memo_Text, "Tavlin");
  // The preview shows the text in black on the group's background.
  const QImage preview = d_->PreviewPicture();
  QCOMPARE(preview.size(), QSize(344, 64));
  int dark = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 344; ++x)
      if (qGray(preview.pixel(x, y)) < 64) ++dark;
  QVERIFY(dark > 10);
  QVERIFY(d_->MeasuredWidth() > 0);

  QTest::mouseClick(d_->BitBtn_Ok, Qt::LeftButton);
  QCOMPARE(d_->result(), int(QDialog::Accepted));
  QVERIFY(!d_->isVisible());
  const QImage& picture = d_->TextBitmap();
  QCOMPARE(picture.format(), QImage::Format_RGB32);
  QVERIFY(!picture.isNull());
  QVERIFY(IsPureBlackAndWhite(picture));
  QVERIFY(BlackPixels(picture) > 10);
  QCOMPARE(d_->TextBitmapWidth(), d_->MeasuredWidth());
  QCOMPARE(d_->TextBitmapHeight(), d_->MeasuredHeight());
  QCOMPARE(picture.size(), QSize(d_->TextBitmapWidth(), d_->TextBitmapHeight()));
  // One line: one cell high, at least the em height.
  QVERIFY(picture.height() >= d_->LinePitch());
  QVERIFY(picture.height() < 2 * d_->LinePitch());
}

void AddTextTest::pictureSizeFollowsFontSize() {
  const QImage small = Render("Tavlin", 8);
  const QImage large = Render("Tavlin", 16);
  QVERIFY(!small.isNull());
  QVERIFY(!large.isNull());
  // Twice the size, about twice as wide and high.
  QVERIFY2(large.height() * 10 >= small.height() * 16,
           qPrintable(QString("%1 vs %2").arg(large.height()).arg(small.height())));
  QVERIFY(large.height() * 10 <= small.height() * 24);
  QVERIFY(large.width() * 10 >= small.width() * 16);
  QVERIFY(large.width() * 10 <= small.width() * 24);
  QVERIFY(BlackPixels(large) > 2 * BlackPixels(small));
  QVERIFY(IsPureBlackAndWhite(small));
  QVERIFY(IsPureBlackAndWhite(large));
}

void AddTextTest::linesStackAtTheEmHeight() {
  const QImage one = Render("HX", 16);
  const int pitch = d_->LinePitch();
  const QImage two = Render("HX\nHX", 16);
  QVERIFY(!one.isNull());
  // Measured with the preview's pitch: twice the one-line height.
  QCOMPARE(two.height(), 2 * one.height());
  QCOMPARE(two.width(), one.width());
  // The first line is drawn last and covers the top of the second one's
  // cell; below it the second line shows, started `pitch` rows down.
  for (int y = 0; y < one.height(); ++y)
    for (int x = 0; x < one.width(); ++x) QCOMPARE(two.pixel(x, y), one.pixel(x, y));
  for (int y = one.height(); y < pitch + one.height(); ++y)
    for (int x = 0; x < one.width(); ++x) QCOMPARE(two.pixel(x, y), one.pixel(x, y - pitch));
  // The rows below the last line stay white.
  QCOMPARE(BlackPixels(two, pitch + one.height(), two.height()), 0);
  QVERIFY(BlackPixels(two, one.height(), two.height()) > 0);
}

void AddTextTest::emptyTextGivesEmptyPicture() {
  const QImage some = Render("abc", 8);
  QVERIFY(!some.isNull());
  // A closing line break starts no new line.
  const QImage closed = Render("abc\n", 8);
  QCOMPARE(closed.size(), some.size());
  QCOMPARE(closed, some);
  const QImage none = Render("", 8);
  QVERIFY(none.isNull());
  QCOMPARE(d_->TextBitmapWidth(), 0);
  QCOMPARE(d_->TextBitmapHeight(), 0);
  // An empty line in between counts as a line.
  const QImage gap = Render("abc\n\nabc", 8);
  QCOMPARE(gap.height(), 3 * some.height());
}

void AddTextTest::linesBelowThePreviewStillCount() {
  const QImage one = Render("Wide line", 20);
  const QImage ten = Render("1\n2\n3\n4\n5\n6\n7\n8\n9\nWide line", 20);
  QVERIFY(3 * one.height() > 64);  // most lines fall outside the preview
  QCOMPARE(ten.height(), 10 * one.height());
  QCOMPARE(ten.width(), one.width());
  QVERIFY(BlackPixels(ten, 9 * d_->LinePitch(), ten.height()) > 0);
}

void AddTextTest::stylesChangeThePicture_data() {
  QTest::addColumn<bool>("italic");
  QTest::addColumn<bool>("underline");
  QTest::addColumn<bool>("strikeOut");
  QTest::addColumn<bool>("addsInk");
  QTest::newRow("italic") << true << false << false << false;
  QTest::newRow("underline") << false << true << false << true;
  QTest::newRow("strike out") << false << false << true << true;
  QTest::newRow("all three") << true << true << true << true;
}

void AddTextTest::stylesChangeThePicture() {
  QFETCH(bool, italic);
  QFETCH(bool, underline);
  QFETCH(bool, strikeOut);
  QFETCH(bool, addsInk);
  const QImage plain = Render("Tavlin", 14);
  const QImage styled = Render("Tavlin", 14, Style{italic, underline, strikeOut});
  QVERIFY(IsPureBlackAndWhite(styled));
  QVERIFY(styled != plain);
  // Underline and strike-out lines are black pixels of the picture.
  if (addsInk) QVERIFY(BlackPixels(styled) > BlackPixels(plain) + plain.width() / 2);
}

void AddTextTest::cancelKeepsTheLastPicture() {
  const QImage confirmed = Render("A", 12);
  QVERIFY(!confirmed.isNull());
  d_->show();
  d_->Memo_Text->setPlainText("Something much longer");
  d_->SpinEdit_FontSize->setValue(30);
  QTest::mouseClick(d_->BitBtn_Cancel, Qt::LeftButton);
  QCOMPARE(d_->result(), int(QDialog::Rejected));
  QVERIFY(!d_->isVisible());
  QCOMPARE(d_->TextBitmap(), confirmed);
  QCOMPARE(d_->TextBitmapWidth(), confirmed.width());
  QCOMPARE(d_->TextBitmapHeight(), confirmed.height());
  // The preview still measured the new text.
  QVERIFY(d_->MeasuredWidth() > confirmed.width());
}

void AddTextTest::settingsStayBetweenUses() {
  Render("Kept\ntext", 21, Style{true, false, true});
  const QString face = d_->ComboBox_FontName->currentText();
  d_->show();
  QVERIFY(QTest::qWaitForWindowExposed(d_.get()));
  QCOMPARE(d_->Memo_Text->toPlainText(), QString("Kept\ntext"));
  QCOMPARE(d_->SpinEdit_FontSize->value(), 21);
  QVERIFY(d_->CheckBox_Italic->isChecked());
  QVERIFY(!d_->CheckBox_Underline->isChecked());
  QVERIFY(d_->CheckBox_StrikeOut->isChecked());
  QCOMPARE(d_->ComboBox_FontName->currentText(), face);
  // Showing refills the font list and keeps a typed face that is not in it.
  d_->hide();
  d_->ComboBox_FontName->setEditText("No Such Face 123");
  d_->show();
  QVERIFY(QTest::qWaitForWindowExposed(d_.get()));
  QCOMPARE(d_->ComboBox_FontName->currentText(), QString("No Such Face 123"));
  QCOMPARE(d_->ComboBox_FontName->count(), int(QFontDatabase::families().size()));
  QTest::mouseClick(d_->BitBtn_Ok, Qt::LeftButton);
  QVERIFY(!d_->TextBitmap().isNull());  // a fallback face draws it
}

QTEST_MAIN(AddTextTest)
#include "addtext_test.moc"
