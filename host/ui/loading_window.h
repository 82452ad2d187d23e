// Reading what a dialog shows without leaving the user in front of nothing:
// the work runs on a worker thread; when it has not ended after kQuietMs a
// small window shows how much has been read and a cancel button until it
// ends. The worker uses only the core library (what it is handed, such as the
// host environment or a lock service, is used by it alone while this thread
// waits in the window's event loop).
#pragma once

#include <QDialog>

#include <atomic>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace vexa {

// What the worker reports and the window reads.
struct LoadState {
  std::atomic<int> read{0};
  std::atomic<int> total{0};
  std::atomic<bool> cancelled{false};
  std::atomic<bool> done{false};
};

class LoadingWindow : public QDialog {
  Q_OBJECT

 public:
  // unit: what is counted ("図面", "ページ").
  LoadingWindow(QWidget* parent, LoadState& state, const QString& unit);

  // "1234 / 10989 図面" as shown now (refreshed from the state first).
  QString ProgressText();
  // Asks the work to stop; the window stays until the worker has ended.
  void reject() override;
  // Shows the state now; ends the window once the work has ended.
  void Refresh();

 private:
  LoadState& state_;
  QString unit_;
  QLabel* count_;
  QProgressBar* bar_;
  QPushButton* cancel_;
};

// Milliseconds the work may take before the window shows: within them it
// leads straight to the dialog, with no window flashing past.
constexpr int kQuietMs = 50;

// Runs work on a worker thread; work reports to its state and stops soon
// after state.cancelled is set. False when the user cancelled. Returns only
// after the worker has ended; an exception of work is thrown again here.
bool RunWithProgress(QWidget* parent, const QString& unit,
                     const std::function<void(LoadState&)>& work);

// True while RunWithProgress waits for a worker on this thread: what the
// worker was handed (a lock service, the host environment) is its own then,
// so the timers of dialogs already open leave them alone until it ends.
bool WorkerIsRunning();

}  // namespace vexa
