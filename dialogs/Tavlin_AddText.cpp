#include "Tavlin_AddText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>

#include <algorithm>
#include <cmath>

#include "WidgetNamesAndPens.h"

namespace tavlin {

namespace {

constexpr int kPreviewWidth = 344;
constexpr int kPreviewHeight = 64;

double ScreenPixelsPerInch() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const double dpi = screen->logicalDotsPerInchY();
    if (dpi > 0) return dpi;
  }
  return 96.0;
}

// The pixel width of one line: its advance, or further to the right where
// a slanted glyph reaches past it.
int LineWidth(const QFontMetrics& metrics, const QString& line) {
  if (line.isEmpty()) return 0;
  const int advance = metrics.horizontalAdvance(line);
  const int inked = metrics.tightBoundingRect(line).right() + 1;
  return std::max(advance, inked);
}

}  // namespace

TForm_Tavlin_AddText::TForm_Tavlin_AddText(QWidget* parent) : QDialog(parent) {
  setObjectName("Form_Tavlin_AddText");
  setWindowTitle("Tavlin2 - Add text");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(489, 254);

  Label_Text = Named(new QLabel("Text", this), "Label_Text");
  Label_Text->setGeometry(8, 8, 114, 16);
  Memo_Text = Named(new QPlainTextEdit(this), "Memo_Text");
  Memo_Text->setGeometry(8, 26, 114, 180);
  Memo_Text->setLineWrapMode(QPlainTextEdit::NoWrap);

  Lavel_Font = Named(new QLabel("Font", this), "Lavel_Font");
  Lavel_Font->setGeometry(136, 8, 200, 16);
  ComboBox_FontName = Named(new QComboBox(this), "ComboBox_FontName");
  ComboBox_FontName->setGeometry(136, 26, 200, 24);
  ComboBox_FontName->setEditable(true);
  ComboBox_FontName->setInsertPolicy(QComboBox::NoInsert);

  Label_FontSize = Named(new QLabel("Font size", this), "Label_FontSize");
  Label_FontSize->setGeometry(352, 8, 80, 16);
  SpinEdit_FontSize = Named(new QSpinBox(this), "SpinEdit_FontSize");
  SpinEdit_FontSize->setGeometry(352, 26, 70, 24);
  SpinEdit_FontSize->setRange(1, 128);
  SpinEdit_FontSize->setValue(8);

  GroupBox_TextStyle = Named(new QGroupBox("Text style", this), "GroupBox_TextStyle");
  GroupBox_TextStyle->setGeometry(136, 58, 344, 50);
  CheckBox_Italic = Named(new QCheckBox("Italic", GroupBox_TextStyle), "CheckBox_Italic");
  CheckBox_Italic->setGeometry(10, 22, 100, 20);
  CheckBox_Underline = Named(new QCheckBox("Underline", GroupBox_TextStyle), "CheckBox_Underline");
  CheckBox_Underline->setGeometry(116, 22, 110, 20);
  CheckBox_StrikeOut = Named(new QCheckBox("Strike out", GroupBox_TextStyle), "CheckBox_StrikeOut");
  CheckBox_StrikeOut->setGeometry(232, 22, 106, 20);

  GroupBox_Preview = Named(new QGroupBox("Preview", this), "GroupBox_Preview");
  GroupBox_Preview->setGeometry(128, 114, kPreviewWidth + 12, kPreviewHeight + 28);
  Image_Preview = Named(new QLabel(GroupBox_Preview), "Image_Preview");
  Image_Preview->setGeometry(6, 22, kPreviewWidth, kPreviewHeight);

  BitBtn_Ok = Named(new QPushButton("OK", this), "BitBtn_Ok");
  BitBtn_Ok->setGeometry(312, 218, 80, 28);
  BitBtn_Ok->setDefault(true);
  BitBtn_Cancel = Named(new QPushButton("Cancel", this), "BitBtn_Cancel");
  BitBtn_Cancel->setGeometry(400, 218, 80, 28);

  // The text starts empty; the picture too (FormCreate).
  textBitmap_ = QImage();
  FillFontList();
  ComboBox_FontName->setEditText("Arial");

  connect(Memo_Text, &QPlainTextEdit::textChanged, this, &TForm_Tavlin_AddText::Memo_TextChange);
  connect(SpinEdit_FontSize, &QSpinBox::valueChanged, this,
          &TForm_Tavlin_AddText::SpinEdit_FontSizeChange);
  connect(ComboBox_FontName, &QComboBox::editTextChanged, this,
          &TForm_Tavlin_AddText::ComboBox_FontNameChange);
  for (QCheckBox* box : {CheckBox_Italic, CheckBox_Underline, CheckBox_StrikeOut})
    connect(box, &QCheckBox::toggled, this, &TForm_Tavlin_AddText::CheckBox_Style_Click);
  connect(BitBtn_Ok, &QPushButton::clicked, this, &TForm_Tavlin_AddText::BitBtn_OkClick);
  connect(BitBtn_Cancel, &QPushButton::clicked, this, &TForm_Tavlin_AddText::BitBtn_CancelClick);

  UpdateTextPreview();
}

