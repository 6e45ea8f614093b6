// The order in which a list view sorted ascending keeps its rows: a
// locale-aware, case-insensitive "word sort" comparison, as the system's
// case-insensitive string comparison makes it for Latin text.
//   1. Base characters decide first: hyphens and apostrophes are skipped,
//      then spaces and controls < punctuation and symbols < digits < Latin
//      letters < letters of other scripts. Accented Latin letters count as
//      their base letter; the ligatures count as their letters (ß = ss,
//      æ = ae, œ = oe, þ = th, ĳ = ij).
//   2. Between texts equal so far, accents decide, from the left.
//   3. Then the text with fewer skipped hyphens and apostrophes comes first.
//   4. Letter case never decides: texts equal but for case compare equal.
#pragma once
#include <stdint.h>

// Negative when a sorts before b, positive when after, 0 when equal.
int32_t CompareListText(const char16_t* a, const char16_t* b);
