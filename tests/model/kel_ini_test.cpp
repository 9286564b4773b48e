#include "model/kel_ini.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <optional>
#include <random>

#include "support/comma_locale.h"
#include "support/test_support.h"

namespace twn {
namespace {

using std::string_literals::operator""s;

std::optional<std::string> Lookup(const TKelIni& ini, std::string_view section,
                                  std::string_view key) {
  const std::string missing = "\x01missing";
  const std::string value = ini.ReadString(ini.FindSection(section), key, missing);
  if (value == missing) return std::nullopt;
  return value;
}

struct ParseCase {
  const char* name;
  std::string text;
  const char* section;
  const char* key;
  std::optional<std::string> expected;
};

TEST(KelIniParse, LinesKeysAndSections) {
  const ParseCase cases[] = {
      {"crlf", "[A]\r\nx=1\r\n", "A", "x", "1"},
      {"lf only", "[A]\nx=1\n", "A", "x", "1"},
      {"cr only", "[A]\rx=1\r", "A", "x", "1"},
      {"last line without line end", "[A]\nx=1", "A", "x", std::nullopt},
      {"no line end at all", "[A]x=1", "A", "x", std::nullopt},
      {"value keeps later equals", "[A]\nkey=a=b\n", "A", "key", "a=b"},
      {"blanks trimmed", "[A]\n \t key  =  some value \t\n", "A", "key", "some value"},
      {"empty value is not the default", "[A]\nx=\n", "A", "x", ""},
      {"brackets in a value", "[A]\nv=[x]=y\n", "A", "v", "[x]=y"},
      {"line without equals ignored", "[A]\nnoequals\nx=1\n", "A", "noequals", std::nullopt},
      {"key before any header dropped", "x=1\n[A]\ny=2\n", "A", "x", std::nullopt},
      {"blank header keeps previous section", "[A]\n[  ]\nx=1\n", "A", "x", "1"},
      {"text after header is no key", "[A] t=1\nx=2\n", "A", "t", std::nullopt},
      {"double slash only stops brackets", "[A]\n// a = b\n", "A", "// a", "b"},
      {"commented header ignored", "[A]\n//[B]\nx=1\n", "A", "x", "1"},
      {"semicolon is an ordinary byte", "[A]\n;x=1\n", "A", ";x", "1"},
      {"header name as written", "[ A ]\nx=1\n", " A ", "x", "1"},
      {"header name not trimmed", "[ A ]\nx=1\n", "A", "x", std::nullopt},
      {"bracket inside header", "[[A]\nx=1\n", "[A", "x", "1"},
      {"names fold a-z", "[Job_1]\nJobName=Foo\n", "JOB_1", "jobname", "Foo"},
      {"values keep case and bytes", "[A]\np=/home/\xc3\xbc/\xc3\x84x\n", "A", "p",
       "/home/\xc3\xbc/\xc3\x84x"},
      {"value ends at a zero byte", "[A]\nx=ab\0cd\n"s, "A", "x", "ab"},
      {"cut at a zero byte, then trimmed", "[A]\nx= ab \0cd\n"s, "A", "x", "ab"},
      {"headers merge", "[A]\nx=1\n[B]\ny=2\n[a]\nz=3\n", "A", "z", "3"},
      {"merged keeps first part", "[A]\nx=1\n[B]\ny=2\n[a]\nz=3\n", "A", "x", "1"},
  };
  for (const ParseCase& c : cases) {
    for (const bool byte_by_byte : {false, true}) {
      TKelIni ini;
      ini.LoadFromText(c.text, byte_by_byte);
      EXPECT_EQ(Lookup(ini, c.section, c.key), c.expected) << c.name << " " << byte_by_byte;
    }
  }
}

TEST(KelIniParse, MergedSectionsAndLookups) {
  TKelIni ini;
  ini.LoadFromText("[Job_1]\r\nA=1\r\n[Other]\r\nB=2\r\n[JOB_1]\r\nC=3\r\nA=4\r\n");
  EXPECT_EQ(ini.SectionCount(), 2);
  const int job = ini.FindSection("job_1");
  ASSERT_GE(job, 0);
  EXPECT_EQ(ini.ReadString(job, "C", ""), "3");
  const std::string a = ini.ReadString(job, "a", "");
  EXPECT_TRUE(a == "1" || a == "4") << a;
  EXPECT_EQ(ini.ReadString(job, "B", "none"), "none");

  TKelIni single;
  single.LoadFromText("[MainSection]\nx=1\n");
  EXPECT_EQ(single.FindSection("JobSection"), -1);
  EXPECT_EQ(single.FindSection("mainsection"), 0);
  EXPECT_EQ(single.ReadString(5, "x", "def"), "def");
  EXPECT_EQ(single.ReadString(-1, "x", "def"), "def");

  TKelIni empty;
  empty.LoadFromText("");
  EXPECT_EQ(empty.FindSection("A"), -1);
}

TEST(KelIniParse, ManySectionsFoundByBisection) {
  std::string text;
  for (int i = 300; i > 0; --i)
    text += "[S" + std::to_string(i) + "]\nk" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  TKelIni ini;
  ini.LoadFromText(text);
  for (int i = 1; i <= 300; ++i) {
    const int s = ini.FindSection("s" + std::to_string(i));
    ASSERT_GE(s, 0) << i;
    EXPECT_EQ(ini.ReadInteger(s, "K" + std::to_string(i), -1), i);
  }
  EXPECT_EQ(ini.FindSection("S0"), -1);
  EXPECT_EQ(ini.FindSection("S301"), -1);
}

TEST(KelIniRead, Integers) {
  const struct {
    const char* text;
    int32_t expected;
  } cases[] = {
      {"12", 12},
      {"-5", -5},
      {"+7", 7},
      {"0x1F", 31},
      {"0X1f", 31},
      {"$10", 16},
      {"$FFFFFFFF", -1},
      {"-$10", -16},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", -99},
      {"12abc", -99},
      {"0x", -99},
      {"$", -99},
      {"", -99},
      {"-", -99},
      {"1 2", -99},
      {"$100000000", -99},
  };
  for (const auto& c : cases) {
    TKelIni ini;
    ini.LoadFromText("[A]\ncount=" + std::string(c.text) + "\n");
    EXPECT_EQ(ini.ReadInteger(0, "count", -99), c.expected) << c.text;
  }
  TKelIni ini;
  ini.LoadFromText("[A]\n");
  EXPECT_EQ(ini.ReadInteger(0, "count", 42), 42);
}

TEST(KelIniRead, Floats) {
  const struct {
    const char* text;
    double expected;
  } cases[] = {
      {"38000.5", 38000.5}, {"1E-5", 1e-5}, {"-1.5e3", -1500}, {"+2", 2},   {".5", 0.5}, {"7.", 7},
      {"1,5", -1},          {"", -1},       {"abc", -1},       {"inf", -1}, {"nan", -1}, {"1e", -1},
      {"1.5x", -1},         {"-", -1},      {"1e999", -1},
  };
  for (const auto& c : cases) {
    TKelIni ini;
    ini.LoadFromText("[A]\nf=" + std::string(c.text) + "\n");
    EXPECT_DOUBLE_EQ(ini.ReadFloat(0, "f", -1), c.expected) << c.text;
  }
}

TEST(KelIniWrite, GeneralNumberFormat) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {38000.5, "38000.5"},
      {1e-5, "1E-5"},
      {1.5e-7, "1.5E-7"},
      {0.0001, "0.0001"},
      {1e15, "1E15"},
      {123456789012345.0, "123456789012345"},
      {-2.5, "-2.5"},
      {0, "0"},
      {1.0 / 3, "0.333333333333333"},
      {46000.123456789, "46000.123456789"},
      {2.0 / 3 * 1e20, "6.66666666666667E19"},
  };
  for (const auto& c : cases) EXPECT_EQ(FloatToText(c.value), c.text) << c.value;
}

