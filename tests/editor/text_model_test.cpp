#include "editor/text_model.h"
#include "calc/charset.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using scrivle::CharStyle;
using scrivle::Pos;
using scrivle::TextModel;
namespace charset = scrivle::charset;

namespace {

struct Line {
  Pos start;
  Pos end;  // without the CR LF
};

// Screen lines recomputed from scratch, the slow obvious way.
std::vector<Line> naiveLines(const std::string& t, int wrap) {
  std::vector<Line> out;
  const Pos n = static_cast<Pos>(t.size());
  Pos s = 0;
  for (;;) {
    Pos e = s;
    while (e < n && !(e + 1 < n && t[e] == '\r' && t[e + 1] == '\n')) {
      ++e;
    }
    Pos ls = s;
    while (wrap > 0 && e - ls > wrap) {
      Pos le = ls + wrap;
      for (Pos i = ls + wrap - 1; i >= ls; --i) {
        if (t[i] == ' ') {
          le = i + 1;
          break;
        }
      }
      out.push_back({ls, le});
      ls = le;
    }
    out.push_back({ls, e});
    if (e >= n) {
      break;
    }
    s = e + 2;
  }
  return out;
}

void checkLines(const TextModel& m, const std::string& ref, int wrap, std::mt19937& rng) {
  const auto lines = naiveLines(ref, wrap);
  ASSERT_EQ(m.lineCount(), static_cast<Pos>(lines.size())) << "wrap " << wrap;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ASSERT_EQ(m.lineStart(static_cast<Pos>(i)), lines[i].start) << "line " << i;
    ASSERT_EQ(m.lineLength(static_cast<Pos>(i)), lines[i].end - lines[i].start) << "line " << i;
  }
  // The line of a position: the last line starting at or before it.
  auto lineOf = [&](Pos p) {
    std::size_t lo = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].start <= p && (i == 0 || lines[i].start > lines[i - 1].start)) {
        lo = i;
      }
    }
    return static_cast<Pos>(lo);
  };
  const Pos n = static_cast<Pos>(ref.size());
  std::vector<Pos> probes{0, n};
  std::uniform_int_distribution<Pos> any(0, n);
  for (int i = 0; i < 40; ++i) {
    probes.push_back(any(rng));
  }
  for (Pos p : probes) {
    ASSERT_EQ(m.lineFromPos(p), lineOf(p)) << "pos " << p << " wrap " << wrap;
  }
  // Paragraphs are the lines of the unwrapped text.
  const auto paras = naiveLines(ref, 0);
  ASSERT_EQ(m.paragraphCount(), static_cast<Pos>(paras.size()));
  for (Pos p : probes) {
    Pos k = 0;
    while (k + 1 < static_cast<Pos>(paras.size()) && paras[k + 1].start <= p) {
      ++k;
    }
    ASSERT_EQ(m.paragraphOfPos(p), k);
    ASSERT_EQ(m.paragraphStart(k), paras[k].start);
  }
}

std::string randomBytes(std::mt19937& rng, int maxLen) {
  std::uniform_int_distribution<int> len(0, maxLen);
  std::uniform_int_distribution<int> kind(0, 9);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string s;
  const int n = len(rng);
  for (int i = 0; i < n; ++i) {
    switch (kind(rng)) {
      case 0:
        s += "\r\n";
        break;
      case 1:
        s += '\r';
        break;
      case 2:
        s += '\n';
        break;
      case 3:
        s += '\0';
        break;
      case 4:
        s += static_cast<char>(byte(rng));
        break;
      case 5:
      case 6:
        s += ' ';
        break;
      default:
        s += static_cast<char>('a' + byte(rng) % 26);
    }
  }
  return s;
}

}  // namespace

TEST(TextModel, AnyBytesLoadAndComeBackIdentical) {
  TextModel m;
  std::string all;
  for (int i = 0; i < 256; ++i) {
    all += static_cast<char>(i);
  }
  all += "\r\r\n\n\r";
  m.load(all);
  EXPECT_EQ(m.text(), all);
  EXPECT_EQ(m.length(), static_cast<Pos>(all.size()));
  // Only the one CR LF breaks the paragraph; lone CR and LF are ordinary bytes.
  EXPECT_EQ(m.paragraphCount(), 2);
  EXPECT_EQ(m.paragraphStart(1), 259);
  EXPECT_EQ(m.byteAt(-1), 0);
  EXPECT_EQ(m.byteAt(m.length()), 0);
  EXPECT_EQ(m.byteAt(255), 255);

  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    std::string bytes = randomBytes(rng, 3000);
    m.load(bytes);
    ASSERT_EQ(m.text(), bytes);
    ASSERT_EQ(m.text(-5, 1 << 30), bytes);
  }
}

