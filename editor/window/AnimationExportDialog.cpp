#include "AnimationExportDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tavlin {

namespace {

QSpinBox* Spin(QWidget* parent, const QString& name, int low, int high, int value) {
  auto* s = new QSpinBox(parent);
  s->setObjectName(name);
  s->setRange(low, high);
  s->setValue(value);
  return s;
}

QDialogButtonBox* OkCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

}  // namespace

TAnimationExportDialog::TAnimationExportDialog(QWidget* parent,
                                               const AnimationExportSettings& start,
                                               int parameterCount,
                                               std::function<bool(int parameter)> uses,
                                               std::function<std::size_t(int zoom)> frameBytes)
    : QDialog(parent), uses_(std::move(uses)), frameBytes_(std::move(frameBytes)) {
  setObjectName("Dialog_ExportAnimation");
  setWindowTitle("Export Animation");
  auto* column = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  column->addLayout(grid);
  const char* heads[] = {"Parameter", "From", "To", "Step"};
  for (int c = 0; c < 4; ++c) grid->addWidget(new QLabel(heads[c], this), 0, c + 1);
  SecondSweep = new QCheckBox("and", this);
  SecondSweep->setObjectName("SecondSweep");
  SecondSweep->setChecked(start.Sweeps.size() > 1);
  grid->addWidget(new QLabel("Sweep", this), 1, 0);
  grid->addWidget(SecondSweep, 2, 0);
  for (int k = 0; k < 2; ++k) {
    const ParameterSweep s =
        k < int(start.Sweeps.size()) ? start.Sweeps[std::size_t(k)] : ParameterSweep{k, 0, 99, 1};
    const QString n = QString::number(k + 1);
    Parameter[k] = Spin(this, "Parameter" + n, 0, std::max(0, parameterCount - 1), s.Parameter);
    From[k] = Spin(this, "From" + n, 0, 65535, s.From);
    To[k] = Spin(this, "To" + n, 0, 65535, s.To);
    Step[k] = Spin(this, "Step" + n, 1, 65535, s.Step);
    QSpinBox* row[] = {Parameter[k], From[k], To[k], Step[k]};
    for (int c = 0; c < 4; ++c) {
      grid->addWidget(row[c], k + 1, c + 1);
      connect(row[c], &QSpinBox::valueChanged, this, [this] { Update(); });
    }
  }
  auto* form = new QFormLayout;
  column->addLayout(form);
  Fps = Spin(this, "Fps", 1, 100, start.FramesPerSecond);
  Zoom = Spin(this, "Zoom", 1, 32, start.Zoom);
  Loop = new QCheckBox("play again and again", this);
  Loop->setObjectName("Loop");
  Loop->setChecked(start.Loop);
  form->addRow("Frames per second", Fps);
  form->addRow("Zoom", Zoom);
  form->addRow("Loop", Loop);
  Summary = new QLabel(this);
  Summary->setObjectName("Summary");
  Warning = new QLabel(this);
  Warning->setObjectName("Warning");
  Warning->setWordWrap(true);
  Warning->setStyleSheet("color: #a05000");
  column->addWidget(Summary);
  column->addWidget(Warning);
  column->addWidget(OkCancel(this));
  for (QSpinBox* s : {Fps, Zoom}) connect(s, &QSpinBox::valueChanged, this, [this] { Update(); });
  connect(SecondSweep, &QCheckBox::toggled, this, [this] { Update(); });
  Update();
}

AnimationExportSettings TAnimationExportDialog::Settings() const {
  AnimationExportSettings s;
  for (int k = 0; k < (SecondSweep->isChecked() ? 2 : 1); ++k)
    s.Sweeps.push_back({Parameter[k]->value(), From[k]->value(), To[k]->value(), Step[k]->value()});
  s.FramesPerSecond = Fps->value();
  s.Zoom = Zoom->value();
  s.Loop = Loop->isChecked();
  return s;
}

void TAnimationExportDialog::Update() {
  for (QSpinBox* s : {Parameter[1], From[1], To[1], Step[1]})
    s->setEnabled(SecondSweep->isChecked());
  const AnimationExportSettings s = Settings();
  const int frames = SweepFrameCount(s.Sweeps);
  const double kb = double(frameBytes_ ? frameBytes_(s.Zoom) : 0) * frames / 1024.0;
  Summary->setText(QString("%1 frames, about %2 KB, %3 s")
                       .arg(frames)
                       .arg(kb < 10 ? QString::number(kb, 'f', 1) : QString::number(qRound(kb)))
                       .arg(double(frames) / s.FramesPerSecond, 0, 'f', 1));
  QStringList unused;
  for (const ParameterSweep& sweep : s.Sweeps)
    if (uses_ && !uses_(sweep.Parameter)) unused << QString::number(sweep.Parameter);
  Warning->setText(unused.isEmpty()
                       ? QString()
                       : QString("The picture does not depend on parameter %1: every frame "
                                 "will be the same.")
                             .arg(unused.join(" or ")));
  Warning->setVisible(!unused.isEmpty());
}

TZoomDialog::TZoomDialog(QWidget* parent, int zoom) : QDialog(parent) {
  setObjectName("Dialog_ExportPicture");
  setWindowTitle("Export Picture");
  auto* form = new QFormLayout(this);
  Zoom = Spin(this, "Zoom", 1, 32, zoom);
  form->addRow("Zoom (each NXT pixel as N x N)", Zoom);
  form->addRow(OkCancel(this));
}

}  // namespace tavlin
