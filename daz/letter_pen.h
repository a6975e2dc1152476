#pragma once
// Where letter_ and glyph_ send their strokes: ploti_, unless a test puts
// a recorder in its place.

namespace daz {

using LetterPen = void (*)(float x, float y, int ipen);

// Makes `pen` receive the strokes (nullptr: ploti_ again); gives the one
// that was in place.
LetterPen set_letter_pen(LetterPen pen);

// The pen in place.
LetterPen letter_pen();

}  // namespace daz
