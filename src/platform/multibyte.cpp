#include "platform/multibyte.h"

namespace platform {
namespace {

// Length in bytes of the character that starts at `offset`; a lead byte at the very end
// of the text counts as a character of its own.
std::size_t CharacterLength(const std::string& text, std::size_t offset, LeadByteTest isLeadByte) {
  const bool twoBytes = isLeadByte(static_cast<unsigned char>(text[offset])) && offset + 1 < text.size();
  return twoBytes ? 2 : 1;
}

}  // namespace

bool IsCp936LeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

std::size_t FindLastCharacter(const std::string& text, char ch, LeadByteTest isLeadByte) {
  std::size_t found = std::string::npos;
  for (std::size_t offset = 0; offset < text.size();) {
    const std::size_t length = CharacterLength(text, offset, isLeadByte);
    if (length == 1 && text[offset] == ch) found = offset;
    offset += length;
  }
  return found;
}

std::size_t FindByCharacters(const std::string& text, const std::string& needle, LeadByteTest isLeadByte) {
  if (needle.empty()) return 0;
  for (std::size_t offset = 0; offset < text.size();) {
    if (text.compare(offset, needle.size(), needle) == 0) return offset;
    offset += CharacterLength(text, offset, isLeadByte);
  }
  return std::string::npos;
}

std::vector<std::string> SplitAtCharacter(const std::string& text, char ch, LeadByteTest isLeadByte) {
  std::vector<std::string> pieces(1);
  for (std::size_t offset = 0; offset < text.size();) {
    const std::size_t length = CharacterLength(text, offset, isLeadByte);
    if (length == 1 && text[offset] == ch) {
      pieces.emplace_back();
    } else {
      pieces.back().append(text, offset, length);
    }
    offset += length;
  }
  return pieces;
}

bool EndsWithCharacter(const std::string& text, char ch, LeadByteTest isLeadByte) {
  return !text.empty() && FindLastCharacter(text, ch, isLeadByte) == text.size() - 1;
}

void DropTrailingBackslash(std::string& text, LeadByteTest isLeadByte) {
  if (EndsWithCharacter(text, '\\', isLeadByte)) text.pop_back();
}

void ToUpperByCharacters(std::string& text, LeadByteTest isLeadByte) {
  for (std::size_t offset = 0; offset < text.size();) {
    const std::size_t length = CharacterLength(text, offset, isLeadByte);
    if (length == 1 && text[offset] >= 'a' && text[offset] <= 'z') {
      text[offset] = static_cast<char>(text[offset] - 'a' + 'A');
    }
    offset += length;
  }
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b, LeadByteTest isLeadByte) {
  std::string upperA = a;
  std::string upperB = b;
  ToUpperByCharacters(upperA, isLeadByte);
  ToUpperByCharacters(upperB, isLeadByte);
  return upperA == upperB;
}

}  // namespace platform
