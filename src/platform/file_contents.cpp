#include "platform/file_contents.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace platform {
namespace {

constexpr std::uint32_t kChunk = 256 * 1024;

// XXH32, fed in pieces of any length.
class Xxh32 {
 public:
  void Add(const char* bytes, std::size_t length) {
    m_total += length;
    while (length > 0) {
      const std::size_t taken = std::min(length, sizeof m_block - m_filled);
      std::memcpy(m_block + m_filled, bytes, taken);
      m_filled += taken;
      bytes += taken;
      length -= taken;
      if (m_filled == sizeof m_block) {
        for (int lane = 0; lane < 4; ++lane) m_lanes[lane] = Round(m_lanes[lane], Word(m_block + 4 * lane));
        m_filled = 0;
      }
    }
  }
  std::uint32_t Finish() const {
    std::uint32_t hash = m_total >= sizeof m_block ? Rotate(m_lanes[0], 1) + Rotate(m_lanes[1], 7) +
                                                         Rotate(m_lanes[2], 12) + Rotate(m_lanes[3], 18)
                                                   : kPrime5;
    hash += static_cast<std::uint32_t>(m_total);
    std::size_t at = 0;
    for (; at + 4 <= m_filled; at += 4) hash = Rotate(hash + Word(m_block + at) * kPrime3, 17) * kPrime4;
    for (; at < m_filled; ++at) hash = Rotate(hash + static_cast<unsigned char>(m_block[at]) * kPrime5, 11) * kPrime1;
    hash ^= hash >> 15;
    hash *= kPrime2;
    hash ^= hash >> 13;
    hash *= kPrime3;
    return hash ^ (hash >> 16);
  }

 private:
  static constexpr std::uint32_t kPrime1 = 2654435761u, kPrime2 = 2246822519u, kPrime3 = 3266489917u,
                                 kPrime4 = 668265263u, kPrime5 = 374761393u;
  static std::uint32_t Rotate(std::uint32_t value, int bits) { return (value << bits) | (value >> (32 - bits)); }
  static std::uint32_t Word(const char* bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
  }
  static std::uint32_t Round(std::uint32_t lane, std::uint32_t word) {
    return Rotate(lane + word * kPrime2, 13) * kPrime1;
  }

  std::uint32_t m_lanes[4] = {kPrime1 + kPrime2, kPrime2, 0, 0u - kPrime1};
  char m_block[16] = {};
  std::size_t m_filled = 0;
  std::uint64_t m_total = 0;
};

// Reads an open file to its end, handing each piece read to `take`.
template <typename Take>
ErrorCode ReadThrough(FileSystem& files, const std::string& path, Take take) {
  ScopedFile file(files);
  const ErrorCode opened = files.OpenFileForReading(path, file.Receive());
  if (opened != kErrorSuccess) return opened;
  const std::unique_ptr<char[]> buffer(new char[kChunk]);  // filled by each read before it is used
  for (;;) {
    std::uint32_t read = 0;
    const ErrorCode result = files.ReadFromFile(file.Get(), buffer.get(), kChunk, &read);
    if (result != kErrorSuccess) return result;
    if (read == 0) return kErrorSuccess;
    const ErrorCode taken = take(buffer.get(), read);
    if (taken != kErrorSuccess) return taken;
  }
}

}  // namespace

ErrorCode ReadWholeFile(FileSystem& files, const std::string& path, std::size_t limit, std::string* contents) {
  contents->clear();
  return ReadThrough(files, path, [&](const char* bytes, std::uint32_t length) {
    if (contents->size() + length > limit) return kErrorFileTooLarge;
    contents->append(bytes, length);
    return kErrorSuccess;
  });
}

ErrorCode DigestFile(FileSystem& files, const std::string& path, FileDigest* digest) {
  Xxh32 hash;
  std::uint64_t size = 0;
  const ErrorCode read = ReadThrough(files, path, [&](const char* bytes, std::uint32_t length) {
    hash.Add(bytes, length);
    size += length;
    return kErrorSuccess;
  });
  if (read == kErrorSuccess) *digest = FileDigest{size, hash.Finish()};
  return read;
}

FileDigest DigestOf(const std::string& bytes) {
  Xxh32 hash;
  hash.Add(bytes.data(), bytes.size());
  return FileDigest{bytes.size(), hash.Finish()};
}

std::string DigestText(const FileDigest& digest) {
  char text[32] = {};
  std::snprintf(text, sizeof text, "%llu:%08x", static_cast<unsigned long long>(digest.size), digest.hash);
  return text;
}

bool ParseDigest(const std::string& text, FileDigest* digest) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos || colon == 0 || colon > 20 || text.size() != colon + 9) return false;
  const std::string size = text.substr(0, colon), hash = text.substr(colon + 1);
  if (size.find_first_not_of("0123456789") != std::string::npos ||
      hash.find_first_not_of("0123456789abcdef") != std::string::npos) {
    return false;
  }
  digest->size = std::stoull(size);
  digest->hash = static_cast<std::uint32_t>(std::stoul(hash, nullptr, 16));
  return true;
}

}  // namespace platform
