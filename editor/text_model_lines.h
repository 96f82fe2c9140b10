// Screen-line index of a ByteStore: the text is cut into blocks of whole paragraphs
// (a few kilobytes each) that cache their byte, paragraph and screen-line counts; a
// Fenwick tree over the blocks turns a position, a line or a paragraph number into its
// block in O(log n). An edit re-wraps only the paragraphs it touches and updates one
// block; the rest of the index stays as it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "editor/text_model_store.h"

namespace scrivle {

class LineIndex {
 public:
  using Pos = std::int64_t;

  explicit LineIndex(const ByteStore& store) : store_(store) {}

  // Rebuilds everything from the store (after a load).
  void rebuild();
  void setWrapColumns(int columns);
  int wrapColumns() const { return wrap_; }

  // An edit replacing [start, start+len) is announced before the store changes and
  // completed after it, with the change of length.
  struct Pending {
    Pos ps = 0;
    Pos pe = 0;
    bool toEnd = false;
    std::size_t bi = 0;
    std::size_t bj = 0;
    Pos oldParas = 0;
    Pos oldLines = 0;
  };
  Pending beforeEdit(Pos start, Pos len) const;
  void afterEdit(const Pending& pending, Pos delta);

  Pos lineCount() const { return total_.lines; }
  Pos paragraphCount() const { return total_.paras; }
  // The arguments below are already clamped by the caller.
  Pos lineFromPos(Pos pos) const;
  // Screen line's start and end (end excludes the CR LF), line < lineCount().
  void lineRange(Pos line, Pos& start, Pos& end) const;
  Pos paragraphOfPos(Pos pos) const;
  Pos paragraphStart(Pos paragraph) const;  // paragraph < paragraphCount()

  std::size_t memoryUsage() const;

  // End of the screen line starting at lineStart in a paragraph whose text (without
  // its break) ends at paraEnd.
  Pos lineEndFrom(Pos lineStart, Pos paraEnd) const;

 private:
  struct Stats {
    Pos bytes = 0;
    Pos paras = 0;
    Pos lines = 0;
    Stats& operator+=(const Stats& o) {
      bytes += o.bytes;
      paras += o.paras;
      lines += o.lines;
      return *this;
    }
  };
  struct Found {
    std::size_t block;
    Stats before;  // totals of the blocks before it
  };

  Pos findCrLf(Pos from, Pos to) const;
  Pos wrapCount(Pos s, Pos e) const;
  template <typename F>
  void forEachParagraph(Pos from, Pos to, bool withFinal, F&& f) const;
  Stats statsOf(Pos from, Pos to, bool withFinal) const;
  void chunk(Pos from, Pos to, bool withFinal, std::vector<Stats>& out) const;
  void replaceBlocks(std::size_t first, std::size_t last, std::vector<Stats>& with);

  void buildTree();
  void addToTree(std::size_t block, const Stats& delta);
  Stats prefix(std::size_t count) const;
  template <typename Field>
  Found findBy(Field field, Pos value) const;
  Found blockOfPos(Pos pos) const;

  const ByteStore& store_;
  int wrap_ = 0;
  std::vector<Stats> blocks_;
  std::vector<Stats> tree_;  // Fenwick tree, 1-based
  Stats total_;
};

}  // namespace scrivle
