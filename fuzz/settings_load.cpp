// Loading arbitrary bytes as a settings file: the store and the settings reader must take
// anything without a crash, the line shortcut must parse as the byte-by-byte parser does, and
// what is read must be written back and read again to the same text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/kel_ini.h"
#include "app/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace twn;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  TKelIni fast, reference;
  fast.LoadFromText(bytes);
  reference.LoadFromText(bytes, true);
  if (fast.BuildText() != reference.BuildText()) std::abort();

  // Counts in the input can be huge; the reader must still finish (each entry is cheap).
  TSettings settings("/fuzz");
  settings.ReadFrom(fast, 45000.5);
  for (const auto& job : settings.Jobs) {
    job->ComputeNextRun(45000.5);
    job->UpdateState();
  }

  TKelIni written;
  settings.WriteTo(written);
  const std::string text(written.BuildText());
  TKelIni again;
  again.LoadFromText(text);
  TSettings reread("/fuzz");
  reread.ReadFrom(again, 45000.5);
  TKelIni rewritten;
  reread.WriteTo(rewritten);
  const std::string_view second = rewritten.BuildText();
  if (second != text) {
    const size_t at = size_t(
        std::mismatch(text.begin(), text.end(), second.begin(), second.end()).first - text.begin());
    std::fprintf(stderr, "second save differs at %zu:\n%s\n---\n%s\n", at,
                 text.substr(at > 80 ? at - 80 : 0, 160).c_str(),
                 std::string(second.substr(at > 80 ? at - 80 : 0, 160)).c_str());
    std::abort();
  }
  return 0;
}
