// The display modes: the document's bytes drawn as a firmware draws them, the
// mode's controls (View menu, the preview page's choice and text) and the
// checks of what the brick will do differently, in the status bar and their
// own list.
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QSettings>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "CopyOptionChoices.h"
#include "EditPage.h"
#include "FileIO.h"
#include "NxtImage.h"
#include "ParameterFile.h"
#include "RicFile.h"
#include "Tavlin_main.h"

namespace tavlin {

namespace {

constexpr const char* kDisplayModeKey = "View/DisplayMode";
constexpr const char* kBrickSourceKey = "View/BrickSource";
// The font RIC's Description: it draws the parameters as text.
constexpr std::uint16_t kFontOptions = 0x8001;

// The mode's name in the settings: the firmware's name, "tavlin" for the editor's own preview.
QString DisplayModeName(DisplayMode mode) {
  const std::optional<BrickVariant> variant = BrickVariantOf(mode);
  return variant ? QString(BrickVariantName(*variant)) : QString("tavlin");
}

QSettings Settings() {
  return QSettings(QString::fromStdString(ConfigFilePath("Tavlin.ini")), QSettings::IniFormat);
}

bool DocumentIsFont(const RICElementList& list) {
  for (const auto& e : list)
    if (e->Kind == RICElementKind::Description && e->Options == kFontOptions) return true;
  return false;
}

}  // namespace

void TForm_Tavlin::BuildDisplayModeControls() {
  // The View menu: always there for the modes; its zoom entries only with a sprite.
  Menu_View->addSeparator()->setObjectName("Menu_View_DisplayModeSeparator");
  auto* group = new QActionGroup(this);
  group->setExclusive(true);
  for (std::size_t i = 0; i < kDisplayModes.size(); ++i) {
    const DisplayMode mode = kDisplayModes[i];
    QAction* a = Menu_View->addAction(DisplayModeCaption(mode));
    a->setObjectName("Menu_View_DisplayMode_" + DisplayModeName(mode));
    a->setCheckable(true);
    group->addAction(a);
    connect(a, &QAction::triggered, this, [this, mode] { SetDisplayMode(mode); });
    Menu_View_DisplayMode[i] = a;
  }

  // The preview page: the same choice, and the text a font RIC draws.
  QWidget* page = TabSheet_Edit_Preview;
  ComboBox_PreView_DisplayMode = new QComboBox(page);
  ComboBox_PreView_DisplayMode->setObjectName("ComboBox_PreView_DisplayMode");
  ComboBox_PreView_DisplayMode->setToolTip(
      "How the pictures are drawn: Tavlin's own preview, or "
      "as a firmware of the NXT draws the file");
  for (DisplayMode mode : kDisplayModes)
    ComboBox_PreView_DisplayMode->addItem(DisplayModeCaption(mode));
  // Under the position and the animation, as wide as its longest caption needs.
  ComboBox_PreView_DisplayMode->setGeometry(8, 590, 170, 24);
  connect(ComboBox_PreView_DisplayMode, &QComboBox::activated, this,
          [this](int index) { SetDisplayMode(kDisplayModes[std::size_t(index)]); });
  // Beside it, where a brick mode takes the picture from: the .ric file
  // (GraphicOut) or a program's array (GraphicArrayOut), kept with the mode.
  ComboBox_PreView_BrickSource = new QComboBox(page);
  ComboBox_PreView_BrickSource->setObjectName("ComboBox_PreView_BrickSource");
  ComboBox_PreView_BrickSource->setToolTip(
      "Where the brick takes the picture from: the .ric file (GraphicOut) or a program's "
      "array (GraphicArrayOut, as the NXC export gives it)");
  ComboBox_PreView_BrickSource->addItems({"Drawn from: file", "Drawn from: array"});
  ComboBox_PreView_BrickSource->setGeometry(182, 590, 130, 24);
  connect(ComboBox_PreView_BrickSource, &QComboBox::activated, this, [this](int index) {
    brickSource_ = index == 1 ? BrickSource::Array : BrickSource::File;
    QSettings settings = Settings();
    settings.setValue(kBrickSourceKey, BrickSourceName(brickSource_));
    settings.sync();
    ScheduleRefresh(kRefreshPage | kRefreshPreview | kRefreshDocument);
  });
  auto* textLabel = new QLabel("Text", page);
  textLabel->move(8, 535);
  Edit_PreView_Text = new QLineEdit(page);
  Edit_PreView_Text->setObjectName("Edit_PreView_Text");
  Edit_PreView_Text->setToolTip(
      "The text a font RIC draws at the preview's position (NXT enhanced modes)");
  Edit_PreView_Text->setGeometry(44, 532, 76, 22);
  connect(Edit_PreView_Text, &QLineEdit::textChanged, this,
          [this] { ScheduleRefresh(kRefreshPreview); });
  for (QWidget* w : {static_cast<QWidget*>(ComboBox_PreView_DisplayMode),
                     static_cast<QWidget*>(ComboBox_PreView_BrickSource),
                     static_cast<QWidget*>(textLabel), static_cast<QWidget*>(Edit_PreView_Text)})
    screens_.back()->AddBelow(w);

  // The status bar: the display mode, always there and switched in one click.
  ComboBox_Status_DisplayMode = new QComboBox(StatusPanel[7]->parentWidget());
  ComboBox_Status_DisplayMode->setObjectName("ComboBox_Status_DisplayMode");
  ComboBox_Status_DisplayMode->setToolTip("How the pictures are drawn");
  for (DisplayMode mode : kDisplayModes)
    ComboBox_Status_DisplayMode->addItem(DisplayModeCaption(mode));
  if (auto* row = qobject_cast<QHBoxLayout*>(StatusPanel[7]->parentWidget()->layout()))
    row->insertWidget(row->indexOf(StatusPanel[7]) + 1, ComboBox_Status_DisplayMode);
  connect(ComboBox_Status_DisplayMode, &QComboBox::activated, this,
          [this](int index) { SetDisplayMode(kDisplayModes[std::size_t(index)]); });
  StatusPanel[6]->setFixedWidth(650 - ComboBox_Status_DisplayMode->sizeHint().width());

  // The status bar's indicator, right of the panels, and the list it opens.
  Button_BrickChecks = new QToolButton(StatusPanel[7]->parentWidget());
  Button_BrickChecks->setObjectName("Button_BrickChecks");
  Button_BrickChecks->setAutoRaise(true);
  Button_BrickChecks->setToolTip("What the brick will draw differently: click for the list");
  Button_BrickChecks->hide();
  if (auto* row = qobject_cast<QHBoxLayout*>(StatusPanel[7]->parentWidget()->layout()))
    row->insertWidget(row->indexOf(StatusPanel[7]) + 1, Button_BrickChecks);
  connect(Button_BrickChecks, &QToolButton::clicked, this, [this] { ShowBrickChecks(); });

  // A dialog of the main window: above it only, closed by Esc, never modal.
  Window_BrickChecks = new QDialog(this);
  Window_BrickChecks->setObjectName("Window_BrickChecks");
  Window_BrickChecks->resize(480, 240);
  auto* column = new QVBoxLayout(Window_BrickChecks);
  Label_BrickChecksNone = new QLabel(Window_BrickChecks);
  Label_BrickChecksNone->setObjectName("Label_BrickChecksNone");
  Label_BrickChecksNone->setAlignment(Qt::AlignCenter);
  Label_BrickChecksNone->hide();
  column->addWidget(Label_BrickChecksNone);
  List_BrickChecks = new QListWidget(Window_BrickChecks);
  List_BrickChecks->setObjectName("List_BrickChecks");
  List_BrickChecks->setWordWrap(true);  // a finding is a sentence: read whole, never scrolled
  List_BrickChecks->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  column->addWidget(List_BrickChecks);
  auto select = [this](QListWidgetItem* item) {
    const int element = item->data(Qt::UserRole).toInt();
    if (element <= 0 || !ElementList().ValidIndex(element - 1)) return;
    SelectElement(element - 1);
  };
  connect(List_BrickChecks, &QListWidget::itemClicked, this, select);
  connect(List_BrickChecks, &QListWidget::itemActivated, this, select);

  // The mode last chosen; an unknown name keeps the editor's own preview.
  const QString name = Settings().value(kDisplayModeKey).toString();
  for (DisplayMode mode : kDisplayModes)
    if (DisplayModeName(mode) == name) displayMode_ = mode;
  const auto index = std::size_t(
      std::find(kDisplayModes.begin(), kDisplayModes.end(), displayMode_) - kDisplayModes.begin());
  Menu_View_DisplayMode[index]->setChecked(true);
  ComboBox_PreView_DisplayMode->setCurrentIndex(int(index));
  ComboBox_Status_DisplayMode->setCurrentIndex(int(index));
  brickSource_ = ParseBrickSource(Settings().value(kBrickSourceKey).toString().toStdString())
                     .value_or(BrickSource::File);
  ComboBox_PreView_BrickSource->setCurrentIndex(brickSource_ == BrickSource::Array ? 1 : 0);
}

void TForm_Tavlin::SetDisplayMode(DisplayMode mode) {
  const auto index = std::size_t(std::find(kDisplayModes.begin(), kDisplayModes.end(), mode) -
                                 kDisplayModes.begin());
  Menu_View_DisplayMode[index]->setChecked(true);
  ComboBox_PreView_DisplayMode->setCurrentIndex(int(index));
  ComboBox_Status_DisplayMode->setCurrentIndex(int(index));
  if (mode == displayMode_) return;
  displayMode_ = mode;
  QSettings settings = Settings();
  settings.setValue(kDisplayModeKey, DisplayModeName(mode));
  settings.sync();
  Window_BrickChecks->setWindowTitle(QString("Brick checks: ") + DisplayModeCaption(mode));
  brickChecksListed_ = false;  // the list names the mode when it is empty
  if (!BrickVariantOf(mode)) UpdateBrickChecks({});
  // The copy options' hints follow the mode.
  for (TCopyOptionChoices* choices : findChildren<TCopyOptionChoices*>()) choices->ShowWord();
  ScheduleRefresh(kRefreshPage | kRefreshPreview | kRefreshDocument);
}

std::string TForm_Tavlin::ModeIgnoringCopyOptions() const {
  // The editor's own preview draws every shape black and hollow, the LEGO
  // firmware never reads the options; the enhanced firmwares draw them.
  const bool ignores =
      displayMode_ == DisplayMode::TavlinPreview || displayMode_ == DisplayMode::BrickLego;
  return ignores ? DisplayModeCaption(displayMode_) : std::string();
}

std::string TForm_Tavlin::CopyOptionsModeName() const {
  return DisplayModeCaption(DisplayMode::BrickEnhanced132);
}

void TForm_Tavlin::ShowCopyOptionsDrawn() { SetDisplayMode(DisplayMode::BrickEnhanced132); }

const std::vector<std::uint8_t>& TForm_Tavlin::BrickBytes() {
  if (brickBytesKept_) return brickBytes_;
  try {
    brickBytes_ = EncodeRic(ElementList());
  } catch (const TavlinError&) {
    brickBytes_.clear();  // too large to be written: the brick gets nothing either
  }
  brickBytesKept_ = brickPasses_ > 0;
  return brickBytes_;
}

BrickCall TForm_Tavlin::BrickCallAt(int x, int y, bool withText) const {
  BrickCall call;
  call.Variant = BrickVariantOf(displayMode_).value_or(BrickVariant::Enhanced132);
  call.X = x;
  call.Y = y;
  call.Source = brickSource_;
  const QString text = Edit_PreView_Text->text();
  if (withText && call.Variant != BrickVariant::Lego && !text.isEmpty() &&
      DocumentIsFont(ElementList())) {
    // A font RIC draws the parameters as character codes up to the first 0.
    for (QChar c : text) call.Parameters.push_back(c.unicode());
    call.Parameters.push_back(0);
  } else {
    call.Parameters.assign(Params().ParameterSet.begin(),
                           Params().ParameterSet.begin() + parameterCount_);
  }
  return call;
}

void TForm_Tavlin::RenderBrickInto(NXTDisplay& display, const std::vector<std::uint8_t>& bytes,
                                   const BrickCall& call) {
  RenderBrick(display, bytes.data(), bytes.size(), call);
}

std::vector<std::uint8_t> TForm_Tavlin::BrickBytesOfElement(int index) {
  const std::vector<std::uint8_t>& all = BrickBytes();
  std::vector<std::uint8_t> ops;
  // One op per element, each its size word and as many bytes more.
  std::size_t at = 0;
  for (int i = 0; i <= index && at + 2 <= all.size(); ++i) {
    const std::size_t length = std::size_t(all[at] | all[at + 1] << 8) + 2;
    if (at + length > all.size()) break;
    const TRICElement* e = ElementList().At(i);
    if (i == index ||
        (e && (e->Kind == RICElementKind::Sprite || e->Kind == RICElementKind::VarMap)))
      ops.insert(ops.end(), all.begin() + std::ptrdiff_t(at),
                 all.begin() + std::ptrdiff_t(at + length));
    at += length;
  }
  return ops;
}

bool TForm_Tavlin::RenderSelectedOnBrick(NXTDisplay& screen) {
  if (!BrickVariantOf(displayMode_)) return false;
  RenderBrickInto(screen, BrickBytesOfElement(selectedIndex_), BrickCallAt(0, 0, false));
  return true;
}

QString TForm_Tavlin::BrickPageNotice() {
  if (!BrickVariantOf(displayMode_) || selectedIndex_ < 0) return {};
  const std::vector<std::uint8_t>& bytes = BrickBytes();
  const BrickFinding stop = BrickWalkStop(bytes.data(), bytes.size(), BrickCallAt(0, 0, false));
  const int step = selectedIndex_ + 1;
  if (stop.Element == 0 || step < stop.Element) return {};
  const QString why = QString::fromStdString(stop.Text);
  if (step == stop.Element) return "Not drawn on the brick: " + why;
  // Only the reason, without what it does to the rest: that is what is said.
  return QString("Not drawn on the brick: it stops at step %1 (%2) and draws nothing after it")
      .arg(stop.Element)
      .arg(why.section(':', 0, 0));
}

void TForm_Tavlin::PaintBrickPageNotice(TNxtImage* image) {
  const QString notice = BrickPageNotice();
  if (notice.isEmpty()) return;
  QImage& picture = image->Picture();
  QPainter p(&picture);
  const QRect box = picture.rect().adjusted(picture.width() / 10, picture.height() / 3,
                                            -picture.width() / 10, -picture.height() / 3);
  p.fillRect(box, QColor(255, 255, 225));
  p.setPen(QColor(160, 120, 0));
  p.drawRect(box.adjusted(0, 0, -1, -1));
  p.setPen(Qt::black);
  p.drawText(box.adjusted(8, 4, -8, -4), Qt::AlignCenter | Qt::TextWordWrap, notice);
  p.end();
  image->update();
}

void TForm_Tavlin::UpdateBrickChecks(const BrickCall& call) {
  static const std::vector<BrickFinding> kNone;
  const std::vector<BrickFinding>* findings = &kNone;
  if (BrickVariantOf(displayMode_)) {
    // The last check is kept: it stays true while the bytes and the call do.
    const std::vector<std::uint8_t>& bytes = BrickBytes();
    const bool sameCall =
        checkedValid_ && call.Variant == checkedCall_.Variant && call.X == checkedCall_.X &&
        call.Y == checkedCall_.Y && call.Options == checkedCall_.Options &&
        call.Source == checkedCall_.Source && call.Parameters == checkedCall_.Parameters;
    if (!sameCall || bytes != checkedBytes_) {
      checkedFindings_ = CheckBrick(bytes.data(), bytes.size(), call);
      checkedBytes_ = bytes;
      checkedCall_ = call;
      checkedValid_ = true;
    }
    findings = &checkedFindings_;
  }
  const bool brick = BrickVariantOf(displayMode_).has_value();
  Button_BrickChecks->setVisible(brick);
  if (!brick) Window_BrickChecks->hide();
  const std::size_t n = findings->size();
  Button_BrickChecks->setText(n == 0   ? QString("Brick: no problems")
                              : n == 1 ? QString("Brick: 1 problem")
                                       : QString("Brick: %1 problems").arg(n));
  // The file name's panel gives the mode's choice and the indicator their room.
  StatusPanel[6]->setFixedWidth(650 - ComboBox_Status_DisplayMode->sizeHint().width() -
                                (brick ? Button_BrickChecks->sizeHint().width() : 0));
  if (*findings != brickFindings_) {
    brickFindings_ = *findings;
    brickChecksListed_ = false;
  }
  // A document can hold thousands of findings: the list is filled only
  // where it is seen.
  if (Window_BrickChecks->isVisible()) ListBrickChecks();
}

void TForm_Tavlin::ListBrickChecks() {
  if (brickChecksListed_) return;
  brickChecksListed_ = true;
  List_BrickChecks->clear();
  // An empty list says so, rather than show a blank box.
  Label_BrickChecksNone->setText(QString("No problems for ") + DisplayModeCaption(displayMode_));
  Label_BrickChecksNone->setVisible(brickFindings_.empty());
  List_BrickChecks->setVisible(!brickFindings_.empty());
  for (const BrickFinding& f : brickFindings_) {
    const QString text = QString::fromStdString(f.Text);
    auto* item = new QListWidgetItem(
        f.Element > 0 ? QString("element %1: %2").arg(f.Element).arg(text) : text);
    item->setData(Qt::UserRole, f.Element);
    List_BrickChecks->addItem(item);
  }
}

void TForm_Tavlin::ShowBrickChecks() {
  Window_BrickChecks->setWindowTitle(QString("Brick checks: ") + DisplayModeCaption(displayMode_));
  ListBrickChecks();
  Window_BrickChecks->show();
  Window_BrickChecks->raise();
}

}  // namespace tavlin
