#include "PreviewAnimation.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

namespace tavlin {

namespace {

QSpinBox* NewSpin(QWidget* parent, const char* name, int low, int high, int value) {
  auto* s = new QSpinBox(parent);
  s->setObjectName(name);
  s->setRange(low, high);
  s->setValue(value);
  return s;
}

QToolButton* NewButton(QWidget* parent, const char* name, const QString& text,
                       const QString& hint) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setText(text);
  b->setToolTip(hint);
  b->setMinimumWidth(32);
  return b;
}

}  // namespace

TPreviewAnimation::TPreviewAnimation(QWidget* page, int left, int top, ShowFrameFn showFrame)
    : QObject(page), showFrame_(std::move(showFrame)) {
  auto* box = new QGroupBox("Animation", page);
  GroupBox_PreView_Animation = box;
  box->setObjectName("GroupBox_PreView_Animation");
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(6, 2, 6, 4);
  grid->setVerticalSpacing(2);

  // One row per sweep: parameter, from, to, step.
  auto sweepRow = [&](int row, QWidget* lead, const char* names[4], int to) {
    std::array<QSpinBox*, 4> spins = {
        NewSpin(box, names[0], 0, 255, row), NewSpin(box, names[1], 0, 65535, 0),
        NewSpin(box, names[2], 0, 65535, to), NewSpin(box, names[3], 1, 65535, 1)};
    grid->addWidget(lead, row, 0);
    grid->addWidget(spins[0], row, 1);
    const char* captions[3] = {"from", "to", "step"};
    for (int k = 0; k < 3; ++k) {
      grid->addWidget(new QLabel(captions[k], box), row, 2 + 2 * k, Qt::AlignRight);
      grid->addWidget(spins[std::size_t(k + 1)], row, 3 + 2 * k);
    }
    for (QSpinBox* s : spins)
      connect(s, &QSpinBox::valueChanged, this, [this] { SettingsChanged(); });
    return spins;
  };
  const char* first[4] = {"SpinEdit_PreView_SweepParam1", "SpinEdit_PreView_SweepFrom1",
                          "SpinEdit_PreView_SweepTo1", "SpinEdit_PreView_SweepStep1"};
  const char* second[4] = {"SpinEdit_PreView_SweepParam2", "SpinEdit_PreView_SweepFrom2",
                           "SpinEdit_PreView_SweepTo2", "SpinEdit_PreView_SweepStep2"};
  auto spins1 = sweepRow(0, new QLabel("Sweep parameter", box), first, 99);
  CheckBox_PreView_Sweep2 = new QCheckBox("and parameter", box);
  CheckBox_PreView_Sweep2->setObjectName("CheckBox_PreView_Sweep2");
  auto spins2 = sweepRow(1, CheckBox_PreView_Sweep2, second, 63);
  SpinEdit_PreView_SweepParam1 = spins1[0];
  SpinEdit_PreView_SweepFrom1 = spins1[1];
  SpinEdit_PreView_SweepTo1 = spins1[2];
  SpinEdit_PreView_SweepStep1 = spins1[3];
  SpinEdit_PreView_SweepParam2 = spins2[0];
  SpinEdit_PreView_SweepFrom2 = spins2[1];
  SpinEdit_PreView_SweepTo2 = spins2[2];
  SpinEdit_PreView_SweepStep2 = spins2[3];
  for (QSpinBox* s : spins2) s->setEnabled(false);
  connect(CheckBox_PreView_Sweep2, &QCheckBox::toggled, this, [this, spins2](bool on) {
    for (QSpinBox* s : spins2) s->setEnabled(on);
    SettingsChanged();
  });

  // Speed, export zoom, and the player's buttons with the frame number.
  grid->addWidget(new QLabel("Frames per second", box), 2, 0);
  SpinEdit_PreView_Fps = NewSpin(box, "SpinEdit_PreView_Fps", 1, 50, 10);
  grid->addWidget(SpinEdit_PreView_Fps, 2, 1);
  grid->addWidget(new QLabel("export zoom", box), 2, 4, 1, 3, Qt::AlignRight);
  SpinEdit_PreView_ExportZoom = NewSpin(box, "SpinEdit_PreView_ExportZoom", 1, 32, 4);
  grid->addWidget(SpinEdit_PreView_ExportZoom, 2, 7);
  connect(SpinEdit_PreView_Fps, &QSpinBox::valueChanged, this, [this] { SettingsChanged(); });

  auto* player = new QHBoxLayout();
  SpeedButton_PreView_PrevFrame =
      NewButton(box, "SpeedButton_PreView_PrevFrame", "|<", "Previous frame");
  SpeedButton_PreView_Play = NewButton(box, "SpeedButton_PreView_Play", "Play", "Play");
  SpeedButton_PreView_Pause = NewButton(box, "SpeedButton_PreView_Pause", "Pause", "Pause");
  SpeedButton_PreView_NextFrame =
      NewButton(box, "SpeedButton_PreView_NextFrame", ">|", "Next frame");
  Label_PreView_Frame = new QLabel(box);
  Label_PreView_Frame->setObjectName("Label_PreView_Frame");
  for (QToolButton* b : {SpeedButton_PreView_PrevFrame, SpeedButton_PreView_Play,
                         SpeedButton_PreView_Pause, SpeedButton_PreView_NextFrame})
    player->addWidget(b);
  player->addWidget(Label_PreView_Frame, 1);
  grid->addLayout(player, 3, 0, 1, 8);
  connect(SpeedButton_PreView_Play, &QToolButton::clicked, this, [this] { Play(); });
  connect(SpeedButton_PreView_Pause, &QToolButton::clicked, this, [this] { Pause(); });
  connect(SpeedButton_PreView_PrevFrame, &QToolButton::clicked, this, [this] { StepFrame(-1); });
  connect(SpeedButton_PreView_NextFrame, &QToolButton::clicked, this, [this] { StepFrame(1); });

  timer_ = new QTimer(this);
  connect(timer_, &QTimer::timeout, this, [this] {
    const int frames = SweepFrameCount(Sweeps());
    ShowFrame(frame_ + 1 < frames ? frame_ + 1 : 0);  // the animation loops
  });
  box->move(left, top);
  box->adjustSize();
  SettingsChanged();
}

