#pragma once

#include <QString>
#include <QtGlobal>

namespace bank {

// The program keeps no error handling of its own: a fault in arithmetic stops it with a
// run-time error message, as a misbehaving counter must never wrap around silently.
enum class RuntimeError { Overflow, FloatingPoint };

QString runtimeErrorMessage(RuntimeError error);

// Called before the program stops; the window installs one that shows the message.
// A handler that returns leaves the stop to raiseRuntimeError (message on stderr, status 1).
using RuntimeErrorHandler = void (*)(RuntimeError error);
RuntimeErrorHandler setRuntimeErrorHandler(RuntimeErrorHandler handler);

[[noreturn]] void raiseRuntimeError(RuntimeError error);

// value + 1 for a 16-bit counter, stopping with Overflow past 32767.
qint16 checkedIncrement(qint16 value);

} // namespace bank