TEST(TextModel, RandomEditsMatchAPlainString) {
  std::mt19937 rng(12345);
  TextModel m;
  int textEvents = 0;
  m.onTextChanged = [&](Pos, Pos, Pos) { ++textEvents; };
  for (int doc = 0; doc < 6; ++doc) {
    std::string ref = randomBytes(rng, doc % 2 == 0 ? 12000 : 300);
    if (doc == 3) {
      ref = std::string(9000, 'x');  // one long paragraph in one block
    }
    m.load(ref);
    m.setWrapColumns(doc % 3 == 0 ? 0 : 7 + doc);
    // History kept alongside: what undo must give back.
    std::vector<std::string> undoRef{};
    std::vector<std::string> redoRef{};
    std::uniform_int_distribution<int> op(0, 9);
    for (int i = 0; i < 600; ++i) {
      const Pos n = static_cast<Pos>(ref.size());
      std::uniform_int_distribution<Pos> pos(-3, n + 3);
      std::uniform_int_distribution<Pos> small(-2, 12);
      const int o = op(rng);
      if (o <= 4) {
        const Pos s = pos(rng);
        const Pos l = o == 4 ? pos(rng) : small(rng);
        const std::string ins = randomBytes(rng, o == 3 ? 0 : (o == 2 ? 2500 : 8));
        const Pos cs = std::clamp<Pos>(s, 0, n);
        const Pos cl = std::clamp<Pos>(l, 0, n - cs);
        if (cl == 0 && ins.empty()) {
          continue;
        }
        undoRef.push_back(ref);
        redoRef.clear();
        ref.replace(static_cast<std::size_t>(cs), static_cast<std::size_t>(cl), ins);
        m.replace(s, l, ins);
      } else if (o == 5 && !undoRef.empty()) {
        redoRef.push_back(ref);
        ref = undoRef.back();
        undoRef.pop_back();
        ASSERT_TRUE(m.undo());
      } else if (o == 6 && !redoRef.empty()) {
        undoRef.push_back(ref);
        ref = redoRef.back();
        redoRef.pop_back();
        ASSERT_TRUE(m.redo());
      } else if (o == 7) {
        m.setSel(pos(rng) * 3 - n, pos(rng) * 5 - 2 * n);
        ASSERT_LE(m.selStart() + m.selLength(), m.length());
        ASSERT_GE(m.selStart(), 0);
      } else if (o == 8) {
        m.setStyle(pos(rng), small(rng), CharStyle{0x0000FF, true});
      } else {
        const std::string ins = randomBytes(rng, 3);
        const Pos s = m.selStart();
        if (ins.empty() && m.selLength() == 0) {
          continue;
        }
        undoRef.push_back(ref);
        redoRef.clear();
        ref.replace(static_cast<std::size_t>(s), static_cast<std::size_t>(m.selLength()), ins);
        m.replaceSelection(ins);
      }
      ASSERT_EQ(m.length(), static_cast<Pos>(ref.size()));
      ASSERT_EQ(m.canUndo(), !undoRef.empty());
      ASSERT_EQ(m.canRedo(), !redoRef.empty());
      if (i % 50 == 0) {
        ASSERT_EQ(m.text(), ref);
        checkLines(m, ref, m.wrapColumns(), rng);
      }
    }
    ASSERT_EQ(m.text(), ref);
    for (int wrap : {0, 1, 5, 80}) {
      m.setWrapColumns(wrap);
      checkLines(m, ref, wrap, rng);
    }
  }
  EXPECT_GT(textEvents, 100);
}

TEST(TextModel, CrLfSplitAndJoinedByEdits) {
  TextModel m;
  m.load("ab\r\ncd");
  EXPECT_EQ(m.lineCount(), 2);
  EXPECT_EQ(m.lineFromPos(2), 0);  // CR and LF belong to the line they end
  EXPECT_EQ(m.lineFromPos(3), 0);
  EXPECT_EQ(m.lineFromPos(4), 1);
  m.replace(3, 0, "X");  // between CR and LF: no break any more
  EXPECT_EQ(m.text(), "ab\rX\ncd");
  EXPECT_EQ(m.lineCount(), 1);
  EXPECT_EQ(m.lineText(0), "ab\rX\ncd");
  m.undo();
  EXPECT_EQ(m.lineCount(), 2);
  m.replace(3, 1, "");  // delete the LF
  EXPECT_EQ(m.lineCount(), 1);
  m.replace(3, 0, "\n");  // and put it back: the pair joins again
  EXPECT_EQ(m.lineCount(), 2);
  EXPECT_EQ(m.lineText(1), "cd");
  m.load("a\r");
  m.replace(2, 0, "\nb");  // LF typed after a trailing CR
  EXPECT_EQ(m.lineCount(), 2);
  EXPECT_EQ(m.lineStart(1), 3);
  m.load("x\r\n");
  EXPECT_EQ(m.lineCount(), 2);  // empty last paragraph is a line
  EXPECT_EQ(m.lineLength(1), 0);
  EXPECT_EQ(m.lineFromPos(3), 1);
}

