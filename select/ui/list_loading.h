// Loading a folder list for a dialog without leaving the user in front of
// nothing: the load runs on a worker thread; when it has not ended after
// kQuietMs a small window shows the drawings read so far and a cancel button
// until it ends. The worker uses only the core library (the host environment
// is handed to it while this thread waits in the window's event loop).
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
  std::atomic<int> listed{0};
  std::atomic<bool> cancelled{false};
  std::atomic<bool> done{false};
};

class LoadingWindow : public QDialog {
  Q_OBJECT

 public:
  LoadingWindow(QWidget* parent, LoadState& state);

  // "1234 / 10989 図面" as shown now (refreshed from the state first).
  QString ProgressText();
  // Ends the load: no further drawing folder is read; the window stays until
  // the worker has ended.
  void reject() override;

 private:
  void Refresh();

  LoadState& state_;
  QLabel* count_;
  QProgressBar* bar_;
  QPushButton* cancel_;
};

// Milliseconds a load may take before the window shows: within them a load
// leads straight to the dialog, with no window flashing past.
constexpr int kQuietMs = 50;

// Runs load on a worker thread (it loads folder lists through the core
// library; their progress goes to the window). False when the user cancelled:
// the load stopped at its next drawing folder and its lists are empty.
// Returns only after the worker has ended.
bool LoadWithProgress(QWidget* parent, const std::function<void()>& load);

}  // namespace vexa
