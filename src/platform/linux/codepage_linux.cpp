#include <errno.h>
#include <iconv.h>

#include "platform/codepage.h"

namespace pirell::platform {
namespace {

// One conversion descriptor per direction and thread, opened on first use (opening costs more
// than converting a field).
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `in`; an input sequence that has no counterpart is replaced by `replacement` and
  // skipped (one UTF-8 character, or one byte of other input).
  std::string Run(std::string_view in, bool input_is_utf8, const char* replacement) {
    std::string out;
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return out;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    out.resize(in.size() * 4 + 8);
    char* src = const_cast<char*>(in.data());
    std::size_t src_left = in.size();
    char* dst = out.data();
    std::size_t dst_left = out.size();
    while (src_left > 0) {
      if (iconv(cd_, &src, &src_left, &dst, &dst_left) != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) {
        const std::size_t used = static_cast<std::size_t>(dst - out.data());
        out.resize(out.size() * 2);
        dst = out.data() + used;
        dst_left = out.size() - used;
        continue;
      }
      // EILSEQ or EINVAL: skip one input character and write the replacement.
      std::size_t skip = 1;
      if (input_is_utf8) {
        const unsigned char lead = static_cast<unsigned char>(*src);
        skip = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (skip > src_left) skip = src_left;
      }
      src += skip;
      src_left -= skip;
      const std::size_t used = static_cast<std::size_t>(dst - out.data());
      const std::string_view rep(replacement);
      if (dst_left < rep.size()) {
        out.resize(out.size() * 2 + rep.size());
        dst = out.data() + used;
        dst_left = out.size() - used;
      }
      for (char c : rep) {
        *dst++ = c;
        --dst_left;
      }
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(static_cast<std::size_t>(dst - out.data()));
    return out;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::string Utf8ToCp1251(std::string_view utf8) {
  thread_local Converter converter("WINDOWS-1251", "UTF-8");
  return converter.Run(utf8, true, "?");
}

std::string Cp1251ToUtf8(std::string_view bytes) {
  thread_local Converter converter("UTF-8", "WINDOWS-1251");
  // 0x98 is the one byte windows-1251 leaves unassigned.
  return converter.Run(bytes, false, "\xEF\xBF\xBD");
}

bool IsCp1251Representable(char32_t code_point) {
  if (code_point < 0x80) return true;
  std::string utf8;
  AppendUtf8(utf8, code_point);
  thread_local Converter converter("WINDOWS-1251", "UTF-8");
  return converter.Run(utf8, true, "").size() == 1;
}

std::string Utf8ToSystemAnsi(std::string_view utf8) {
  // The system character set of a Linux machine is UTF-8.
  return std::string(utf8);
}

}  // namespace pirell::platform
