#include "acquisition/LiveSessionThread.h"

#include <QTimer>

namespace tessaly {

LiveSessionThread::LiveSessionThread(const LogVariant& variant, LiveSessionOptions options,
                                     TransportMaker makeTransport, LiveObserver* watcher, TransportMaker makeGps)
    : context_(new QObject), queue_([this] { emit ReportsWaiting(); }) {
  if (watcher) observers_.Add(watcher);
  observers_.Add(&queue_);
  context_->moveToThread(&thread_);
  thread_.setObjectName(QStringLiteral("live session"));
  thread_.start();
  Run([&] {
    transport_ = makeTransport();
    if (makeGps) {
      gps_ = makeGps();
      options.gps = gps_.get();
      gps_->WhenReadable([this] { PollSoon(); });
    }
    session_ = std::make_unique<LiveSession>(variant, *transport_, clock_, observers_, std::move(options));
    transport_->WhenReadable([this] { PollSoon(); });
    tick_ = new QTimer;
    tick_->setInterval(kTickMs);
    QObject::connect(tick_, &QTimer::timeout, context_, [this] { session_->Tick(); });
    tick_->start();
  });
}

LiveSessionThread::~LiveSessionThread() {
  Run([this] {
    delete tick_;
    session_.reset();
    transport_.reset();
    gps_.reset();
  });
  thread_.quit();
  thread_.wait();
  delete context_;
}

void LiveSessionThread::Run(const std::function<void()>& work) {
  QMetaObject::invokeMethod(context_, work, Qt::BlockingQueuedConnection);
}

// Bytes wait: read them now when on the session's thread, else as soon as
// it gets to them.
void LiveSessionThread::PollSoon() {
  if (QThread::currentThread() == &thread_) {
    session_->Poll();
    return;
  }
  QMetaObject::invokeMethod(context_, [this] {
    if (session_) session_->Poll();
  }, Qt::QueuedConnection);
}

std::string LiveSessionThread::Start(const std::string& base, const EarlierLogFiles& consent,
                                     std::vector<GuardedFile> guarded) {
  std::string error;
  Run([&] { error = session_->Start(base, consent, std::move(guarded)); });
  return error;
}

void LiveSessionThread::Pause() {
  Run([this] { session_->Pause(); });
}

void LiveSessionThread::Resume() {
  Run([this] { session_->Resume(); });
}

StopReport LiveSessionThread::Stop() {
  StopReport report;
  Run([&] { report = session_->Stop(); });
  return report;
}

std::string LiveSessionThread::SetComment(std::uint64_t row, const std::string& comment) {
  std::string error;
  Run([&] { error = session_->SetComment(row, comment); });
  return error;
}

std::vector<std::string> LiveSessionThread::FilesInUse() {
  std::vector<std::string> files;
  Run([&] { files = session_->FilesInUse(); });
  return files;
}

std::string LiveSessionThread::SetCableOut(double metres) {
  std::string error;
  Run([&] { error = session_->SetCableOut(metres); });
  return error;
}

void LiveSessionThread::UseOtherGps() {
  Run([this] { session_->UseOtherGps(); });
}

std::optional<GpsStatus> LiveSessionThread::GpsStatusNow() {
  std::optional<GpsStatus> status;
  Run([&] { status = session_->GpsStatusNow(); });
  return status;
}

}  // namespace tessaly
