#include "test_server_object.h"

#include <string>
#include <vector>

#include "common/errors.h"
#include "platform/codepage.h"

namespace pirell::test {
namespace {

constexpr char kGreeting[] = "Привет, мир";

std::string Describe(const Variant& value) {
  if (!value.IsArray()) return value.IsObject() ? std::string("object") : value.ToString();
  const VariantArray& array = value.Array();
  std::string text = "[";
  for (int d = 0; d < array.Dims(); ++d) {
    if (d > 0) text += ",";
    text += std::to_string(array.Lower(d)) + ".." + std::to_string(array.Upper(d));
  }
  text += ":";
  for (std::size_t i = 0; i < array.Size(); ++i) {
    if (i > 0) text += " ";
    text += Describe(array.Items()[i]);
  }
  return text + "]";
}

const Variant& Param(VariantArray& params, std::size_t index) {
  if (index >= params.Size()) throw ArrayError("Missing argument");
  return params.Items()[index];
}

}  // namespace

void TTestServerObject::Initialize() {
  TBaseObject::Initialize();
  AddPrivateMethod("Echo", [](VariantArray& params) { return Param(params, 0); });
  AddPrivateMethod("Describe",
                   [](VariantArray& params) { return Variant(Describe(Param(params, 0))); });
  AddPrivateMethod("Table", [](VariantArray&) {
    VariantArray table({ArrayBound{1, 2}, ArrayBound{0, 3}});
    for (std::int32_t i = 1; i <= 2; ++i)
      for (std::int32_t j = 0; j <= 2; ++j) table.At({i, j}) = Variant(10 * i + j);
    return Variant(std::move(table));
  });
  AddPrivateMethod("Increment", [](VariantArray& params) {
    const Variant number = Param(params, 0);
    const Variant text = Param(params, 1);
    params.Items()[0] = Variant(number.ToInt() + 1);
    params.Items()[1] = Variant(text.ToString() + "+");
    return Variant();
  });
  AddPrivateMethod("Greeting", [](VariantArray&) { return Variant(kGreeting); });
  AddPrivateMethod("IsGreeting", [](VariantArray& params) {
    return Variant(Param(params, 0).ToString() == kGreeting);
  });
  AddPrivateMethod("Length", [](VariantArray& params) {
    return Variant(static_cast<int>(platform::Utf8ToUtf32(Param(params, 0).ToString()).size()));
  });
  AddPrivateMethod("CallHost", [](VariantArray& params) {
    const Variant& host = Param(params, 0);
    if (!host.IsObject() || !host.Object()) throw Error("The first argument is not an object");
    std::vector<Variant> call_args(params.Items().begin() + 2, params.Items().end());
    const Variant result = CallByName(*host.Object(), Param(params, 1).ToString(), call_args);
    for (std::size_t i = 0; i < call_args.size(); ++i) params.Items()[i + 2] = call_args[i];
    return result;
  });
  AddPrivateMethod("Raise",
                   [](VariantArray&) -> Variant { throw Error("Тестовая ошибка", "ETestError"); });
  AddPrivateMethod("MakeObject", [](VariantArray&) {
    return Variant::Dispatch(CreateObject<TTestServerObject>());
  });
  AddPrivateMethod("InstanceID", [this](VariantArray&) { return Variant(InstanceID()); });

  AddPublicMethod("Sum", [](const Variant& in_data, Variant& out_data, std::int32_t, std::string&) {
    double sum = 0;
    for (const Variant& item : in_data.Array().Items()) sum += item.ToDouble();
    out_data = Variant(sum);
    return rc::Ok;
  });
  AddPublicMethod("FailWith", [](const Variant& in_data, Variant&, std::int32_t, std::string&) {
    return static_cast<ResultCode>(in_data.ToInt());
  });
  AddPublicMethod("Explode",
                  [](const Variant&, Variant&, std::int32_t, std::string&) -> ResultCode {
                    throw Error("Публичный сбой");
                  });
}

}  // namespace pirell::test
