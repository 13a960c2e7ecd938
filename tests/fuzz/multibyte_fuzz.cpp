// The multibyte text rules on any bytes: what they find starts on a character, and upper-casing
// touches only single-byte letters. A broken rule aborts, which the fuzzer reports.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <vector>

#include "platform/multibyte.h"

#define REQUIRE(condition) ((condition) ? void() : std::abort())

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const auto gbk = platform::IsCp936LeadByte;
  const std::string needle = input.ConsumeRandomLengthString(3);
  const std::string text = input.ConsumeRemainingBytesAsString();
  std::vector<bool> starts(text.size() + 1, false);  // where a character starts, and the end
  for (std::size_t at = 0; at <= text.size(); at += at + 1 < text.size() && gbk(text[at]) ? 2 : 1) starts[at] = true;

  const std::size_t last = platform::FindLastCharacter(text, '\\', gbk);
  if (last != std::string::npos) REQUIRE(text[last] == '\\' && starts[last]);
  REQUIRE(platform::EndsWithCharacter(text, '\\', gbk) == (last != std::string::npos && last + 1 == text.size()));
  const std::size_t found = platform::FindByCharacters(text, needle, gbk);
  if (found != std::string::npos) REQUIRE(starts[found] && text.compare(found, needle.size(), needle) == 0);
  if (needle.empty()) REQUIRE(found == 0);
  std::string upper = text;
  platform::ToUpperByCharacters(upper, gbk);
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (upper[at] != text[at]) REQUIRE(starts[at] && text[at] >= 'a' && text[at] <= 'z' && upper[at] == text[at] - 32);
  }
  return 0;
}
