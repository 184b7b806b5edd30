// The parameter panel (16 or 256 parameters, load, save, clear), the
// preview page with its two mode switches and its animation, and the
// picture and animation exports.
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>

#include "AnimationExportDialog.h"
#include "DisplayAdapter.h"
#include "DisplayImage.h"
#include "EditPage.h"
#include "FileIO.h"
#include "FrameRenderer.h"
#include "GifWriter.h"
#include "NxtImage.h"
#include "ParameterFile.h"
#include "ParameterUse.h"
#include "PngWriter.h"
#include "PreviewAnimation.h"
#include "QtFilePaths.h"
#include "QuotedText.h"
#include "RICInterpreter.h"
#include "SpritePage.h"
#include "Tavlin_main.h"
#include "UserDialogs.h"

namespace tavlin {

namespace {

const FileDialogSpec kParameterDialog{"Tavlin parameter file|*.rpa", "rpa", QString(), true};
const FileDialogSpec kGifDialog{"GIF animation|*.gif", "gif", "*.gif", false};
const FileDialogSpec kPngDialog{"PNG picture|*.png", "png", "*.png", false};

// Highlights the row whose spin edit has the focus.
class ParamFocusFilter : public QObject {
 public:
  ParamFocusFilter(QObject* parent, std::function<void(int)> onFocus)
      : QObject(parent), onFocus_(std::move(onFocus)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusIn)
      onFocus_(watched->property("paramRow").toInt());
    else if (event->type() == QEvent::FocusOut)
      onFocus_(-1);
    return false;
  }

 private:
  std::function<void(int)> onFocus_;
};

}  // namespace

void TForm_Tavlin::BuildParameterPanel(QWidget* client) {
  GroupBox_Param = new QGroupBox("Parameters (0..255)", client);
  GroupBox_Param->setObjectName("GroupBox_Param");
  GroupBox_Param->setGeometry(156, 37, 181, 164);
  auto* focusFilter = new ParamFocusFilter(this, [this](int row) { SetParamPanelFocus(row); });
  paramFocusFilter_ = focusFilter;
  for (int r = 0; r < 21; ++r) {
    auto* panel = new QFrame(GroupBox_Param);
    panel->setObjectName(QString("Panel_Param%1").arg(r, 2, 10, QChar('0')));
    panel->setGeometry(8, 16 + 28 * r, 136, 29);
    panel->setFrameStyle(QFrame::NoFrame);
    auto* caption = new QLabel(panel);
    caption->setObjectName(QString("Label_Param%1").arg(r, 2, 10, QChar('0')));
    caption->setGeometry(2, 4, 30, 22);
    auto* spin = new QSpinBox(panel);
    spin->setObjectName(QString("SpinEdit_Param%1").arg(r, 2, 10, QChar('0')));
    spin->setGeometry(32, 4, 97, 22);
    spin->setRange(0, 65535);
    spin->setProperty("paramRow", r);
    spin->installEventFilter(focusFilter);
    connect(spin, &QSpinBox::valueChanged, this, [this, r] { SpinEdit_ParamChange(r); });
    Panel_Param[std::size_t(r)] = panel;
    Label_Param[std::size_t(r)] = caption;
    SpinEdit_Param[std::size_t(r)] = spin;
  }
  ScrollBar_Param = new QScrollBar(Qt::Vertical, GroupBox_Param);
  ScrollBar_Param->setObjectName("ScrollBar_Param");
  ScrollBar_Param->setGeometry(151, 20, 16, 105);
  ScrollBar_Param->setPageStep(3);
  connect(ScrollBar_Param, &QScrollBar::valueChanged, this, [this] { RefreshParameterPanel(); });

  auto button = [this](const char* name, const QString& icon, const QString& hint, int left) {
    return NewSpeedButton(GroupBox_Param, name, icon, hint, left, 133);
  };
  SpeedButton_Preview_ParamLoad =
      button("SpeedButton_Preview_ParamLoad", "paramload", "Open RIC-parameter file", 8);
  SpeedButton_Preview_ParamSave =
      button("SpeedButton_Preview_ParamSave", "paramsave", "Save RIC-parameter file", 32);
  SpeedButton_Preview_ParamNew =
      button("SpeedButton_Preview_ParamNew", "paramnew", "New RIC-parameter file", 56);
  SpeedButton_Param256 = button("SpeedButton_Param256", "param256",
                                "Activate Orwick's advanced firmware parameters", 144);
  SpeedButton_Param16 =
      button("SpeedButton_Param16", "param16", "Activate standard firmware parameters", 144);
  connect(SpeedButton_Preview_ParamLoad, &QToolButton::clicked, this, [this] { ParameterLoad(); });
  connect(SpeedButton_Preview_ParamSave, &QToolButton::clicked, this, [this] { ParameterSave(); });
  connect(SpeedButton_Preview_ParamNew, &QToolButton::clicked, this, [this] { ParameterClear(); });
  connect(SpeedButton_Param256, &QToolButton::clicked, this, [this] { SetParameterMode(256); });
  connect(SpeedButton_Param16, &QToolButton::clicked, this, [this] { SetParameterMode(16); });
  GroupBox_Param->raise();
}

