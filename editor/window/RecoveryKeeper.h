// TRecoveryKeeper: keeps a recovery copy of a modified document in the user's
// recovery folder (see base/Recovery.h), so that a crash or a logout loses at
// most a few seconds of work. The copy is written a few seconds after the
// last change, never while a mouse button is down (a drag in progress), by a
// thread of its own so that a slow disk never holds up the window; it goes
// when the document matches its file again. Without a recovery folder it
// keeps nothing.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "Recovery.h"

class QTimer;

namespace tavlin {

class TRecoveryKeeper : public QObject {
  Q_OBJECT
 public:
  // What a copy holds, taken on the window's thread.
  struct Snapshot {
    std::vector<std::uint8_t> bytes;
    std::string fileName;
    FileStamp stamp;
    bool valid = true;   // false when the document cannot be encoded
    bool later = false;  // a preview is on a sprite: ask again soon
  };
  // `modified` tells whether there is unsaved work; `snapshot` gives it.
  TRecoveryKeeper(QObject* parent, std::function<bool()> modified,
                  std::function<Snapshot()> snapshot);
  ~TRecoveryKeeper() override;  // waits for a write in progress; the copy stays

  const std::string& Folder() const { return folder_; }
  const std::string& Name() const { return own_.name; }
  // The time from the last change to the copy.
  void SetDelay(int milliseconds);

  // The document changed, or was saved: a copy is due, or none is wanted.
  void DocumentChanged();
  // Writes the copy now, on this thread (the program is about to end).
  void WriteNow();
  // Removes this process's copy (a clean close).
  void Remove();

 private:
  void TimeUp();
  void Join();
  void Write(const Snapshot& snapshot);

  std::function<bool()> modified_;
  std::function<Snapshot()> snapshot_;
  std::string folder_;
  RecoveryCopy own_;
  QTimer* timer_ = nullptr;
  std::thread writer_;
  bool kept_ = false;    // a copy of ours may be in the folder
  bool warned_ = false;  // a failure was told once
};

}  // namespace tavlin
