#include "docxreader.h"
#include "poolparser.h"
#include "questionpool.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // A zip goes the whole way; anything else is taken as word/document.xml itself, so that
    // the XML is fuzzed without the zip's checksums in the way.
    if (bytes.startsWith("PK")) {
        bank::readPool(bytes, QStringLiteral("fuzz.docx"));
    } else {
        const bank::pool::DocxBody body = bank::pool::readDocumentXml(bytes);
        bank::pool::parsePool(body.text, true);
    }
    return 0;
}
