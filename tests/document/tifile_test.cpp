#include "document/tifile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "support/temp_files.h"

namespace fs = std::filesystem;
using namespace scrivle;

namespace {

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) {
    out.push_back(static_cast<char>(v));
  }
  return out;
}

using test::slurp;

unsigned be16(const std::string& f, std::size_t at) {
  return static_cast<unsigned char>(f[at]) * 256U + static_cast<unsigned char>(f[at + 1]);
}

unsigned le16(const std::string& f, std::size_t at) {
  return static_cast<unsigned char>(f[at]) + static_cast<unsigned char>(f[at + 1]) * 256U;
}

std::uint32_t le32(const std::string& f, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) {
    v = (v << 8) | static_cast<unsigned char>(f[at + static_cast<std::size_t>(i)]);
  }
  return v;
}

// What a correct writer must hold for any file: lengths, V and checksum agree.
void expectConsistent(const std::string& f) {
  ASSERT_GE(f.size(), 95U);
  EXPECT_EQ(le32(f, 76), f.size());
  EXPECT_EQ(be16(f, 86) + 90, f.size());
  EXPECT_EQ(f.substr(f.size() - 4, 2), bytes({0x00, 0xE0}));
  unsigned sum = 0;
  for (std::size_t i = 86; i + 2 < f.size(); ++i) {
    sum += static_cast<unsigned char>(f[i]);
  }
  EXPECT_EQ(le16(f, f.size() - 2), sum & 0xFFFFU);
}

std::string write92(std::string_view text) {
  return writeTiText("t.92t", "main", "nouveau", text);
}

}  // namespace

TEST(TiFile, EmptyDocumentIsTheFullHeaderAnd95Bytes) {
  const std::string f = write92("");
  ASSERT_EQ(f.size(), 95U);
  std::string header = "**TI92**" + bytes({1, 0}) + "main" + std::string(4, '\0') +
                       std::string(40, '\0') + bytes({1, 0, 0x52, 0, 0, 0}) + "nouveau" +
                       bytes({0, 0x0B, 0, 0, 0, 0x5F, 0, 0, 0, 0xA5, 0x5A, 0, 0, 0, 0});
  EXPECT_EQ(f.substr(0, 86), header);
  EXPECT_EQ(f.substr(86), bytes({0x00, 0x05, 0x00, 0x01, 0x20, 0x00, 0xE0, 0x06, 0x01}));

  const TiText back = readTiText(f);
  EXPECT_EQ(back.text, "");
  EXPECT_EQ(back.size, 7);
  EXPECT_EQ(back.folder, std::string("main\0\0\0\0", 8));
  EXPECT_EQ(back.name, std::string("nouveau\0", 8));
}

TEST(TiFile, ByteExamples) {
  const std::string abc = write92("abc");
  ASSERT_EQ(abc.size(), 98U);
  EXPECT_EQ(abc.substr(86),
            bytes({0x00, 0x08, 0x00, 0x01, 0x20, 0x61, 0x62, 0x63, 0x00, 0xE0, 0x2F, 0x02}));
  EXPECT_EQ(abc.substr(76, 4), bytes({0x62, 0, 0, 0}));

  const std::string abcd = write92("ab\r\ncd");
  EXPECT_EQ(abcd.substr(90, abcd.size() - 92),
            bytes({0x20, 0x61, 0x62, 0x0D, 0x20, 0x63, 0x64, 0x00, 0xE0}));
  EXPECT_EQ(be16(abcd, 86), 11U);
  EXPECT_EQ(abcd.substr(abcd.size() - 2), bytes({0xC3, 0x02}));
  EXPECT_EQ(readTiText(abcd).text, "ab\r\ncd");

  const std::string bookmark = write92(
      "ab\r\n\x0C"
      "cd");
  EXPECT_EQ(bookmark.substr(90, 7), bytes({0x20, 0x61, 0x62, 0x0D, 0x0C, 0x63, 0x64}));
  EXPECT_EQ(be16(bookmark, 86), 11U);
  EXPECT_EQ(bookmark.substr(bookmark.size() - 2), bytes({0xAF, 0x02}));
  EXPECT_EQ(readTiText(bookmark).text,
            "ab\r\n\x0C"
            "cd");

  const std::string ffFirst = write92(
      "\x0C"
      "ab");
  EXPECT_EQ(ffFirst.substr(90, 3), bytes({0x0C, 0x61, 0x62}));
  EXPECT_EQ(be16(ffFirst, 86), 7U);
  EXPECT_EQ(readTiText(ffFirst).text,
            "\x0C"
            "ab");

  const std::string trailing = write92("abc\r\n");
  EXPECT_EQ(trailing.substr(trailing.size() - 7, 5), bytes({0x63, 0x0D, 0x20, 0x00, 0xE0}));
  EXPECT_EQ(be16(trailing, 86), 10U);
  EXPECT_EQ(readTiText(trailing).text, "abc\r\n");
  EXPECT_EQ(readTiText(trailing).size, 12);

  // A LF that is not part of a line break becomes a space; a CR LF before a bookmark
  // drops the LF only when the CR was really written just before.
  EXPECT_EQ(write92("a\nb").substr(90, 4), bytes({0x20, 0x61, 0x20, 0x62}));
  EXPECT_EQ(write92("\x0C\n\x0C").substr(90, 3), bytes({0x0C, 0x20, 0x0C}));
  EXPECT_EQ(write92("\r\n").substr(90, 3), bytes({0x20, 0x0D, 0x20}));

  for (const std::string& f : {abc, abcd, bookmark, ffFirst, trailing}) {
    expectConsistent(f);
  }
}