std::vector<ParameterSweep> TPreviewAnimation::Sweeps() const {
  std::vector<ParameterSweep> sweeps = {
      {SpinEdit_PreView_SweepParam1->value(), SpinEdit_PreView_SweepFrom1->value(),
       SpinEdit_PreView_SweepTo1->value(), SpinEdit_PreView_SweepStep1->value()}};
  // The second sweep only counts on another parameter.
  if (CheckBox_PreView_Sweep2->isChecked() &&
      SpinEdit_PreView_SweepParam2->value() != SpinEdit_PreView_SweepParam1->value())
    sweeps.push_back({SpinEdit_PreView_SweepParam2->value(), SpinEdit_PreView_SweepFrom2->value(),
                      SpinEdit_PreView_SweepTo2->value(), SpinEdit_PreView_SweepStep2->value()});
  return sweeps;
}

int TPreviewAnimation::FramesPerSecond() const { return SpinEdit_PreView_Fps->value(); }

int TPreviewAnimation::ExportZoom() const { return SpinEdit_PreView_ExportZoom->value(); }

bool TPreviewAnimation::Playing() const { return timer_->isActive(); }

void TPreviewAnimation::SetParameterCount(int count) {
  SpinEdit_PreView_SweepParam1->setMaximum(count - 1);
  SpinEdit_PreView_SweepParam2->setMaximum(count - 1);
}

void TPreviewAnimation::Play() {
  if (Playing()) return;
  ShowFrame(frame_);
  timer_->start(1000 / FramesPerSecond());
  UpdateButtons();
}

void TPreviewAnimation::Pause() {
  timer_->stop();
  UpdateButtons();
}

void TPreviewAnimation::StepFrame(int delta) {
  Pause();
  const int frames = SweepFrameCount(Sweeps());
  ShowFrame(((frame_ + delta) % frames + frames) % frames);
}

void TPreviewAnimation::ShowFrame(int frame) {
  frame_ = frame;
  Label_PreView_Frame->setText(
      QString("Frame %1 of %2").arg(frame_ + 1).arg(SweepFrameCount(Sweeps())));
  showFrame_(Sweeps(), frame_);
}

void TPreviewAnimation::SettingsChanged() {
  const int frames = SweepFrameCount(Sweeps());
  frame_ = std::min(frame_, frames - 1);
  Label_PreView_Frame->setText(QString("Frame %1 of %2").arg(frame_ + 1).arg(frames));
  if (Playing()) timer_->setInterval(1000 / FramesPerSecond());
  UpdateButtons();
}

void TPreviewAnimation::UpdateButtons() {
  SpeedButton_PreView_Play->setEnabled(!Playing());
  SpeedButton_PreView_Pause->setEnabled(Playing());
}

}  // namespace tavlin
