#pragma once

#include <stdexcept>
#include <string>

#include "QuotedText.h"

namespace tavlin {

// An error that ends a command: what() is "FILE: reason", the file named as
// MessagePath names it.
class TavlinError : public std::runtime_error {
 public:
  TavlinError(std::string file, std::string reason)
      : std::runtime_error(file.empty() ? reason : MessagePath(file) + ": " + reason),
        file_(std::move(file)),
        reason_(std::move(reason)) {}
  const std::string& File() const { return file_; }
  const std::string& Reason() const { return reason_; }

 private:
  std::string file_;
  std::string reason_;
};

}  // namespace tavlin
