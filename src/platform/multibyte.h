// Text rules for the 8-bit strings of a double-byte code page (GBK on the target systems).
// A trail byte may equal '\\' or a letter, so these helpers walk the text character by
// character with a lead-byte test instead of byte by byte.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// Tells whether a byte starts a two-byte character (IsDBCSLeadByte on Windows).
using LeadByteTest = bool (*)(unsigned char byte);

// The rule of code page 936: lead bytes are 0x81 to 0xFE.
bool IsCp936LeadByte(unsigned char byte);

// Byte offset of the last character equal to `ch` (a single-byte character), or npos.
std::size_t FindLastCharacter(const std::string& text, char ch, LeadByteTest isLeadByte);

// Byte offset of the first occurrence of `needle` that starts on a character boundary,
// or npos. An empty needle is found at 0.
std::size_t FindByCharacters(const std::string& text, const std::string& needle, LeadByteTest isLeadByte);

// The pieces of the text between the characters equal to `ch` (a single-byte character):
// "a;b;" gives "a", "b" and "".
std::vector<std::string> SplitAtCharacter(const std::string& text, char ch, LeadByteTest isLeadByte);

// Whether the text's last character (not merely its last byte) is `ch`.
bool EndsWithCharacter(const std::string& text, char ch, LeadByteTest isLeadByte);

// Drops the text's last character when it is a backslash (one at most).
void DropTrailingBackslash(std::string& text, LeadByteTest isLeadByte);

// Upper-cases the single-byte letters a-z; the bytes of two-byte characters stay as they are.
void ToUpperByCharacters(std::string& text, LeadByteTest isLeadByte);

// Whether two texts are equal once their single-byte letters are upper-cased.
bool EqualsIgnoringCase(const std::string& a, const std::string& b, LeadByteTest isLeadByte);

}  // namespace platform
