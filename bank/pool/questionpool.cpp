// Reading a question pool as the committee publishes it.
//
// openPool refuses a file over largestPoolFile by its size alone, reads it, hands its bytes to
// readPool, and then looks beside the file for the figures the pool names but did not hold.
// readPool tells a .docx (a zip) from plain text by the first bytes. A .docx is unpacked in
// memory (docxreader): the paragraphs of word/document.xml become lines of text, one per
// paragraph, and the images captioned "Figure G7-1" become the pool's figures. Plain text is
// decoded as UTF-8 or else Windows-1252 (poolparser). Either way the lines go to the same
// parser, which finds the title and the first question, reads the exam from the SUBELEMENT line
// before that question to the end of the last one, and stops at the first fault with its line
// (or paragraph) and plain words.

#include "questionpool.h"
#include "docxreader.h"
#include "poolparser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace bank {

namespace {

PoolReading refusal(const QString& what)
{
    PoolReading reading;
    reading.fault.what = what;
    return reading;
}

// The figures a pool names and did not hold, from image files beside it: G7-1.png, .jpg,
// .jpeg or .svg, by the figure's name or the same in lower case.
void addFiguresBeside(QuestionPool& pool, const QDir& folder)
{
    static const QStringList extensions{QStringLiteral("png"),  QStringLiteral("jpg"),
                                        QStringLiteral("jpeg"), QStringLiteral("svg"),
                                        QStringLiteral("PNG"),  QStringLiteral("JPG"),
                                        QStringLiteral("JPEG"), QStringLiteral("SVG")};
    for (const QString& figure : pool.namedFigures()) {
        if (pool.figures.contains(figure))
            continue;
        bool found = false;
        for (const QString& name : {figure, figure.toLower()}) {
            for (const QString& extension : extensions) {
                const QString path = folder.filePath(name + u'.' + extension);
                const QFileInfo info(path);
                if (!info.isFile() || info.size() > pool::largestImage)
                    continue;
                QFile file(path);
                if (!file.open(QIODevice::ReadOnly))
                    continue;
                QByteArray data = file.read(pool::largestImage);
                QByteArray format = pool::imageFormat(data);
                if (format.isEmpty())
                    continue;
                pool.figures.insert(figure, PoolFigure{std::move(data), std::move(format)});
                found = true;
                break;
            }
            if (found)
                break;
        }
    }
}

} // namespace

QString QuestionPool::className() const
{
    switch (element) {
    case 'T':
        return QStringLiteral("Technician");
    case 'G':
        return QStringLiteral("General");
    case 'E':
        return QStringLiteral("Extra");
    default:
        return {};
    }
}

int QuestionPool::elementNumber() const
{
    return element == 'T' ? 2 : element == 'G' ? 3 : element == 'E' ? 4 : 0;
}

QStringList QuestionPool::namedFigures() const
{
    QStringList names;
    QSet<QString> seen;
    for (const PoolGroup& group : groups) {
        for (const PoolQuestion& question : group.questions) {
            if (!question.figure.isEmpty() && !seen.contains(question.figure)) {
                seen.insert(question.figure);
                names.append(question.figure);
            }
        }
    }
    return names;
}

QString PoolFault::where() const
{
    if (line <= 0)
        return what;
    return QStringLiteral("%1 %2: %3")
        .arg(paragraph ? QStringLiteral("paragraph") : QStringLiteral("line"),
             QString::number(line), what);
}

PoolReading readPool(const QByteArray& bytes, const QString& fileName)
{
    PoolReading reading;
    // A zip starts "PK" and a control character; a pool's text never does.
    if (bytes.size() >= 4 && bytes.startsWith("PK") &&
        static_cast<unsigned char>(bytes[2]) < 0x20) {
        pool::DocxContent docx = pool::readDocx(bytes);
        if (!docx.fault.isEmpty())
            return refusal(docx.fault);
        reading = pool::parsePool(docx.text, true);
        if (reading.pool)
            reading.pool->figures = std::move(docx.figures);
    } else if (bytes.startsWith("\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1")) {
        return refusal(QStringLiteral("this is a Word 97-2003 document (.doc); save it as .docx "
                                      "or as plain text and open that"));
    } else if (bytes.startsWith("%PDF-")) {
        return refusal(QStringLiteral("this is a PDF file; open the pool's .docx or plain text "
                                      "instead"));
    } else {
        reading = pool::parsePool(pool::decodeText(bytes), false);
    }
    if (reading.pool)
        reading.pool->fileName = QFileInfo(fileName).fileName();
    return reading;
}

PoolReading openPool(const QString& path)
{
    const QFileInfo info(path);
    const QString tooLarge = QStringLiteral("the file is larger than %1 MiB, too large for a "
                                            "question pool")
                                 .arg(largestPoolFile / (1024 * 1024));
    if (!info.exists())
        return refusal(QStringLiteral("the file does not exist"));
    if (info.isDir())
        return refusal(QStringLiteral("it is a folder, not a file"));
    if (info.size() > largestPoolFile)
        return refusal(tooLarge);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refusal(QStringLiteral("the file cannot be read (%1)").arg(file.errorString()));
    // The file may have grown since it was measured.
    const QByteArray bytes = file.read(largestPoolFile + 1);
    if (file.error() != QFileDevice::NoError)
        return refusal(QStringLiteral("the file cannot be read (%1)").arg(file.errorString()));
    if (bytes.size() > largestPoolFile)
        return refusal(tooLarge);
    PoolReading reading = readPool(bytes, info.fileName());
    if (reading.pool)
        addFiguresBeside(*reading.pool, info.dir());
    return reading;
}

QString refusalMessage(const QString& fileName, const PoolFault& fault)
{
    QString message = QStringLiteral("Cannot open %1: %2").arg(fileName, fault.where());
    if (!message.endsWith(u'.') && !message.endsWith(u'?') && !message.endsWith(u'!'))
        message += u'.';
    return message;
}

} // namespace bank
