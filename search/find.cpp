#include "search/find.h"

#include <algorithm>
#include <cstdint>

#include "calc/charset.h"
#include "calc/keyboard.h"
#include "editor/word_rules.h"
#include "platform/dialogs.h"
#include "tags/colorise.h"
#include "tags/tagkeydown.h"
#include "tags/vocabulary.h"

namespace scrivle {
std::string notFoundMessage(std::string_view findText) {
  return "'" + charset::toUtf8(findText) + "' non trouvé dans le texte";
}

void FindReplace::setNext(int mode) {
  nextEnabled_ = true;
  nextMode_ = mode;
  if (onNextChanged) onNextChanged(nextEnabled_, nextMode_);
}

void FindReplace::Find(SearchDialog& dialog, SearchTarget& editor, int skip, int& report,
                       int& found, int closeDialog) {
  TextModel& m = editor.model;
  const SearchOptions o = dialog.options();
  const Pos start = m.selLength() != 0 ? m.selStart() + skip * m.selLength() : m.caret();
  // An empty search text finds nothing (TextModel::find says so too).
  const Pos p = m.find(o.findText, start, m.length() - start, o.wholeWord, o.matchCase);
  if (closeDialog != 0) dialog.closeDialog();
  if (p < 0) {
    found = 0;
    if (report != 0) {
      dialogs_.message(notFoundMessage(o.findText));
    } else {
      report = -1;
    }
    return;
  }
  found = -1;
  m.setSel(p, static_cast<Pos>(o.findText.size()));
  if (editor.focus) editor.focus();
}

void FindReplace::FindDialogFind(SearchDialog& findDialog, SearchTarget& editor) {
  setNext(0);
  int report = -1;
  int found = 0;
  Find(findDialog, editor, 1, report, found, 1);
  if (editor.focus) editor.focus();
}

void FindReplace::ReplaceDialogFind(SearchDialog& replaceDialog, SearchTarget& editor) {
  setNext(1);
  int report = -1;
  int found = 0;
  Find(replaceDialog, editor, 1, report, found, 0);
}

TextChange FindReplace::ReplaceDialogReplace(SearchDialog& replaceDialog, SearchTarget& editor,
                                             bool replaceOne) {
  setNext(1);
  if (!replaceOne) return replaceAll(replaceDialog, editor);
  int report = -1;
  int found = 0;
  Find(replaceDialog, editor, 0, report, found, 1);
  TextChange change;
  if (found != 0 && !editor.model.readOnly()) {
    change.changed = true;
    change.sizeDelta = replaceMatch(editor.model, replaceDialog.options().replaceText,
                                    editor.colourOn, editor.settings);
  }
  return change;
}

TextChange FindReplace::replaceAll(SearchDialog& dialog, SearchTarget& editor) {
  const SearchOptions o = dialog.options();
  if (o.findText == o.replaceText && dialogs_.confirm(kEndlessLoopQuestion, false) != Answer::Yes) {
    return {};
  }
  TextModel& m = editor.model;
  const Pos s0 = m.selStart();
  // The dialog closes with the first search, before any box.
  dialog.closeDialog();
  const ReplaceAllResult r = replaceAllFrom(m, s0, o, editor.colourOn, editor.settings);
  if (r.count == 0) dialogs_.message(notFoundMessage(o.findText));
  if (r.count > 0 && editor.focus) editor.focus();
  return {r.changed, r.sizeDelta};
}

TextChange FindReplace::SuivantActionExecute(SearchDialog& findDialog, SearchDialog& replaceDialog,
                                             SearchTarget& editor) {
  if (nextMode_ == 0) {
    FindDialogFind(findDialog, editor);
    return {};
  }
  return ReplaceDialogReplace(replaceDialog, editor, true);
}

int replaceMatch(TextModel& model, std::string_view text, bool colourOn,
                 const TParametre& settings) {
  const Pos before = model.length();
  int key = 'A';
  std::int32_t skip = 0;
  TagKeyDown(model, key, ShiftNone, skip, colourOn, settings);
  // The new text takes the plain look of the typed character.
  model.setInsertionStyle(kPlainStyle);
  model.replaceSelection(text);
  const Pos c = model.caret();
  const auto len = static_cast<Pos>(text.size());
  colorise(model, c - len - 1, c + 1, colourOn, settings);
  model.setSel(c, -len);
  return static_cast<int>(model.length() - before);
}

ReplaceAllResult replaceAllFrom(TextModel& model, Pos start, const SearchOptions& options,
                                bool colourOn, const TParametre& settings) {
  ReplaceAllResult result;
  const Pos n = model.length();
  start = std::clamp<Pos>(start, 0, n);
  const std::string& needle = options.findText;
  const std::string& replacement = options.replaceText;
  const auto m = static_cast<Pos>(needle.size());
  if (m == 0) {
    model.setSel(start, 0);
    return result;
  }

  // The text from start, read once; the new text of [first, copied) is built in out.
  const std::string hay = model.text(start, n - start);
  auto at = [&](Pos p) {
    return static_cast<unsigned char>(hay[static_cast<std::size_t>(p - start)]);
  };
  std::string out;
  Pos first = -1;
  Pos copied = start;
  Pos from = start;
  while (from + m <= n) {
    Pos hit = -1;
    if (options.wholeWord && first >= 0 && from == copied) {
      // Right after a replacement the character before a match is the replaced text's
      // last one (or what came before it), not the original's.
      if (model.find(needle, from, 1, false, options.matchCase) == from) {
        const bool wordBefore = !out.empty() ? isWordByte(static_cast<unsigned char>(out.back()))
                                             : first > 0 && isWordByte(model.byteAt(first - 1));
        const bool wordAfter = from + m < n && isWordByte(at(from + m));
        if (!wordBefore && !wordAfter) hit = from;
      }
      if (hit < 0) {
        hit = model.find(needle, from + 1, -1, true, options.matchCase);
      }
    } else {
      hit = model.find(needle, from, -1, options.wholeWord, options.matchCase);
    }
    if (hit < 0) break;
    if (first < 0) {
      first = hit;
      copied = hit;
      out.reserve(hay.size() + hay.size() / 4);
    }
    out.append(hay, static_cast<std::size_t>(copied - start),
               static_cast<std::size_t>(hit - copied));
    out += replacement;
    copied = hit + m;
    from = copied;
    ++result.count;
  }

  if (result.count > 0 && !model.readOnly() &&
      std::string_view(hay).substr(static_cast<std::size_t>(first - start),
                                   static_cast<std::size_t>(copied - first)) != out) {
    // One edit, one undo step; the new text is plain until painted.
    model.setInsertionStyle(kPlainStyle);
    model.replace(first, copied - first, out);
    const Pos end = first + static_cast<Pos>(out.size());
    // Tags broken at either edge lose their colour, as typing over them would.
    if (first > 0 && isTagIntro(model.byteAt(first - 1))) model.setStyle(first - 1, 1, kPlainStyle);
    if (end < model.length() && isTagLetter(model.byteAt(end))) model.setStyle(end, 1, kPlainStyle);
    // 1-based: from two characters before the first new text to one after the last.
    colorise(model, first - 1, end + 1, colourOn, settings);
    result.changed = true;
    result.sizeDelta = static_cast<int>(static_cast<Pos>(out.size()) - (copied - first));
  }
  model.setSel(start, 0);
  return result;
}

}  // namespace scrivle
