#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What a help document holds, topic by topic, read from the small HTML subset our documents
// are written in. A topic starts at an <h1>, <h2> or <h3> and runs to the next heading; the
// <a name> inside its heading is its anchor. The program's search and the build's checks of
// links both read the documents through this, so they agree on what a topic is.
struct HelpTopic {
    QString anchor;    // the name of the <a name="..."> in the heading; empty when it has none
    QString heading;   // the heading's plain text
    int level = 0;     // 1, 2 or 3 for <h1>, <h2>, <h3>
    QString text;      // the plain text after the heading up to the next one, a line per block
    QStringList links; // the href of every link in the topic, heading included, in order
};

// The topics in document order. Entities are decoded, tags dropped, runs of white space made
// one space (except in <pre>), and each block (paragraph, list item, table cell, <br>) starts a
// new line of `text`. Text before the first heading belongs to no topic.
QList<HelpTopic> parseHelpTopics(const QString& html);

// The text of the document's <title>, as plain text; empty when it has none.
QString helpDocumentTitle(const QString& html);
