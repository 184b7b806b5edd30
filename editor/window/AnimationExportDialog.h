// The settings of File > Export > Animation, asked before anything is
// written: the swept parameters and their ranges, the speed, the zoom and
// whether the animation loops; with the frame count, an estimated size and a
// warning where the picture does not depend on a chosen parameter.
#pragma once

#include <QDialog>
#include <cstddef>
#include <functional>
#include <vector>

#include "ParameterSweep.h"

class QCheckBox;
class QLabel;
class QSpinBox;

namespace tavlin {

struct AnimationExportSettings {
  std::vector<ParameterSweep> Sweeps;  // the first always, the second when chosen
  int FramesPerSecond = 10;
  int Zoom = 4;
  bool Loop = true;
};

class TAnimationExportDialog : public QDialog {
  Q_OBJECT
 public:
  // `uses` says whether the picture depends on a parameter; `frameBytes`
  // estimates one frame's bytes in the file at a zoom.
  TAnimationExportDialog(QWidget* parent, const AnimationExportSettings& start, int parameterCount,
                         std::function<bool(int parameter)> uses,
                         std::function<std::size_t(int zoom)> frameBytes);

  AnimationExportSettings Settings() const;

  QSpinBox* Parameter[2] = {};
  QSpinBox* From[2] = {};
  QSpinBox* To[2] = {};
  QSpinBox* Step[2] = {};
  QCheckBox* SecondSweep = nullptr;
  QSpinBox* Fps = nullptr;
  QSpinBox* Zoom = nullptr;
  QCheckBox* Loop = nullptr;
  QLabel* Summary = nullptr;  // "N frames, about S KB, T s"
  QLabel* Warning = nullptr;  // shown where a swept parameter changes nothing

 private:
  void Update();

  std::function<bool(int)> uses_;
  std::function<std::size_t(int)> frameBytes_;
};

// The zoom of a picture export, asked in a small dialog of its own.
class TZoomDialog : public QDialog {
  Q_OBJECT
 public:
  TZoomDialog(QWidget* parent, int zoom);
  QSpinBox* Zoom = nullptr;
};

}  // namespace tavlin
