#include "DiskWatch.h"

#include <QAction>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "QtFilePaths.h"

namespace tavlin {

TDiskWatch::TDiskWatch(QMainWindow* window) : QObject(window), window_(window) {
  bar_ = new QToolBar(window);
  bar_->setObjectName("Bar_DiskChange");
  bar_->setMovable(false);
  bar_->setFloatable(false);
  bar_->toggleViewAction()->setVisible(false);  // not a toolbar the user switches on
  auto* strip = new QWidget(bar_);
  strip->setAutoFillBackground(true);
  QPalette colours = strip->palette();
  colours.setColor(QPalette::Window, QColor(0xFF, 0xF1, 0xB8));
  colours.setColor(QPalette::WindowText, Qt::black);
  strip->setPalette(colours);
  auto* row = new QHBoxLayout(strip);
  row->setContentsMargins(8, 2, 4, 2);
  text_ = new QLabel(strip);
  text_->setObjectName("Label_DiskChange");
  text_->setTextFormat(Qt::PlainText);
  reload_ = new QToolButton(strip);
  reload_->setObjectName("Button_DiskChange_Reload");
  reload_->setText("Reload");
  auto* dismiss = new QToolButton(strip);
  dismiss->setObjectName("Button_DiskChange_Dismiss");
  dismiss->setText("Dismiss");
  row->addWidget(text_, 1);
  row->addWidget(reload_);
  row->addWidget(dismiss);
  bar_->addWidget(strip);
  window->addToolBar(Qt::TopToolBarArea, bar_);
  bar_->hide();
  connect(reload_, &QToolButton::clicked, this, [this] {
    bar_->hide();
    emit ReloadRequested();
  });
  connect(dismiss, &QToolButton::clicked, bar_, &QToolBar::hide);

  // The reliable check is the file's stamp, looked at when the window comes to the front; the
  // watcher only makes a change show while the window is already there.
  watcher_ = new QFileSystemWatcher(this);
  connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this] {
    QTimer::singleShot(200, this, [this] {
      Watch();  // a file replaced by a rename is a new one to watch
      if (window_->isActiveWindow()) Check();
    });
  });
  window->installEventFilter(this);
}

void TDiskWatch::Track(const QString& path, std::size_t passedOver) {
  TrackStamp(path, StampOf(LocalPath(path)));
  passedOver_ = passedOver;
}

void TDiskWatch::TrackStamp(const QString& path, const FileStamp& stamp) {
  path_ = path;
  stamp_ = announced_ = stamp;
  passedOver_ = 0;
  bar_->hide();
  Watch();
}

void TDiskWatch::Forget() {
  path_.clear();
  stamp_ = announced_ = FileStamp{};
  passedOver_ = 0;
  bar_->hide();
  Watch();
}

void TDiskWatch::Watch() {
  if (!watcher_->files().isEmpty()) watcher_->removePaths(watcher_->files());
  if (!path_.isEmpty() && QFileInfo::exists(path_)) watcher_->addPath(path_);
}

DiskChange TDiskWatch::ChangeNow() const {
  if (path_.isEmpty()) return DiskChange::None;
  return ChangeBetween(stamp_, StampOf(LocalPath(path_)));
}

QString TDiskWatch::ChangeText(DiskChange change) const {
  const QString name = QFileInfo(path_).fileName();
  const char* how = change == DiskChange::Deleted    ? "deleted"
                    : change == DiskChange::Replaced ? "replaced"
                                                     : "changed";
  return QString("%1 was %2 on disk since it was opened or last saved.").arg(name, how);
}

void TDiskWatch::Check() {
  if (path_.isEmpty()) return;
  const FileStamp now = StampOf(LocalPath(path_));
  const DiskChange change = ChangeBetween(stamp_, now);
  if (change == DiskChange::None) {
    announced_ = now;
    bar_->hide();
    return;
  }
  if (now == announced_) return;  // told already; dismissed or shown
  announced_ = now;
  text_->setText(ChangeText(change));
  reload_->setVisible(change != DiskChange::Deleted);
  bar_->show();
}

bool TDiskWatch::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_ && event->type() == QEvent::WindowActivate) Check();
  return QObject::eventFilter(watched, event);
}

}  // namespace tavlin
