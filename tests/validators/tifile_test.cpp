// Files written by our calculator-text writer, read back by Debian's libtifiles.
#include <gtest/gtest.h>

// The headers use C99's restrict, which C++ spells __restrict.
#define restrict __restrict
#include <tilp2/tifiles.h>
#undef restrict

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "document/tifile.h"
#include "support/temp_files.h"

namespace fs = std::filesystem;
using namespace scrivle;

namespace {

class LibTiFiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { tifiles_library_init(); }
  static void TearDownTestSuite() { tifiles_library_exit(); }

  test::TempDir temp_;
  const fs::path dir_ = temp_.path();
};

using test::slurp;

struct Case {
  std::string label;
  std::string text;
};

std::vector<Case> texts() {
  std::string all;
  for (int i = 0; i < 256; ++i) {
    all.push_back(static_cast<char>(i));
    if (i % 16 == 15) {
      all += "\r\n";
    }
  }
  std::string large;
  while (large.size() < 65000) {
    large += "\x0C&C#3Chapitre\r\nUne ligne de texte ordinaire, #Uavec#U des tags.\r\n";
  }
  return {{"empty", ""},
          {"abc", "abc"},
          {"lines", "ab\r\ncd\r\n\r\nef\r\n"},
          {"formfeeds",
           "\x0C"
           "debut\r\n\x0C"
           "signet\r\ntexte\x0C"
           "milieu"},
          {"allbytes", all},
          {"large", large},
          {"limit", std::string(kTiMaxTextBytes, 'x')}};
}

CalcModel modelFor(const std::string& ext) {
  if (ext == ".89t") {
    return CALC_TI89;
  }
  return ext == ".92t" ? CALC_TI92 : CALC_TI92P;
}

}  // namespace

TEST_F(LibTiFiles, ReadsEveryFileWeWriteWithAGoodChecksum) {
  for (const Case& c : texts()) {
    for (const std::string ext : {".89t", ".92t", ".9xt"}) {
      SCOPED_TRACE(c.label + ext);
      const fs::path path = dir_ / (c.label + ext);
      const std::string bytes = writeTiText(path, "physique", "optique", c.text);
      std::ofstream(path, std::ios::binary) << bytes;

      FileContent* content = tifiles_content_create_regular(CALC_NONE);
      ASSERT_NE(content, nullptr);
      const int err = tifiles_file_read_regular(path.c_str(), content);
      EXPECT_EQ(err, 0);
      if (err == 0) {
        EXPECT_EQ(content->model, modelFor(ext));
        EXPECT_EQ(content->checksum, content->stored_checksum);
        ASSERT_EQ(content->num_entries, 1U);
        const VarEntry* entry = content->entries[0];
        EXPECT_STREQ(entry->folder, "physique");
        EXPECT_STREQ(entry->name, "optique");
        EXPECT_EQ(entry->type, 0x0B);
        // libtifiles counts the variable from its size word through the end pair.
        ASSERT_EQ(entry->size, bytes.size() - 88);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(entry->data), entry->size),
                  bytes.substr(86, bytes.size() - 88));
      }
      tifiles_content_delete_regular(content);
    }
  }
}

// libtifiles' own writer, given the text "abc", produced these files; ours must be the
// same byte for byte except the 40-byte comment, which libtifiles fills with a date.
TEST_F(LibTiFiles, OurAbcMatchesLibTiFilesOwnWriter) {
  for (const std::string ext : {".89t", ".92t", ".9xt"}) {
    SCOPED_TRACE(ext);
    std::string reference =
        slurp(fs::path(SCRIVLE_CORPUS_DIR) / "ti-text" / ("libtifiles_written_abc" + ext));
    ASSERT_EQ(reference.size(), 98U);
    std::string ours = writeTiText("abc" + ext, "main", "nouveau", "abc");
    ASSERT_EQ(ours.size(), 98U);
    EXPECT_EQ(ours.substr(18, 40), std::string(40, '\0'));
    reference.replace(18, 40, 40, '\0');
    EXPECT_EQ(ours, reference);
  }
}

TEST_F(LibTiFiles, ReadsTheNewFileTemplate) {
  const fs::path path = dir_ / "nouveau.92t";
  std::ofstream(path, std::ios::binary) << emptyTemplate();
  FileContent* content = tifiles_content_create_regular(CALC_NONE);
  ASSERT_EQ(tifiles_file_read_regular(path.c_str(), content), 0);
  EXPECT_EQ(content->model, CALC_TI92);
  EXPECT_EQ(content->checksum, content->stored_checksum);
  EXPECT_EQ(content->stored_checksum, 0x0107);
  EXPECT_STREQ(content->entries[0]->folder, "main");
  EXPECT_STREQ(content->entries[0]->name, "nouveau");
  EXPECT_EQ(content->entries[0]->type, 0x0B);
  tifiles_content_delete_regular(content);
}