void TForm_Tavlin::BuildPreviewPage() {
  TabSheet_Edit_Preview = NewEditPage("TabSheet_Edit_Preview", "PreView");
  Image_Preview = NewScreenImage(TabSheet_Edit_Preview, "Image_Preview");
  connect(Image_Preview, &TNxtImage::MousePressed, this,
          [this](int x, int y, Qt::MouseButton) { Image_PreviewMouse(x, y); });
  connect(Image_Preview, &TNxtImage::MouseMoved, this,
          [this](int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers) {
            if (buttons & Qt::LeftButton) Image_PreviewMouse(x, y);
          });
  auto spin = [this](const char* name, const char* label, int top, int maxValue) {
    auto* l = new QLabel(label, TabSheet_Edit_Preview);
    l->move(8, top + 3);
    auto* s = new QSpinBox(TabSheet_Edit_Preview);
    s->setObjectName(name);
    s->setRange(0, maxValue);
    s->setGeometry(56, top, 64, 22);
    screens_.back()->AddBelow(l);
    screens_.back()->AddBelow(s);
    connect(s, &QSpinBox::valueChanged, this, [this] { MovePreview(); });
    return s;
  };
  SpinEdit_PreView_PosX = spin("SpinEdit_PreView_PosX", "Pos X", 468, 99);
  SpinEdit_PreView_PosY = spin("SpinEdit_PreView_PosY", "Pos Y", 500, 63);
  // Right of the position, in the room the shape pages keep for their argument controls.
  Animation_PreView =
      new TPreviewAnimation(TabSheet_Edit_Preview, 136, 460,
                            [this](const std::vector<ParameterSweep>& sweeps, int frame) {
                              ShowAnimationFrame(sweeps, frame);
                            });
  screens_.back()->AddBelow(Animation_PreView->Box());
  BuildDisplayModeControls();
}

void TForm_Tavlin::ShowAnimationFrame(const std::vector<ParameterSweep>& sweeps, int frame) {
  const BrickPass pass(*this);
  ApplySweeps(sweeps, frame, Params().ParameterSet);
  // The first swept parameter's row comes into view, as the user would scroll to it.
  const int first = ScrollBar_Param->value(), rows = InPreviewMode() ? PreviewRows() : 4;
  const int index = sweeps.front().Parameter;
  if (index < first || index >= first + rows) {
    QSignalBlocker block(ScrollBar_Param);
    ScrollBar_Param->setValue(index);
  }
  RefreshParameterPanel();
  if (InPreviewMode()) RenderPreview();
  RefreshDocumentView();
}

bool TForm_Tavlin::InPreviewMode() const {
  return PageControl_Navigate->currentWidget() == TabSheet_Navigate_Preview;
}

