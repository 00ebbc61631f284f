// Real numbers as the image information shows them: up to 17 significant digits
// in fixed-point notation, or 7 in exponent notation, from a fixed sequence of
// 53-bit operations.
#ifndef PELLFORM_FORMAT_REAL_H
#define PELLFORM_FORMAT_REAL_H

#include <string>

constexpr int kFormatRealBufferSize = 34;

// Writes the text of `value` (at most 33 characters and a zero) into `text`,
// which holds kFormatRealBufferSize bytes.
void FormatReal(double value, char* text);

// numerator / denominator as an x87 divides in extended precision and stores
// the quotient as a double: rounded to a 64-bit significand, then to 53 bits
// (two roundings, each to nearest, ties to even). The denominator is not 0;
// both magnitudes are below 2^62.
double DivideAsExtended(long long numerator, long long denominator);

// The bytes a width x height picture of that depth takes, as decimal text.
std::string MemoryFigure(long long width, long long height, unsigned bitsPerPixel, unsigned planes);

#endif
