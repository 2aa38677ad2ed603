#include "core/VdgExport.h"

#include "core/CrLf.h"
#include "core/OutputFile.h"
#include "core/VdgLine.h"

namespace tessaly {

namespace {

class VdgSink : public ExportSink {
 public:
  VdgSink(OutputFile& out, std::string delimiter) : out_(out), delimiter_(std::move(delimiter)) {}

  void Captions(const ExportInfo& info) override {
    skipColumn_ = info.navigation ? kNavExportSkipColumn : kLogExportSkipColumn;
    AppendVdgCaptionLine(out_.Buffer(), skipColumn_, delimiter_);
  }

  void Row(const ExportRecord& record) override {
    AppendVdgCells(out_.Buffer(), record.cells, 0, skipColumn_, delimiter_);
    out_.Buffer().append(kCrLf);
    out_.Commit();
  }

  void End() override {}

 private:
  OutputFile& out_;
  std::string delimiter_;
  std::size_t skipColumn_ = kLogExportSkipColumn;
};

}  // namespace

std::unique_ptr<ExportSink> MakeVdgSink(OutputFile& out, const ExportSettings& settings) {
  return std::make_unique<VdgSink>(out, settings.delimiter);
}

}  // namespace tessaly