void TForm_Tavlin::RefreshParameterPanel() {
  panelUpdating_ = true;
  bool preview = InPreviewMode();
  for (int r = 0; r < 21; ++r) {
    if (r <= Params().MaxParameterIndex) {
      int index = ScrollBar_Param->value() + r;
      Label_Param[std::size_t(r)]->setText(" " + QString::number(index));
      SpinEdit_Param[std::size_t(r)]->setValue(
          Params().ParameterSet[std::size_t(std::min(index, 255))]);
    }
    bool visible =
        preview ? (r < PreviewRows() && (r <= 15 || Params().MaxParameterIndex > 15)) : r < 4;
    Panel_Param[std::size_t(r)]->setVisible(visible);
  }
  panelUpdating_ = false;
}

void TForm_Tavlin::SetParameterMode(int count) {
  // The brick is passed as many parameters as the panel offers.
  if (count != parameterCount_ && BrickVariantOf(displayMode_))
    ScheduleRefresh(kRefreshPage | kRefreshPreview | kRefreshDocument);
  parameterCount_ = count;
  Params().MaxParameterIndex = count - 1;
  bool preview = InPreviewMode();
  // All rows that fit are shown; the bar reaches the rest.
  const int rows = preview ? std::min(PreviewRows(), count == 256 ? 21 : 16) : 4;
  const int maximum = count - rows;
  panelUpdating_ = true;
  ScrollBar_Param->setMinimum(0);
  ScrollBar_Param->setMaximum(maximum);  // a position beyond it becomes the maximum
  panelUpdating_ = false;
  ScrollBar_Param->setFixedHeight(preview ? GroupBox_Param->height() - 73 : 105);
  ScrollBar_Param->setVisible(maximum > 0);
  Animation_PreView->SetParameterCount(count);
  SpeedButton_Param16->setVisible(count == 256);
  SpeedButton_Param256->setVisible(count == 16);
  Menu_File_Settings_Paramter_16Standard->setChecked(count == 16);
  Menu_File_Settings_Paramter_256Orwick->setChecked(count == 256);
  GroupBox_Param->setTitle(count == 16 ? "Parameters (0..15)" : "Parameters (0..255)");
  RefreshParameterPanel();
}

void TForm_Tavlin::SpinEdit_ParamChange(int row) {
  if (panelUpdating_) return;
  int index = ScrollBar_Param->value() + row;
  if (index < 0 || index > 255) return;
  Params().ParameterSet[std::size_t(index)] =
      std::uint16_t(SpinEdit_Param[std::size_t(row)]->value());
  ScheduleRefresh((InPreviewMode() ? kRefreshPreview : kRefreshPage) | kRefreshDocument);
}

void TForm_Tavlin::SetParamPanelFocus(int row) {
  for (int r = 0; r < 21; ++r)
    Panel_Param[std::size_t(r)]->setFrameStyle(r == row ? (QFrame::Panel | QFrame::Raised)
                                                        : QFrame::NoFrame);
}

void TForm_Tavlin::RenderPreview() {
  NXTDisplay preview;
  if (BrickVariantOf(displayMode_)) {
    const BrickCall call =
        BrickCallAt(SpinEdit_PreView_PosX->value(), SpinEdit_PreView_PosY->value(), true);
    RenderBrickInto(preview, BrickBytes(), call);
    if (InPreviewMode()) UpdateBrickChecks(call);
  } else {
    RenderDocumentInto(preview, SpinEdit_PreView_PosX->value(), SpinEdit_PreView_PosY->value(),
                       Document());
  }
  Image_Preview->SetPicture(
      ZoomedDisplayImage(preview, Image_Preview->width(), Image_Preview->height()));
}

void TForm_Tavlin::EnterPreviewMode() {
  PageControl_Edit->setCurrentWidget(TabSheet_Edit_Preview);
  PageControl_Navigate->setCurrentWidget(TabSheet_Navigate_Preview);
  ArrangeParameterPanel();
  RenderPreview();
  Menu_File_ModifyRICFile->setVisible(true);
  Menue_File_PreviewRICfile->setVisible(false);
}

void TForm_Tavlin::EnterModifyMode() {
  Animation_PreView->Pause();
  PageControl_Navigate->setCurrentWidget(TabSheet_Navigate_Modify);
  ArrangeParameterPanel();
  Menue_File_PreviewRICfile->setVisible(true);
  Menu_File_ModifyRICFile->setVisible(false);
  EditEventsPause pause(*this);
  ShowElement(selectedIndex_);
}

