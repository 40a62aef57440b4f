#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pirell {

// The group separator (GS, character 29) that ends a variable-length element of a GS1 element
// string as marking codes are passed on.
inline constexpr char kGroupSeparator = '\x1D';

// One element of a GS1 element string: an application identifier and its data.
struct TGs1Element {
  std::string ai;
  std::string data;
  // Its length is not fixed by the first two digits of its AI (the GS1 table of predefined
  // lengths): a separator must follow it when another element comes after it.
  bool variable = false;
  friend bool operator==(const TGs1Element&, const TGs1Element&) = default;
};

// An element string read from a host value, or why it is not one.
struct TGs1ElementString {
  std::vector<TGs1Element> elements;
  std::string error;  // Russian, naming the element at fault; empty when the string is valid
  bool ok() const { return error.empty(); }
};

// Reads a GS1 element string in either form the host passes it:
// - as scanned or received: AIs and their data one after the other, GS ending each element whose
//   length the first two digits of its AI do not fix, optionally led by an FNC1 written as "]d2"
//   (or the "]C1", "]Q3" and "]e0" of the other GS1 symbols) or as GS;
// - bracketed: "(01)04601234567893(21)...".
// Every AI must be one of the GS1 table's, every element of the length and character set that
// AI takes, and the check digit of AIs 00, 01, 02, 402 and 410 to 417 must be right. Every
// character of the data is kept as it is.
TGs1ElementString ParseGs1ElementString(std::string_view value);

// The elements as libzint takes them: "[01]04601234567893[21]...".
std::string Gs1SquareBracketed(const std::vector<TGs1Element>& elements);
// The human-readable form: "(01)04601234567893(21)...".
std::string Gs1Parenthesised(const std::vector<TGs1Element>& elements);
// The elements as a scanner transmits them: each after the other, GS after every variable-length
// element that another one follows.
std::string Gs1Transmitted(const std::vector<TGs1Element>& elements);

// The check digit of the digits (the GS1 modulo-10 rule) as a character.
char Gs1CheckDigit(std::string_view digits);

}  // namespace pirell
