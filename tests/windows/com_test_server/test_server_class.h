#pragma once

namespace pirell::test {

// The class the test server DLL registers. Its own identity, so that registering the test server
// never touches the driver's registration.
constexpr char kTestServerClassId[] = "2BF18DBF-F255-49A4-9B26-D1726AEA49C4";
constexpr char kTestServerProgId[] = "KestroEq.PirellTest";

}  // namespace pirell::test
