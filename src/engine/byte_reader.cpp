#include "engine/byte_reader.h"

#include <algorithm>
#include <cstring>

namespace {

bool ReadFileAt(std::FILE* file, uint64_t position, uint8_t* out, size_t count) {
  if (position > static_cast<uint64_t>(INT64_MAX)) return false;
  if (std::fseek(file, static_cast<long>(position), SEEK_SET) != 0) return false;
  return std::fread(out, 1, count, file) == count;
}

}  // namespace

bool OpenByteReader(ByteReader& reader, std::FILE* file) {
  reader = ByteReader{};
  if (!file || std::fseek(file, 0, SEEK_END) != 0) return false;
  const long end = std::ftell(file);
  if (end < 0) return false;
  // The reader keeps its own window; a second buffer inside stdio would only copy twice.
  std::setvbuf(file, nullptr, _IONBF, 0);
  reader.file = file;
  reader.size = static_cast<uint64_t>(end);
  return true;
}

ByteReader MemoryByteReader(const uint8_t* data, size_t size) {
  ByteReader reader;
  reader.size = size;
  reader.windowData = data;
  reader.windowLength = size;
  return reader;
}

size_t ReadBytes(ByteReader& reader, void* out, size_t count) {
  auto* dst = static_cast<uint8_t*>(out);
  size_t done = 0;
  while (done < count && reader.position < reader.size) {
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>(count - done, BytesLeft(reader)));
    if (reader.position >= reader.windowStart &&
        reader.position - reader.windowStart < reader.windowLength) {
      const uint64_t offset = reader.position - reader.windowStart;
      const size_t n = static_cast<size_t>(std::min<uint64_t>(wanted, reader.windowLength - offset));
      std::memcpy(dst + done, reader.windowData + offset, n);
      reader.position += n;
      done += n;
      continue;
    }
    if (!reader.file) break;  // a memory block's window is the whole block
    if (wanted >= kByteReaderWindow) {
      // Large reads go straight to the caller; the window would only be a detour.
      if (!ReadFileAt(reader.file, reader.position, dst + done, wanted)) {
        reader.ioError = true;
        break;
      }
      reader.position += wanted;
      done += wanted;
      continue;
    }
    reader.window.resize(kByteReaderWindow);
    const size_t fill = static_cast<size_t>(std::min<uint64_t>(kByteReaderWindow, BytesLeft(reader)));
    reader.windowData = reader.window.data();
    reader.windowStart = reader.position;
    reader.windowLength = 0;
    if (!ReadFileAt(reader.file, reader.position, reader.window.data(), fill)) {
      reader.ioError = true;
      break;
    }
    reader.windowLength = fill;
  }
  return done;
}

bool ReadU16LE(ByteReader& reader, uint16_t& value) {
  uint8_t b[2];
  if (ReadBytes(reader, b, 2) != 2) return false;
  value = static_cast<uint16_t>(b[0] | b[1] << 8);
  return true;
}

bool ReadU32LE(ByteReader& reader, uint32_t& value) {
  uint8_t b[4];
  if (ReadBytes(reader, b, 4) != 4) return false;
  value = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
          static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
  return true;
}
