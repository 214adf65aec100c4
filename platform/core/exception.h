#pragma once

#include <exception>
#include <string>

namespace lark {

// Root of every failure the program raises: a class per kind of failure, each
// carrying the message text that reaches the user.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : Message(std::move(message)) {}
  const char* what() const noexcept override { return Message.c_str(); }

  std::string Message;
};

// Declares an exception class that only names a kind of failure: callers
// catch by family, so the hierarchy matters more than the classes' contents.
#define LARK_EXCEPTION_CLASS(Name, Base) \
  class Name : public Base {             \
   public:                               \
    using Base::Base;                    \
  }

LARK_EXCEPTION_CLASS(EConvertError, Exception);
LARK_EXCEPTION_CLASS(EInOutError, Exception);
LARK_EXCEPTION_CLASS(EOutOfMemory, Exception);
LARK_EXCEPTION_CLASS(EOutOfResources, Exception);
LARK_EXCEPTION_CLASS(EInvalidOperation, Exception);
// Failures of the component model: an invalid or duplicate component name, a
// menu item inserted twice or out of range. Libraries without windows raise
// and catch it as well, so it lives with the other core failures.
LARK_EXCEPTION_CLASS(EComponentError, Exception);
LARK_EXCEPTION_CLASS(EListError, Exception);
LARK_EXCEPTION_CLASS(EStringListError, EListError);
LARK_EXCEPTION_CLASS(EStreamError, Exception);
LARK_EXCEPTION_CLASS(EFileStreamError, EStreamError);
LARK_EXCEPTION_CLASS(EFCreateError, EFileStreamError);
LARK_EXCEPTION_CLASS(EFOpenError, EFileStreamError);
LARK_EXCEPTION_CLASS(EReadError, EStreamError);
LARK_EXCEPTION_CLASS(EWriteError, EStreamError);
LARK_EXCEPTION_CLASS(EThread, Exception);

}  // namespace lark
