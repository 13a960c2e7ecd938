// The multibyte text rules on arbitrary bytes: results always fall on character boundaries
// and upper-casing never touches a byte of a two-byte character.
#include <vector>

#include "fuzz_input.h"
#include "platform/multibyte.h"

using fuzz::Require;

namespace {

// Offsets at which a character starts, and the end of the text.
std::vector<bool> CharacterStarts(const std::string& text) {
  std::vector<bool> starts(text.size() + 1, false);
  starts[text.size()] = true;
  for (std::size_t offset = 0; offset < text.size();) {
    starts[offset] = true;
    const bool twoBytes = platform::IsCp936LeadByte(static_cast<unsigned char>(text[offset])) &&
                          offset + 1 < text.size();
    offset += twoBytes ? 2 : 1;
  }
  return starts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  const std::string needle = input.Bytes(input.Below(4));
  const std::string text = input.Bytes(size);
  const std::vector<bool> starts = CharacterStarts(text);

  const std::size_t last = platform::FindLastCharacter(text, '\\', platform::IsCp936LeadByte);
  if (last != std::string::npos) Require(text[last] == '\\' && starts[last]);
  Require(platform::EndsWithCharacter(text, '\\', platform::IsCp936LeadByte) ==
          (last != std::string::npos && last + 1 == text.size()));

  const std::size_t found = platform::FindByCharacters(text, needle, platform::IsCp936LeadByte);
  if (found != std::string::npos) Require(starts[found] && text.compare(found, needle.size(), needle) == 0);
  else Require(text.find(needle) == std::string::npos || !needle.empty());

  std::string upper = text;
  platform::ToUpperByCharacters(upper, platform::IsCp936LeadByte);
  Require(upper.size() == text.size());
  for (std::size_t offset = 0; offset < text.size(); ++offset) {
    if (upper[offset] != text[offset]) {
      Require(starts[offset] && text[offset] >= 'a' && text[offset] <= 'z' &&
              upper[offset] == text[offset] - 'a' + 'A');
    }
  }
  return 0;
}
