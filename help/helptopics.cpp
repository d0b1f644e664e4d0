#include "helptopics.h"

#include <QHash>

#include <array>

namespace {

// The named entities a help document may use: the markup characters, the symbols of Latin-1
// that radio text needs, typographic punctuation, mathematics, and the Greek alphabet.
const QHash<QString, char32_t>& namedEntities()
{
    static const QHash<QString, char32_t> table = [] {
        QHash<QString, char32_t> names{
            {QStringLiteral("amp"), U'&'},       {QStringLiteral("lt"), U'<'},
            {QStringLiteral("gt"), U'>'},        {QStringLiteral("quot"), U'"'},
            {QStringLiteral("apos"), U'\''},     {QStringLiteral("nbsp"), 0xa0},
            {QStringLiteral("copy"), 0xa9},      {QStringLiteral("reg"), 0xae},
            {QStringLiteral("deg"), 0xb0},       {QStringLiteral("plusmn"), 0xb1},
            {QStringLiteral("sup1"), 0xb9},      {QStringLiteral("sup2"), 0xb2},
            {QStringLiteral("sup3"), 0xb3},      {QStringLiteral("micro"), 0xb5},
            {QStringLiteral("para"), 0xb6},      {QStringLiteral("middot"), 0xb7},
            {QStringLiteral("sect"), 0xa7},      {QStringLiteral("frac14"), 0xbc},
            {QStringLiteral("frac12"), 0xbd},    {QStringLiteral("frac34"), 0xbe},
            {QStringLiteral("times"), 0xd7},     {QStringLiteral("divide"), 0xf7},
            {QStringLiteral("ndash"), 0x2013},   {QStringLiteral("mdash"), 0x2014},
            {QStringLiteral("lsquo"), 0x2018},   {QStringLiteral("rsquo"), 0x2019},
            {QStringLiteral("ldquo"), 0x201c},   {QStringLiteral("rdquo"), 0x201d},
            {QStringLiteral("bull"), 0x2022},    {QStringLiteral("hellip"), 0x2026},
            {QStringLiteral("prime"), 0x2032},   {QStringLiteral("Prime"), 0x2033},
            {QStringLiteral("larr"), 0x2190},    {QStringLiteral("uarr"), 0x2191},
            {QStringLiteral("rarr"), 0x2192},    {QStringLiteral("darr"), 0x2193},
            {QStringLiteral("harr"), 0x2194},    {QStringLiteral("part"), 0x2202},
            {QStringLiteral("sum"), 0x2211},     {QStringLiteral("minus"), 0x2212},
            {QStringLiteral("radic"), 0x221a},   {QStringLiteral("infin"), 0x221e},
            {QStringLiteral("ang"), 0x2220},     {QStringLiteral("int"), 0x222b},
            {QStringLiteral("asymp"), 0x2248},   {QStringLiteral("ne"), 0x2260},
            {QStringLiteral("equiv"), 0x2261},   {QStringLiteral("le"), 0x2264},
            {QStringLiteral("ge"), 0x2265},      {QStringLiteral("prop"), 0x221d},
            {QStringLiteral("thetasym"), 0x3d1},
        };
        // The Greek letters run in Unicode order, capitals from U+0391 and small letters from
        // U+03B1, with a gap where the capital of the final sigma would be.
        static constexpr std::array<const char*, 25> greek{
            "alpha", "beta",   "gamma",   "delta", "epsilon", "zeta",    "eta",  "theta", "iota",
            "kappa", "lambda", "mu",      "nu",    "xi",      "omicron", "pi",   "rho",   "sigmaf",
            "sigma", "tau",    "upsilon", "phi",   "chi",     "psi",     "omega"};
        for (std::size_t i = 0; i < greek.size(); ++i) {
            const auto small = static_cast<char32_t>(0x3b1 + i);
            const QString name = QString::fromLatin1(greek[i]);
            names.insert(name, small);
            if (name != QStringLiteral("sigmaf"))
                names.insert(name.left(1).toUpper() + name.mid(1), small - 0x20);
        }
        return names;
    }();
    return table;
}

// Decodes the entity that starts at `at` (an ampersand); `length` receives how much of the text
// it took. Anything that is not a known entity is taken as a plain ampersand.
QString decodeEntity(QStringView html, qsizetype at, qsizetype& length)
{
    length = 1;
    const qsizetype end = html.indexOf(QLatin1Char(';'), at);
    if (end < 0 || end - at > 10)
        return QStringLiteral("&");
    const QStringView name = html.sliced(at + 1, end - at - 1);
    char32_t code = 0;
    bool known = false;
    if (name.startsWith(QLatin1String("#x")) || name.startsWith(QLatin1String("#X")))
        code = name.sliced(2).toUInt(&known, 16);
    else if (name.startsWith(QLatin1Char('#')))
        code = name.sliced(1).toUInt(&known, 10);
    else if (const auto found = namedEntities().constFind(name.toString());
             found != namedEntities().constEnd()) {
        code = *found;
        known = true;
    }
    if (!known || code == 0 || code > 0x10ffff)
        return QStringLiteral("&");
    length = end - at + 1;
    return QString::fromUcs4(&code, 1);
}

// The value of attribute `name` in the text of a start tag (without its angle brackets).
QString attribute(QStringView tag, QLatin1String name)
{
    qsizetype from = 0;
    while ((from = tag.indexOf(name, from, Qt::CaseInsensitive)) >= 0) {
        const qsizetype before = from - 1;
        from += name.size();
        if (before < 0 || !tag[before].isSpace())
            continue;
        qsizetype at = from;
        while (at < tag.size() && tag[at].isSpace())
            ++at;
        if (at >= tag.size() || tag[at] != QLatin1Char('='))
            continue;
        ++at;
        while (at < tag.size() && tag[at].isSpace())
            ++at;
        if (at >= tag.size())
            return {};
        const QChar quote = tag[at];
        if (quote == QLatin1Char('"') || quote == QLatin1Char('\'')) {
            const qsizetype close = tag.indexOf(quote, at + 1);
            return tag.sliced(at + 1, (close < 0 ? tag.size() : close) - at - 1).toString();
        }
        qsizetype stop = at;
        while (stop < tag.size() && !tag[stop].isSpace())
            ++stop;
        return tag.sliced(at, stop - at).toString();
    }
    return {};
}

bool isBlockTag(QStringView name)
{
    static const QStringList blocks{
        QStringLiteral("p"),   QStringLiteral("br"),    QStringLiteral("li"), QStringLiteral("ul"),
        QStringLiteral("ol"),  QStringLiteral("table"), QStringLiteral("tr"), QStringLiteral("td"),
        QStringLiteral("th"),  QStringLiteral("pre"),   QStringLiteral("hr"), QStringLiteral("div"),
        QStringLiteral("body")};
    return blocks.contains(name);
}

// Gathers plain text: white space collapses to single spaces and block boundaries to line
// breaks, with nothing at either end of a line.
class PlainText {
public:
    void append(QStringView text, bool preformatted)
    {
        for (const QChar c : text) {
            if (preformatted && c == QLatin1Char('\n')) {
                lineBreak();
            } else if (c.isSpace() && c != QChar::Nbsp && !preformatted) {
                pendingSpace_ = !text_.isEmpty() && !text_.endsWith(QLatin1Char('\n'));
            } else {
                if (pendingSpace_)
                    text_ += QLatin1Char(' ');
                pendingSpace_ = false;
                text_ += c;
            }
        }
    }
    void lineBreak()
    {
        pendingSpace_ = false;
        if (!text_.isEmpty() && !text_.endsWith(QLatin1Char('\n')))
            text_ += QLatin1Char('\n');
    }
    QString take()
    {
        QString done = std::move(text_);
        text_.clear();
        pendingSpace_ = false;
        if (done.endsWith(QLatin1Char('\n')))
            done.chop(1);
        return done;
    }

private:
    QString text_;
    bool pendingSpace_ = false;
};

// Walks the document tag by tag and hands each run of text, decoded, to `onText` and each tag
// to `onTag` (with its lower-case name, whether it closes, and its whole text).
template <typename TextHandler, typename TagHandler>
void walk(QStringView html, TextHandler onText, TagHandler onTag)
{
    qsizetype at = 0;
    QString run;
    const auto flush = [&] {
        if (!run.isEmpty())
            onText(QStringView(run));
        run.clear();
    };
    while (at < html.size()) {
        const QChar c = html[at];
        if (c == QLatin1Char('<')) {
            if (html.sliced(at).startsWith(QLatin1String("<!--"))) {
                const qsizetype close = html.indexOf(QLatin1String("-->"), at + 4);
                at = close < 0 ? html.size() : close + 3;
                continue;
            }
            const qsizetype close = html.indexOf(QLatin1Char('>'), at);
            if (close < 0)
                break;
            flush();
            QStringView tag = html.sliced(at + 1, close - at - 1).trimmed();
            const bool closing = tag.startsWith(QLatin1Char('/'));
            if (closing)
                tag = tag.sliced(1);
            qsizetype nameEnd = 0;
            while (nameEnd < tag.size() && tag[nameEnd].isLetterOrNumber())
                ++nameEnd;
            onTag(tag.first(nameEnd).toString().toLower(), closing, tag);
            at = close + 1;
        } else if (c == QLatin1Char('&')) {
            qsizetype length = 1;
            run += decodeEntity(html, at, length);
            at += length;
        } else {
            run += c;
            ++at;
        }
    }
    flush();
}

} // namespace

