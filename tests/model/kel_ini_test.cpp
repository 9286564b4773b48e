#include "model/kel_ini.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <random>

#include "support/comma_locale.h"
#include "support/fault_support.h"
#include "support/test_support.h"

namespace twn {
namespace {

using std::string_literals::operator""s;
using Names = std::vector<std::string>;

TKelIni Parsed(std::string_view text, bool byte_by_byte = false) {
  TKelIni ini;
  ini.LoadFromText(text, byte_by_byte);
  return ini;
}

TEST(KelIniParse, LinesKeysAndSections) {
  const std::string missing = "\x01missing";
  const struct {
    const char* name;
    std::string text;
    const char *section, *key;
    std::string expected;
  } cases[] = {
      {"crlf", "[A]\r\nx=1\r\n", "A", "x", "1"},
      {"lf only", "[A]\nx=1\n", "A", "x", "1"},
      {"cr only", "[A]\rx=1\r", "A", "x", "1"},
      {"last line without line end", "[A]\nx=1", "A", "x", missing},
      {"value keeps later equals", "[A]\nkey=a=b\n", "A", "key", "a=b"},
      {"blanks trimmed", "[A]\n \t key  =  some value \t\n", "A", "key", "some value"},
      {"empty value is not the default", "[A]\nx=\n", "A", "x", ""},
      {"brackets in a value", "[A]\nv=[x]=y\n", "A", "v", "[x]=y"},
      {"line without equals ignored", "[A]\nnoequals\nx=1\n", "A", "noequals", missing},
      {"key before any header dropped", "x=1\n[A]\ny=2\n", "A", "x", missing},
      {"blank header keeps previous section", "[A]\n[  ]\nx=1\n", "A", "x", "1"},
      {"text after header is no key", "[A] t=1\nx=2\n", "A", "t", missing},
      {"double slash only stops brackets", "[A]\n// a = b\n", "A", "// a", "b"},
      {"commented header ignored", "[A]\n//[B]\nx=1\n", "A", "x", "1"},
      {"semicolon is an ordinary byte", "[A]\n;x=1\n", "A", ";x", "1"},
      {"header name as written", "[ A ]\nx=1\n", " A ", "x", "1"},
      {"header name not trimmed", "[ A ]\nx=1\n", "A", "x", missing},
      {"bracket inside header", "[[A]\nx=1\n", "[A", "x", "1"},
      {"names fold a-z", "[Job_1]\nJobName=Foo\n", "JOB_1", "jobname", "Foo"},
      {"values keep case and bytes", "[A]\np=/home/\xc3\xbc/\xc3\x84x\n", "A", "p",
       "/home/\xc3\xbc/\xc3\x84x"},
      {"cut at a zero byte, then trimmed", "[A]\nx= ab \0cd\n"s, "A", "x", "ab"},
  };
  for (const auto& c : cases) {
    for (const bool byte_by_byte : {false, true}) {
      const TKelIni ini = Parsed(c.text, byte_by_byte);
      EXPECT_EQ(ini.ReadString(ini.FindSection(c.section), c.key, missing), c.expected)
          << c.name << " " << byte_by_byte;
    }
  }
}

TEST(KelIniParse, MergedSectionsAndLookups) {
  const TKelIni ini = Parsed("[Job_1]\r\nA=1\r\n[Other]\r\nB=2\r\n[JOB_1]\r\nC=3\r\nA=4\r\n");
  EXPECT_EQ(ini.SectionCount(), 2);
  const int job = ini.FindSection("job_1");
  ASSERT_GE(job, 0);
  EXPECT_EQ(ini.ReadString(job, "C", ""), "3");
  const std::string a = ini.ReadString(job, "a", "");
  EXPECT_TRUE(a == "1" || a == "4") << a;
  EXPECT_EQ(ini.ReadString(job, "B", "none"), "none");
  EXPECT_EQ(ini.FindSection("JobSection"), -1);
  for (const int out_of_range : {2, 5, -1}) EXPECT_EQ(ini.ReadString(out_of_range, "A", "d"), "d");
  EXPECT_EQ(Parsed("").FindSection("A"), -1);
}

// Text that is not wholly a number in range gives the default.
TEST(KelIniRead, Numbers) {
  const auto integer = [](std::string_view text) {
    return Parsed("[A]\nn=" + std::string(text) + "\n").ReadInteger(0, "n", -99);
  };
  std::string read;
  for (const char* text :
       {"12", "-5", "+7", "0x1F", "0X1f", "$10", "-$10", "$FFFFFFFF", "2147483647", "-2147483648"})
    read += std::to_string(integer(text)) + " ";
  EXPECT_EQ(read, "12 -5 7 31 31 16 -16 -1 2147483647 -2147483648 ");
  for (const char* bad : {"2147483648", "12abc", "0x", "$", "", "-", "1 2", "$100000000"})
    EXPECT_EQ(integer(bad), -99) << bad;
  EXPECT_EQ(Parsed("[A]\n").ReadInteger(0, "n", 42), 42);

  const auto real = [](std::string_view text) {
    return Parsed("[A]\nf=" + std::string(text) + "\n").ReadFloat(0, "f", -1);
  };
  const std::pair<const char*, double> floats[] = {
      {"38000.5", 38000.5}, {"1E-5", 1e-5}, {"-1.5e3", -1500}, {"+2", 2}, {".5", 0.5}, {"7.", 7}};
  for (const auto& [text, expected] : floats) EXPECT_DOUBLE_EQ(real(text), expected) << text;
  for (const char* bad : {"1,5", "", "abc", "inf", "nan", "1e", "1.5x", "-", "1e999"})
    EXPECT_EQ(real(bad), -1) << bad;
}

TEST(KelIniWrite, GeneralNumberFormat) {
  std::string texts;
  for (const double value : {38000.5, 1e-5, 1.5e-7, 0.0001, 1e15, 123456789012345.0, -2.5, 0.0,
                             1.0 / 3, 46000.123456789, 2.0 / 3 * 1e20})
    texts += FloatToText(value) + " ";
  EXPECT_EQ(texts,
            "38000.5 1E-5 1.5E-7 0.0001 1E15 123456789012345 -2.5 0 0.333333333333333 "
            "46000.123456789 6.66666666666667E19 ");
}

// A float written and read back is written again with the same text, so a second save of the
// settings file is byte-for-byte the first.
TEST(KelIniWrite, FloatTextIsStableAcrossReadAndWrite) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> days(-1000, 80000);
  for (int i = 0; i < 2000; ++i) {
    const double value = i % 2 ? days(random) : std::ldexp(days(random), -40);
    const std::string text = FloatToText(value);
    const double back = Parsed("[A]\nf=" + text + "\n").ReadFloat(0, "f", NAN);
    ASSERT_EQ(FloatToText(back), text) << value;
    ASSERT_LE(std::fabs(back - value), std::fabs(value) * 1e-14) << text;
  }
}

TEST(KelIniWrite, CommaLocale) {
  test::ScopedCommaLocale comma;
  if (!comma.ok()) GTEST_SKIP() << "cannot build a comma locale here";
  EXPECT_EQ(FloatToText(38000.5), "38000,5");
  EXPECT_EQ(FloatToText(1.5e-7), "1,5E-7");
  const TKelIni ini = Parsed("[A]\na=38000,5\nb=38000.5\n");
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
    TKelIni ini = Parsed("[A]\nx=1\n");
    EXPECT_EQ(ini.LoadFromFile(path), error) << path;
    EXPECT_EQ(ini.SectionCount(), 0) << path;
    EXPECT_EQ(ini.ReadString(ini.FindSection("A"), "x", "def"), "def");
  }
}

TEST(KelIniFile, FailedSaveKeepsTheOldFileAndSaysSo) {
  test::TempDir dir;
  TKelIni big;
  big.WriteString(big.AddSection("A"), "x", std::string(100000, 'v'));
  // A write that fails half-way (the file-size limit stands in for a full disk).
  const std::string path = dir / "keep.ini";
  test::WriteFile(path, "[A]\r\nx=old\r\n");
  const std::string error = test::RunInChild([&] {
    if (!test::CapFileSize(4096)) return std::string("setrlimit failed");
    return std::to_string(big.SaveToFile(path));
  });
  EXPECT_EQ(error, std::to_string(EFBIG));
  EXPECT_EQ(test::ReadFile(path), "[A]\r\nx=old\r\n");
  EXPECT_EQ(test::ListNames(dir.path()), (Names{"keep.ini"})) << "a temporary file was left behind";
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
