#pragma once

// Builds .docx files in memory, as Word would write a pool, for the pool reader's tests and
// its benchmark.

#include <QBuffer>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <utility>

namespace pooldocx {

struct Entry {
    QString name;
    QByteArray data;
    int method = Z_DEFLATED; // 0 stores the data as it is
};

inline QByteArray zip(const QList<Entry>& entries)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QuaZip archive(&buffer);
    archive.open(QuaZip::mdCreate);
    for (const Entry& entry : entries) {
        QuaZipFile file(&archive);
        file.open(QIODevice::WriteOnly, QuaZipNewInfo(entry.name), nullptr, 0, entry.method,
                  Z_DEFAULT_COMPRESSION);
        file.write(entry.data);
        file.close();
    }
    archive.close();
    return bytes;
}

inline QByteArray escaped(QStringView text)
{
    return text.toString().toHtmlEscaped().toUtf8();
}

// A paragraph cut into runs of `runLength` characters, as Word cuts words at random; its first
// space is a tab and its second a line break. `relationship` puts a picture in it.
inline QByteArray paragraph(QStringView line, const QByteArray& relationship = {},
                            qsizetype runLength = 3)
{
    QByteArray xml = "<w:p><w:pPr><w:tabs><w:tab w:val=\"left\" w:pos=\"720\"/></w:tabs></w:pPr>";
    int spaces = 0;
    for (qsizetype at = 0; at < line.size();) {
        if (line[at] == u' ' && spaces < 2) {
            xml += spaces++ == 0 ? "<w:r><w:tab/></w:r>" : "<w:r><w:br/></w:r>";
            ++at;
            continue;
        }
        qsizetype length = 1;
        while (length < runLength && at + length < line.size() &&
               !(line[at + length] == u' ' && spaces < 2))
            ++length;
        xml += "<w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">" +
               escaped(line.sliced(at, length)) + "</w:t></w:r>";
        at += length;
    }
    if (!relationship.isEmpty())
        xml += "<w:r><w:drawing><wp:inline><wp:extent cx=\"914400\" cy=\"914400\"/>"
               "<wp:docPr id=\"1\" name=\"Picture\"/><a:graphic><a:graphicData "
               "uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><pic:pic>"
               "<pic:blipFill><a:blip r:embed=\"" +
               relationship +
               "\"/></pic:blipFill></pic:pic></a:graphicData></a:graphic></wp:inline>"
               "</w:drawing></w:r>";
    return xml + "</w:p>";
}

inline QByteArray documentXml(const QByteArray& paragraphs)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w:document "
           "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
           "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
           "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
           "xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><w:body>" +
           paragraphs + "<w:sectPr/></w:body></w:document>";
}

// A whole .docx with one paragraph per line of `lines`; `pictures` puts an image (file name in
// word/media and its bytes) in the paragraph of a line, counted from 0.
inline QByteArray docx(const QStringList& lines,
                       const QHash<int, std::pair<QString, QByteArray>>& pictures = {},
                       qsizetype runLength = 3)
{
    QByteArray body;
    QByteArray relationships =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    QList<Entry> media;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray id;
        if (const auto picture = pictures.constFind(static_cast<int>(i));
            picture != pictures.constEnd()) {
            id = "rId" + QByteArray::number(10 + media.size());
            relationships += "<Relationship Id=\"" + id +
                             "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                             "relationships/image\" Target=\"media/" +
                             picture->first.toUtf8() + "\"/>";
            media.append({QStringLiteral("word/media/") + picture->first, picture->second});
        }
        body += paragraph(lines[i], id, runLength);
    }
    QList<Entry> entries{
        {QStringLiteral("[Content_Types].xml"),
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Types "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default "
         "Extension=\"rels\" ContentType=\"application/"
         "vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
         "ContentType=\"application/xml\"/><Default Extension=\"png\" "
         "ContentType=\"image/png\"/><Override PartName=\"/word/document.xml\" "
         "ContentType=\"application/"
         "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>"},
        {QStringLiteral("_rels/.rels"),
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
         "Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
         "relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>"},
        {QStringLiteral("word/document.xml"), documentXml(body)},
        {QStringLiteral("word/_rels/document.xml.rels"), relationships + "</Relationships>"}};
    return zip(entries + media);
}

// A picture of one grey pixel.
inline QByteArray png()
{
    return QByteArray::fromHex("89504e470d0a1a0a0000000d49484452000000010000000108000000003a7e9b55"
                               "0000000a49444154789c6360000000020001"
                               "48afa471"
                               "0000000049454e44ae426082");
}

} // namespace pooldocx
