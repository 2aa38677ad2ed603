#include "core/RawText.h"

#include <sys/stat.h>

#include <algorithm>
#include <new>

#include "core/InputFile.h"
#include "core/MemoryAdvice.h"

namespace tessaly {

RawText::RawText() = default;
RawText::~RawText() = default;
RawText::RawText(RawText&&) noexcept = default;
RawText& RawText::operator=(RawText&&) noexcept = default;

bool RawText::OpenFile(const std::string& path, std::size_t pieceBytes) {
  Clear();
  FileHandle file = OpenInputFile(path);
  struct stat status {};
  if (!file || fstat(fileno(file.get()), &status) != 0) return false;
  // The stream's own buffer would only add a copy: pieces are large.
  std::setvbuf(file.get(), nullptr, _IONBF, 0);
  if (!Allocate(static_cast<std::size_t>(status.st_size))) return false;
  file_ = std::move(file);
  pieceBytes_ = std::max<std::size_t>(1, pieceBytes);
  return true;
}

bool RawText::ReadMore() {
  if (!file_) return false;
  const std::size_t want = std::min(pieceBytes_, capacity_ - size_);
  const std::size_t got = want == 0 ? 0 : std::fread(bytes_.get() + size_, 1, want, file_.get());
  size_ += got;
  const bool more = got == want && size_ < capacity_;
  if (!more) {
    readFailed_ = std::ferror(file_.get()) != 0;
    file_.reset();  // a file that shrank while being read gives what it held
  }
  IndexLines(!more);
  // An estimate far above the lines found (an unusual start) is given back.
  if (!more && (lineStart_.capacity() - lineStart_.size()) > lineStart_.size() + 8192) lineStart_.shrink_to_fit();
  return more;
}

void RawText::Assign(std::string_view bytes) {
  Clear();
  if (!Allocate(bytes.size())) throw std::bad_alloc();
  if (!bytes.empty()) std::memcpy(bytes_.get(), bytes.data(), bytes.size());
  size_ = bytes.size();
  IndexLines(true);
}

void RawText::Clear() {
  bytes_.reset();
  capacity_ = size_ = indexed_ = longestLine_ = estimatedLines_ = 0;
  lineStart_ = std::vector<std::uint64_t>();
  file_.reset();
  readFailed_ = false;
}

// Left uninitialised: every byte is read into before it is used. False when
// the memory cannot be had (a file larger than the memory).
bool RawText::Allocate(std::size_t capacity) {
  bytes_.reset(new (std::nothrow) char[std::max<std::size_t>(capacity, 1)]);
  if (!bytes_) return false;
  capacity_ = capacity;
  AdviseHugePages(bytes_.get(), capacity);
  return true;
}

// Cuts the bytes read since the last call into lines; with `final` false a
// line still being read is left for the next call.
void RawText::IndexLines(bool final) {
  const char* const base = bytes_.get();
  if (lineStart_.capacity() == 0 && size_ > 0) EstimateLineCount();
  indexed_ += ForEachLine(std::string_view(base + indexed_, size_ - indexed_), final,
                          [this, base](std::string_view line) {
                            lineStart_.push_back(static_cast<std::uint64_t>(line.data() - base));
                            longestLine_ = std::max(longestLine_, line.size());
                          });
}

// Reserves the index from the length of the lines in the first piece, with a
// margin, so that a large file's index is allocated once. Survey records are
// longer than 8 bytes: a start of shorter lines does not reserve more.
void RawText::EstimateLineCount() {
  const std::string_view sample(bytes_.get(), std::min<std::size_t>(size_, 64 * 1024));
  std::size_t lines = 0;
  ForEachLine(sample, size_ == capacity_, [&lines](std::string_view) { ++lines; });
  if (lines == 0) return;  // lines longer than the sample: the index grows as it goes
  constexpr std::size_t kShortestUsualLine = 8;
  estimatedLines_ = std::min(static_cast<std::size_t>(static_cast<double>(capacity_) / sample.size() * lines),
                             capacity_ / kShortestUsualLine) +
                    1;
  lineStart_.reserve(estimatedLines_ + estimatedLines_ / 32 + 64);
  AdviseHugePages(lineStart_);
}

std::size_t RawText::ExpectedLineCount() const {
  return file_ ? std::max(estimatedLines_, LineCount()) : LineCount();
}

std::string_view RawText::Line(std::size_t index) const {
  if (index >= lineStart_.size()) return {};
  const std::size_t start = lineStart_[index];
  std::size_t end = index + 1 < lineStart_.size() ? lineStart_[index + 1] : indexed_;
  // A line holds no CR or LF, so the break before the next line is whatever
  // CR and LF end this range.
  const char* const base = bytes_.get();
  if (end > start && base[end - 1] == '\n') --end;
  if (end > start && base[end - 1] == '\r') --end;
  return std::string_view(base + start, end - start);
}

std::size_t RawText::MemoryBytes() const { return capacity_ + lineStart_.capacity() * sizeof(std::uint64_t); }

}  // namespace tessaly
