// TQuitSignals: SIGTERM and SIGHUP (a logout, `kill`) end the editor through
// its event loop rather than at once. The signal handler only writes the
// signal's number into a socket pair; the loop reads it and calls `onSignal`,
// which may write files and quit cleanly. One object at a time.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace tavlin {

class TQuitSignals : public QObject {
  Q_OBJECT
 public:
  explicit TQuitSignals(std::function<void(int)> onSignal, QObject* parent = nullptr);
  ~TQuitSignals() override;  // the signals' default actions come back
  // False when the handlers could not be installed (the signals then end the program at once).
  bool Installed() const { return notifier_ != nullptr; }

 private:
  std::function<void(int)> onSignal_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tavlin
