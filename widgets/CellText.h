// The text of a cell's bytes. Comments typed in the program are stored as
// UTF-8; comments files written elsewhere may hold Latin-1. Bytes that are
// valid UTF-8 are read as UTF-8, any other bytes as Latin-1, so both show the
// characters they were written with.
#pragma once

#include <QString>

#include <string_view>

namespace tessaly {

QString CellText(std::string_view bytes);

}  // namespace tessaly
