// Exact error texts in one line: the message of the exception of class E that
// an action raises. An exception of another class is not caught, so the test
// still fails on it.
#pragma once

#include "platform/SysUtils.h"

#include <string>

template <typename E = Exception, typename Action>
std::string ErrorText(Action&& action) {
  try {
    action();
  } catch (const E& e) {
    return e.Message();
  }
  return "(no exception)";
}
