#include "poolparser.h"
#include "questionpool.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const bank::PoolReading reading = bank::pool::parsePool(bank::pool::decodeText(bytes), false);
    if (reading.pool)
        reading.pool->namedFigures();
    else
        bank::refusalMessage(QStringLiteral("fuzz.txt"), reading.fault);
    return 0;
}
