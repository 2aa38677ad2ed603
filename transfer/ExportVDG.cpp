#include "transfer/ExportVDG.h"

#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <climits>
#include <memory>

#include "core/RecordExport.h"
#include "shell/LogWindows.h"
#include "shell/ProgressMessage.h"
#include "shell/untFile.h"

namespace tessaly {

namespace {

int ClampToInt(std::uint64_t value) { return static_cast<int>(std::min<std::uint64_t>(value, INT_MAX)); }

// The progress window of an export: no buttons, the message in a bold
// 19-pixel font, the copy animation.
void SetUpExportProgress(TFromProgressBar& progress, const QFont& baseFont) {
  progress.Botoes.Iniciar = QStringLiteral("Start");
  progress.Botoes.Cancelar = QStringLiteral("Cancel");
  QFont font = baseFont;
  font.setBold(true);
  font.setPixelSize(19);
  TMeuProgressBar& bar = *progress.ProgressBar;
  bar.SetFont(font);
  bar.SetAVI(TCommonAVI::aviCopyFile);
  bar.SetMensagem(QStringLiteral("Exporting File ..."));
}

}  // namespace

QString ProposedExportName(const TfrmFile& document) {
  const QString name = QString::fromStdString(document.ShortFileName());
  return name.left(std::max<qsizetype>(0, name.size() - 4));
}

std::string PartialExportWarning(const LogDocument& document) {
  if (document.Status() != LoadStatus::Cancelled) return {};
  return "The log was loaded up to line " + std::to_string(document.LoadedLineCount()) + " of about " +
         std::to_string(document.RawLineCount()) + ": the export holds only the records loaded. Export them?";
}

std::string ExportVDG(const TfrmFile& document, const std::string& path, const ExportFormat& format,
                      const ExportSettings& settings) {
  const LogDocument* source = document.Document();
  if (!source) return "The document is not loaded yet.";
  std::atomic<std::uint64_t> position{0}, maximum{0};
  bool written = false;
  std::string error;
  DocumentExportOptions options;
  options.settings = settings;
  options.inUse = FilesOfOpenWindows();
  options.progress = [&](std::uint64_t done, std::uint64_t total) {
    maximum.store(total, std::memory_order_relaxed);
    position.store(done, std::memory_order_relaxed);
  };
  const std::unique_ptr<QThread> worker(QThread::create([&] {
    const ExportResult result = ExportDocument(*source, format, path, options);
    written = result.ok;
    error = result.error;
  }));

  TFromProgressBar progress;
  SetUpExportProgress(progress, document.font());
  progress.ProgressBar->SetMaximo(ClampToInt(std::max<std::size_t>(source->RawLineCount(), 1) - 1));
  // The bar follows the worker every 40 ms; it never reaches the maximum,
  // which would close the window before the file is complete.
  QTimer poll;
  poll.setInterval(40);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    const std::uint64_t total = maximum.load(std::memory_order_relaxed);
    const std::uint64_t done = position.load(std::memory_order_relaxed);
    if (total > 0 && done < total) progress.ProgressBar->SetPosicao(ClampToInt(done));
  });
  QObject::connect(worker.get(), &QThread::finished, &progress, [] { TFromProgressBar::CloseWindow(); });
  progress.QuantoIniciar = [&](QObject*) {
    poll.start();
    worker->start();
  };
  progress.Execute(true);
  worker->wait();
  return written ? std::string() : error;
}

}  // namespace tessaly
