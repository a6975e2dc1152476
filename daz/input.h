#pragma once
// Talking to the user inside the graphics window while a screen plot is
// shown: a message strip at the top, one-key questions, typed lines with
// echo, and point picking. Each question goes with its name (q). With the
// hardcopy device open the three input routines return at once and leave
// their results unchanged.
#include <cstddef>
#include <string>
#include <string_view>

#include "miscli/question.h"

namespace daz {

// Clears the message strip and writes the text there (up to its last
// printable character).
void scrtxt_(std::string_view text);
// The same for the text of question q, which the console's answerer (if
// any) is told the window now asks.
void scrtxt_(std::string_view text, const miscli::Question& q);
// Shows "prompt:" and gives the first key pressed; a mouse click gives 'K'.
void getchar_(std::string_view prompt, char& answer, const miscli::Question& q);
// Shows "prompt:" and collects a line ended by Enter, echoed at the right
// of the strip, with Backspace/Delete. The answer's size is its declared
// length: it comes back blank-padded to it, and keys beyond it are ignored.
// A mouse click ends the line as typed so far.
void getstring_(std::string_view prompt, std::string& answer, const miscli::Question& q);
// The same for UTF-8 text of up to `length` characters: keys beyond ASCII
// type their characters. The answer comes back blank-padded to `length`
// characters.
void gettext_(std::string_view prompt, std::string& answer, std::size_t length, const miscli::Question& q);
// Waits for a click or key and gives its page position in inches (of the
// page shown, portrait pages turned back) and the key; a click gives '$'.
void ginch_(float& x, float& y, char& key);

}  // namespace daz
