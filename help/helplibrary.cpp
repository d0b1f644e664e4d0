#include "helplibrary.h"

#include <algorithm>

namespace {

// How much of a long line a search result shows around its match.
constexpr qsizetype snippetLength = 110;
constexpr qsizetype snippetLead = 40;
// Occurrences beyond this many add nothing to a topic's rank.
constexpr int countedOccurrences = 20;

// The line of `text` around position `at`, cut at word boundaries to about snippetLength.
QString snippetAround(const QString& text, qsizetype at)
{
    const qsizetype lineStart = text.lastIndexOf(QLatin1Char('\n'), at) + 1;
    qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), at);
    if (lineEnd < 0)
        lineEnd = text.size();
    qsizetype start = lineStart;
    qsizetype end = lineEnd;
    if (end - start > snippetLength) {
        start = std::max(lineStart, at - snippetLead);
        while (start > lineStart && !text[start - 1].isSpace())
            ++start;
        end = std::min(lineEnd, start + snippetLength);
        while (end < lineEnd && end > start && !text[end].isSpace())
            --end;
    }
    QString snippet = text.sliced(start, end - start).trimmed();
    if (start > lineStart)
        snippet.prepend(QStringLiteral("\u2026"));
    if (end < lineEnd)
        snippet.append(QStringLiteral("\u2026"));
    return snippet;
}

} // namespace

HelpLibrary::HelpLibrary(QStringList folders) : folders_(std::move(folders)) {}

const QStringList& HelpLibrary::documentNames()
{
    static const QStringList names{QStringLiteral("PRIMER.hlp"), QStringLiteral("REGBOOK.hlp"),
                                   QStringLiteral("POOLLIST.hlp")};
    return names;
}

void HelpLibrary::setFolders(const QStringList& folders)
{
    folders_ = folders;
    entries_.clear();
}

void HelpLibrary::setStandIn(const QString& name, const QString& html)
{
    if (html.isEmpty())
        standIns_.erase(name);
    else
        standIns_[name] = html;
    entries_.erase(name);
}

HelpLibrary::Entry& HelpLibrary::entry(const QString& name)
{
    auto found = entries_.find(name);
    if (found == entries_.end()) {
        const auto standIn = standIns_.find(name);
        HelpDocument file = standIn == standIns_.end()
                                ? HelpDocument::load(name, folders_)
                                : HelpDocument{name, QString(), standIn->second, QString()};
        found = entries_.emplace(name, Entry{std::move(file), {}, {}, false}).first;
    }
    return found->second;
}

HelpLibrary::Entry& HelpLibrary::parsedEntry(const QString& name)
{
    Entry& found = entry(name);
    if (!found.parsed && found.file.ok()) {
        found.title = helpDocumentTitle(found.file.html);
        found.topics = parseHelpTopics(found.file.html);
    }
    found.parsed = true;
    return found;
}

const HelpDocument& HelpLibrary::document(const QString& name)
{
    return entry(name).file;
}

const HelpDocument& HelpLibrary::reload(const QString& name)
{
    entries_.erase(name);
    return document(name);
}

QString HelpLibrary::title(const QString& name)
{
    return parsedEntry(name).title;
}

const QList<HelpTopic>& HelpLibrary::topics(const QString& name)
{
    return parsedEntry(name).topics;
}

HelpLink HelpLibrary::resolve(const QString& from, const QString& href)
{
    HelpLink link;
    const qsizetype hash = href.indexOf(QLatin1Char('#'));
    link.document = hash < 0 ? href : href.first(hash);
    link.anchor = hash < 0 ? QString() : href.sliced(hash + 1);
    // A link within the open document needs no name; any other names one of the three.
    if (link.document.isEmpty())
        link.document = from;
    else if (!documentNames().contains(link.document)) {
        const bool looksLikeDocument = link.document.endsWith(QLatin1String(".hlp")) &&
                                       !link.document.contains(QLatin1Char('/')) &&
                                       !link.document.contains(QLatin1Char(':'));
        link.problem =
            looksLikeDocument
                ? QStringLiteral("There is no help document named %1.").arg(link.document)
                : QStringLiteral("This link leads outside the help documents and is not "
                                 "followed: %1")
                      .arg(href);
        return link;
    }
    const Entry& target = parsedEntry(link.document);
    if (!target.file.ok()) {
        link.problem = QStringLiteral("The help document %1 cannot be shown. %2")
                           .arg(link.document, target.file.problem);
    } else if (!link.anchor.isEmpty() &&
               std::none_of(target.topics.begin(), target.topics.end(),
                            [&](const HelpTopic& topic) { return topic.anchor == link.anchor; })) {
        link.problem = QStringLiteral("The help document %1 has no topic named \"%2\".")
                           .arg(link.document, link.anchor);
    }
    return link;
}