TEST(TiFile, SignatureFollowsTheExtensionInAnyCase) {
  EXPECT_EQ(writeTiText("a.89t", "", "", "").substr(0, 8), "**TI89**");
  EXPECT_EQ(writeTiText("a.92T", "", "", "").substr(0, 8), "**TI92**");
  EXPECT_EQ(writeTiText("a.9xt", "", "", "").substr(0, 8), "**TI92P*");
  EXPECT_EQ(writeTiText("dir.89t/a.9XT", "", "", "").substr(0, 8), "**TI92P*");

  EXPECT_TRUE(isCalcExtension("essai.89T"));
  EXPECT_TRUE(isCalcExtension("/x/essai.9Xt"));
  EXPECT_TRUE(isCalcExtension("essai.92t"));
  EXPECT_FALSE(isCalcExtension("essai.txt"));
  EXPECT_FALSE(isCalcExtension("89t"));
  EXPECT_FALSE(isCalcExtension("essai.89t.tmp"));
  EXPECT_FALSE(isCalcExtension(""));
}

TEST(TiFile, NamesArePaddedCutAndKeptByteForByte) {
  const std::string f = writeTiText("a.9xt", "abcdefghijk", "x", "");
  EXPECT_EQ(f.substr(10, 8), "abcdefgh");
  EXPECT_EQ(f.substr(64, 8), std::string("x\0\0\0\0\0\0\0", 8));

  // A name read from a file keeps whatever follows its first zero byte.
  const std::string raw("ab\0cd\0\0\x01", 8);
  const TiText back = readTiText(writeTiText("a.9xt", raw, raw, "z"));
  EXPECT_EQ(back.folder, raw);
  EXPECT_EQ(back.name, raw);
  EXPECT_EQ(nameForBox(back.name), "ab");
  EXPECT_EQ(nameForBox("nouveau"), "nouveau");
  EXPECT_EQ(nameForBox(std::string(8, '\0')), "");
}

TEST(TiFile, ReaderTakesOnlyWhatItNeeds) {
  std::string f = write92("ab\r\ncd");
  // Signature, type, checksum, file-length field and cursor are not looked at.
  f.replace(0, 8, "garbage!");
  f[72] = 0x0C;
  f[76] = 0x7F;
  f[88] = 0x12;
  f[f.size() - 1] ^= 0x55;
  // A first-line marker other than space or form feed is dropped; a CR followed by
  // another marker (a command line 'C') is read as it stands, without a LF.
  f[90] = 'P';
  f[94] = 'C';
  const TiText t = readTiText(f);
  EXPECT_EQ(t.text, "ab\rCcd");
  EXPECT_EQ(t.size, 13);
}

