// The run-time errors of a conversion. Every failure of the core travels as one of these; only the
// conversion run catches them, and its message box never shows what() (the console may).
#pragma once

#include <stdexcept>
#include <string>

namespace quorbel {

class RunTimeError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A value left the range of its integer type (never wraps).
class OverflowError : public RunTimeError {
  public:
    using RunTimeError::RunTimeError;
};

// A byte character was asked for a value outside 0..255, or a count was negative.
class InvalidArgumentError : public RunTimeError {
  public:
    using RunTimeError::RunTimeError;
};

// A text that should be a number is not one, or a bit text is too short for the width read.
class TypeMismatchError : public RunTimeError {
  public:
    using RunTimeError::RunTimeError;
};

// Opening, reading, writing, replacing or deleting a file failed.
class FileError : public RunTimeError {
  public:
    using RunTimeError::RunTimeError;
};

// Not an error: the front end asked the run to stop (its window closed, or a signal arrived).
class RunInterrupted {};

}  // namespace quorbel