// A float written and read back is written again with the same text, so a second save of the
// settings file is byte-for-byte the first.
TEST(KelIniWrite, FloatTextIsStableAcrossReadAndWrite) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> days(-1000, 80000);
  for (int i = 0; i < 2000; ++i) {
    const double value = i % 2 ? days(random) : std::ldexp(days(random), -40);
    const std::string text = FloatToText(value);
    TKelIni ini;
    ini.LoadFromText("[A]\nf=" + text + "\n");
    const double back = ini.ReadFloat(0, "f", NAN);
    ASSERT_EQ(FloatToText(back), text) << value;
    ASSERT_LE(std::fabs(back - value), std::fabs(value) * 1e-14) << text;
  }
}

TEST(KelIniWrite, CommaLocale) {
  test::ScopedCommaLocale comma;
  if (!comma.ok()) GTEST_SKIP() << "cannot build a comma locale here";
  EXPECT_EQ(FloatToText(38000.5), "38000,5");
  EXPECT_EQ(FloatToText(1.5e-7), "1,5E-7");
  TKelIni ini;
  ini.LoadFromText("[A]\na=38000,5\nb=38000.5\n");
  EXPECT_DOUBLE_EQ(ini.ReadFloat(0, "a", -1), 38000.5);
  EXPECT_DOUBLE_EQ(ini.ReadFloat(0, "b", -1), -1);
}