TEST(TiFile, RefusesFilesWhoseSizesCannotHoldTheirText) {
  const std::string good = write92("hello\r\nworld");
  EXPECT_NO_THROW(readTiText(good));
  EXPECT_THROW(readTiText(""), TiFormatError);
  EXPECT_THROW(readTiText(good.substr(0, 94)), TiFormatError);
  EXPECT_THROW(readTiText(good.substr(0, good.size() - 1)), TiFormatError);
  EXPECT_THROW(readTiText(good + '\0'), TiFormatError);
  std::string wrongV = good;
  wrongV[87] = static_cast<char>(wrongV[87] + 1);
  EXPECT_THROW(readTiText(wrongV), TiFormatError);
  wrongV[86] = static_cast<char>(0xFF);
  EXPECT_THROW(readTiText(wrongV), TiFormatError);
  // The error is a ScrivleError, so the command dispatcher can show it.
  EXPECT_THROW(readTiText("x"), ScrivleError);
}

TEST(TiFile, LimitIs65530ConvertedBytes) {
  const std::string max(kTiMaxTextBytes, 'a');
  const std::string f = write92(max);
  EXPECT_EQ(f.size(), 65625U);
  EXPECT_EQ(be16(f, 86), 65535U);
  expectConsistent(f);
  EXPECT_EQ(readTiText(f).text, max);

  EXPECT_THROW(write92(max + "a"), TiTooLongError);
  try {
    write92(max + "a");
  } catch (const ScrivleError& e) {
    EXPECT_NE(std::string(e.what()).find("65531"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("65530"), std::string::npos) << e.what();
  }
  // The converted length counts, not the editor's: a line break before a bookmark takes
  // one byte, and a leading form feed none.
  EXPECT_NO_THROW(write92(std::string(65528, 'a') + "\r\n\x0C"));
  EXPECT_NO_THROW(write92("\x0C" + max));
  EXPECT_THROW(write92(std::string(65529, 'a') + "\r\n"), TiTooLongError);
}

TEST(TiFile, EmptyTemplate) {
  const std::string t = emptyTemplate();
  ASSERT_EQ(t.size(), 96U);
  EXPECT_EQ(t.substr(0, 18), "**TI92**" + bytes({1, 0}) + "main" + std::string(4, '\0'));
  const std::string comment = t.substr(18, 40);
  EXPECT_EQ(comment.find('\0'), std::string::npos) << "40 characters, no terminator";
  EXPECT_EQ(t.substr(58),
            bytes({1, 0, 0x52, 0, 0, 0}) + "nouveau" +
                bytes({0, 0x0B, 0,    0xFF, 0,    0x60, 0,    0,    0,    0xA5, 0x5A, 0,   0,
                       0, 0,    0x00, 0x06, 0x00, 0x01, 0x20, 0x00, 0x00, 0xE0, 0x07, 0x01}));
  expectConsistent(t);
  const TiText read = readTiText(t);
  EXPECT_EQ(read.text, std::string(1, '\0'));
  EXPECT_EQ(read.size, 8);
}

// Texts built from pieces that survive a round trip (a lone CR is followed by a line
// marker letter, LF only in CR LF) come back unchanged, and every file is consistent.
TEST(TiFile, RandomTextsRoundTrip) {
  std::mt19937 rng(1234);
  const std::vector<std::string> pieces = {"a",    "b",    " ",        std::string(1, '\0'),
                                           "\xE0", "\xFF", "\r\n",     "\r\n\x0C",
                                           "\x0C", "\rC",  "\x0D\x0A "};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const int count = std::uniform_int_distribution<int>(0, 40)(rng);
    for (int i = 0; i < count; ++i) {
      text += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(rng)];
    }
    const std::string f = writeTiText("r.89t", "f", "n", text);
    expectConsistent(f);
    const TiText back = readTiText(f);
    ASSERT_EQ(back.text, text) << "round " << round;
    EXPECT_EQ(back.size, static_cast<std::int32_t>(f.size()) - 88);
  }
}

