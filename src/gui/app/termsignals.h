// SIGTERM and SIGINT end the desktop program through its normal close, so that shutdown writes the
// settings and the exit status is 0. The signal handler only writes a byte to a pipe; the event loop
// reads it and asks the window to close.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace quintar::gui {

class TTermSignals : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers; call once, as early as possible. Signals that arrive before an object of this
  // class exists are kept and reported when it is created.
  static void Install();
  // True once a terminating signal arrived.
  static bool Requested();

  explicit TTermSignals(QObject* parent = nullptr);

 signals:
  void TerminateRequested();

 private:
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace quintar::gui
