#include "window/JobRunner.h"

#include <QApplication>
#include <QEventLoop>
#include <QThread>
#include <exception>
#include <thread>

#include "channel/PortChannel.h"

namespace shell {
namespace {

bool running = false;  // read and written on the user-interface thread only

bool OnUserInterfaceThread() {
  return QThread::currentThread() == qApp->thread();
}

}  // namespace

void RunJob(const std::function<void()>& work) {
  running = true;
  QApplication::setOverrideCursor(Qt::BusyCursor);
  QEventLoop loop;
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      // What earlier port calls left behind is no part of this job's failures.
      channel::ForgetLastCall();
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    // Queued: should the work end before the loop runs, the loop still ends at once.
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();
  QApplication::restoreOverrideCursor();
  running = false;
  if (failure) {
    std::rethrow_exception(failure);
  }
}

bool JobRunning() {
  return running;
}

void OnUiThread(const std::function<void()>& call) {
  if (OnUserInterfaceThread()) {
    call();
    return;
  }
  QMetaObject::invokeMethod(qApp, call, Qt::BlockingQueuedConnection);
}

void PostToUi(std::function<void()> call) {
  QMetaObject::invokeMethod(qApp, std::move(call), Qt::QueuedConnection);
}

}  // namespace shell
