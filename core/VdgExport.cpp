#include "core/VdgExport.h"

#include "core/CrLf.h"
#include "core/OutputFile.h"
#include "core/VdgLine.h"

namespace tessaly {

namespace {

// How a VDG line is laid out: the delimiter after every cell, one column
// left out. As a formatter, it writes a line's record columns on the
// streaming export's worker threads.
struct VdgLayout : RecordFormatter {
  std::string delimiter;
  std::size_t skipColumn = kLogExportSkipColumn;

  void Format(std::span<const std::string_view> cells, const RecordNumbers&, std::string& out) const override {
    AppendVdgCells(out, cells, kFirstRecordColumn, skipColumn, delimiter);
  }
  void AppendCell(std::string& out, std::size_t column, std::string_view cell) const {
    AppendVdgCells(out, std::span(&cell, 1), column, skipColumn, delimiter);
  }
};

class VdgSink : public ExportSink {
 public:
  VdgSink(OutputFile& out, std::string delimiter) : out_(out) { layout_.delimiter = std::move(delimiter); }

  void Captions(const ExportInfo& info) override {
    layout_.skipColumn = info.navigation ? kNavExportSkipColumn : kLogExportSkipColumn;
    AppendVdgCaptionLine(out_.Buffer(), layout_.skipColumn, layout_.delimiter);
  }

  const RecordFormatter* Formatter() const override { return &layout_; }

  // Every cell; from a stream, "#", the record columns as formatted and the
  // comment.
  void Row(const ExportRecord& record) override {
    std::string& line = out_.Buffer();
    if (record.formatted) {
      layout_.AppendCell(line, kColSequence, record.cells[kColSequence]);
      line.append(*record.formatted);
      layout_.AppendCell(line, kColComment, record.cells[kColComment]);
    } else {
      AppendVdgCells(line, record.cells, 0, layout_.skipColumn, layout_.delimiter);
    }
    line.append(kCrLf);
    out_.Commit();
  }

  void End() override {}

 private:
  OutputFile& out_;
  VdgLayout layout_;
};

}  // namespace

std::unique_ptr<ExportSink> MakeVdgSink(OutputFile& out, const ExportSettings& settings) {
  return std::make_unique<VdgSink>(out, settings.delimiter);
}

}  // namespace tessaly
