// The tag commands: character tags wrapped around the selection or put at the caret,
// paragraph tags (and the bookmark marker) put at the start of the caret's paragraph.
// Each returns the change of the size on the calculator; the caller marks the document
// modified before the call, then adds the change and refreshes its fields. In a
// read-only text they do nothing and return 0.
#pragma once

#include <array>
#include <string_view>

#include "editor/text_model.h"
#include "settings/parametre.h"

namespace scrivle {

// Character tag `#letter`: around the selection with its closing tag ("#2" after sizes
// 1 and 3, none after 2, the same tag after the others, "#W" only around a selection;
// none at all with nothing selected when InserMod# is set). The selection stays on
// the wrapped text. Tags take `style` when colour display is on.
int insertag1(TextModel& model, unsigned char letter, const CharStyle& style, bool colourOn,
              const TParametre& settings);

// Paragraph tag `&letter` at the start of the paragraph holding the selection start
// (after a bookmark marker there), replacing the paragraph tag already there, or removing
// it when it is the same and InserMod& is set; "-" and "=" bring a line break of their
// own. letter 12 toggles the bookmark marker instead. The selection moves with the text.
int insertag2(TextModel& model, unsigned char letter, const CharStyle& style, bool colourOn,
              const TParametre& settings);

// The twenty-one tag actions of the main window.
struct TagCommand {
  std::string_view action;
  unsigned char introducer;  // '#' runs insertag1, '&' insertag2
  unsigned char letter;
};
inline constexpr std::array<TagCommand, 21> kTagCommands = {{
    {"Taille1Action", '#', '1'},      {"Taille2Action", '#', '2'},
    {"Taille3Action", '#', '3'},      {"SoulignAction", '#', 'U'},
    {"PointillAction", '#', 'N'},     {"VecteurAction", '#', 'V'},
    {"InversAction", '#', 'I'},       {"BarrAction", '#', 'S'},
    {"ExposantAction", '#', 'E'},     {"WrapAction", '#', 'W'},
    {"Marge0Action", '&', '\\'},      {"Marge10Action", '&', ','},
    {"Marge20Action", '&', ';'},      {"Marge30Action", '&', '.'},
    {"AlignGaucheAction", '&', 'L'},  {"CentrAction", '&', 'C'},
    {"AlignDroiteAction", '&', 'R'},  {"InsrerimageAction", '&', 'P'},
    {"InsrerprettyAction", '&', 'E'}, {"SeparSimpleAction", '&', '-'},
    {"SeparDoubleAction", '&', '='},
}};

const TagCommand* findTagCommand(std::string_view action);

// Runs a tag action by name with its tag's style from settings; 0 for an unknown name.
int runTagCommand(TextModel& model, std::string_view action, bool colourOn,
                  const TParametre& settings);

// The start of the paragraph holding pos: 0 or just after a CR LF. Wrapped
// continuation lines belong to their paragraph.
Pos paragraphStartOf(const TextModel& model, Pos pos);

}  // namespace scrivle
