#pragma once

#include <QString>
#include <QStringList>

// Finds and reads a help document by its bare name. The documents live in one of a fixed list
// of folders (see defaultFolders); a name with a path in it is never followed. Anything that is
// not one of our documents is refused with a reason in words.
struct HelpDocument {
    QString name;    // the bare name asked for
    QString path;    // where it was found; empty when it was not found
    QString html;    // the document, when it could be read
    QString problem; // why it cannot be shown; empty when all is well

    bool ok() const { return problem.isEmpty(); }

    static HelpDocument load(const QString& name, const QStringList& folders);
    // The folders searched, in order: the program's own folder (the build tree), the data folder
    // of the installation the program sits in (found from the program, so any install prefix
    // works), the data folder the build was configured for, then the XDG data folders.
    static QStringList defaultFolders(const QString& programFolder);
    static QStringList defaultFolders();

    static constexpr qint64 largestSize = 8 * 1024 * 1024;
};