QList<HelpTopic> parseHelpTopics(const QString& html)
{
    QList<HelpTopic> topics;
    PlainText heading;
    PlainText body;
    bool inHeading = false;
    bool inHead = false;
    int preDepth = 0;
    // The topic being read; an index, as appending may move the list's elements.
    qsizetype current = -1;

    const auto finishTopic = [&] {
        const QString text = body.take();
        if (current >= 0)
            topics[current].text = text;
    };
    walk(
        html,
        [&](QStringView text) {
            if (inHead)
                return;
            if (inHeading)
                heading.append(text, false);
            else if (current >= 0)
                body.append(text, preDepth > 0);
        },
        [&](const QString& name, bool closing, QStringView tag) {
            if (name == QStringLiteral("head")) {
                inHead = !closing;
            } else if (name.size() == 2 && name[0] == QLatin1Char('h') &&
                       name[1] >= QLatin1Char('1') && name[1] <= QLatin1Char('3')) {
                if (!closing) {
                    finishTopic();
                    topics.append(HelpTopic{{}, {}, name[1].digitValue(), {}, {}});
                    current = topics.size() - 1;
                    inHeading = true;
                } else if (inHeading) {
                    topics[current].heading = heading.take();
                    inHeading = false;
                }
            } else if (name == QStringLiteral("a") && !closing && current >= 0) {
                HelpTopic& topic = topics[current];
                if (const QString href = attribute(tag, QLatin1String("href")); !href.isEmpty())
                    topic.links << href;
                if (inHeading && topic.anchor.isEmpty())
                    topic.anchor = attribute(tag, QLatin1String("name"));
            } else if (name == QStringLiteral("pre")) {
                preDepth = std::max(0, preDepth + (closing ? -1 : 1));
                body.lineBreak();
            } else if (isBlockTag(name) && !inHeading) {
                body.lineBreak();
            }
        });
    if (inHeading)
        topics[current].heading = heading.take();
    finishTopic();
    return topics;
}

QString helpDocumentTitle(const QString& html)
{
    PlainText title;
    bool inTitle = false;
    bool done = false;
    // The title sits in the head: the rest of the document need not be read.
    const qsizetype end = html.indexOf(QLatin1String("</title>"), 0, Qt::CaseInsensitive);
    walk(
        QStringView(html).first(end < 0 ? html.size() : end + 8),
        [&](QStringView text) {
            if (inTitle)
                title.append(text, false);
        },
        [&](const QString& name, bool closing, QStringView) {
            if (name == QStringLiteral("title") && !done) {
                inTitle = !closing;
                done = closing;
            }
        });
    return title.take();
}
