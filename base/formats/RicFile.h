// The RIC binary file: encoding and decoding of an element list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "RICElement.h"

namespace tavlin {

// Reader and writer both work within one buffer of this size.
constexpr std::size_t kRicBufferSize = 262144;
// The most pixel bytes one sprite can carry: its element's size word is 16
// bits and even, and counts 8 bytes besides the pixels.
constexpr int kMaxSpriteDataBytes = 65526;

// At most this many notes on what a reader passed over, and one more that
// counts the rest.
constexpr std::size_t kMaxReadNotes = 10;

// Decodes the bytes of a RIC file into new elements. Never fails: zero size
// words and unknown opcodes are skipped, and an element cut short by the end
// of the data is dropped. Opcodes 0 to 8 consume exactly their own words;
// Ellipse and Polygon (9, 10) take the bytes their size word covers, and keep
// what it covers beyond or short of their words, so that EncodeRic gives
// those bytes back. When `notes` is given, what was passed over is
// appended to it, one line each ("bytes 0 to 11: 3 unknown opcodes skipped"),
// with byte offsets from 0 and elements numbered from 1. Zero words that an
// element's own size word counts (after a Pixel, in an empty VarMap) are part
// of the element and not noted. `passedOver`, when given, receives the number
// of bytes the notes are about, however many notes there are.
RICElementList DecodeRic(const std::uint8_t* data, std::size_t count,
                         std::vector<std::string>* notes = nullptr,
                         std::size_t* passedOver = nullptr);

// Encodes a list; throws TavlinError (without a file name) when the encoding
// would not fit into kRicBufferSize bytes.
std::vector<std::uint8_t> EncodeRic(const RICElementList& list);

// Reads a RIC file into a document's list: replaces it (clearFirst) or
// appends to it. On failure throws TavlinError and leaves the list as it was.
// Notes on what was passed over name the file ("PATH: reason").
bool ReadRicFile(RICElementList& document, const std::string& path, bool clearFirst,
                 std::vector<std::string>* notes = nullptr);
// Writes a document's list atomically; throws TavlinError on failure.
bool WriteRicFile(const RICElementList& document, const std::string& path);

// The same for any list. `passedOver` counts the bytes passed over, those
// beyond kRicBufferSize included.
RICElementList LoadRicFile(const std::string& path, std::vector<std::string>* notes = nullptr,
                           std::size_t* passedOver = nullptr);
void SaveRicFile(const std::string& path, const RICElementList& list);

}  // namespace tavlin
