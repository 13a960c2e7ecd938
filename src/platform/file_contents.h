// What a file holds, read through the file service: the whole of a small file, or the size and a
// digest of any file, to tell later whether it is still the file the program wrote.
#pragma once

#include <cstdint>
#include <string>

#include "platform/content_hash.h"
#include "platform/file_system.h"

namespace platform {

// Reads a whole file of at most `limit` bytes; kErrorFileTooLarge for a longer one.
ErrorCode ReadWholeFile(FileSystem& files, const std::string& path, std::size_t limit, std::string* contents);

// The size of a file as its folder lists it, without opening it.
ErrorCode SizeOfFile(FileSystem& files, const std::string& path, std::uint64_t* size);

// Reads a file through and digests it.
ErrorCode DigestFile(FileSystem& files, const std::string& path, FileDigest* digest);

// Reads an open file from where it stands to its end and digests it.
ErrorCode DigestOpenFile(FileSystem& files, FileHandle file, FileDigest* digest);

// Opens `path` as it is (FileSystem::OpenEntry) into `entry` and tells what it is and where it
// really lies: its attributes and its final path. `entry` is closed again on failure.
ErrorCode OpenWhereItLies(FileSystem& files, const std::string& path, ScopedFile& entry, std::uint32_t* attributes,
                          std::string* final);

// Whether anybody but SYSTEM, the administrators (and the user of an install for one user) owns
// the path or may change it or what it holds; true also when that cannot be read (its error).
ErrorCode QueryOthersMayWrite(FileSystem& files, const std::string& path, bool* othersMayWrite);

// The digest of bytes in memory.
FileDigest DigestOf(const std::string& bytes);

// "size:xxh3:hash" (the hash as sixteen hex digits), and back; false for a text of another form.
std::string DigestText(const FileDigest& digest);
bool ParseDigest(const std::string& text, FileDigest* digest);

}  // namespace platform