TEST(TextModel, OutOfRangeArgumentsAreClampedOrRefused) {
  TextModel m;
  EXPECT_EQ(m.lineCount(), 1);
  EXPECT_EQ(m.lineStart(0), 0);
  m.load("hello\r\nworld");
  const Pos big = std::numeric_limits<Pos>::max();
  const Pos low = std::numeric_limits<Pos>::min();
  m.setSel(big, big);
  EXPECT_EQ(m.caret(), 12);
  m.setSel(low, low);
  EXPECT_EQ(m.caret(), 0);
  m.setSel(3, low);
  EXPECT_EQ(m.anchor(), 3);
  EXPECT_EQ(m.caret(), 0);
  m.setSel(2, -1);
  EXPECT_EQ(m.selStart(), 1);
  EXPECT_EQ(m.selLength(), 1);
  EXPECT_EQ(m.caret(), 1);
  EXPECT_EQ(m.lineStart(2), -1);
  EXPECT_EQ(m.lineStart(-2), -1);
  EXPECT_EQ(m.lineStart(big), -1);
  EXPECT_EQ(m.lineText(5), "");
  EXPECT_EQ(m.lineLength(low), 0);
  EXPECT_EQ(m.lineFromPos(big), 1);
  EXPECT_EQ(m.lineFromPos(low), 0);
  EXPECT_EQ(m.paragraphStart(2), -1);
  EXPECT_EQ(m.text(10, big), "ld");
  EXPECT_EQ(m.text(low, 2), "he");
  EXPECT_EQ(m.text(3, -4), "");
  m.replace(big, big, "!");
  m.replace(low, 1, "H");
  EXPECT_EQ(m.text(), "Hello\r\nworld!");
  m.setStyle(low, big, CharStyle{0xFF});
  EXPECT_EQ(m.styleAt(12).colour, 0xFFu);
  std::vector<std::uint8_t> runs;
  m.styleRuns(5, big, runs);
  EXPECT_EQ(runs.size(), 8U);
  EXPECT_EQ(m.find("o", big, 3, false, true), -1);
  EXPECT_EQ(m.find("", 0, -1, false, true), -1);
  m.setWrapColumns(-4);
  EXPECT_EQ(m.wrapColumns(), 0);
  // Caret's line.
  m.setSel(9);
  EXPECT_EQ(m.lineStart(-1), 7);
  EXPECT_EQ(m.lineText(-1), "world!");
}

TEST(TextModel, WrapsAtSpacesOrHardAtTheColumn) {
  TextModel m;
  m.setWrapColumns(10);
  m.load("the quick brown fox jumps\r\nabcdefghijklmnopqrstuvwxyz\r\n\r\nshort");
  std::vector<std::string> lines;
  for (Pos i = 0; i < m.lineCount(); ++i) {
    lines.push_back(m.lineText(i));
  }
  const std::vector<std::string> want{"the quick ", "brown fox ", "jumps", "abcdefghij",
                                      "klmnopqrst", "uvwxyz",     "",      "short"};
  EXPECT_EQ(lines, want);
  EXPECT_EQ(m.lineFromPos(10), 1);  // a wrap point starts the next line
  EXPECT_EQ(m.lineFromPos(25), 2);  // the CR
  m.setWrapColumns(0);
  EXPECT_EQ(m.lineCount(), 4);
  m.setWrapColumns(10);
  m.setSel(0);
  m.replaceSelection("xxxxxxxx ");  // re-wraps the edited paragraph only
  EXPECT_EQ(m.lineText(0), "xxxxxxxx ");
  EXPECT_EQ(m.lineText(1), "the quick ");
  EXPECT_EQ(m.lineCount(), 9);
  // Line text is capped.
  m.setWrapColumns(0);
  m.load(std::string(10000, 'a'));
  EXPECT_EQ(m.lineText(0).size(), 4096U);
  EXPECT_EQ(m.lineLength(0), 10000);
}

