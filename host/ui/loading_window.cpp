#include "host/ui/loading_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace vexa {
namespace {

constexpr int kRefreshMs = 50;

}  // namespace

LoadingWindow::LoadingWindow(QWidget* parent, LoadState& state, const QString& unit)
    : QDialog(parent), state_(state), unit_(unit) {
  setObjectName(QStringLiteral("LoadingWindow"));
  setWindowTitle(unit + QString::fromUtf8("の読み込み"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(unit + QString::fromUtf8("を読み込んでいます。"), this));
  count_ = new QLabel(this);
  layout->addWidget(count_);
  bar_ = new QProgressBar(this);
  bar_->setRange(0, 0);  // busy until the total is known
  bar_->setTextVisible(false);
  layout->addWidget(bar_);
  cancel_ = new QPushButton(QString::fromUtf8("ｷｬﾝｾﾙ"), this);
  layout->addWidget(cancel_, 0, Qt::AlignRight);
  connect(cancel_, &QPushButton::clicked, this, &LoadingWindow::reject);
  auto* timer = new QTimer(this);
  connect(timer, &QTimer::timeout, this, &LoadingWindow::Refresh);
  timer->start(kRefreshMs);
  setMinimumWidth(320);
  Refresh();
}

QString LoadingWindow::ProgressText() {
  Refresh();
  return count_->text();
}

void LoadingWindow::reject() {
  state_.cancelled.store(true, std::memory_order_relaxed);
  cancel_->setEnabled(false);
  Refresh();  // closes at once when the load has ended already
}

void LoadingWindow::Refresh() {
  if (state_.done.load(std::memory_order_acquire)) {
    done(state_.cancelled.load(std::memory_order_relaxed) ? Rejected : Accepted);
    return;
  }
  const int total = state_.total.load(std::memory_order_relaxed);
  const int read = state_.read.load(std::memory_order_relaxed);
  if (total > 0) {
    bar_->setRange(0, total);
    bar_->setValue(read);
  }
  count_->setText(state_.cancelled.load(std::memory_order_relaxed)
                      ? QString::fromUtf8("中止しています…")
                      : QString("%1 / %2 ").arg(read).arg(total) + unit_);
}

namespace {
int runningWorkers = 0;  // used by the thread that owns the windows only
}  // namespace

bool WorkerIsRunning() {
  return runningWorkers > 0;
}

bool RunWithProgress(QWidget* parent, const QString& unit,
                     const std::function<void(LoadState&)>& work) {
  struct Running {
    Running() { ++runningWorkers; }
    ~Running() { --runningWorkers; }
  } running;
  LoadState state;
  std::mutex mutex;
  std::condition_variable ended;
  std::exception_ptr failure;
  // Made before the work starts, so that the worker's last word reaches it
  // however soon it comes; shown only when the work takes long.
  LoadingWindow window(parent, state, unit);
  std::thread worker([&] {
    try {
      work(state);
    } catch (...) {
      failure = std::current_exception();  // thrown again on the caller's thread
    }
    {
      const std::lock_guard<std::mutex> guard(mutex);
      state.done.store(true, std::memory_order_release);
      ended.notify_all();
    }
    // The window closes at once instead of at its next refresh.
    QMetaObject::invokeMethod(
        &window, [&window] { window.Refresh(); }, Qt::QueuedConnection);
  });
  {
    std::unique_lock<std::mutex> lock(mutex);
    ended.wait_for(lock, std::chrono::milliseconds(kQuietMs),
                   [&] { return state.done.load(std::memory_order_acquire); });
  }
  if (!state.done.load(std::memory_order_acquire)) window.exec();
  worker.join();
  if (failure) std::rethrow_exception(failure);
  return !state.cancelled.load(std::memory_order_relaxed);
}

}  // namespace vexa
