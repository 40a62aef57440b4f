#pragma once

#include "driver_object/variant.h"
#include "fuzz_input.h"

namespace pirell::fuzz {

// Upper bounds of the trees a fuzzer builds; they keep one input cheap, not the driver safe.
inline constexpr int kMaxTreeDepth = 24;
inline constexpr std::size_t kMaxTreeElements = 512;

// A host value of any type decoded from the input: scalars of every automation type, texts
// (also ones that are no valid UTF-8), objects, and arrays of zero to three dimensions with any
// lower bounds (the extremes of 32 bits included) nested into each other.
Variant DecodeVariant(FuzzInput& input);

// An array of one dimension with lower bound 0 whose elements are decoded trees; the way a
// host passes InData.
Variant DecodeVector(FuzzInput& input, std::size_t max_count);

}  // namespace pirell::fuzz
