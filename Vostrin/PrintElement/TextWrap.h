// Cutting a line of GBK text that is too wide: the last piece of the text goes to the front of
// the rest, which is drawn on the following lines.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "PrintElement/GbkText.h"

namespace TVostrin {

// Moves the last piece of text to the front of rest. Looking at the characters from the last
// one back:
// - a double-byte character: it and everything after it is the piece, put in front of the rest
//   with nothing in between (text in Chinese breaks between characters);
// - a blank: what follows it is the piece; the blank is dropped and, when the rest is not
//   empty, one blank is put between the piece and the rest.
// When neither is found the whole text goes in front of the rest (with a blank between, as at
// a blank), text becomes empty and the result is false: there is nothing more to cut.
bool CutLastPiece(std::string& text, std::string& rest);

// The line that fits: text itself when fits(text) holds, otherwise what CutLastPiece, called
// again and again, leaves of text at the first point where the text left fits or is empty; rest
// gets the pieces cut off exactly as those calls would put them in front of it. Lines that
// are wider than another line are taken never to fit when that one does not, so only a few
// lines are measured (short ones first), however long the text.
std::string FitLine(const std::string& text, std::string& rest,
                    const std::function<bool(const std::string&)>& fits);

}  // namespace TVostrin
