#include "tags/insertion.h"

#include <gtest/gtest.h>

#include "marks.h"
#include "tags/colorise.h"
#include "tags/titles.h"
#include "tags/vocabulary.h"

namespace scrivle {
namespace {

using test::marks;

class TagCommandTest : public ::testing::Test {
 protected:
  int run(std::string_view action) { return runTagCommand(m, action, colour, p); }
  TextModel m;
  TParametre p = test::tagSettings();
  bool colour = true;
};

TEST_F(TagCommandTest, CharacterTagsWrapTheSelection) {
  m.load("a mot b");
  m.setSel(2, 3);
  EXPECT_EQ(run("Taille1Action"), 4);
  EXPECT_EQ(m.text(), "a #1mot#2 b");
  EXPECT_EQ(marks(m), "..bb...bb..");
  EXPECT_EQ(m.selectedText(), "mot");
  // Applied twice, tags nest.
  EXPECT_EQ(run("SoulignAction"), 4);
  EXPECT_EQ(run("SoulignAction"), 4);
  EXPECT_EQ(m.text(), "a #1#U#Umot#U#U#2 b");
  EXPECT_EQ(m.selectedText(), "mot");
  EXPECT_EQ(run("Taille2Action"), 2);
  EXPECT_EQ(run("WrapAction"), 4);
  EXPECT_EQ(m.text(), "a #1#U#U#2#Wmot#W#U#U#2 b");

  // Nothing selected, at the end of the text: the caret lands between the tags.
  m.load("x");
  m.setSel(1, 0);
  EXPECT_EQ(run("ExposantAction"), 4);
  EXPECT_EQ(m.text(), "x#E#E");
  EXPECT_EQ(m.caret(), 3);
  EXPECT_EQ(run("Taille2Action"), 2);
  EXPECT_EQ(run("WrapAction"), 2);
  EXPECT_EQ(m.text(), "x#E#2#W#E");
  // One undo step per command.
  EXPECT_TRUE(m.undo());
  EXPECT_EQ(m.text(), "x#E#2#E");

  p.InserModDiese = kTrue;
  colour = false;
  m.load("");
  EXPECT_EQ(run("Taille3Action"), 2);
  EXPECT_EQ(m.text(), "#3");
  EXPECT_EQ(marks(m), "..");
}

TEST_F(TagCommandTest, ParagraphTagsReplaceOrToggle) {
  m.load("un\r\ndeux trois");
  m.setSel(9, 2);
  EXPECT_EQ(run("CentrAction"), 2);
  EXPECT_EQ(m.text(), "un\r\n&Cdeux trois");
  EXPECT_EQ(m.selStart(), 11);
  EXPECT_EQ(m.selLength(), 2);
  EXPECT_EQ(run("AlignDroiteAction"), 0);
  EXPECT_EQ(run("AlignDroiteAction"), 0);
  EXPECT_EQ(m.text(), "un\r\n&Rdeux trois");
  EXPECT_EQ(marks(m), "....rr..........");
  p.InserModEt = kTrue;
  EXPECT_EQ(run("AlignDroiteAction"), -2);
  EXPECT_EQ(m.text(), "un\r\ndeux trois");
  // A separator gets a line of its own, replacing the tag there.
  run("CentrAction");
  EXPECT_EQ(run("SeparDoubleAction"), 2);
  EXPECT_EQ(m.text(), "un\r\n&=\r\ndeux trois");
  // First paragraph; bookmark paragraph.
  m.load("\fa");
  m.setSel(2, 0);
  EXPECT_EQ(run("Marge0Action"), 2);
  EXPECT_EQ(m.text(), "\f&\\a");
  // Caret at the very start: the selection stays in its paragraph when a tag goes.
  m.load("x\r\n&Ly");
  m.setSel(3, 0);
  EXPECT_EQ(run("AlignGaucheAction"), -2);
  EXPECT_EQ(m.text(), "x\r\ny");
  EXPECT_EQ(m.caret(), 3);
  // Empty last line.
  m.load("x\r\n");
  m.setSel(3, 0);
  EXPECT_EQ(run("Marge30Action"), 2);
  EXPECT_EQ(m.text(), "x\r\n&.");
}

TEST_F(TagCommandTest, ParagraphStartSkipsWrappedLines) {
  m.load("ab\r\nun deux trois quatre cinq six");
  m.setWrapColumns(8);
  const Pos caret = m.length() - 2;
  ASSERT_GT(m.lineFromPos(caret), 2);
  m.setSel(caret, 0);
  EXPECT_EQ(InserBook(m, colour, p), 1);
  EXPECT_EQ(m.text(), "ab\r\n\fun deux trois quatre cinq six");
  EXPECT_EQ(m.styleAt(4).colour, clAqua);
  EXPECT_EQ(m.caret(), caret + 1);
  EXPECT_EQ(run("InsrerimageAction"), 2);
  EXPECT_EQ(m.text(), "ab\r\n\f&Pun deux trois quatre cinq six");
  EXPECT_EQ(InserBook(m, colour, p), -1);
  EXPECT_EQ(InserBook(m, colour, p), 1);
  EXPECT_EQ(m.text(), "ab\r\n\f&Pun deux trois quatre cinq six");

  m.setReadOnly(true);
  EXPECT_EQ(InserBook(m, colour, p), 0);
  EXPECT_EQ(run("Taille1Action"), 0);
  EXPECT_EQ(m.text(), "ab\r\n\f&Pun deux trois quatre cinq six");
}

TEST_F(TagCommandTest, TitlesWrapTheSelection) {
  TMenuPerso t2;
  t2.texte = "&L#3\x7f #U#U#2\r\n";
  t2.Curseur = 8;
  m.load("Le Titre");
  m.setSel(3, 5);
  EXPECT_EQ(InserMenu(m, t2, colour, p), 14);
  EXPECT_EQ(m.text(), "Le &L#3\x7f #UTitre#U#2\r\n");
  EXPECT_EQ(m.selectedText(), "Titre");
  EXPECT_EQ(marks(m), "...rrbb..bb.....bbbb..");
  EXPECT_TRUE(m.undo());
  EXPECT_EQ(m.text(), "Le Titre");

  TMenuPerso t1;
  t1.texte = "#W\r\n&=\r\n&C#3\r\n\r\n&L#2\r\n&=\r\n\r\n";
  t1.Curseur = 14;
  m.load("");
  EXPECT_EQ(InserMenu(m, t1, colour, p), 28);
  EXPECT_EQ(m.caret(), 14);
  EXPECT_EQ(marks(m).substr(0, 2), "bb");

  // The title breaks "#U" at the caret, and a Curseur past its end puts the caret after it.
  TMenuPerso odd;
  odd.texte = "ab";
  odd.Curseur = 99;
  m.load("#U");
  colorise(m, 1, 2, true, p);
  m.setSel(1, 0);
  EXPECT_EQ(InserMenu(m, odd, colour, p), 2);
  EXPECT_EQ(m.text(), "#abU");
  EXPECT_EQ(marks(m), "....");
  EXPECT_EQ(m.caret(), 3);
  odd.Curseur = -4;
  m.setSel(0, 1);
  InserMenu(m, odd, colour, p);
  EXPECT_EQ(m.text(), "#ababU");  // the selected "#" first, then the title
  EXPECT_EQ(m.selStart(), 0);
  EXPECT_EQ(m.selLength(), 1);

  // A title ending in "#" completes the tag after it.
  TMenuPerso intro;
  intro.texte = "#";
  m.load("U");
  EXPECT_EQ(InserMenu(m, intro, colour, p), 1);
  EXPECT_EQ(marks(m), "bb");

  EXPECT_FALSE(titleInserts(m, TMenuPerso{}));
  EXPECT_EQ(InserMenu(m, TMenuPerso{}, colour, p), 0);
  EXPECT_EQ(m.text(), "#U");
}

}  // namespace
}  // namespace scrivle
