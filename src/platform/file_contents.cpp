#include "platform/file_contents.h"

#include <cstdio>
#include <memory>

#include "platform/format.h"

namespace platform {
namespace {

constexpr std::uint32_t kChunk = 1024 * 1024;
// Between a digest's size and its hash: the hash's name.
const char kDigestMark[] = ":xxh3:";

// The one buffer every file is read through, made on first use: a buffer made for each file would
// cost more than reading it (its pages are new each time), and smaller pieces mean more calls.
char* ReadBuffer() {
  thread_local const std::unique_ptr<char[]> buffer(new char[kChunk]);  // filled by each read before it is used
  return buffer.get();
}

// Reads an open file to its end, handing each piece read to `take`, which reads no other file.
template <typename Take>
ErrorCode ReadOpen(FileSystem& files, FileHandle file, Take take) {
  char* const buffer = ReadBuffer();
  for (;;) {
    std::uint32_t read = 0;
    const ErrorCode result = files.ReadFromFile(file, buffer, kChunk, &read);
    if (result != kErrorSuccess) return result;
    if (read == 0) return kErrorSuccess;
    const ErrorCode taken = take(buffer, read);
    if (taken != kErrorSuccess) return taken;
  }
}

template <typename Take>
ErrorCode ReadThrough(FileSystem& files, const std::string& path, Take take) {
  ScopedFile file(files);
  const ErrorCode opened = files.OpenFileForReading(path, file.Receive());
  return opened != kErrorSuccess ? opened : ReadOpen(files, file.Get(), take);
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

ErrorCode SizeOfFile(FileSystem& files, const std::string& path, std::uint64_t* size) {
  ScopedFind listing(files);
  FoundEntry entry;
  const ErrorCode found = files.FindFirst(path, listing.Receive(), &entry);
  if (found == kErrorSuccess) *size = entry.size;
  return found;
}

ErrorCode DigestFile(FileSystem& files, const std::string& path, FileDigest* digest) {
  ScopedFile file(files);
  const ErrorCode opened = files.OpenFileForReading(path, file.Receive());
  return opened != kErrorSuccess ? opened : DigestOpenFile(files, file.Get(), digest);
}

ErrorCode DigestOpenFile(FileSystem& files, FileHandle file, FileDigest* digest) {
  ContentHash hash;
  const ErrorCode read = ReadOpen(files, file, [&](const char* bytes, std::uint32_t length) {
    hash.Add(bytes, length);
    return kErrorSuccess;
  });
  if (read == kErrorSuccess) *digest = hash.Finish();
  return read;
}

ErrorCode OpenWhereItLies(FileSystem& files, const std::string& path, ScopedFile& entry, std::uint32_t* attributes,
                          std::string* final) {
  ErrorCode opened = files.OpenEntry(path, entry.Receive());
  if (opened == kErrorSuccess) opened = files.OpenAttributes(entry.Get(), attributes);
  if (opened == kErrorSuccess) opened = files.FinalPathName(entry.Get(), final);
  if (opened != kErrorSuccess) entry.Reset();
  return opened;
}

ErrorCode QueryOthersMayWrite(FileSystem& files, const std::string& path, bool* othersMayWrite) {
  std::uint32_t rights = 0;
  const ErrorCode read = files.QueryOthersRights(path, &rights);
  *othersMayWrite = read != kErrorSuccess || (rights & kRightsWriting) != 0;
  return read;
}

FileDigest DigestOf(const std::string& bytes) {
  ContentHash hash;
  hash.Add(bytes.data(), bytes.size());
  return hash.Finish();
}

std::string DigestText(const FileDigest& digest) {
  return std::to_string(digest.size) + kDigestMark +
         FormatText("%08x%08x", static_cast<unsigned>(digest.hash >> 32), static_cast<unsigned>(digest.hash));
}

bool ParseDigest(const std::string& text, FileDigest* digest) {
  const std::size_t mark = text.find(kDigestMark), hashAt = mark + sizeof kDigestMark - 1;
  if (mark == std::string::npos || mark == 0 || mark > 20 || text.size() != hashAt + 16) return false;
  const std::string size = text.substr(0, mark), hash = text.substr(hashAt);
  if (size.find_first_not_of("0123456789") != std::string::npos ||
      hash.find_first_not_of("0123456789abcdef") != std::string::npos) {
    return false;
  }
  digest->size = std::stoull(size);
  digest->hash = std::stoull(hash, nullptr, 16);
  return true;
}

}  // namespace platform
