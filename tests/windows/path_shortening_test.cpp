#include "windows/path_shortening.h"

#include <gtest/gtest.h>

namespace twn {
namespace {

// One unit per character, so that widths read as character counts and a cut inside a UTF-8
// character would show as a wrong result.
int Characters(std::string_view text) {
  int n = 0;
  for (const char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

TEST(PathShorteningTest, FitsTheWidth) {
  const struct {
    const char* path;
    int width;
    const char* expected;
  } cases[] = {
      {"/home/me/a", 10, "/home/me/a"},                     // fits as it is
      {"/home/me/photos/2024", 19, "/.../me/photos/2024"},  // one folder gives way
      {"/home/me/photos/2024", 16, "/.../photos/2024"},
      {"/home/me/photos/2024", 9, "/.../2024"},         // only the last folder left
      {"/a/bb/cc/", 8, "/.../cc/"},                     // a trailing separator stays
      {"docs/a/b", 7, ".../a/b"},                       // relative: no root to keep
      {"/home/me/photographs", 10, "/.../phot\u2026"},  // even the last folder is cut
      {"/home/me/photographs", 6, "/.../\u2026"},
      {"/home/me/photographs", 3, "\u2026"},
      {"/photographs", 6, "/phot\u2026"},  // a single folder keeps the root
      {"/", 0, "/"},                       // the root alone is never changed
      {"", 0, ""},
      {"/home/Ünïcødé/Fotoğraflar", 12, "/.../Fotoğr\u2026"},
      {"/home/Ünïcødé/Fotoğraflar", 11, "/.../Fotoğ\u2026"},
      {"/home/Ünïcødé/Fotoğraflar", 24, "/.../Ünïcødé/Fotoğraflar"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.expected, ShortenPath(c.path, c.width, Characters)) << c.path << " in " << c.width;
}

TEST(PathShorteningTest, CutsOnlyBetweenCharacters) {
  // Measured in bytes, half of "ğ" would fit where the whole does not.
  const auto bytes = [](std::string_view text) { return int(text.size()); };
  EXPECT_EQ("/.../Foto\u2026", ShortenPath("/x/y/Fotoğraflar", 13, bytes));
  EXPECT_EQ("/.../Fotoğ\u2026", ShortenPath("/x/y/Fotoğraflar", 14, bytes));
}

TEST(PathShorteningTest, NeverWiderThanTheWidth) {
  const std::string path = "/srv/backup/2024/photos/holiday in the mountains";
  for (int width = 1; width <= Characters(path); ++width) {
    const std::string shown = ShortenPath(path, width, Characters);
    EXPECT_LE(Characters(shown), width) << width << ": " << shown;
  }
}

}  // namespace
}  // namespace twn
