#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "rendering/cmd_list.h"

namespace pirell {

// Text for the printer's Windows 1251 character set: every character windows-1251 lacks becomes
// '?'. A line break would end the command early and let the rest of the value be taken as a
// command of its own, so carriage returns and line feeds become spaces.
ByteString PrinterText(std::string_view utf8);

// The first `count` characters of a UTF-8 text (the whole text when it is shorter; nothing when
// count is 0 or less).
std::string_view LeadingCharacters(std::string_view utf8, std::int32_t count);

// The text with its Latin letters in upper case and every other byte as it is: how the names a
// template gives its symbologies are compared.
std::string UpperLatin(std::string_view text);

// The characters of a UTF-8 text: its bytes but the continuation bytes.
std::int64_t CharacterCount(std::string_view utf8);

// A command made of a head and its parameters separated by commas: MakeCommand("A", 1, 2, "N")
// gives "A1,2,N". Parameters are integers (decimal) or byte strings.
template <typename... Parts>
ByteString MakeCommand(std::string_view head, const Parts&... parts);

// ---- implementation ----

namespace command_detail {

template <typename T>
void AppendPart(ByteString& out, const T& part) {
  if constexpr (std::is_integral_v<T>) {
    // Written in place: 24 characters hold any 64-bit number with its sign.
    const std::size_t start = out.size();
    out.resize(start + 24);
    const auto result = std::to_chars(out.data() + start, out.data() + out.size(), part);
    out.resize(static_cast<std::size_t>(result.ptr - out.data()));
  } else {
    out.append(std::string_view(part));
  }
}

}  // namespace command_detail

template <typename... Parts>
ByteString MakeCommand(std::string_view head, const Parts&... parts) {
  ByteString out;
  out.reserve(head.size() + sizeof...(parts) * 8);
  out.append(head);
  if constexpr (sizeof...(parts) > 0) {
    bool first = true;
    auto append = [&](const auto& part) {
      if (!first) out.push_back(',');
      first = false;
      command_detail::AppendPart(out, part);
    };
    (append(parts), ...);
  }
  return out;
}

}  // namespace pirell