TEST(TextModel, UndoGroupsTypingAndSelection) {
  TextModel m;
  m.load("abc");
  m.setModified(false);
  m.setSel(3);
  m.typeText("d");
  m.typeText("e");
  m.typeText("f");
  EXPECT_TRUE(m.modified());
  m.setSel(0);
  m.typeText("X");  // caret moved: a new step
  EXPECT_EQ(m.text(), "Xabcdef");
  ASSERT_TRUE(m.undo());
  EXPECT_EQ(m.text(), "abcdef");
  EXPECT_EQ(m.caret(), 0);
  ASSERT_TRUE(m.undo());
  EXPECT_EQ(m.text(), "abc");
  EXPECT_EQ(m.caret(), 3);
  EXPECT_FALSE(m.canUndo());
  ASSERT_TRUE(m.redo());
  EXPECT_EQ(m.text(), "abcdef");
  EXPECT_EQ(m.caret(), 6);

  // Another kind of edit in between breaks the typing step.
  m.load("");
  m.typeText("a");
  m.replace(0, 0, "<");
  m.typeText("b");
  m.undo();
  EXPECT_EQ(m.text(), "<a");

  // A group is one step, nested groups too; undo restores the selection.
  m.load("one two");
  m.setSel(4, 3);
  {
    scrivle::UndoGroup g(m);
    m.replaceSelection("2");
    {
      scrivle::UndoGroup inner(m);
      m.replace(0, 3, "1");
    }
    m.typeText("!");
  }
  EXPECT_EQ(m.text(), "1 2!");
  m.setSel(0);
  ASSERT_TRUE(m.undo());
  EXPECT_EQ(m.text(), "one two");
  EXPECT_EQ(m.anchor(), 4);
  EXPECT_EQ(m.caret(), 7);
  EXPECT_FALSE(m.canUndo());
  ASSERT_TRUE(m.redo());
  EXPECT_EQ(m.text(), "1 2!");
  EXPECT_FALSE(m.canRedo());

  // Typing over a selection replaces it; read-only refuses typing, not program edits.
  m.selectAll();
  m.setReadOnly(true);
  m.typeText("z");
  EXPECT_EQ(m.text(), "1 2!");
  m.replaceSelection("z");
  EXPECT_EQ(m.text(), "z");

  // A command that selects what it deletes: undo gives back the caret it started from.
  m.load("abc");
  m.setSel(2);
  {
    scrivle::UndoGroup g(m);
    m.setSel(1, 1);
    m.replaceSelection("");
  }
  ASSERT_TRUE(m.undo());
  EXPECT_EQ(m.text(), "abc");
  EXPECT_EQ(m.selLength(), 0);
  EXPECT_EQ(m.caret(), 2);
}

TEST(TextModel, ModifiedFlagAndStylesAcrossUndo) {
  TextModel m;
  m.load("red green");
  EXPECT_TRUE(m.modified());
  m.setModified(false);
  const CharStyle red{0x0000FF, true, false, false, false};
  const CharStyle green{0x00FF00, false, true, false, false};
  int styleEvents = 0;
  m.onStyleChanged = [&](Pos, Pos) { ++styleEvents; };
  m.setStyle(0, 3, red);
  m.setStyle(4, 5, green);
  EXPECT_EQ(styleEvents, 2);
  EXPECT_FALSE(m.modified());  // attributes never set it
  EXPECT_FALSE(m.canUndo());   // nor make undo steps
  EXPECT_EQ(m.palette().size(), 3U);
  m.setStyle(4, 1, red);  // equal entries are reused
  EXPECT_EQ(m.palette().size(), 3U);

  m.setSel(2, 4);  // "d gr"
  m.setSelectionStyle(CharStyle{});
  EXPECT_EQ(m.selectionStyle(), CharStyle{});
  m.replaceSelection("");
  EXPECT_TRUE(m.modified());
  m.setModified(false);
  m.undo();  // the removed bytes come back with the styles they had
  EXPECT_TRUE(m.modified());
  EXPECT_EQ(m.text(), "red green");
  EXPECT_EQ(m.styleAt(1), red);
  EXPECT_EQ(m.styleAt(2), CharStyle{});
  EXPECT_EQ(m.styleAt(6), green);
  m.redo();
  m.undo();
  EXPECT_EQ(m.styleAt(6), green);

  // Empty selection: the style of the next inserted text.
  m.setSel(0);
  m.setSelectionStyle(green);
  m.typeText("x");
  EXPECT_EQ(m.styleAt(0), green);
  EXPECT_EQ(m.selectionStyle(), green);

  // More than 256 distinct styles over time: unused entries are recycled.
  m.load(std::string(10, 'a'));
  for (std::uint32_t c = 1; c < 1000; ++c) {
    m.setStyle(c % 10, 1, CharStyle{c});
  }
  EXPECT_LE(m.palette().size(), 256U);
  EXPECT_EQ(m.styleAt(9).colour, 999u);
  EXPECT_EQ(m.styleAt(0).colour, 990u);
}

