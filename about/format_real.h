// Real numbers as the image information shows them: up to 17 significant digits
// in fixed-point notation, or 7 in exponent notation, from a fixed sequence of
// 53-bit operations.
#ifndef PELLFORM_FORMAT_REAL_H
#define PELLFORM_FORMAT_REAL_H

constexpr int kFormatRealBufferSize = 34;

// Writes the text of `value` (at most 33 characters and a zero) into `text`,
// which holds kFormatRealBufferSize bytes.
void FormatReal(double value, char* text);

#endif
