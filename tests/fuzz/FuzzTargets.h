// The fuzz targets: each takes any bytes, drives one reader of the program
// with them and checks its invariants (see FuzzCheck.h). Each libFuzzer
// program (FuzzEntry.cpp) runs one of them; the regression tests run them all
// over the seed corpora and the inputs that once broke them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tessaly::fuzz {

// The record parser on one line, every kind and both navigation modes: the
// two-stage parse equals Parse, a repeated line gives the same outcome, an
// accepted record keeps the format rules, a rejection gives a known message.
int FuzzRecordLine(const std::uint8_t* data, std::size_t size);

// A file of lines through the record pipeline against a plain sequential
// parse: the same records, messages, numbers and memory; a formatter run on
// the pipeline's workers sees the same cells as the grid layout holds.
int FuzzRecordFile(const std::uint8_t* data, std::size_t size);

// Log-kind recognition of a file against the recognition rules applied to
// the whole text, across read-buffer boundaries and the byte budget: the
// kind, whether it rests on a line's length alone, and the header sentence
// the first lines begin with.
int FuzzLogKind(const std::uint8_t* data, std::size_t size);

// The whole document load of a file with a comments file: counts, error list,
// comments and memory agree, and the document's export equals the streaming
// export of the command-line tool.
int FuzzDocumentLoad(const std::uint8_t* data, std::size_t size);

// The navigation header analysis and link judging against the header rules,
// then the data lines through the hand-over's parser.
int FuzzPnavHeader(const std::uint8_t* data, std::size_t size);

// The settings readers (every Lib/*.ega file, DecodeLine, colour texts,
// settings numbers):
// only SettingsError escapes, values stay in range and survive a write.
int FuzzSettings(const std::uint8_t* data, std::size_t size);

// The events file reader: every line is an event or a problem, and the
// events read, written, read again are written the same.
int FuzzEventsFile(const std::uint8_t* data, std::size_t size);

// The serial break decoder: chunking does not change the decoded stream and
// decoding an encoded stream gives it back.
int FuzzBreakDecoder(const std::uint8_t* data, std::size_t size);

// Survey lines of moves and comments (the operator's SOL/EOL marks among
// them) and the line-cut exports of them: lines in order within the
// records, marked lines as the mark rules give them, a CSV row and an XYZ
// line a record, maps written exactly when there is a position, in UTF-8.
int FuzzSurveyLines(const std::uint8_t* data, std::size_t size);

// A GPS's byte stream: chunking does not change the sentences, every byte is
// a sentence's, a line break's or counted garbage, no sentence passes 80
// characters, a decoded sentence has a good checksum and values within their
// ranges, and the fix timeline gives positions only within range.
int FuzzNmea(const std::uint8_t* data, std::size_t size);

// The files beside a live part (reception times, NMEA, cable out) and the
// GPS settings files: every line is read or listed as a problem, what is
// read keeps its ranges and survives its text, only SettingsError escapes a
// settings reader.
int FuzzGpsFiles(const std::uint8_t* data, std::size_t size);

// A live session's byte stream, every variant: fed in chunks or at once it
// takes and refuses the same records; every record taken keeps the live
// rules and is written, in order, and nothing else; a raw capture writes the
// bytes as received.
int FuzzLiveSession(const std::uint8_t* data, std::size_t size);

// A live session reading an instrument and a GPS at once, records and
// sentences in chunks at moments of the input's choosing, across parts:
// every sentence is in the parts' NMEA files once, in order, as received
// and marked by its checksum (a later part beginning with the last lines of
// the part before); each part's times hold a line a record at its
// reception; each record's last position is the one its part's files give
// after the survey (the command line's rule).
int FuzzLiveGps(const std::uint8_t* data, std::size_t size);

}  // namespace tessaly::fuzz