// Any body a file may hold, not only the ones this program writes: CRs in a row, a CR
// as the last byte, a CR before a bookmark or a space. Only the byte after a CR changes.
TEST(TiFile, ReaderTurnsEveryCrFollowerAsTheFormatSays) {
  std::mt19937 rng(99);
  const std::string alphabet = {'\r', '\r', '\x0C', ' ', 'a', '\n', '\0'};
  const std::string frame = write92("");
  for (int round = 0; round < 500; ++round) {
    std::string body;  // the marker first, then the text bytes
    const int count = std::uniform_int_distribution<int>(0, 30)(rng);
    for (int i = 0; i <= count; ++i) {
      body += alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(rng)];
    }
    std::string f = frame.substr(0, 90) + body + std::string("\x00\xE0", 2) + "cs";
    const std::size_t v = f.size() - 90;
    f[86] = static_cast<char>(v >> 8);
    f[87] = static_cast<char>(v & 0xFF);
    std::string expected = body[0] == '\x0C' ? "\x0C" : "";
    for (std::size_t i = 1; i < body.size(); ++i) {
      if (body[i - 1] == '\r' && body[i] == '\x0C') {
        expected += "\n\x0C";
      } else if (body[i - 1] == '\r' && body[i] == ' ') {
        expected += '\n';
      } else {
        expected += body[i];
      }
    }
    ASSERT_EQ(readTiText(f).text, expected) << "round " << round;
  }
}

TEST(TiFile, DamagedInputNeverCrashes) {
  std::mt19937 rng(99);
  const std::string good = slurp(fs::path(SCRIVLE_CORPUS_DIR) / "ti-text" / "cours_optique.9xt");
  ASSERT_FALSE(good.empty());
  int read = 0;
  int refused = 0;
  const auto attempt = [&](const std::string& f) {
    try {
      const TiText t = readTiText(f);
      EXPECT_LE(t.text.size(), 2 * f.size());
      ++read;
    } catch (const TiFormatError&) {
      ++refused;
    }
  };
  for (std::size_t len = 0; len <= 200; ++len) {
    attempt(good.substr(0, len));
  }
  for (int round = 0; round < 2000; ++round) {
    std::string f(std::uniform_int_distribution<std::size_t>(0, 400)(rng), '\0');
    for (char& c : f) {
      c = static_cast<char>(rng());
    }
    if (round % 2 == 0 && f.size() >= 95) {
      // Make the size word agree so that the text loop runs over random bytes.
      f[86] = static_cast<char>((f.size() - 90) >> 8);
      f[87] = static_cast<char>((f.size() - 90) & 0xFF);
    }
    attempt(f);
  }
  std::string mutated = good;
  for (int round = 0; round < 500; ++round) {
    mutated[std::uniform_int_distribution<std::size_t>(0, mutated.size() - 1)(rng)] =
        static_cast<char>(rng());
    attempt(mutated);
  }
  EXPECT_GT(read, 0);
  EXPECT_GT(refused, 0);
}

// Every real file opens, and writing its text back under the same names gives the same
// variable bytes, except for what the editor cannot keep: the cursor (always 0x00 0x01
// here), a first-line marker other than space or form feed, and a lone 0x0A.
TEST(TiFile, CorpusFilesOpenAndWriteBack) {
  int files = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(SCRIVLE_CORPUS_DIR) / "ti-text")) {
    const fs::path& path = entry.path();
    if (!isCalcExtension(path)) {
      continue;
    }
    SCOPED_TRACE(path.filename().string());
    ++files;
    const std::string original = slurp(path);
    const TiText t = readTiText(original);
    EXPECT_EQ(t.size, static_cast<std::int32_t>(be16(original, 86) + 2));
    EXPECT_EQ(t.folder, original.substr(10, 8));
    EXPECT_EQ(t.name, original.substr(64, 8));

    const std::string written = writeTiText(path.filename(), t.folder, t.name, t.text);
    expectConsistent(written);
    EXPECT_EQ(written.substr(0, 8), original.substr(0, 8));
    EXPECT_EQ(written.substr(10, 8), original.substr(10, 8));
    EXPECT_EQ(written.substr(64, 8), original.substr(64, 8));

    std::string expected = original.substr(86, original.size() - 88);
    expected[2] = 0x00;
    expected[3] = 0x01;
    if (expected[4] != 0x20 && expected[4] != 0x0C) {
      expected[4] = 0x20;
    }
    for (std::size_t i = 5; i < expected.size(); ++i) {
      if (expected[i] == 0x0A) {
        expected[i] = 0x20;
      }
    }
    EXPECT_EQ(written.substr(86, written.size() - 88), expected);

    const TiText again = readTiText(written);
    EXPECT_EQ(again.folder, t.folder);
    EXPECT_EQ(again.name, t.name);
    EXPECT_EQ(again.size, t.size);
  }
  EXPECT_EQ(files, 15);
}
