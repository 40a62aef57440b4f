#pragma once

#include <string>

namespace pirell::platform {

// A freshly generated GUID in registry text form: 38 characters, braces, upper-case hexadecimal,
// {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.
std::string NewGuidText();

}  // namespace pirell::platform
