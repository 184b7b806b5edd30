#include "CopyOptionChoices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <span>

#include "EditorHost.h"
#include "RICArgument.h"
#include "RICElement.h"
#include "RICParameterEdit.h"

namespace tavlin {

namespace {

struct NamedBits {
  const char* name;
  std::uint16_t bits;
};

// Shapes: the pixel mode. Other combinations of these bits draw black.
constexpr std::uint16_t kPixelModeMask = copyopt::kWhite | copyopt::kInvert;
constexpr NamedBits kPixelModes[] = {
    {"black", 0}, {"white", copyopt::kWhite}, {"invert", copyopt::kInvert}};
// Bitmaps: how the source meets the screen.
constexpr std::uint16_t kLogicMask = copyopt::kAnd | copyopt::kOr;
constexpr NamedBits kLogics[] = {
    {"copy", 0}, {"AND", copyopt::kAnd}, {"OR", copyopt::kOr}, {"XOR", copyopt::kXor}};

}  // namespace

TCopyOptionChoices::TCopyOptionChoices(TRICParameterEdit* edit, CopyOptionFamily family,
                                       TEditorHost* host)
    : QWidget(edit->parentWidget()), edit_(edit), family_(family), host_(host) {
  setObjectName(edit->objectName() + "_Choices");
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);
  auto* row = new QHBoxLayout;
  row->setSpacing(6);
  column->addLayout(row);
  const bool bitmaps = family == CopyOptionFamily::Bitmaps;

  ModeChoice = new QComboBox(this);
  ModeChoice->setObjectName("ModeChoice");
  for (const NamedBits& m :
       bitmaps ? std::span<const NamedBits>(kLogics) : std::span<const NamedBits>(kPixelModes))
    ModeChoice->addItem(m.name, int(m.bits));
  ModeChoice->setToolTip(bitmaps ? "How the sprite meets the screen" : "The pixels' colour");
  row->addWidget(ModeChoice);
  connect(ModeChoice, &QComboBox::activated, this, [this, bitmaps](int index) {
    const int bits = ModeChoice->itemData(index).toInt();
    if (bits >= 0) Choose(bitmaps ? kLogicMask : kPixelModeMask, std::uint16_t(bits));
  });

  auto check = [&](QCheckBox*& box, const char* name, const char* text, const char* tip,
                   std::uint16_t bit) {
    box = new QCheckBox(text, this);
    box->setObjectName(name);
    box->setToolTip(tip);
    row->addWidget(box);
    connect(box, &QCheckBox::clicked, this,
            [this, bit](bool on) { Choose(bit, on ? bit : std::uint16_t(0)); });
  };
  if (bitmaps) {
    check(InvertChoice, "InvertChoice", "invert", "The sprite's pixels inverted",
          copyopt::kInvertBitmap);
    check(FillChoice, "FillChoice", "solid", "The whole block set, whatever the sprite holds",
          copyopt::kFill);
  } else {
    check(FillChoice, "FillChoice", "fill", "The shape filled", copyopt::kFill);
  }
  if (family == CopyOptionFamily::Polygon)
    check(PolylineChoice, "PolylineChoice", "polyline", "No line from the last point to the first",
          copyopt::kPolyline);

  auto* hintRow = new QHBoxLayout;
  hintRow->setSpacing(6);
  IgnoredHint = new QLabel(this);
  IgnoredHint->setObjectName("IgnoredHint");
  ShowDrawnButton = new QPushButton(this);
  ShowDrawnButton->setObjectName("ShowDrawnButton");
  hintRow->addWidget(IgnoredHint);
  hintRow->addWidget(ShowDrawnButton);
  hintRow->addStretch();
  column->addLayout(hintRow);
  IgnoredHint->hide();
  ShowDrawnButton->hide();
  connect(ShowDrawnButton, &QPushButton::clicked, this, [this] {
    if (host_) host_->ShowCopyOptionsDrawn();
  });

  adjustSize();
  edit->installEventFilter(this);
  connect(edit, &TRICParameterEdit::OnChange, this, [this] { ShowWord(); });
  Follow();
  ShowWord();
}

