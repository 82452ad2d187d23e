#include "select/ui/list_loading.h"

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

#include "vexafol/hooks.h"

namespace vexa {
namespace {

constexpr int kRefreshMs = 50;

// The worker's hook: keeps the count, stops the load once cancelled.
int Report(void* context, int read, int listed) {
  LoadState& state = *static_cast<LoadState*>(context);
  state.read.store(read, std::memory_order_relaxed);
  state.listed.store(listed, std::memory_order_relaxed);
  return state.cancelled.load(std::memory_order_relaxed) ? 0 : 1;
}

}  // namespace

LoadingWindow::LoadingWindow(QWidget* parent, LoadState& state) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("LoadingWindow"));
  setWindowTitle(QString::fromUtf8("図面の読み込み"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString::fromUtf8("図面を読み込んでいます。"), this));
  count_ = new QLabel(this);
  layout->addWidget(count_);
  bar_ = new QProgressBar(this);
  bar_->setRange(0, 0);  // busy until the folders are listed
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
  const int listed = state_.listed.load(std::memory_order_relaxed);
  const int read = state_.read.load(std::memory_order_relaxed);
  if (listed > 0) {
    bar_->setRange(0, listed);
    bar_->setValue(read);
  }
  count_->setText(state_.cancelled.load(std::memory_order_relaxed)
                      ? QString::fromUtf8("中止しています…")
                      : QString::fromUtf8("%1 / %2 図面").arg(read).arg(listed));
}

bool LoadWithProgress(QWidget* parent, const std::function<void()>& load) {
  LoadState state;
  std::mutex mutex;
  std::condition_variable ended;
  std::exception_ptr failure;
  std::thread worker([&] {
    SetLoadProgressHook(Report, &state);
    try {
      load();
    } catch (...) {
      failure = std::current_exception();  // rethrown on the caller's thread
    }
    SetLoadProgressHook(nullptr, nullptr);
    const std::lock_guard<std::mutex> guard(mutex);
    state.done.store(true, std::memory_order_release);
    ended.notify_all();
  });
  {
    std::unique_lock<std::mutex> lock(mutex);
    ended.wait_for(lock, std::chrono::milliseconds(kQuietMs),
                   [&] { return state.done.load(std::memory_order_acquire); });
  }
  if (!state.done.load(std::memory_order_acquire)) {
    LoadingWindow window(parent, state);
    window.exec();
  }
  worker.join();
  if (failure) std::rethrow_exception(failure);
  return !state.cancelled.load(std::memory_order_relaxed);
}

}  // namespace vexa
