#include "RecoveryKeeper.h"

#include <QGuiApplication>
#include <QTimer>
#include <cstdio>

#include "FileIO.h"
#include "UserFolders.h"

namespace tavlin {

namespace {
constexpr int kDefaultDelay = 3000;
// While a button is held, how often to look whether the drag has ended.
constexpr int kDragPoll = 250;
}  // namespace

TRecoveryKeeper::TRecoveryKeeper(QObject* parent, std::function<bool()> modified,
                                 std::function<Snapshot()> snapshot)
    : QObject(parent),
      modified_(std::move(modified)),
      snapshot_(std::move(snapshot)),
      folder_(RecoveryFolder()),
      own_(OwnRecoveryCopy()) {
  timer_ = new QTimer(this);
  timer_->setSingleShot(true);
  timer_->setInterval(kDefaultDelay);
  connect(timer_, &QTimer::timeout, this, &TRecoveryKeeper::TimeUp);
}

TRecoveryKeeper::~TRecoveryKeeper() { Join(); }

void TRecoveryKeeper::SetDelay(int milliseconds) { timer_->setInterval(milliseconds); }

void TRecoveryKeeper::DocumentChanged() {
  if (folder_.empty()) return;
  if (modified_()) {
    timer_->start();  // restarted by every change
  } else {
    timer_->stop();
    if (kept_) Remove();
  }
}

void TRecoveryKeeper::TimeUp() {
  if (!modified_()) return;
  auto askAgain = [this] {
    QTimer::singleShot(kDragPoll, this, [this] {
      if (!timer_->isActive()) TimeUp();
    });
  };
  // A drag changes the document at every move: the copy waits for its end.
  if (QGuiApplication::mouseButtons() != Qt::NoButton) return askAgain();
  Snapshot snapshot = snapshot_();
  if (snapshot.later) return askAgain();
  if (!snapshot.valid) return;
  Join();
  kept_ = true;
  writer_ = std::thread([this, snapshot = std::move(snapshot)] { Write(snapshot); });
}

void TRecoveryKeeper::WriteNow() {
  timer_->stop();
  if (folder_.empty() || !modified_()) return;
  Join();
  Snapshot snapshot = snapshot_();
  if (!snapshot.valid) return;
  kept_ = true;
  Write(snapshot);
}

void TRecoveryKeeper::Write(const Snapshot& snapshot) {
  RecoveryCopy copy = own_;
  copy.fileName = snapshot.fileName;
  copy.stamp = snapshot.stamp;
  try {
    WriteRecoveryCopy(folder_, copy, snapshot.bytes);
  } catch (const TavlinError& e) {
    // Told once: the user can do nothing about it but save, and is not kept from working.
    if (!warned_) std::fprintf(stderr, "tavlin: no recovery copy of unsaved work: %s\n", e.what());
    warned_ = true;
  }
}

void TRecoveryKeeper::Join() {
  if (writer_.joinable()) writer_.join();
}

void TRecoveryKeeper::Remove() {
  timer_->stop();
  Join();
  RemoveRecoveryCopy(folder_, own_.name);
  kept_ = false;
}

}  // namespace tavlin