int TForm_Tavlin::PreviewRows() const {
  // Row r ends at 45 + 28 r, above the bar's foot 49 over the box's bottom.
  const int height = std::min(654, 654 + extraHeight_);
  return std::clamp((height - 94) / 28 + 1, 1, 21);
}

void TForm_Tavlin::ArrangeParameterPanel() {
  // The box reaches down the left column in preview mode, 654 high at the
  // default size; its buttons sit at its foot.
  const int height = InPreviewMode() ? std::min(654, 654 + extraHeight_) : 164;
  GroupBox_Param->setFixedHeight(height);
  for (QToolButton* b : {SpeedButton_Preview_ParamLoad, SpeedButton_Preview_ParamSave,
                         SpeedButton_Preview_ParamNew, SpeedButton_Param16, SpeedButton_Param256})
    b->move(b->x(), height - 31);
  SetParameterMode(parameterCount_);
}

void TForm_Tavlin::Image_PreviewMouse(int mx, int my) {
  QPoint p = NxtPointFromMouse(Image_Preview->width(), Image_Preview->height(), mx, my);
  ShowPointerPosition(p.x(), p.y());
  {
    // One render for both coordinates.
    QSignalBlocker bx(SpinEdit_PreView_PosX), by(SpinEdit_PreView_PosY);
    SpinEdit_PreView_PosX->setValue(p.x());
    SpinEdit_PreView_PosY->setValue(p.y());
  }
  MovePreview();
}

void TForm_Tavlin::MovePreview() {
  // Within preview mode only the picture changes, drawn once the pass is done.
  if (InPreviewMode() && PageControl_Edit->currentWidget() == TabSheet_Edit_Preview)
    ScheduleRefresh(kRefreshPreview);
  else
    EnterPreviewMode();
}

void TForm_Tavlin::ParameterLoad() {
  FileDialogSpec setup = kParameterDialog;
  setup.fileName = QString::fromStdString(Params().ParameterFileName);
  std::optional<QString> path = dialogs_.ChooseOpenFile(this, setup);
  if (!path) return;
  // Closing writes the parameter file back: a file becomes it only when all
  // of it is parameter lines, or a shopping list picked by mistake would be
  // overwritten. A file refused changes no value.
  try {
    LoadParameterFile(LocalPath(*path), Params().ParameterSet);
    Params().ParameterFileName = LocalPath(*path);
    Params().ParameterFileReadFailed = false;
  } catch (const TavlinError& e) {
    QString text = QString::fromStdString(e.what());
    if (!Params().ParameterFileName.empty())
      text += "\n\nThe parameter file is still " +
              QString::fromStdString(MessagePath(Params().ParameterFileName)) + ".";
    ShowFailure(text);
  }
  RefreshParameterPanel();
  RefreshDocumentView();
}

void TForm_Tavlin::ParameterSave() {
  FileDialogSpec setup = kParameterDialog;
  setup.fileName = QString::fromStdString(Params().ParameterFileName);
  setup.mustExist = false;
  // Replacing a file asks first, as every save does.
  std::optional<QString> path = ChooseFileToWrite(dialogs_, this, setup);
  if (!path) return;
  try {
    WriteParameterFile(LocalPath(*path), Params().ParameterSet);
    Params().ParameterFileName = LocalPath(*path);
    Params().ParameterFileReadFailed = false;
  } catch (const TavlinError& e) {
    ShowFailure(QString::fromStdString(e.what()));
  }
}

void TForm_Tavlin::ParameterClear() {
  if (!dialogs_.AskYesNo(this, "All parameter will be set to 0. Would you proceed?")) return;
  Params().ParameterSet.fill(0);
  RefreshParameterPanel();
}