QStringList HelpLibrary::queryTerms(const QString& query)
{
    static const QRegularExpression term(QStringLiteral("\"[^\"]*\"?|[^\\s\"]+"));
    QStringList terms;
    for (const QRegularExpressionMatch& found : term.globalMatch(query)) {
        QString text = found.captured();
        if (text.startsWith(QLatin1Char('"'))) {
            text = text.mid(1);
            if (text.endsWith(QLatin1Char('"')))
                text.chop(1);
            text = text.simplified();
            if (text.isEmpty())
                continue;
            text = QLatin1Char('"') + text + QLatin1Char('"');
        }
        terms << text;
    }
    return terms;
}

QRegularExpression HelpLibrary::termPattern(const QString& term)
{
    const bool phrase = term.size() > 1 && term.startsWith(QLatin1Char('"'));
    const QString text = phrase ? term.mid(1, term.size() - 2) : term;
    QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString& word : words)
        word = QRegularExpression::escape(word);
    QString pattern = words.join(QStringLiteral("[ \\x{a0}]+"));
    if (text.front().isLetterOrNumber())
        pattern.prepend(QStringLiteral("(?<!\\w)"));
    if (phrase && text.back().isLetterOrNumber())
        pattern.append(QStringLiteral("(?!\\w)"));
    return QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption |
                                           QRegularExpression::UseUnicodePropertiesOption);
}

QList<HelpSearchHit> HelpLibrary::search(const QString& query)
{
    const QStringList terms = queryTerms(query);
    QList<QRegularExpression> patterns;
    for (const QString& term : terms)
        patterns << termPattern(term);
    if (patterns.isEmpty())
        return {};
    // Topics that hold the words side by side, as typed, rank above those that scatter them.
    QStringList words;
    for (QString term : terms)
        words << QRegularExpression::escape(term.remove(QLatin1Char('"')));
    const QRegularExpression together(
        QStringLiteral("(?<!\\w)") + words.join(QStringLiteral("\\W+")),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);

    struct Ranked {
        HelpSearchHit hit;
        int inHeading = 0;
        bool together = false;
        int occurrences = 0;
    };
    QList<Ranked> found;
    for (const QString& name : documentNames()) {
        const Entry& document = parsedEntry(name);
        for (const HelpTopic& topic : document.topics) {
            Ranked ranked;
            qsizetype firstInText = -1;
            const QRegularExpression* firstPattern = nullptr;
            bool all = true;
            for (const QRegularExpression& pattern : patterns) {
                const QRegularExpressionMatch inText = pattern.match(topic.text);
                const bool inHeading = pattern.match(topic.heading).hasMatch();
                if (!inText.hasMatch() && !inHeading) {
                    all = false;
                    break;
                }
                ranked.inHeading += inHeading ? 1 : 0;
                if (inText.hasMatch() &&
                    (firstInText < 0 || inText.capturedStart() < firstInText)) {
                    firstInText = inText.capturedStart();
                    firstPattern = &pattern;
                }
                QRegularExpressionMatchIterator each = pattern.globalMatch(topic.text);
                for (int n = 0; n < countedOccurrences && each.hasNext(); ++n, each.next())
                    ++ranked.occurrences;
            }
            if (!all)
                continue;
            ranked.together = terms.size() > 1 && together.match(topic.text).hasMatch();
            HelpSearchHit& hit = ranked.hit;
            hit.document = name;
            hit.title = document.title;
            hit.anchor = topic.anchor;
            hit.heading = topic.heading;
            hit.matchInHeading = firstPattern == nullptr;
            hit.match = firstPattern ? *firstPattern : patterns.front();
            hit.snippet = firstPattern ? snippetAround(topic.text, firstInText)
                                       : topic.text.section(QLatin1Char('\n'), 0, 0);
            found << std::move(ranked);
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const Ranked& a, const Ranked& b) {
        if (a.inHeading != b.inHeading)
            return a.inHeading > b.inHeading;
        if (a.together != b.together)
            return a.together;
        return a.occurrences > b.occurrences;
    });
    QList<HelpSearchHit> hits;
    hits.reserve(found.size());
    for (Ranked& ranked : found)
        hits << std::move(ranked.hit);
    return hits;
}
