#include "core/SurveyExportSink.h"

#include <cmath>
#include <filesystem>

#include "core/CsvWriter.h"
#include "core/GeoJsonWriter.h"
#include "core/KmlWriter.h"
#include "core/OutputFile.h"
#include "core/SurveyExport.h"
#include "core/UTMLaLo.h"
#include "core/XyzWriter.h"

namespace tessaly {

namespace {

class SurveySink : public ExportSink {
 public:
  SurveySink(OutputFile& out, const ExportSettings& settings, std::unique_ptr<ExportWriter> writer)
      : out_(out), settings_(settings), writer_(std::move(writer)) {}

  void Captions(const ExportInfo& info) override {
    ExportHeader header;
    header.sourceFile = std::filesystem::path(info.sourceFile).filename().string();
    header.kind = info.fileType;
    const bool known = info.mapDatum >= 0 && static_cast<std::size_t>(info.mapDatum) < kEllipsoids.size();
    header.datum = known ? std::string(kEllipsoids[static_cast<std::size_t>(info.mapDatum)].name) : "";
    header.layback = positions_.Layback();
    header.exportTimeNs = settings_.exportTimeNs;
    SurveyExportOptions options;
    options.lines = settings_.lines;
    options.ties = settings_.ties;
    options.mapDatum = known ? info.mapDatum : kWgs84Datum;
    options.spillFolder = settings_.spillFolder;
    export_.emplace(std::move(header), options);
  }

  void Row(const ExportRecord& record) override {
    SurveyRecord survey;
    const GeoPosition position = positions_.PositionOf(record);
    survey.latitude = position.latitude;
    survey.longitude = position.longitude;
    survey.deviation = record.deviation;
    if (record.numbers) {
      survey.towfishDepth = record.numbers->towDepth;
      survey.sounder = record.numbers->sounder;
    }
    survey.comment = record.cells[kColComment];
    export_->Add(survey);
  }

  void End() override {
    if (!export_->Write(*writer_, out_)) error_ = export_->Error();
  }

  std::string Error() const override { return error_; }

 private:
  OutputFile& out_;
  ExportSettings settings_;
  std::unique_ptr<ExportWriter> writer_;
  RecordPosition positions_;
  std::optional<SurveyExport> export_;
  std::string error_;
};

template <typename Writer>
std::unique_ptr<ExportSink> MakeSurveySink(OutputFile& out, const ExportSettings& settings) {
  return std::make_unique<SurveySink>(out, settings, std::make_unique<Writer>());
}

}  // namespace

GeoPosition RecordPosition::PositionOf(const ExportRecord& record) const {
  if (!record.numbers) return {};
  return record.numbers->towfish.Known() ? record.numbers->towfish : record.numbers->gps;
}

std::unique_ptr<ExportSink> MakeXyzSink(OutputFile& out, const ExportSettings& settings) {
  return MakeSurveySink<XyzWriter>(out, settings);
}
std::unique_ptr<ExportSink> MakeCsvSink(OutputFile& out, const ExportSettings& settings) {
  return MakeSurveySink<CsvWriter>(out, settings);
}
std::unique_ptr<ExportSink> MakeGeoJsonSink(OutputFile& out, const ExportSettings& settings) {
  return MakeSurveySink<GeoJsonWriter>(out, settings);
}
std::unique_ptr<ExportSink> MakeKmlSink(OutputFile& out, const ExportSettings& settings) {
  return MakeSurveySink<KmlWriter>(out, settings);
}

}  // namespace tessaly