// What the window shows of the whole document: the preview at its position in
// preview mode, otherwise the NXT output; at the zoom the user chooses.
void TForm_Tavlin::ExportPicturePng() {
  TZoomDialog ask(this, Animation_PreView->ExportZoom());
  if (dialogs_.RunModal(&ask) != QDialog::Accepted) return;
  const int zoom = ask.Zoom->value();
  Animation_PreView->SpinEdit_PreView_ExportZoom->setValue(zoom);
  FileDialogSpec setup = kPngDialog;
  if (!currentFileName_.isEmpty()) setup.fileName = WithSuffix(currentFileName_, "png");
  std::optional<QString> path = ChooseFileToWrite(dialogs_, this, setup);
  if (!path) return;
  Document().EndFloatingWork();  // a shape still being placed is no part of the picture
  const bool preview = InPreviewMode();
  NXTDisplay display;
  RenderDocumentInto(display, preview ? SpinEdit_PreView_PosX->value() : 0,
                     preview ? SpinEdit_PreView_PosY->value() : 0, Document());
  try {
    WritePngFile(LocalPath(*path), ScaleDisplay(display, zoom));
  } catch (const TavlinError& e) {
    ShowFailure(QString::fromStdString(e.what()));
  }
}

// The preview's sweep from the parameters as they are, placed as the picture
// export places the display; the parameters themselves stay as they are. The
// settings are asked first; a long export shows its progress and can be
// cancelled, and a cancelled one writes nothing.
void TForm_Tavlin::ExportAnimationGif() {
  Document().EndFloatingWork();
  const bool preview = InPreviewMode();
  const int dx = preview ? SpinEdit_PreView_PosX->value() : 0;
  const int dy = preview ? SpinEdit_PreView_PosY->value() : 0;
  AnimationExportSettings start{Animation_PreView->Sweeps(), Animation_PreView->FramesPerSecond(),
                                Animation_PreView->ExportZoom(), true};
  const TParameterSet base = Params().ParameterSet;
  const RICElementList& list = ElementList();
  NXTDisplay shown;
  RenderDocument(shown, dx, dy, list, base);
  std::map<int, std::size_t> frameBytes;  // by zoom: a second frame's cost in the file
  TAnimationExportDialog ask(
      this, start, parameterCount_, [&list](int p) { return ListUsesParameter(list, p); },
      [&](int zoom) {
        auto& bytes = frameBytes[zoom];
        if (bytes == 0) {
          GifAnimationWriter one(zoom, 10), two(zoom, 10);
          one.AddFrame(shown);
          two.AddFrame(shown);
          two.AddFrame(shown);
          bytes = std::max<std::size_t>(1, two.Finish().size() - one.Finish().size());
        }
        return bytes;
      });
  if (dialogs_.RunModal(&ask) != QDialog::Accepted) return;
  const AnimationExportSettings settings = ask.Settings();
  Animation_PreView->SpinEdit_PreView_ExportZoom->setValue(settings.Zoom);
  FileDialogSpec setup = kGifDialog;
  if (!currentFileName_.isEmpty()) setup.fileName = WithSuffix(currentFileName_, "gif");
  std::optional<QString> path = ChooseFileToWrite(dialogs_, this, setup);
  if (!path) return;
  const int frames = SweepFrameCount(settings.Sweeps);
  struct Cancelled {};
  std::unique_ptr<ProgressWindow> progress =
      dialogs_.StartProgress(this, QString("Writing %1 frames...").arg(frames));
  try {
    GifAnimationWriter gif(settings.Zoom, GifDelayForFps(settings.FramesPerSecond), settings.Loop);
    RenderFramesInOrder(
        frames,
        [&](int frame, NXTDisplay& display) {
          TParameterSet parameters = base;
          ApplySweeps(settings.Sweeps, frame, parameters);
          RenderDocument(display, dx, dy, list, parameters);
        },
        [&](int frame, const NXTDisplay& display) {
          gif.AddFrame(display);
          if (!progress->Update(
                  int(std::int64_t(frame + 1) * ProgressWindow::kProgressSteps / frames)))
            throw Cancelled{};
        });
    WriteGifFile(LocalPath(*path), gif);
  } catch (const Cancelled&) {
    return;
  } catch (const TavlinError& e) {
    progress.reset();
    ShowFailure(QString::fromStdString(e.what()));
  }
}

}  // namespace tavlin