TEST(KelIniWrite, TextInInsertionOrder) {
  TKelIni ini;
  ini.AddSection("Empty");
  const int b = ini.AddSection("Second");
  ini.WriteString(b, "z", "last letter");
  ini.WriteInteger(b, "a", -3);
  ini.WriteString(-1, "lost", "x");
  const int c = ini.AddSection("Third");
  ini.WriteFloat(c, "f", 0.25);
  ini.WriteString(c, "path", " /a b/\xc3\xa9 ");
  EXPECT_EQ(
      ini.BuildText(),
      "[Second]\r\nz=last letter\r\na=-3\r\n\r\n[Third]\r\nf=0.25\r\npath= /a b/\xc3\xa9 \r\n");

  TKelIni nothing;
  nothing.AddSection("A");
  EXPECT_EQ(nothing.BuildText(), "");
}

TEST(KelIniFile, SaveAndLoadRoundTrip) {
  test::TempDir dir;
  const std::string path = dir / "TWN.ini";
  TKelIni out;
  const int s = out.AddSection("Main");
  for (int i = 0; i < 5000; ++i) out.WriteInteger(s, "Key_" + std::to_string(i), i * 7);
  ASSERT_EQ(out.SaveToFile(path), 0);

  TKelIni in;
  ASSERT_EQ(in.LoadFromFile(path), 0);
  ASSERT_EQ(in.KeyCount(), 5000);
  EXPECT_EQ(in.ReadInteger(in.FindSection("MAIN"), "key_4999", -1), 4999 * 7);
  // Nothing but the file itself is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(KelIniFile, UnreadablePathsGiveAnEmptyStore) {
  test::TempDir dir;
  test::MakeDirs(dir / "folder.ini");
  ASSERT_EQ(::mkfifo((dir / "fifo.ini").c_str(), 0600), 0);
  const struct {
    std::string path;
    int error;
  } cases[] = {
      {dir / "missing.ini", ENOENT}, {dir / "folder.ini", EISDIR}, {dir / "fifo.ini", EINVAL}};
  for (const auto& [path, error] : cases) {
    TKelIni ini;
    ini.LoadFromText("[A]\nx=1\n");
    EXPECT_EQ(ini.LoadFromFile(path), error) << path;
    EXPECT_EQ(ini.SectionCount(), 0) << path;
    EXPECT_EQ(ini.ReadString(ini.FindSection("A"), "x", "def"), "def");
  }
}

TEST(KelIniFile, FailedSaveKeepsTheOldFileAndSaysSo) {
  test::TempDir dir;
  TKelIni big;
  const int s = big.AddSection("A");
  big.WriteString(s, "x", std::string(100000, 'v'));

  EXPECT_EQ(big.SaveToFile(dir / "no/such/folder/TWN.ini"), ENOENT);
  test::MakeDirs(dir / "TWN.ini");
  EXPECT_NE(big.SaveToFile(dir / "TWN.ini"), 0);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "TWN.ini"));

  // A write that fails half-way (the file-size limit stands in for a full disk).
  const std::string path = dir / "keep.ini";
  test::WriteFile(path, "[A]\r\nx=old\r\n");
  rlimit old_limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const sighandler_t old_handler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const int error = big.SaveToFile(path);
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  ::signal(SIGXFSZ, old_handler);
  EXPECT_EQ(error, EFBIG);
  EXPECT_EQ(test::ReadFile(path), "[A]\r\nx=old\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2)
      << "a temporary file was left behind";
}

TEST(KelIniFile, SaveKeepsLinkAndPermissions) {
  test::TempDir dir;
  const std::string real = dir / "real.ini";
  test::WriteFile(real, "old");
  ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
  std::filesystem::create_symlink(real, dir / "TWN.ini");
  TKelIni ini;
  ini.WriteString(ini.AddSection("A"), "x", "new");
  ASSERT_EQ(ini.SaveToFile(dir / "TWN.ini"), 0);
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "TWN.ini"));
  EXPECT_EQ(test::ReadFile(real), "[A]\r\nx=new\r\n");
  struct stat st {};
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

}  // namespace
}  // namespace twn
