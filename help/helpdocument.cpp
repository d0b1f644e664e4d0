#include "helpdocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>

namespace {

const QByteArray firstLine = QByteArrayLiteral("<!-- qx9ven help document -->");

HelpDocument refuse(HelpDocument document, const QString& why)
{
    document.problem = why;
    return document;
}

} // namespace

QStringList HelpDocument::defaultFolders(const QString& programFolder)
{
    const QDir program(programFolder);
    QStringList folders{program.path(), program.filePath(QStringLiteral(QX_HELP_RELATIVE_DIR)),
                        QStringLiteral(QX_HELP_DATA_DIR)};
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        folders << QDir(data).filePath(QStringLiteral("qx9ven-general"));
    for (QString& folder : folders)
        folder = QDir::cleanPath(folder);
    folders.removeDuplicates();
    return folders;
}

QStringList HelpDocument::defaultFolders()
{
    return defaultFolders(QCoreApplication::applicationDirPath());
}

HelpDocument HelpDocument::load(const QString& name, const QStringList& folders)
{
    HelpDocument document;
    document.name = name;
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name.startsWith(QLatin1Char('.')))
        return refuse(document, QStringLiteral("The name is not a plain document name."));

    for (const QString& folder : folders) {
        const QFileInfo info(QDir(folder).filePath(name));
        if (!info.exists())
            continue;
        document.path = info.absoluteFilePath();
        if (info.isDir())
            return refuse(document, QStringLiteral("It is a folder, not a document."));
        if (info.size() == 0)
            return refuse(document, QStringLiteral("The file is empty."));
        if (info.size() > largestSize)
            return refuse(document, QStringLiteral("The file is too large to be a help document "
                                                   "(%1 bytes; at most %2 are read).")
                                        .arg(info.size())
                                        .arg(largestSize));
        QFile file(document.path);
        if (!file.open(QIODevice::ReadOnly))
            return refuse(document,
                          QStringLiteral("The file cannot be read: %1.").arg(file.errorString()));
        const QByteArray bytes = file.read(largestSize + 1);
        if (bytes.size() > largestSize)
            return refuse(document, QStringLiteral("The file is too large to be a help document."));
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder.decode(bytes);
        if (decoder.hasError() || bytes.contains('\0'))
            return refuse(document, QStringLiteral("The file is not a text document."));
        if (!bytes.startsWith(firstLine))
            return refuse(document,
                          QStringLiteral("The file is not a help document of this program."));
        document.html = text;
        return document;
    }
    return refuse(document, QStringLiteral("No such document was found."));
}
