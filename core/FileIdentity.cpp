#include "core/FileIdentity.h"

#include <filesystem>

namespace tessaly {

bool SameFile(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  if (a.empty() || b.empty()) return false;
  if (a == b) return true;
  std::error_code ea, eb;
  const bool aExists = fs::exists(a, ea), bExists = fs::exists(b, eb);
  if (ea || eb || aExists != bExists) return false;
  if (aExists) return fs::equivalent(a, b, ea) && !ea;
  // Made absolute first: a relative path that names nothing existing would
  // otherwise stay relative ("out.vdg" against "./out.vdg").
  const fs::path resolvedA = fs::weakly_canonical(fs::absolute(a, ea), ea);
  const fs::path resolvedB = fs::weakly_canonical(fs::absolute(b, eb), eb);
  return !ea && !eb && resolvedA == resolvedB;
}

}  // namespace tessaly
