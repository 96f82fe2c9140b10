// The compressed variable: blocks checked byte for byte, and an independent decoder (the
// calculator's side of the format) proving that what is written expands back.
#include "compress/zip.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <stdexcept>

#include "document/tifile.h"
#include "fuzz/zip_block_decoder.h"
#include "support/fake_dialogs.h"
#include "support/temp_files.h"

namespace scrivle {
namespace {

namespace fs = std::filesystem;
using test::FakeDialogs;

unsigned byteAt(std::string_view s, std::size_t i) {
  return static_cast<unsigned char>(s.at(i));
}
unsigned be16(std::string_view s, std::size_t i) {
  return (byteAt(s, i) << 8) | byteAt(s, i + 1);
}

std::string bytes(std::initializer_list<unsigned> values) {
  std::string s;
  for (const unsigned v : values) {
    s.push_back(static_cast<char>(v));
  }
  return s;
}

std::string zipBlock(std::string_view body) {
  std::string block;
  ZipBody(body, block);
  return block;
}

std::string decodeBlock(std::string_view block) {
  return fuzz::decodeZipBlock(block);
}

// Every field of a compressed file against its source; the body must decode back whole.
void expectConsistentZip(std::string_view source, std::string_view zipped) {
  ASSERT_GE(zipped.size(), 98U);
  EXPECT_EQ(zipped.substr(0, 72), source.substr(0, 72));
  EXPECT_EQ(byteAt(zipped, 72), 0x1CU);
  EXPECT_EQ(zipped.substr(73, 3), source.substr(73, 3));
  EXPECT_EQ(zipped.substr(80, 6), source.substr(80, 6));
  const std::size_t fileSize = byteAt(zipped, 76) | (byteAt(zipped, 77) << 8) |
                               (byteAt(zipped, 78) << 16) | (byteAt(zipped, 79) << 24);
  EXPECT_EQ(fileSize, zipped.size());
  EXPECT_EQ(be16(zipped, 86), zipped.size() - 90);
  EXPECT_EQ(zipped.substr(88, 2), bytes({0x07, 0xFF}));
  EXPECT_EQ(zipped.substr(zipped.size() - 8, 6), bytes({0x00, 'Z', 'I', 'P', 0x00, 0xF8}));
  unsigned sum = 0;
  for (std::size_t i = 86; i + 2 < zipped.size(); ++i) {
    sum += byteAt(zipped, i);
  }
  EXPECT_EQ(byteAt(zipped, zipped.size() - 2) | (byteAt(zipped, zipped.size() - 1) << 8),
            sum & 0xFFFFU);
  const std::string_view block = zipped.substr(90, zipped.size() - 98);
  EXPECT_EQ(decodeBlock(block), source.substr(88, source.size() - 90));
}

using test::slurp;
using test::spit;

TEST(ZipBody, BlocksByteForByte) {
  EXPECT_EQ(zipBlock("abc"), bytes({0x00, 0x01, 0x00, 0x03, 0x00, 0x0E, 0x00, 0x00, 0x00, 0x03,
                                    0x63, 0x61, 0x62, 0x05, 0x0D, 0x00}));
  EXPECT_EQ(zipBlock("abracadabra"),
            bytes({0x00, 0x01, 0x00, 0x05, 0x00, 0x11, 0x00, 0x00, 0x00, 0x0B,
                   0x61, 0x72, 0x62, 0x63, 0x64, 0x55, 0x00, 0x96, 0xF3, 0x16}));
  // The block is appended after what the output already holds.
  std::string out = "prefix";
  ZipBody("abc", out);
  EXPECT_EQ(out.substr(0, 6), "prefix");
  EXPECT_EQ(out.substr(6), zipBlock("abc"));
}

TEST(ZipBody, TiesGoToTheLowerSlotAndMergedNodesKeepTheirLeftSlot) {
  // '0' and '1' merge into slot 48, which then ties with 'A' (slot 65) and wins the
  // left branch: '0' = 00, '1' = 01, 'A' = 1.
  std::string block = zipBlock("A01A");
  EXPECT_EQ(block.substr(10, 3), "01A");
  EXPECT_EQ(byteAt(block, 13), 0x03U);  // shape 1 1 0 0 0
  EXPECT_EQ(decodeBlock(block), "A01A");
  // 'x' and 'y' merge into slot 120: 'A' (slot 65) now holds the lower slot.
  block = zipBlock("AxyA");
  EXPECT_EQ(block.substr(10, 3), "Axy");
  EXPECT_EQ(byteAt(block, 13), 0x05U);  // shape 1 0 1 0 0
  // 'z' (1) and 'b' (2) merge into slot 122, the lighter child's: 'c' and 'm' (3 each,
  // slots 99 and 109) then pair first, and the 'z'/'b' node goes left of them.
  block = zipBlock("zbbcccmmm");
  EXPECT_EQ(block.substr(10, 4), "zbcm");
  EXPECT_EQ(byteAt(block, 14), 0x13U);  // shape 1 1 0 0 1 0 0
  EXPECT_EQ(decodeBlock(block), "zbbcccmmm");
  // Four equal weights: pairs in slot order, the first pair on the left.
  block = zipBlock("dcba");
  EXPECT_EQ(block.substr(10, 4), "abcd");
  EXPECT_EQ(byteAt(block, 14), 0x13U);  // shape 1 1 0 0 1 0 0
  EXPECT_EQ(byteAt(block, 15), 0x27U);  // d=11 c=10 b=01 a=00, LSB first
}

TEST(ZipBody, RefusedBodiesLeaveTheOutputAlone) {
  std::string out = "kept";
  for (const std::string& body :
       {std::string(), std::string("aaaa"), std::string(kZipMaxBody + 1, 'x') + "y"}) {
    EXPECT_THROW(ZipBody(body, out), ZipRefused) << body.size();
    EXPECT_EQ(out, "kept");
  }
  // 64000 bytes of every value spread evenly: the codes are 8 bits, the block cannot fit.
  std::string flat(kZipMaxBody, '\0');
  for (std::size_t i = 0; i < flat.size(); ++i) {
    flat[i] = static_cast<char>(i * 7);
  }
  EXPECT_THROW(ZipBody(flat, out), ZipRefused);
  EXPECT_EQ(out, "kept");
  // The same bytes cut to 63000 fit, and 64000 bytes of text fit with N = 64000.
  EXPECT_EQ(decodeBlock(zipBlock(flat.substr(0, 63000))), flat.substr(0, 63000));
  std::string text;
  while (text.size() < kZipMaxBody) {
    text += "Une ligne de texte #Uavec#U des tags.\r ";
  }
  text.resize(kZipMaxBody);
  const std::string block = zipBlock(text);
  EXPECT_EQ(be16(block, 8), kZipMaxBody);
  EXPECT_EQ(decodeBlock(block), text);
}

TEST(ZipBody, RandomBodiesRoundTripOrAreRefusedForAReason) {
  std::mt19937 rng(20240611);
  int refused = 0;
  for (int i = 0; i < 3000; ++i) {
    // Small alphabets, skewed weights and a few bodies close to the limit.
    const std::size_t size = i % 500 == 0 ? 63000 + rng() % 1200 : rng() % 1200;
    const unsigned alphabet = 1 + rng() % 256;
    const unsigned skew = rng() % 4;
    std::string body(size, '\0');
    for (char& c : body) {
      unsigned v = rng() % alphabet;
      for (unsigned k = 0; k < skew; ++k) {
        v = std::min(v, static_cast<unsigned>(rng() % alphabet));
      }
      c = static_cast<char>(v * 37 + 11);
    }
    std::array<bool, 256> seen{};
    std::size_t distinct = 0;
    for (const char c : body) {
      distinct += seen[static_cast<unsigned char>(c)] ? 0 : 1;
      seen[static_cast<unsigned char>(c)] = true;
    }
    try {
      const std::string block = zipBlock(body);
      ASSERT_EQ(decodeBlock(block), body) << "body " << i;
    } catch (const ZipRefused&) {
      ++refused;
      // Huffman never does worse than 8 bits a byte: only bodies close to 64000 bytes
      // can overflow the block.
      ASSERT_TRUE(distinct < 2 || size > kZipMaxBody - 331) << "body " << i;
    }
  }
  EXPECT_LT(refused, 100);
}

TEST(ZipTiFile, CorpusFilesCompressOrAreRefused) {
  int compressed = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(SCRIVLE_CORPUS_DIR) / "ti-text")) {
    const std::string source = slurp(entry.path());
    SCOPED_TRACE(entry.path().filename().string());
    const std::string_view body = std::string_view(source).substr(88, source.size() - 90);
    try {
      expectConsistentZip(source, ZipTiFile(source));
      ++compressed;
    } catch (const ZipRefused&) {
      EXPECT_GT(body.size(), kZipMaxBody);
    }
  }
  EXPECT_GE(compressed, 10);