void TCopyOptionChoices::ShowWord() {
  const RICArgument word = edit_->Value();
  const bool constant = DecodeArgument(word).Mode == ArgumentMode::Constant;
  showing_ = true;
  setEnabled(constant);
  // A combination without a name of its own is shown by its bits for as long as it is there.
  const int named = family_ == CopyOptionFamily::Bitmaps ? 4 : 3;
  while (ModeChoice->count() > named) ModeChoice->removeItem(named);
  if (!constant) {
    ModeChoice->setCurrentIndex(-1);
  } else {
    const int mask = family_ == CopyOptionFamily::Bitmaps ? kLogicMask : kPixelModeMask;
    int index = ModeChoice->findData(int(word & mask));
    if (index < 0) {
      ModeChoice->addItem(QString("bits 0x%1 (black)").arg(word & mask, 2, 16, QChar('0')), -1);
      index = named;
    }
    ModeChoice->setCurrentIndex(index);
  }
  auto show = [&](QCheckBox* box, std::uint16_t bit) {
    if (box) box->setChecked(constant && (word & bit));
  };
  show(FillChoice, copyopt::kFill);
  show(InvertChoice, copyopt::kInvertBitmap);
  show(PolylineChoice, copyopt::kPolyline);
  showing_ = false;
  ShowIgnoredHint(constant ? word : 0);
}

void TCopyOptionChoices::ShowIgnoredHint(std::uint16_t word) {
  const std::uint16_t drawn = copyopt::kWhite | copyopt::kInvert | copyopt::kFill |
                              copyopt::kInvertBitmap |
                              (family_ == CopyOptionFamily::Polygon ? copyopt::kPolyline : 0);
  const std::string mode = host_ ? host_->ModeIgnoringCopyOptions() : std::string();
  const bool ignored = !mode.empty() && (word & drawn) != 0;
  if (ignored) {
    IgnoredHint->setText(QString("\u201C%1\u201D ignores these options: it draws %2.")
                             .arg(QString::fromStdString(mode), family_ == CopyOptionFamily::Bitmaps
                                                                    ? "the sprite as it is"
                                                                    : "hollow and black"));
    ShowDrawnButton->setText(
        QString("Show as %1").arg(QString::fromStdString(host_->CopyOptionsModeName())));
  }
  if (!ignored && IgnoredHint->isHidden()) return;
  IgnoredHint->setVisible(ignored);
  ShowDrawnButton->setVisible(ignored);
  adjustSize();
  Follow();
}

void TCopyOptionChoices::Choose(std::uint16_t mask, std::uint16_t bits) {
  if (showing_) return;
  const RICArgument word = edit_->Value();
  if (DecodeArgument(word).Mode != ArgumentMode::Constant) return;
  const auto chosen = RICArgument((word & ~mask) | bits);
  if (chosen == word) return;
  // A choice is a step of its own, neither merged with typing before it nor after it.
  if (host_) host_->SealEditStep();
  edit_->setValue(chosen);
  if (host_) host_->SealEditStep();
}

bool TCopyOptionChoices::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_) {
    switch (event->type()) {
      case QEvent::Move:
      case QEvent::Resize:
        Follow();
        break;
      case QEvent::Show:
      case QEvent::Hide:
        setVisible(edit_->isVisibleTo(parentWidget()));
        break;
      default:
        break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TCopyOptionChoices::Follow() {
  const QRect at = edit_->geometry();
  setGeometry(at.right() + 9, at.top() + (at.height() - height()) / 2, width(), height());
}

TCopyOptionChoices* AttachCopyOptionChoices(TRICParameterEdit* edit, CopyOptionFamily family,
                                            TEditorHost* host) {
  // A control has one set of choices, however often it is attached.
  if (auto* choices = edit->parentWidget()->findChild<TCopyOptionChoices*>(
          edit->objectName() + "_Choices", Qt::FindDirectChildrenOnly))
    return choices;
  return new TCopyOptionChoices(edit, family, host);
}

}  // namespace tavlin
