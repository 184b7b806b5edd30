// TDiskWatch: what the window knows of its document's file on disk. It keeps
// the file's stamp from when it was last read or written, so that a change
// made by someone else (another editor, a script) is noticed: when the window
// is activated, when the file is seen to change while it is active, and by
// Save, which asks before it writes over such a change. A bar at the top of
// the window tells of the change and offers Reload. It also keeps how many
// bytes the reader passed over, which makes the document "not read completely".
#pragma once

#include <QObject>
#include <QString>
#include <cstddef>

#include "FileStamp.h"

class QFileSystemWatcher;
class QLabel;
class QMainWindow;
class QToolBar;
class QToolButton;

namespace tavlin {

class TDiskWatch : public QObject {
  Q_OBJECT
 public:
  explicit TDiskWatch(QMainWindow* window);

  // The document now holds what `path` held when it was read or written;
  // `passedOver` bytes of it were not read.
  void Track(const QString& path, std::size_t passedOver = 0);
  // As Track, with the file as it was at an earlier time (a recovered document).
  void TrackStamp(const QString& path, const FileStamp& stamp);
  // The document belongs to no file (New, an imported script).
  void Forget();

  const QString& Path() const { return path_; }
  std::size_t PassedOver() const { return passedOver_; }
  // How the file differs from when it was last read or written, now.
  DiskChange ChangeNow() const;
  // The stamp the document's file had when it was last read or written.
  const FileStamp& Stamp() const { return stamp_; }
  // "letters.ric was changed on disk since it was opened or last saved."
  QString ChangeText(DiskChange change) const;

  // Looks at the file and shows or hides the bar; a change already shown is
  // shown once only.
  void Check();
  QToolBar* Bar() const { return bar_; }

 signals:
  void ReloadRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Watch();

  QMainWindow* window_;
  QString path_;
  FileStamp stamp_;      // when last read or written
  FileStamp announced_;  // the last state the bar told of
  std::size_t passedOver_ = 0;
  QToolBar* bar_ = nullptr;
  QLabel* text_ = nullptr;
  QToolButton* reload_ = nullptr;
  QFileSystemWatcher* watcher_ = nullptr;
};

}  // namespace tavlin
