#include "docxreader.h"
#include "poolparser.h"

#include <QBuffer>
#include <QDir>
#include <QXmlStreamReader>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <array>

namespace bank::pool {

namespace {

// Word writes the transitional namespaces; strict documents use the others.
bool isWordNamespace(QStringView uri)
{
    return uri == u"http://schemas.openxmlformats.org/wordprocessingml/2006/main" ||
           uri == u"http://purl.oclc.org/ooxml/wordprocessingml/main";
}

bool isRelationshipNamespace(QStringView uri)
{
    return uri == u"http://schemas.openxmlformats.org/officeDocument/2006/relationships" ||
           uri == u"http://purl.oclc.org/ooxml/officeDocument/relationships";
}

bool isCompatibilityNamespace(QStringView uri)
{
    return uri == u"http://schemas.openxmlformats.org/markup-compatibility/2006";
}

QStringView relationshipAttribute(const QXmlStreamAttributes& attributes, QStringView name)
{
    for (const QXmlStreamAttribute& attribute : attributes) {
        if (attribute.name() == name && isRelationshipNamespace(attribute.namespaceUri()))
            return attribute.value();
    }
    return {};
}

QString damaged(const QString& why)
{
    return QStringLiteral("the .docx file is damaged: ") + why;
}

QString tooLarge(const QString& entry, qint64 limit)
{
    return QStringLiteral("the .docx file is too large: %1 unpacks to more than %2 MiB")
        .arg(entry, QString::number(limit / (1024 * 1024)));
}

enum class Unpacked { Whole, Missing, TooLarge, Damaged };

// Unpacks one entry, in chunks, stopping as soon as it passes `limit`: the size an entry
// declares is checked first but not trusted.
Unpacked unpack(QuaZip& zip, const QString& name, qint64 limit, QByteArray& data)
{
    data.clear();
    if (!zip.setCurrentFile(name, QuaZip::csSensitive))
        return zip.getZipError() == UNZ_OK ? Unpacked::Missing : Unpacked::Damaged;
    QuaZipFileInfo64 info;
    if (!zip.getCurrentFileInfo(&info))
        return Unpacked::Damaged;
    if (info.uncompressedSize > static_cast<quint64>(limit))
        return Unpacked::TooLarge;
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly))
        return Unpacked::Damaged;
    std::array<char, 64 * 1024> chunk;
    for (;;) {
        const qint64 got = file.read(chunk.data(), static_cast<qint64>(chunk.size()));
        if (got < 0)
            return Unpacked::Damaged;
        if (got == 0)
            break;
        if (data.size() + got > limit)
            return Unpacked::TooLarge;
        data.append(chunk.data(), static_cast<qsizetype>(got));
    }
    file.close();
    return file.getZipError() == UNZ_OK ? Unpacked::Whole : Unpacked::Damaged;
}

// The targets of the relationships of word/document.xml by their ids, as entries of the zip.
QHash<QString, QString> readRelationships(const QByteArray& xml)
{
    QHash<QString, QString> targets;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != u"Relationship")
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        if (attributes.value(QLatin1String("TargetMode")) == u"External")
            continue;
        const QStringView target = attributes.value(QLatin1String("Target"));
        // Targets are relative to word/, or absolute within the package.
        QString entry = target.startsWith(u'/')
                            ? QDir::cleanPath(target.sliced(1).toString())
                            : QDir::cleanPath(QStringLiteral("word/") + target.toString());
        if (!entry.isEmpty() && !entry.startsWith(u"..") && !entry.startsWith(u'/'))
            targets.insert(attributes.value(QLatin1String("Id")).toString(), entry);
    }
    return targets;
}