  // A saved text: the written file is exactly the block wrapped in its header.
  const std::string source =
      writeTiText("essai.89t", "main", "cours", "abracadabra\r\nabracadabra");
  const std::string zipped = ZipTiFile(source);
  expectConsistentZip(source, zipped);
  EXPECT_EQ(zipped.size(), 98 + zipBlock(source.substr(88, source.size() - 90)).size());
  EXPECT_THROW(ZipTiFile(source.substr(0, 89)), ZipRefused);
  // Exactly the header and checksum: an empty body, which has nothing to encode.
  EXPECT_THROW(ZipTiFile(source.substr(0, 90)), ZipRefused);
}

TEST(ZipStatistics, TwoDecimalsWithTheGivenSeparator) {
  EXPECT_EQ(zipStatistics(100, 75, ","),
            "Compression : 100 -> 75\r\n\r\nTaux de compression : 25,00 %");
  EXPECT_EQ(zipStatistics(3, 14, "."),
            "Compression : 3 -> 14\r\n\r\nTaux de compression : -366.67 %");
  EXPECT_EQ(zipStatistics(9, 9, ","), "Compression : 9 -> 9\r\n\r\nTaux de compression : 0,00 %");
}

class ZipFileTest : public ::testing::Test {
 protected:
  fs::path copyCorpus(const std::string& name, const std::string& as) {
    fs::path to = dir_ / as;
    fs::copy_file(fs::path(SCRIVLE_CORPUS_DIR) / "ti-text" / name, to);
    return to;
  }

