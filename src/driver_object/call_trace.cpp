#include "driver_object/call_trace.h"

#include <cinttypes>
#include <cstdio>
#include <vector>

#include "driver_object/date_text.h"
#include "driver_object/host_values.h"
#include "driver_object/number_text.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/locale.h"

namespace pirell {
namespace {

// A control character written visibly, so that no value breaks a line of the log and the group
// separators of marking codes can be seen: <GS>, <CR>, <LF> or its code.
std::string VisibleControl(unsigned char byte) {
  switch (byte) {
    case 0x1D:
      return "<GS>";
    case '\r':
      return "<CR>";
    case '\n':
      return "<LF>";
    default:
      return "<" + std::to_string(byte) + ">";
  }
}

std::string QuotedText(std::string_view text) {
  std::string out = "'";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out += "\\n";
      ++i;
    } else if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
      out += VisibleControl(byte);
    } else {
      out += text[i];
    }
  }
  out += '\'';
  return out;
}

std::string DispatchText(const Variant& value) {
  char buffer[32];
  const auto address = reinterpret_cast<std::uintptr_t>(value.Object().get());
  std::snprintf(buffer, sizeof buffer, "$%08" PRIXPTR, address);
  return buffer;
}

// The standard text of a value; the log shows nothing for one without a text form.
std::string StandardText(const Variant& value) {
  try {
    return value.ToString();
  } catch (const std::exception&) {
    return {};
  }
}

std::string Padded(int value, int width) {
  std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) < width)
    text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
  return text;
}

std::string LogDate(const platform::LocalTime& time) {
  return Padded(time.year, 4) + "." + Padded(time.month, 2) + "." + Padded(time.day, 2);
}

std::string ValueText(const Variant& value, int depth);

// Appends dimension `dim` (counted from 0) of `array` with the higher dimensions fixed in
// `indices`; `depth` counts the arrays around it.
void AppendDimension(std::string& out, const VariantArray& array, int dim,
                     std::vector<std::int32_t>& indices, int depth) {
  const ArrayBound& bound = array.Bound(dim);
  out += '(';
  for (std::int32_t i = bound.lower; i <= bound.upper(); ++i) {
    indices[static_cast<std::size_t>(dim)] = i;
    if (dim == 0) {
      out += ValueText(array.At(indices), depth);
      if (i != bound.upper()) out += "; ";
    } else {
      AppendDimension(out, array, dim - 1, indices, depth);
    }
  }
  out += ')';
}

// Arrays nested deeper than a call may pass show as "[...]": the text stays bounded, and so does
// the recursion that builds it.
std::string ArrayText(const VariantArray& array, int depth) {
  if (depth > kMaxArrayNesting) return "[...]";
  std::string out = "[";
  if (array.Dims() == 0) {
    out += "()";
  } else {
    std::vector<std::int32_t> indices(static_cast<std::size_t>(array.Dims()));
    AppendDimension(out, array, array.Dims() - 1, indices, depth + 1);
  }
  out += ']';
  return out;
}

std::string ValueText(const Variant& value, int depth) {
  if (value.IsArray() || value.Deref().IsArray()) return ArrayText(value.Deref().Array(), depth);
  return ValueToText(value);
}

}  // namespace

std::string ValueToText(const Variant& value) {
  if (value.IsArray() || value.Deref().IsArray()) return ArrayText(value.Deref().Array(), 0);
  // A reference to a variant shows the standard text of the variant it refers to; a typed
  // reference shows its value as that type.
  if (value.IsRef() && value.RefType() == varVariant) return StandardText(value);
  const Variant& v = value.Deref();
  switch (v.BaseType()) {
    case varEmpty:
      return "EMPTY";
    case varNull:
      return "NULL";
    case varSmallint:
    case varInteger:
      return std::to_string(v.RawInteger());
    case varSingle:
    case varDouble:
      return FormatLocaleGeneral(v.RawDouble(), 15);
    case varCurrency:
      return FormatLocaleGeneral(static_cast<double>(v.RawInteger()) / 10000.0, 15);
    case varDate:
      return FormatLocaleDateTime(v.RawDouble());
    case varOleStr:
    case varString:
      return QuotedText(v.RawString());
    case varDispatch:
      return DispatchText(v);
    case varBoolean:
      return v.RawInteger() != 0 ? "True" : "False";
    case varVariant:
      return StandardText(v);
    case varByte: {
      std::string text;
      platform::AppendUtf8(text, static_cast<char32_t>(v.RawInteger() & 0xFF));
      return text;
    }
    default:
      return {};
  }
}

std::string ArrayToText(const VariantArray& array) {
  return ArrayText(array, 0);
}

std::string ArrayToText(const Variant& value) {
  const Variant& v = value.Deref();
  if (!v.IsArray()) return ValueToText(value);
  return ArrayToText(v.Array());
}

std::string DebugLogTimeStamp(const platform::LocalTime& time) {
  const std::string& separator = platform::UserLocale().time_separator;
  return LogDate(time) + " " + Padded(time.hour, 2) + separator + Padded(time.minute, 2) +
         separator + Padded(time.second, 2) + "." + Padded(time.millisecond, 3);
}

std::string DebugLogFileName(const std::string& folder, const platform::LocalTime& time) {
  return platform::IncludeTrailingPathDelimiter(folder) + "Debug_" + LogDate(time) + ".log";
}

std::string DebugLogLine(const platform::LocalTime& time, const std::string& instance_id,
                         const std::string& caption, const std::string& value, bool caption_only) {
  std::string line = DebugLogTimeStamp(time) + " Inst.: " + instance_id + "\t" + caption;
  if (!caption_only) line += ": \t" + value;
  line += "\r\n";
  return line;
}

}  // namespace pirell