int TForm_Tavlin_AddText::LinePitch() const {
  return std::max(1, int(std::lround(SpinEdit_FontSize->value() * ScreenPixelsPerInch() / 72.0)));
}

QFont TForm_Tavlin_AddText::TextFont() const {
  QFont font(ComboBox_FontName->currentText());
  // The em height in pixels, so the picture does not depend on the DPI of
  // whatever it is painted on.
  font.setPixelSize(LinePitch());
  font.setBold(false);
  font.setItalic(CheckBox_Italic->isChecked());
  font.setUnderline(CheckBox_Underline->isChecked());
  font.setStrikeOut(CheckBox_StrikeOut->isChecked());
  // Sharp glyph edges: the sprite knows only black and white.
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

QStringList TForm_Tavlin_AddText::TextLines() const {
  QString text = Memo_Text->toPlainText();
  if (text.isEmpty()) return {};
  QStringList lines = text.split(QChar('\n'));
  if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

void TForm_Tavlin_AddText::UpdateTextPreview() {
  measuredWidth_ = 0;
  measuredHeight_ = 0;
  const QFont font = TextFont();
  const QFontMetrics metrics(font);
  const int pitch = LinePitch();
  const QColor background = GroupBox_Preview->palette().color(QPalette::Window);

  preview_ = QImage(kPreviewWidth, kPreviewHeight, QImage::Format_RGB32);
  preview_.fill(background);
  QPainter painter(&preview_);
  painter.setFont(font);
  painter.setPen(Qt::black);
  for (const QString& line : TextLines()) {
    const int width = LineWidth(metrics, line);
    const int cell = metrics.height();
    // Lines below the preview are not drawn but still measured.
    if (measuredHeight_ < kPreviewHeight) {
      painter.fillRect(0, measuredHeight_, width, cell, background);
      painter.drawText(QPoint(0, measuredHeight_ + metrics.ascent()), line);
    }
    measuredWidth_ = std::max(measuredWidth_, width);
    measuredHeight_ += std::max(cell, pitch);
  }
  painter.end();
  Image_Preview->setPixmap(QPixmap::fromImage(preview_));
}

void TForm_Tavlin_AddText::RenderTextBitmap() {
  if (measuredWidth_ <= 0 || measuredHeight_ <= 0) {
    textBitmap_ = QImage();
    return;
  }
  QImage picture(measuredWidth_, measuredHeight_, QImage::Format_RGB32);
  if (picture.isNull()) {  // too large to hold
    textBitmap_ = QImage();
    return;
  }
  picture.fill(Qt::white);
  const QFont font = TextFont();
  const QFontMetrics metrics(font);
  const int pitch = LinePitch();
  const QStringList lines = TextLines();
  {
    QPainter painter(&picture);
    painter.setFont(font);
    painter.setPen(Qt::black);
    // From the last line up: each line's cell covers what the line below
    // it left inside that cell.
    for (int i = int(lines.size()) - 1; i >= 0; --i) {
      const int top = i * pitch;
      if (top >= picture.height()) continue;
      painter.fillRect(0, top, LineWidth(metrics, lines[i]), metrics.height(), Qt::white);
      painter.drawText(QPoint(0, top + metrics.ascent()), lines[i]);
    }
  }
  // Every pixel that is not pure white is part of the text.
  for (int y = 0; y < picture.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < picture.width(); ++x)
      row[x] = (row[x] & 0xFFFFFF) == 0xFFFFFF ? 0xFFFFFFFFu : 0xFF000000u;
  }
  textBitmap_ = picture;
}

void TForm_Tavlin_AddText::FillFontList() {
  const QString typed = ComboBox_FontName->currentText();
  {
    const QSignalBlocker blocker(ComboBox_FontName);
    ComboBox_FontName->clear();
    ComboBox_FontName->addItems(QFontDatabase::families());
    ComboBox_FontName->setEditText(typed);
  }
}

void TForm_Tavlin_AddText::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TForm_Tavlin_AddText::FormActivate() { FillFontList(); }

void TForm_Tavlin_AddText::Memo_TextChange() { UpdateTextPreview(); }
void TForm_Tavlin_AddText::SpinEdit_FontSizeChange() { UpdateTextPreview(); }
void TForm_Tavlin_AddText::ComboBox_FontNameChange() { UpdateTextPreview(); }
void TForm_Tavlin_AddText::CheckBox_Style_Click() { UpdateTextPreview(); }

void TForm_Tavlin_AddText::BitBtn_OkClick() {
  RenderTextBitmap();
  accept();
}

void TForm_Tavlin_AddText::BitBtn_CancelClick() { reject(); }

}  // namespace tavlin
