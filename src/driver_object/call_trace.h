#pragma once

#include <string>

#include "driver_object/variant.h"
#include "platform/time_source.h"

namespace pirell {

// The log text of a host value: integers in decimal, texts in single quotes with line breaks
// written as \n, arrays in brackets (see ArrayToText), "EMPTY" and "NULL" for missing values,
// and the empty text for the types the log does not show.
std::string ValueToText(const Variant& value);

// The log text of an array: "[", the elements grouped by dimension with the first index varying
// fastest, "]". Elements of dimension 1 are separated by "; ", groups of higher dimensions follow
// each other directly, and an element holding an array nests as another bracketed group:
// [(1; 'a'; EMPTY)], [()] for no elements, [((e00; e10)(e01; e11))] for a 2 by 2 table.
// Arrays nested deeper than kMaxArrayNesting show as [...]. A value that holds no array gives
// ValueToText.
std::string ArrayToText(const Variant& value);
std::string ArrayToText(const VariantArray& array);

// "yyyy.mm.dd hh:nn:ss.zzz" with the user locale's time separator.
std::string DebugLogTimeStamp(const platform::LocalTime& time);

// The daily log file in `folder`: folder, a path delimiter when missing, "Debug_yyyy.mm.dd.log".
std::string DebugLogFileName(const std::string& folder, const platform::LocalTime& time);

// One log line in UTF-8: the time stamp, " Inst.: ", the instance, a tab, the caption and,
// unless `caption_only`, ": \t" and the value; ends with CR LF.
std::string DebugLogLine(const platform::LocalTime& time, const std::string& instance_id,
                         const std::string& caption, const std::string& value, bool caption_only);

}  // namespace pirell
