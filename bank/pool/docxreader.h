#pragma once

#include "questionpool.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// Reading a pool's .docx: its paragraphs as lines of text, and the images that are captioned
// as figures. Everything happens in memory.
namespace bank::pool {

// What a .docx may unpack to: beyond these it is refused, whatever its entries declare.
inline constexpr int mostDocxEntries = 1000;
inline constexpr qint64 largestDocumentXml = 64 * 1024 * 1024;
inline constexpr qint64 largestImage = 16 * 1024 * 1024;
inline constexpr qint64 largestImagesTogether = 64 * 1024 * 1024;
// Images past this many in document.xml are not looked at.
inline constexpr int mostImages = 10000;

struct DocxImage {
    int paragraph = 0;    // the paragraph it stands in, counted from 1
    QString relationship; // "rId5", looked up in word/_rels/document.xml.rels
};

struct DocxBody {
    // One line per paragraph (w:p) in document order, lines joined by '\n': paragraph n is
    // line n. Runs are joined; tabs and breaks are spaces.
    QString text;
    QList<DocxImage> images;
    QString error; // why the XML could not be read; empty when it could
};

// Reads the paragraphs of word/document.xml.
DocxBody readDocumentXml(const QByteArray& xml);

struct DocxContent {
    QString text; // as DocxBody::text
    QHash<QString, PoolFigure> figures;
    QString fault; // the whole reason the file is refused; empty when it was read
};

// Unpacks a .docx held in memory and reads its document and the images captioned as figures.
DocxContent readDocx(const QByteArray& bytes);

} // namespace bank::pool
