#include "runtimeerror.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

namespace bank {

namespace {
RuntimeErrorHandler currentHandler = nullptr;
}

QString runtimeErrorMessage(RuntimeError error)
{
    switch (error) {
    case RuntimeError::Overflow:
        return QStringLiteral("Run-time error: Overflow");
    case RuntimeError::FloatingPoint:
        return QStringLiteral("Run-time error: Floating-point fault");
    }
    return QStringLiteral("Run-time error");
}

RuntimeErrorHandler setRuntimeErrorHandler(RuntimeErrorHandler handler)
{
    const RuntimeErrorHandler previous = currentHandler;
    currentHandler = handler;
    return previous;
}

void raiseRuntimeError(RuntimeError error)
{
    if (currentHandler != nullptr)
        currentHandler(error);
    std::fprintf(stderr, "%s\n", qPrintable(runtimeErrorMessage(error)));
    std::exit(EXIT_FAILURE);
}

qint16 checkedIncrement(qint16 value)
{
    if (value == std::numeric_limits<qint16>::max())
        raiseRuntimeError(RuntimeError::Overflow);
    return static_cast<qint16>(value + 1);
}

} // namespace bank
