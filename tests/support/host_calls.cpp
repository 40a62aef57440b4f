#include "support/host_calls.h"

#include <gtest/gtest.h>

namespace pirell::testing {

std::int32_t PublicCall::Code() const {
  if (result.ToBool() || !out_data.IsArray()) return 0;
  return out_data.Array().At({0}).ToInt();
}

std::string PublicCall::Message() const {
  if (result.ToBool() || !out_data.IsArray()) return {};
  return out_data.Array().At({1}).ToString();
}

PublicCall CallPublic(LateBoundObject& object, std::string_view name, Variant in_data,
                      Variant time_out) {
  PublicCall call;
  DispId id = -1;
  call.status = object.GetIDsOfNames(name, id);
  if (!Succeeded(call.status)) return call;
  std::vector<Variant> args{Variant::Ref(&in_data), Variant::Ref(&call.out_data),
                            Variant::Ref(&time_out)};
  VariantArguments block(args);
  ExceptionInfo exception;
  call.status = object.Invoke(id, kDispatchMethod, block, &call.result, &exception);
  return call;
}

PrivateCall CallPrivate(LateBoundObject& object, std::string_view name,
                        std::vector<Variant> params) {
  PrivateCall call;
  call.params = std::move(params);
  DispId id = -1;
  call.status = object.GetIDsOfNames(name, id);
  if (!Succeeded(call.status)) return call;
  std::vector<Variant> args;
  for (Variant& param : call.params) args.push_back(Variant::Ref(&param));
  VariantArguments block(args);
  call.status = object.Invoke(id, kDispatchMethod, block, &call.result, &call.exception);
  return call;
}

void InitAndOpen(LateBoundObject& device, const std::shared_ptr<LateBoundObject>& host,
                 const std::string& device_id) {
  const PrivateCall init = CallPrivate(device, "Init", {Variant::Dispatch(host), Variant()});
  ASSERT_EQ(init.status, hr::Ok);
  ASSERT_TRUE(init.result.ToBool()) << init.params[1].ToString();
  const PrivateCall open = CallPrivate(device, "Open", {Variant::OleStr(device_id), Variant()});
  ASSERT_EQ(open.status, hr::Ok);
  ASSERT_TRUE(open.result.ToBool()) << open.params[1].ToString();
}

}  // namespace pirell::testing
