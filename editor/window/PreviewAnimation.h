// TPreviewAnimation: the preview page's animation controls. One parameter (or
// two, running together) is swept over a range at a chosen speed; Play, Pause
// and the two step buttons move through the frames, and the window shows each
// frame by setting the parameters as the panel would. The controls also hold
// the zoom the picture and animation exports use.
#pragma once

#include <QObject>
#include <functional>
#include <vector>

#include "ParameterSweep.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QSpinBox;
class QTimer;
class QToolButton;
class QWidget;

namespace tavlin {

class TPreviewAnimation : public QObject {
 public:
  // Shows frame `frame` of the sweeps: sets the swept parameters and redraws.
  using ShowFrameFn = std::function<void(const std::vector<ParameterSweep>&, int frame)>;

  // The controls are made in a group box on `page` at (left, top).
  TPreviewAnimation(QWidget* page, int left, int top, ShowFrameFn showFrame);

  QGroupBox* Box() const { return GroupBox_PreView_Animation; }
  // The sweeps as the controls set them: the first always, the second when ticked.
  std::vector<ParameterSweep> Sweeps() const;
  int FramesPerSecond() const;
  int ExportZoom() const;
  int Frame() const { return frame_; }
  bool Playing() const;
  // The parameters 0..count - 1 may be swept.
  void SetParameterCount(int count);

  void Play();
  void Pause();
  void StepFrame(int delta);

  QGroupBox* GroupBox_PreView_Animation = nullptr;
  QSpinBox* SpinEdit_PreView_SweepParam1 = nullptr;
  QSpinBox* SpinEdit_PreView_SweepFrom1 = nullptr;
  QSpinBox* SpinEdit_PreView_SweepTo1 = nullptr;
  QSpinBox* SpinEdit_PreView_SweepStep1 = nullptr;
  QCheckBox* CheckBox_PreView_Sweep2 = nullptr;
  QSpinBox* SpinEdit_PreView_SweepParam2 = nullptr;
  QSpinBox* SpinEdit_PreView_SweepFrom2 = nullptr;
  QSpinBox* SpinEdit_PreView_SweepTo2 = nullptr;
  QSpinBox* SpinEdit_PreView_SweepStep2 = nullptr;
  QSpinBox* SpinEdit_PreView_Fps = nullptr;
  QSpinBox* SpinEdit_PreView_ExportZoom = nullptr;
  QToolButton* SpeedButton_PreView_Play = nullptr;
  QToolButton* SpeedButton_PreView_Pause = nullptr;
  QToolButton* SpeedButton_PreView_PrevFrame = nullptr;
  QToolButton* SpeedButton_PreView_NextFrame = nullptr;
  QLabel* Label_PreView_Frame = nullptr;

 private:
  void ShowFrame(int frame);
  // The frame count or the speed changed: the frame stays in range, the label follows.
  void SettingsChanged();
  void UpdateButtons();

  ShowFrameFn showFrame_;
  QTimer* timer_ = nullptr;
  int frame_ = 0;
};

}  // namespace tavlin
