// Find and replace on a document's text. Every search goes forward from the caret or the
// selection to the end of the text and never wraps around. The find and the replace
// dialogs, the replace buttons and F3 differ only in what they hand to Find.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "editor/text_model.h"
#include "settings/parametre.h"

namespace scrivle {

class Dialogs;

// The texts and boxes of a search dialog. Texts are calculator bytes.
struct SearchOptions {
  std::string findText;
  std::string replaceText;
  bool matchCase = false;
  bool wholeWord = false;
};

// A search dialog as the commands see it: the find or the replace dialog.
class SearchDialog {
 public:
  virtual ~SearchDialog() = default;
  virtual SearchOptions options() const = 0;
  virtual void closeDialog() = 0;
};

// The document a command acts on.
struct SearchTarget {
  TextModel& model;
  bool colourOn;  // colour display
  const TParametre& settings;
  std::function<void()> focus;  // gives the editor the keyboard focus; may be empty
};

// What a command did to the text. The caller marks the document modified and moves its
// size on the calculator when changed is set.
struct TextChange {
  bool changed = false;
  int sizeDelta = 0;
};

// The box shown when a search finds nothing.
std::string notFoundMessage(std::string_view findText);
inline constexpr const char* kEndlessLoopQuestion =
    "Vous voulez vraiment entrer dans une boucle qui ne se termine pas ?";

class FindReplace {
 public:
  explicit FindReplace(Dialogs& dialogs) : dialogs_(dialogs) {}

  // F3 (SuivantAction): disabled until the first find or replacement, enabled from then
  // on; mode 0 repeats the last find, mode 1 the last single replacement.
  bool nextEnabled() const { return nextEnabled_; }
  int nextMode() const { return nextMode_; }
  // Told whenever the enabled state or the mode is set.
  std::function<void(bool enabled, int mode)> onNextChanged;

  // skip: 1 starts after the selection, 0 at its start. report: 0 = a failure only sets
  // it to -1; non-zero = a failure shows the not-found box. found: -1 when a match was
  // found and selected, 0 otherwise. closeDialog: close the dialog before any box.
  void Find(SearchDialog& dialog, SearchTarget& editor, int skip, int& report, int& found,
            int closeDialog);

  // The find dialog's "find next": searches after the selection and closes the dialog.
  void FindDialogFind(SearchDialog& findDialog, SearchTarget& editor);
  // The replace dialog's "find next": the dialog stays open.
  void ReplaceDialogFind(SearchDialog& replaceDialog, SearchTarget& editor);
  // replaceOne: the replace button (or F3 after a replacement): the match at or after the
  // selection start, then the dialog closes. Otherwise replace all from the selection
  // start to the end of the text, the caret then back at that start.
  TextChange ReplaceDialogReplace(SearchDialog& replaceDialog, SearchTarget& editor,
                                  bool replaceOne);
  // F3.
  TextChange SuivantActionExecute(SearchDialog& findDialog, SearchDialog& replaceDialog,
                                  SearchTarget& editor);

 private:
  void setNext(int mode);
  TextChange replaceAll(SearchDialog& dialog, SearchTarget& editor);

  Dialogs& dialogs_;
  bool nextEnabled_ = false;
  int nextMode_ = 0;
};

// Replaces the selection (a match) with text as a keystroke would: tags it breaks lose
// their colour, the new text is plain, the tags in and around it are painted, and the
// new text is left selected with the caret at its start. Returns the size delta.
int replaceMatch(TextModel& model, std::string_view text, bool colourOn,
                 const TParametre& settings);

// Every match from start to the end of the text replaced in one edit (one undo step),
// exactly as repeating "find after the last replacement" would: the scan never looks
// into text already replaced, and whole-word tests see the replaced text before a match.
// The caret ends at start. A read-only text only counts the matches.
struct ReplaceAllResult {
  Pos count = 0;
  bool changed = false;  // false too when every match equals its replacement
  int sizeDelta = 0;
};
ReplaceAllResult replaceAllFrom(TextModel& model, Pos start, const SearchOptions& options,
                                bool colourOn, const TParametre& settings);

}  // namespace scrivle
