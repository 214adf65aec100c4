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

}  // namespace lark
