// The product's identity, shown by the main window caption, the splash window,
// the about box and the error report. The version is the build's
// (core/ProgramVersion.h).
#pragma once

namespace tessaly::product {

inline constexpr const char* kName = "Tessaly - Pro (Beta)";
inline constexpr const char* kLegalNotice = "Copyright (C) 2026 Tessaly Marine Systems. All rights reserved.";
inline constexpr const char* kComments = "";
inline constexpr const char* kSupportAddress = "support@tessaly-marine.com";
// The picture of the splash window and the about box, relative to the
// program's folder.
inline constexpr const char* kPicture = "Lib/Brenthal.jpg";

}  // namespace tessaly::product
