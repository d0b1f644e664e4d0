#pragma once

#include "questionpool.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

// The parts of the pool reader that the .docx reader and the fuzz targets share; not for the
// rest of the program.
namespace bank::pool {

// The text of a plain-text pool: UTF-8 (a byte-order mark is dropped) when the bytes are valid
// UTF-8 or start with the mark, Windows-1252 otherwise.
QString decodeText(const QByteArray& bytes);

// Reads a pool from its text, one line per line of a text file or per paragraph of a .docx
// (`paragraphs`). Lines end at CR LF, LF or a lone CR. Leaves out the figures and the file name.
PoolReading parsePool(QStringView text, bool paragraphs);

// The figure that a text names anywhere ("... in figure G7-1?" gives "G7-1"); empty when none.
QString figureNamedIn(QStringView text);

// The figure that a caption names: the text, trimmed, starts with "Figure G7-1".
QString figureCaptioned(QStringView text);

// "png", "jpeg", "gif", "bmp" or "svg" by the first bytes of an image; empty for anything else.
QByteArray imageFormat(const QByteArray& data);

} // namespace bank::pool
