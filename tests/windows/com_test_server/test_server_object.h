#pragma once

#include "driver_object/base_object.h"

namespace pirell::test {

// The object of the test server: a driver object with a few host methods that let a script
// see how values travel through the COM binding.
//
// Private methods:
//   Echo(value)                       returns the value as it arrived
//   Describe(value)                   the value's layout as text: "[lo..hi,lo..hi:item item]"
//   Table()                           a 2-D array with bounds (1 to 2, 0 to 2), (i, j) = 10*i + j
//   Increment(number, text)           number + 1 and text & "+" written back to the arguments
//   Greeting()                        a Cyrillic text: "Привет, мир"
//   IsGreeting(text)                  whether the text is exactly that greeting
//   Length(text)                      the number of characters of the text
//   CallHost(object, name, args...)   calls the host object's method `name` with the remaining
//                                     arguments and writes back what the host changed
//   Raise()                           fails with the message "Тестовая ошибка"
//   MakeObject()                      a new object of this class
//   InstanceID()                      this object's instance identifier
// Public methods (InData, OutData, TimeOut):
//   Sum                               OutData = the sum of the elements of the InData array
//   FailWith                          fails with the result code InData, without a text
//   Explode                           raises the error "Публичный сбой"
class TTestServerObject : public TBaseObject {
 public:
  void Initialize() override;
};

}  // namespace pirell::test
