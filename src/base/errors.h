// The one family of failures. Everything that goes wrong travels as an Error whose what() is a
// readable message for a "cause:" line or a command's message; only the conversion run (and the
// runs built like it) and the command base catch them. The conversion run's message box never
// shows what() (the console may).
#pragma once

#include <stdexcept>
#include <string>

namespace quorbel {

class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The run-time errors a conversion knows. The run ends in its error handler on any of them.
class RunTimeError : public Error {
  public:
    using Error::Error;
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

// A file's content is not what a command needs of it: no picture that can be read, a level
// without records to draw, a map that cannot become a level.
class FormatError : public Error {
  public:
    using Error::Error;
};

// What an input asks for does not fit in memory (a picture, a preview, a layer's data).
class OutOfMemoryError : public Error {
  public:
    using Error::Error;
};

// Not an error: the front end asked the run to stop (its window closed, or a signal arrived).
class RunInterrupted {};

}  // namespace quorbel
