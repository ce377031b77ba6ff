// Bounds-checked reading of an open file or a memory block through one small
// window, so that outside input is checked without being held in memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

struct ByteReader {
  std::FILE* file = nullptr;  // not owned; null for a memory block
  uint64_t size = 0;          // measured once, when the reader is made
  uint64_t position = 0;      // may lie past the end; reads there return nothing
  bool ioError = false;       // a read the size promised came back short

  // The bytes [windowStart, windowStart + windowLength) are at windowData: a
  // slice of `window` for a file, the whole block for memory.
  std::vector<uint8_t> window;
  const uint8_t* windowData = nullptr;
  uint64_t windowStart = 0;
  uint64_t windowLength = 0;
};

inline constexpr size_t kByteReaderWindow = 64 * 1024;

// A reader over an open file, from its start. False when the file has no
// measurable size (a pipe, a folder).
bool OpenByteReader(ByteReader& reader, std::FILE* file);
// A reader over `size` bytes at `data`, which must outlive it.
ByteReader MemoryByteReader(const uint8_t* data, size_t size);

// Copies up to `count` bytes from the current position and moves past them.
// Returns the number copied: fewer than asked only at the end or on an error.
size_t ReadBytes(ByteReader& reader, void* out, size_t count);

inline void SeekTo(ByteReader& reader, uint64_t position) { reader.position = position; }

inline uint64_t BytesLeft(const ByteReader& reader) {
  return reader.position < reader.size ? reader.size - reader.position : 0;
}

// One byte; the common case is served from the window without a call.
inline bool ReadU8(ByteReader& reader, uint8_t& value) {
  const uint64_t offset = reader.position - reader.windowStart;
  if (reader.position >= reader.windowStart && offset < reader.windowLength) {
    value = reader.windowData[offset];
    ++reader.position;
    return true;
  }
  return ReadBytes(reader, &value, 1) == 1;
}

// Little-endian numbers, as every TGA field is stored.
bool ReadU16LE(ByteReader& reader, uint16_t& value);
bool ReadU32LE(ByteReader& reader, uint32_t& value);
