#pragma once

#include "helpdocument.h"
#include "helptopics.h"

#include <QRegularExpression>

#include <map>

// Where a link leads: a document and a topic in it, or why it cannot be followed.
struct HelpLink {
    QString document;
    QString anchor;  // empty for the top of the document
    QString problem; // in words; empty when the link can be followed

    bool ok() const { return problem.isEmpty(); }
};

// One topic that holds everything a search asked for.
struct HelpSearchHit {
    QString document;            // the document's file name
    QString title;               // the document's title
    QString anchor;              // the topic's anchor
    QString heading;             // the topic's heading
    QString snippet;             // a line of the topic's text around the first match
    QRegularExpression match;    // finds that first match in the topic's text
    bool matchInHeading = false; // the first match is in the heading: no term is in the text
};

// The three help documents, with no widgets: it reads them through HelpDocument, knows their
// topics, resolves links between them and searches them. The viewer shows what it returns.
class HelpLibrary {
public:
    explicit HelpLibrary(QStringList folders = HelpDocument::defaultFolders());

    // The documents there are, in the order a search lists them.
    static const QStringList& documentNames();

    void setFolders(const QStringList& folders);
    // A document made while the program runs, read in place of the file of that name until it
    // is taken back with an empty text: the question list of an open pool.
    void setStandIn(const QString& name, const QString& html);
    const QStringList& folders() const { return folders_; }

    // The named document, read the first time it is asked for; reload reads it afresh.
    const HelpDocument& document(const QString& name);
    const HelpDocument& reload(const QString& name);
    QString title(const QString& name);
    const QList<HelpTopic>& topics(const QString& name);

    // Where `href`, found in document `from`, leads. Only the three documents are ever
    // reached: "#topic", "DOC.hlp" and "DOC.hlp#topic".
    HelpLink resolve(const QString& from, const QString& href);

    // Every topic of the three documents that holds all the words of `query` (each matched at
    // the start of a word, in any case and order), and every "quoted phrase" exactly as
    // written (in any case). Topics with the words in their heading come first, then those
    // that hold them side by side in the order typed, then those that use them most.
    QList<HelpSearchHit> search(const QString& query);

    // The words and quoted phrases of a query, in order; a phrase keeps its quotes.
    static QStringList queryTerms(const QString& query);
    // What finds a term of queryTerms in a text: a word at the start of a word, a phrase as a
    // whole, its words separated by any spaces.
    static QRegularExpression termPattern(const QString& term);

private:
    struct Entry {
        HelpDocument file;
        QString title;
        QList<HelpTopic> topics;
        bool parsed = false;
    };
    Entry& entry(const QString& name);
    Entry& parsedEntry(const QString& name);

    QStringList folders_;
    std::map<QString, Entry> entries_;
    std::map<QString, QString> standIns_;
};