// The figure an image shows, by its caption: the text of its own paragraph, else the nearest
// paragraph after or before it (a few at most) that starts "Figure G7-1".
QString figureOfImage(const QString& text, const QList<qsizetype>& starts, int paragraph)
{
    const auto textOf = [&](int number) {
        const qsizetype start = starts[number - 1];
        const qsizetype end = number < starts.size() ? starts[number] - 1 : text.size();
        return QStringView(text).sliced(start, end - start);
    };
    if (QString name = figureNamedIn(textOf(paragraph)); !name.isEmpty())
        return name;
    const int paragraphs = static_cast<int>(starts.size());
    for (int distance = 1; distance <= 4; ++distance) {
        if (paragraph + distance <= paragraphs) {
            if (QString name = figureCaptioned(textOf(paragraph + distance)); !name.isEmpty())
                return name;
        }
        if (paragraph - distance >= 1) {
            if (QString name = figureCaptioned(textOf(paragraph - distance)); !name.isEmpty())
                return name;
        }
    }
    return {};
}

// The elements of word/document.xml that the reader follows.
enum class Part { Other, Paragraph, Run, Text, Space, Hyphen, Picture, Fallback };

Part partOf(const QXmlStreamReader& reader)
{
    // By the local name first, which is quick to compare, then the namespace.
    const QStringView name = reader.name();
    Part part = Part::Other;
    if (name == u"p")
        part = Part::Paragraph;
    else if (name == u"r")
        part = Part::Run;
    else if (name == u"t")
        part = Part::Text;
    else if (name == u"tab" || name == u"br" || name == u"cr")
        part = Part::Space;
    else if (name == u"noBreakHyphen")
        part = Part::Hyphen;
    else if (name == u"blip" || name == u"imagedata")
        return Part::Picture;
    else if (name == u"Fallback")
        return isCompatibilityNamespace(reader.namespaceUri()) ? Part::Fallback : Part::Other;
    else
        return Part::Other;
    return isWordNamespace(reader.namespaceUri()) ? part : Part::Other;
}

} // namespace

DocxBody readDocumentXml(const QByteArray& xml)
{
    DocxBody body;
    QXmlStreamReader reader(xml);
    int paragraphs = 0;
    // How deep the reader is in paragraphs, runs and texts. A paragraph inside a text box
    // starts a line of its own; what follows it in the outer paragraph stays on that line.
    int inParagraph = 0;
    int inRun = 0;
    int inText = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            switch (partOf(reader)) {
            case Part::Paragraph:
                if (paragraphs++ > 0)
                    body.text += u'\n';
                ++inParagraph;
                break;
            case Part::Run:
                inRun += inParagraph > 0 ? 1 : 0;
                break;
            // Outside a run, in the properties of a paragraph, a w:tab is a tab stop.
            case Part::Text:
                inText += inRun > 0 ? 1 : 0;
                break;
            case Part::Space:
                if (inRun > 0)
                    body.text += u' ';
                break;
            case Part::Hyphen:
                if (inRun > 0)
                    body.text += u'-';
                break;
            case Part::Picture:
                if (inParagraph > 0 && body.images.size() < mostImages) {
                    const QStringView id = relationshipAttribute(
                        reader.attributes(), reader.name() == u"blip" ? u"embed" : u"id");
                    if (!id.isEmpty())
                        body.images.append({paragraphs, id.toString()});
                }
                break;
            case Part::Fallback:
                // The same drawing again, for older readers.
                reader.skipCurrentElement();
                break;
            case Part::Other:
                break;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            switch (partOf(reader)) {
            case Part::Paragraph:
                inParagraph -= inParagraph > 0 ? 1 : 0;
                break;
            case Part::Run:
                inRun -= inRun > 0 ? 1 : 0;
                break;
            case Part::Text:
                inText -= inText > 0 ? 1 : 0;
                break;
            default:
                break;
            }
        } else if (token == QXmlStreamReader::Characters && inText > 0 && inParagraph > 0) {
            // A line break inside a text would split a paragraph in two.
            const qsizetype from = body.text.size();
            body.text += reader.text();
            for (qsizetype i = from; i < body.text.size(); ++i) {
                if (body.text[i] == u'\n' || body.text[i] == u'\r')
                    body.text[i] = u' ';
            }
        }
    }
    if (reader.hasError()) {
        body.error = QStringLiteral("line %1: %2")
                         .arg(QString::number(reader.lineNumber()), reader.errorString());
        body.images.clear();
    }
    return body;
}

