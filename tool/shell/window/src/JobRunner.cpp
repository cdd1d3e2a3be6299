#include "window/JobRunner.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <atomic>
#include <exception>
#include <future>
#include <thread>

#include "channel/PortChannel.h"

namespace shell {
namespace {

// A call handed to the user-interface thread as an event, so that it runs in that thread's
// event loop, whatever loop (the job's, a message box's) is running there at the time.
class CallEvent final : public QEvent {
 public:
  static QEvent::Type Kind() {
    static const auto kind = static_cast<QEvent::Type>(QEvent::registerEventType());
    return kind;
  }
  explicit CallEvent(std::function<void()> call) : QEvent(Kind()), call_(std::move(call)) {}
  void Run() const { call_(); }

 private:
  std::function<void()> call_;
};

class CallReceiver final : public QObject {
 public:
  bool event(QEvent* event) override {
    if (event->type() == CallEvent::Kind()) {
      static_cast<CallEvent*>(event)->Run();
      return true;
    }
    return QObject::event(event);
  }
};

bool running = false;  // read and written on the user-interface thread only
// Where the worker's calls go while a job runs; it lives on the user-interface thread.
std::atomic<CallReceiver*> receiver{nullptr};

bool OnUserInterfaceThread() {
  return QThread::currentThread() == qApp->thread();
}

}  // namespace

void RunJob(const std::function<void()>& work) {
  running = true;
  QApplication::setOverrideCursor(Qt::BusyCursor);
  CallReceiver calls;
  receiver.store(&calls);
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
    // Posted: should the work end before the loop runs, the loop still ends at once.
    PostToUi([&loop] { loop.quit(); });
  });
  loop.exec();
  worker.join();
  receiver.store(nullptr);
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
  std::promise<void> done;
  std::future<void> returned = done.get_future();
  PostToUi([&call, &done] {
    call();
    done.set_value();
  });
  returned.wait();
}

void PostToUi(std::function<void()> call) {
  CallReceiver* calls = receiver.load();
  if (calls == nullptr) {
    return;  // no job runs: nobody on the worker side to call for
  }
  QCoreApplication::postEvent(calls, new CallEvent(std::move(call)));
}

}  // namespace shell
