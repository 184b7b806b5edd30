// TForm_Tavlin_AddText: typed text rendered into a black-and-white picture.
// The user types one or more lines, picks a font face, a size and the
// italic, underline and strike-out styles, watches the preview and confirms
// with "OK". The Text tool of the sprite page then stamps TextBitmap(): black
// pixels are drawn, white ones are transparent.
//
// The dialog is created once and kept, so the text and the font settings stay
// as the user left them. Cancel leaves TextBitmap() as the last "OK" made it.
#pragma once

#include <QDialog>
#include <QFont>
#include <QImage>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace tavlin {

class TForm_Tavlin_AddText : public QDialog {
  Q_OBJECT

 public:
  explicit TForm_Tavlin_AddText(QWidget* parent = nullptr);

  // The text picture of the last "OK": Format_RGB32, 0xFF000000 where the
  // text is and 0xFFFFFFFF elsewhere. Null (0 x 0) before the first "OK" and
  // after an "OK" on an empty text.
  const QImage& TextBitmap() const { return textBitmap_; }
  // The size of TextBitmap(). The size the preview measures for the current
  // text is MeasuredWidth() x MeasuredHeight(); "OK" makes the two agree.
  int TextBitmapWidth() const { return textBitmap_.width(); }
  int TextBitmapHeight() const { return textBitmap_.height(); }
  int MeasuredWidth() const { return measuredWidth_; }
  int MeasuredHeight() const { return measuredHeight_; }

  // The line pitch of the final picture: the font's em height in pixels,
  // the point size x the screen's pixels per inch / 72, rounded.
  int LinePitch() const;
  // The font the preview and the picture are drawn with.
  QFont TextFont() const;
  // The memo's lines, first to last; an empty memo has none, and a line
  // break at the very end starts no further line.
  QStringList TextLines() const;

  QLabel* Label_Text;
  QPlainTextEdit* Memo_Text;
  QLabel* Label_FontSize;
  QSpinBox* SpinEdit_FontSize;
  QLabel* Lavel_Font;
  QComboBox* ComboBox_FontName;
  QGroupBox* GroupBox_TextStyle;
  QCheckBox* CheckBox_Italic;
  QCheckBox* CheckBox_Underline;
  QCheckBox* CheckBox_StrikeOut;
  QGroupBox* GroupBox_Preview;
  QLabel* Image_Preview;
  QPushButton* BitBtn_Ok;
  QPushButton* BitBtn_Cancel;

  // Measures the text into MeasuredWidth() x MeasuredHeight() and redraws
  // the preview.
  void UpdateTextPreview();
  // Draws the text into TextBitmap() at the measured size.
  void RenderTextBitmap();

  // The preview as last drawn (344 x 64).
  const QImage& PreviewPicture() const { return preview_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private slots:
  void FormActivate();
  void Memo_TextChange();
  void SpinEdit_FontSizeChange();
  void ComboBox_FontNameChange();
  void CheckBox_Style_Click();
  void BitBtn_OkClick();
  void BitBtn_CancelClick();

 private:
  void FillFontList();

  QImage textBitmap_;
  QImage preview_;
  int measuredWidth_ = 0;
  int measuredHeight_ = 0;
};

}  // namespace tavlin