TEST(TextModel, FindAndWords) {
  TextModel m;
  std::string t = "Alpha alphabet ALPHA_x \x80\x81 alpha";
  m.load(t);
  EXPECT_EQ(m.find("alpha", 0, -1, false, true), 6);
  EXPECT_EQ(m.find("alpha", 0, -1, false, false), 0);
  EXPECT_EQ(m.find("alpha", 1, -1, true, false), 26);  // alphabet, ALPHA_x are not words
  EXPECT_EQ(m.find("alpha", 7, 5, false, false), -1);
  EXPECT_EQ(m.find("alpha", 7, 9, false, false), 15);  // starts inside the range
  EXPECT_EQ(m.find("\x80", 0, -1, false, false), 23);
  EXPECT_EQ(m.find("\xA0", 0, -1, false, false), -1);  // no folding above ASCII
  EXPECT_EQ(m.wordStart(17), 15);
  EXPECT_EQ(m.wordEnd(17), 22);
  EXPECT_EQ(m.wordStart(24), 23);  // Greek letters are word characters
  EXPECT_EQ(m.wordEnd(23), 25);
  // Matches across the edit gap.
  m.replace(8, 0, "");
  m.setSel(3);
  m.typeText("Q");
  EXPECT_EQ(m.find("pQh", 0, -1, false, true), 2);
  EXPECT_EQ(m.find("QHA ALPHAbet", 0, -1, false, false), 3);
  EXPECT_EQ(m.find("QHA ALPHAbet", 0, -1, false, true), -1);
}

// Without "Respecter la casse" the calculator's accented Latin letters and the Greek
// letters it has in both cases match either case, whole words too.
TEST(TextModel, FindFoldsAccentedAndGreekLetters) {
  TextModel m;
  const std::string eleve = charset::fromUtf8("élève");
  const std::string text = charset::fromUtf8("Un élève, ÉLÈVES; δσω ÆØÅ ÿ ß µ ×÷ Ÿ");
  m.load(text);
  EXPECT_EQ(m.find(charset::fromUtf8("ÉLÈVE"), 0, -1, false, false), 3);
  EXPECT_EQ(m.find(charset::fromUtf8("ÉLÈVE"), 0, -1, false, true), 10);
  EXPECT_EQ(m.find(charset::fromUtf8("ÉLÈVE"), 0, -1, true, false), 3);
  EXPECT_EQ(m.find(eleve, 4, -1, false, false), 10);
  EXPECT_EQ(m.find(eleve, 4, -1, true, false), -1);  // ÉLÈVES is another word
  EXPECT_EQ(m.find(charset::fromUtf8("ΔΣΩ"), 0, -1, true, false), 18);
  EXPECT_EQ(m.find(charset::fromUtf8("æøå"), 0, -1, true, false), 22);
  // Letters without a second case in the set, and the two signs, match only themselves.
  EXPECT_EQ(m.find(charset::fromUtf8("×"), 0, -1, false, false), 32);
  EXPECT_EQ(m.find(charset::fromUtf8("÷"), 0, -1, false, false), 33);
  EXPECT_EQ(m.find(charset::fromUtf8("×"), 0, 32, false, false), -1);
  EXPECT_EQ(m.find(charset::fromUtf8("ß"), 0, -1, false, false), 28);
  EXPECT_EQ(m.find(charset::fromUtf8("ÿ"), 0, -1, false, false), 26);
}

TEST(TextModel, NotificationsComeAfterTheChange) {
  TextModel m;
  m.load("abc");
  std::vector<std::string> log;
  m.onTextChanged = [&](Pos p, Pos r, Pos i) {
    log.push_back("text " + std::to_string(p) + " " + std::to_string(r) + " " + std::to_string(i) +
                  " " + m.text());
  };
  m.onSelectionChanged = [&] { log.push_back("sel " + std::to_string(m.caret())); };
  m.setSel(1, 1);
  m.replaceSelection("XY");
  m.setSel(3);  // unchanged: no notification
  m.undo();
  const std::vector<std::string> want{"sel 2", "text 1 1 2 aXYc", "sel 3", "text 1 2 1 abc",
                                      "sel 2"};
  EXPECT_EQ(log, want);
}
