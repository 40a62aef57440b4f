// The class the test server DLL serves.

#include "com_server/com_class.h"
#include "test_server_class.h"
#include "test_server_object.h"

namespace pirell::com {
namespace {

std::shared_ptr<TBaseObject> CreateTestServerObject() {
  return CreateObject<test::TTestServerObject>();
}

}  // namespace

std::span<const ComClassInfo> ModuleClasses() {
  static const ComClassInfo kClasses[] = {
      {test::kTestServerClassId, test::kTestServerProgId, "Pirell test server",
       &CreateTestServerObject},
  };
  return kClasses;
}

}  // namespace pirell::com