  test::TempDir temp_;
  const fs::path dir_ = temp_.path();
  FakeDialogs dialogs_;
};

TEST_F(ZipFileTest, WritesBesideTheSourceReplacingAnOldOne) {
  const fs::path source = copyCorpus("cours_optique.9xt", "COURS.9XT");
  fs::permissions(source, fs::perms::owner_read | fs::perms::group_read);
  const std::string before = slurp(source);
  spit(dir_ / "COURS.9Xy", "an older compressed file");
  const std::string zipped = ZipTiFile(before);
  ASSERT_LT(zipped.size(), before.size());

  dialogs_.expectMessage();
  ZipFile(source, dialogs_, ",");
  EXPECT_EQ(slurp(dir_ / "COURS.9Xy"), zipped);
  EXPECT_EQ(slurp(source), before);
  const std::string shown = dialogs_.texts(FakeDialogs::Kind::Message).at(0);
  EXPECT_EQ(shown, zipStatistics(before.size() - 88, zipped.size() - 88, ","));
  EXPECT_NE(shown.find(','), std::string::npos);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

TEST_F(ZipFileTest, NotEffectiveAsksWhetherToDelete) {
  const std::string question =
      "La compression n'a pas été efficace. Voulez-vous effacer le fichier zippé ?";
  const fs::path source = copyCorpus("libtifiles_written_abc.89t", "abc.89t");
  const fs::path output = dir_ / "abc.89y";

  dialogs_.expectMessage();
  dialogs_.expectConfirm(Answer::No, question);
  ZipFile(source, dialogs_, ".");
  EXPECT_EQ(slurp(output), ZipTiFile(slurp(source)));
  EXPECT_NE(dialogs_.texts(FakeDialogs::Kind::Message).at(0).find("Taux de compression : -"),
            std::string::npos);
  // The statistics come before the question.
  EXPECT_EQ(dialogs_.shown().at(0).kind, FakeDialogs::Kind::Message);

  dialogs_.expectMessage();
  dialogs_.expectConfirm(Answer::Yes, question);
  ZipFile(source, dialogs_, ".");
  EXPECT_FALSE(fs::exists(output));
  EXPECT_TRUE(fs::exists(source));
}

TEST_F(ZipFileTest, RefusalsWriteNothing) {
  spit(dir_ / "notes.txt", slurp(fs::path(SCRIVLE_CORPUS_DIR) / "ti-text" / "vide.92t"));
  dialogs_.expectMessage("Vous devez enregistrer le texte au format TI !!!");
  ZipFile(dir_ / "notes.txt", dialogs_);

  spit(dir_ / "short.92t", std::string(89, 'x'));
  copyCorpus("taille_limite.9xt", "long.9xt");
  // A foreign file whose body repeats one byte value.
  spit(dir_ / "one.92t",
       writeTiText("one.92t", "main", "one", "").substr(0, 88) + std::string(40, ' ') + "\x40\x05");
  for (const char* name : {"short.92t", "long.9xt", "one.92t"}) {
    dialogs_.expectMessage();
    ZipFile(dir_ / name, dialogs_);
    EXPECT_FALSE(fs::exists(zipOutputPath(dir_ / name))) << name;
  }
  const auto texts = dialogs_.texts(FakeDialogs::Kind::Message);
  EXPECT_NE(texts.at(1).find("trop court"), std::string::npos);
  EXPECT_NE(texts.at(2).find("trop long"), std::string::npos);
  EXPECT_NE(texts.at(3).find("deux caractères différents"), std::string::npos);

  // A missing source is a file error for the dispatcher; nothing is created.
  EXPECT_THROW(ZipFile(dir_ / "absent.89t", dialogs_), ScrivleError);
  EXPECT_FALSE(fs::exists(dir_ / "absent.89y"));
}

TEST_F(ZipFileTest, OutputLinkedBackToTheSourceLeavesItIntact) {
  const fs::path source = copyCorpus("cours_optique.9xt", "lien.9xt");
  std::error_code ec;
  fs::create_symlink(source, dir_ / "lien.9xy", ec);
  if (ec) {
    // Windows grants symbolic links to administrators and developer mode only; Wine has
    // none at all.
    GTEST_SKIP() << "no symbolic links on this system: " << ec.message();
  }
  const std::string before = slurp(source);
  dialogs_.expectMessage();
  ZipFile(source, dialogs_);
  EXPECT_EQ(slurp(source), before);
}

}  // namespace
}  // namespace scrivle