DocxContent readDocx(const QByteArray& bytes)
{
    DocxContent content;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QuaZip zip(&buffer);
    if (!zip.open(QuaZip::mdUnzip)) {
        content.fault = damaged(QStringLiteral("it is not a zip archive that can be read"));
        return content;
    }
    const int entries = zip.getEntriesCount();
    if (entries < 0 || entries > mostDocxEntries) {
        content.fault = entries < 0 ? damaged(QStringLiteral("its list of files cannot be read"))
                                    : QStringLiteral("the .docx file holds more than %1 files, "
                                                     "too many for a question pool")
                                          .arg(mostDocxEntries);
        return content;
    }

    const QString documentName = QStringLiteral("word/document.xml");
    QByteArray xml;
    switch (unpack(zip, documentName, largestDocumentXml, xml)) {
    case Unpacked::Whole:
        break;
    case Unpacked::Missing:
        content.fault = damaged(QStringLiteral("it holds no word/document.xml"));
        return content;
    case Unpacked::TooLarge:
        content.fault = tooLarge(documentName, largestDocumentXml);
        return content;
    case Unpacked::Damaged:
        content.fault = damaged(QStringLiteral("word/document.xml cannot be unpacked"));
        return content;
    }
    DocxBody body = readDocumentXml(xml);
    xml.clear();
    if (!body.error.isEmpty()) {
        content.fault = damaged(
            QStringLiteral("word/document.xml is not well-formed XML (%1)").arg(body.error));
        return content;
    }
    content.text = std::move(body.text);
    if (body.images.isEmpty())
        return content;

    // The figures: each captioned image, the first one for each name. An image that cannot be
    // found or is in a format the program cannot show leaves its figure missing, which the
    // window reports; it does not refuse the pool.
    QList<qsizetype> starts{0};
    for (qsizetype i = 0; i < content.text.size(); ++i) {
        if (content.text[i] == u'\n')
            starts.append(i + 1);
    }
    QByteArray relationsXml;
    if (unpack(zip, QStringLiteral("word/_rels/document.xml.rels"), largestImage, relationsXml) !=
        Unpacked::Whole)
        return content;
    const QHash<QString, QString> targets = readRelationships(relationsXml);
    // Each paragraph's caption is looked for once and each entry unpacked once, and whatever
    // is unpacked counts against the limit, whole or not: many pictures of one paragraph, or
    // many references to one damaged entry, cost no more than one.
    QHash<int, QString> captions;
    QHash<QString, PoolFigure> unpacked;
    qint64 unpackedImages = 0;
    for (const DocxImage& image : body.images) {
        auto caption = captions.constFind(image.paragraph);
        if (caption == captions.constEnd())
            caption = captions.insert(image.paragraph,
                                      figureOfImage(content.text, starts, image.paragraph));
        const QString& figure = *caption;
        const QString entry = targets.value(image.relationship);
        if (figure.isEmpty() || entry.isEmpty() || content.figures.contains(figure))
            continue;
        if (!unpacked.contains(entry)) {
            QByteArray data;
            const Unpacked result = unpack(zip, entry, largestImage, data);
            if (result == Unpacked::TooLarge) {
                content.fault = tooLarge(entry, largestImage);
                return content;
            }
            unpackedImages += data.size();
            if (unpackedImages > largestImagesTogether) {
                content.fault = QStringLiteral("the .docx file is too large: its images unpack "
                                               "to more than %1 MiB")
                                    .arg(largestImagesTogether / (1024 * 1024));
                return content;
            }
            PoolFigure picture;
            if (result == Unpacked::Whole) {
                picture.format = imageFormat(data);
                picture.data = std::move(data);
            }
            unpacked.insert(entry, picture);
        }
        if (const PoolFigure& picture = unpacked[entry]; !picture.format.isEmpty())
            content.figures.insert(figure, picture);
    }
    return content;
}

} // namespace bank::pool
