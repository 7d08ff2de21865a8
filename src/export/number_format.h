// Locale-independent number formatting for the output files.
#pragma once

#include <cstdint>
#include <string>

namespace vertoko {

// Appends value as C's "%g" prints it: six significant digits, trailing
// zeros dropped, exponent form with at least two exponent digits for very
// large or small values, "-0" for negative zero. Never uses the C locale.
void AppendG(std::string& out, double value);

// The same written at at, which must have room for kGMaxLength characters;
// returns the end of the text. No terminating NUL is written.
constexpr int kGMaxLength = 32;
char* WriteG(char* at, double value);

// A decimal integer written at at (room for 20 characters); returns the end.
char* WriteInt(char* at, std::int64_t value);

// Appends value as C's "%.4f" prints it.
void AppendFixed4(std::string& out, double value);

// Appends the shortest decimal text that reads back as value ("0.1",
// "1e-05", "-0"), locale-independent; nan and inf as to_chars spells them.
void AppendShortest(std::string& out, float value);

// Appends a decimal integer.
void AppendInt(std::string& out, std::int64_t value);

// Appends value as "%03d" prints it: at least three digits, zero-padded.
void AppendInt03(std::string& out, std::int64_t value);

}  // namespace vertoko
