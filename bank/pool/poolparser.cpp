#include "poolparser.h"

#include <QHash>
#include <QSet>
#include <QStringDecoder>

#include <array>
#include <optional>

namespace bank::pool {

namespace {

// Windows-1252 from 0x80 to 0x9F, where it differs from Latin-1; the five holes of the code page
// are kept as the C1 controls, as ICU's converter keeps them.
constexpr std::array<char16_t, 32> cp1252High{
    0x20ac, 0x0081, 0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008d, 0x017d, 0x008f, 0x0090, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0x009d, 0x017e, 0x0178};

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isAsciiUpper(QChar c)
{
    return c >= u'A' && c <= u'Z';
}

bool isAsciiLetter(QChar c)
{
    return isAsciiUpper(c) || (c >= u'a' && c <= u'z');
}

// Hyphen-minus, figure dash, en dash, em dash, minus sign, non-breaking hyphen.
bool isDash(QChar c)
{
    return c == u'-' || c == u'\u2012' || c == u'\u2013' || c == u'\u2014' || c == u'\u2212' ||
           c == u'\u2011';
}

int elementNumberOf(QChar element)
{
    return element == u'T' ? 2 : element == u'G' ? 3 : element == u'E' ? 4 : 0;
}

void skipSpaces(QStringView text, qsizetype& at)
{
    while (at < text.size() && text[at].isSpace())
        ++at;
}

// "G1A" at the start of a line.
bool startsWithGroupId(QStringView line)
{
    return line.size() >= 3 && (line[0] == u'T' || line[0] == u'G' || line[0] == u'E') &&
           isAsciiDigit(line[1]) && isAsciiUpper(line[2]);
}

bool isSubelementLine(QStringView line)
{
    return line.startsWith(u"SUBELEMENT") && (line.size() == 10 || line[10].isSpace());
}

// A group line, "G1A – General class control operator frequency privileges": its title.
std::optional<QStringView> groupTitle(QStringView line)
{
    if (!startsWithGroupId(line))
        return std::nullopt;
    qsizetype at = 3;
    skipSpaces(line, at);
    if (at >= line.size() || !isDash(line[at]))
        return std::nullopt;
    return line.sliced(at + 1).trimmed();
}

// The line that starts a question: "G1A01 (C) [97.301(d)]", perhaps with the start of the text
// after it. `hasKey` is false when no parenthesis follows the number.
struct Header {
    QStringView number;
    bool hasKey = false;
    QStringView key;
    QStringView reference;
    QStringView rest;
};

std::optional<Header> questionHeader(QStringView line)
{
    if (!startsWithGroupId(line) || line.size() < 5 || !isAsciiDigit(line[3]) ||
        !isAsciiDigit(line[4]) || (line.size() > 5 && !line[5].isSpace() && line[5] != u'('))
        return std::nullopt;
    Header header;
    header.number = line.first(5);
    qsizetype at = 5;
    skipSpaces(line, at);
    if (at < line.size() && line[at] == u'(') {
        // A key is one letter; a parenthesis that does not close within a few characters is
        // no key at all.
        for (qsizetype close = at + 1; close < line.size() && close <= at + 6; ++close) {
            if (line[close] == u')') {
                header.hasKey = true;
                header.key = line.sliced(at + 1, close - at - 1).trimmed();
                at = close + 1;
                break;
            }
        }
    }
    skipSpaces(line, at);
    if (header.hasKey && at < line.size() && line[at] == u'[') {
        const qsizetype close = line.indexOf(u']', at);
        const qsizetype end = close < 0 ? line.size() : close;
        header.reference = line.sliced(at + 1, end - at - 1).trimmed();
        at = close < 0 ? line.size() : close + 1;
    }
    header.rest = line.sliced(at).trimmed();
    return header;
}

// 0 to 3 for a line that starts a choice, "A. ..." to "D. ...", 4 for "E. ..."; -1 otherwise.
int choiceLetter(QStringView line)
{
    if (line.size() < 2 || line[0] < u'A' || line[0] > u'E' || line[1] != u'.' ||
        (line.size() > 2 && !line[2].isSpace()))
        return -1;
    return line[0].unicode() - u'A';
}

// True when a question's text is essentially a notice that the question was withdrawn:
// "Question withdrawn", "[This question has been deleted]". Only a short text made of the
// words such a notice uses counts, so that a question that merely asks about something being
// withdrawn stays a question.
bool isWithdrawalNotice(QStringView text)
{
    static const QSet<QString> noticeWords{
        QStringLiteral("question"), QStringLiteral("this"),   QStringLiteral("the"),
        QStringLiteral("has"),      QStringLiteral("have"),   QStringLiteral("been"),
        QStringLiteral("was"),      QStringLiteral("is"),     QStringLiteral("by"),
        QStringLiteral("ncvec"),    QStringLiteral("qpc"),    QStringLiteral("committee"),
        QStringLiteral("pool"),     QStringLiteral("from"),   QStringLiteral("on"),
        QStringLiteral("as"),       QStringLiteral("of"),     QStringLiteral("effective"),
        QStringLiteral("per"),      QStringLiteral("errata"), QStringLiteral("erratum"),
        QStringLiteral("note"),     QStringLiteral("see"),    QStringLiteral("and")};
    static const QSet<QString> sayingWords{QStringLiteral("withdrawn"), QStringLiteral("withdrew"),
                                           QStringLiteral("deleted"), QStringLiteral("removed"),
                                           QStringLiteral("retired")};
    static const QSet<QString> months{
        QStringLiteral("january"), QStringLiteral("february"), QStringLiteral("march"),
        QStringLiteral("april"),   QStringLiteral("may"),      QStringLiteral("june"),
        QStringLiteral("july"),    QStringLiteral("august"),   QStringLiteral("september"),
        QStringLiteral("october"), QStringLiteral("november"), QStringLiteral("december")};
    // Sixteen words of a notice never come near this.
    if (text.size() > 400)
        return false;
    bool says = false;
    int words = 0;
    QString word;
    for (qsizetype at = 0; at <= text.size(); ++at) {
        if (at < text.size() && text[at].isLetterOrNumber()) {
            word += text[at].toLower();
            continue;
        }
        if (word.isEmpty())
            continue;
        if (++words > 16)
            return false;
        bool number = false;
        word.toInt(&number);
        if (sayingWords.contains(word))
            says = true;
        else if (!number && !noticeWords.contains(word) && !months.contains(word))
            return false;
        word.clear();
    }
    return says;
}

// "2023-2027" where a title states the years of the pool, its dash made a hyphen-minus.
QString yearsIn(QStringView title)
{
    const auto digitsAt = [&](qsizetype at) {
        qsizetype end = at;
        while (end < title.size() && isAsciiDigit(title[end]))
            ++end;
        return end - at;
    };
    qsizetype at = 0;
    while (at < title.size()) {
        if (!isAsciiDigit(title[at])) {
            ++at;
            continue;
        }
        const qsizetype run = digitsAt(at);
        if (run == 4) {
            qsizetype next = at + 4;
            skipSpaces(title, next);
            if (next < title.size() && isDash(title[next])) {
                ++next;
                skipSpaces(title, next);
                if (digitsAt(next) == 4)
                    return title.sliced(at, 4).toString() + u'-' + title.sliced(next, 4).toString();
            }
        }
        at += run;
    }
    return {};
}

// The figure name after the word "figure" at `at`: "G7-1" or "T1", in upper case.
QString figureAfterWord(QStringView text, qsizetype at)
{
    at += 6;
    if (at >= text.size() || !text[at].isSpace())
        return {};
    skipSpaces(text, at);
    if (at >= text.size() || !isAsciiLetter(text[at]))
        return {};
    QString name(text[at++].toUpper());
    const auto appendDigits = [&] {
        int count = 0;
        while (at < text.size() && isAsciiDigit(text[at]) && count < 3) {
            name += text[at++];
            ++count;
        }
        return count > 0;
    };
    if (!appendDigits())
        return {};
    if (at + 1 < text.size() && isDash(text[at]) && isAsciiDigit(text[at + 1])) {
        name += u'-';
        ++at;
        appendDigits();
    }
    if (at < text.size() && text[at].isLetterOrNumber())
        return {};
    return name;
}

// Reads the lines of a text one by one, numbered from 1.
class Lines {
public:
    explicit Lines(QStringView text) : text_(text) {}

    bool next(QStringView& line)
    {
        if (at_ > text_.size())
            return false;
        qsizetype end = at_;
        while (end < text_.size() && text_[end] != u'\n' && text_[end] != u'\r')
            ++end;
        line = text_.sliced(at_, end - at_);
        ++number_;
        if (end + 1 < text_.size() && text_[end] == u'\r' && text_[end + 1] == u'\n')
            ++end;
        at_ = end + 1;
        return true;
    }
    int number() const { return number_; }

private:
    QStringView text_;
    qsizetype at_ = 0;
    int number_ = 0;
};

class Parser {
public:
    Parser(QStringView text, bool paragraphs) : text_(text), paragraphs_(paragraphs) {}
    PoolReading run();

private:
    bool fail(int line, const QString& what);
    QString place(int line) const;
    bool readLine(QStringView line, int number);
    bool startQuestion(const Header& header, int number);
    bool finishQuestion();
    bool startGroup(QStringView id, QStringView title, int number);
    bool finishGroup();

    QStringView text_;
    bool paragraphs_;
    QuestionPool pool_;
    PoolFault fault_;
    QHash<QString, int> questionLines_; // where each number was first given
    QHash<QString, int> groupLines_;

    qsizetype group_ = -1; // in pool_.groups; -1 before the first group line of a subelement
    int groupLine_ = 0;

    bool inQuestion_ = false;
    PoolQuestion question_;
    bool hasKey_ = false;
    QString key_;
    QString questionText_;
    std::array<QString, 4> choices_;
    std::array<int, 4> choiceLines_{};
    int choiceCount_ = 0;
};

bool Parser::fail(int line, const QString& what)
{
    fault_.line = line;
    fault_.what = what;
    fault_.paragraph = paragraphs_;
    return false;
}

QString Parser::place(int line) const
{
    return (paragraphs_ ? QStringLiteral("paragraph ") : QStringLiteral("line ")) +
           QString::number(line);
}

PoolReading Parser::run()
{
    PoolReading reading;
    // First the shape of the file: its title, and where the exam begins and ends. The exam
    // starts at the SUBELEMENT line before the first question, so that whatever the
    // introduction says, group lines of a syllabus included, is not read as the exam; it ends
    // with the last question.
    int titleLine = 0;
    QStringView title;
    int start = 0;
    int firstQuestion = 0;
    QStringView firstNumber;
    int lastQuestion = 0;
    Lines lines(text_);
    QStringView line;
    while (lines.next(line)) {
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        if (titleLine == 0) {
            titleLine = lines.number();
            title = trimmed;
        }
        if (firstQuestion == 0 && isSubelementLine(trimmed))
            start = lines.number();
        if (const auto header = questionHeader(trimmed); header && header->hasKey) {
            if (firstQuestion == 0) {
                firstQuestion = lines.number();
                firstNumber = header->number;
            }
            lastQuestion = lines.number();
        }
    }
    if (firstQuestion == 0) {
        fail(0, QStringLiteral("no question such as G1A01 (C) was found: this is not a question "
                               "pool"));
        reading.fault = fault_;
        return reading;
    }
    if (start == 0) {
        fail(firstQuestion,
             QStringLiteral("%1 stands before any SUBELEMENT line").arg(firstNumber.toString()));
        reading.fault = fault_;
        return reading;
    }
    if (titleLine < start) {
        pool_.title = title.toString().simplified();
        pool_.years = yearsIn(pool_.title);
    }

    Lines exam(text_);
    bool ok = true;
    while (ok && exam.next(line)) {
        const int number = exam.number();
        if (number < start)
            continue;
        const QStringView trimmed = line.trimmed();
        // Past the last question's line, whatever ends that question ends the exam.
        if (number > lastQuestion &&
            (!inQuestion_ || isSubelementLine(trimmed) || groupTitle(trimmed)))
            break;
        ok = readLine(trimmed, number);
    }
    ok = ok && finishQuestion() && finishGroup();
    if (ok)
        reading.pool = std::move(pool_);
    else
        reading.fault = fault_;
    return reading;
}

bool Parser::readLine(QStringView line, int number)
{
    if (line.isEmpty())
        return true;
    if (isSubelementLine(line)) {
        const bool ok = finishQuestion() && finishGroup();
        group_ = -1;
        return ok;
    }
    if (const auto title = groupTitle(line))
        return finishQuestion() && finishGroup() && startGroup(line.first(3), *title, number);
    // A question's line; a number without a key inside a question's text is only text.
    if (const auto header = questionHeader(line); header && (header->hasKey || !inQuestion_))
        return finishQuestion() && startQuestion(*header, number);
    // A missing "~~" is forgiven: the next question, group or subelement ends a question too.
    if (line.startsWith(u"~~"))
        return finishQuestion();
    // Between questions stand captions, figures and page furniture; none is part of the exam.
    if (!inQuestion_)
        return true;

    const int letter = choiceLetter(line);
    if (letter >= 0) {
        if (choiceCount_ == 4)
            return fail(number, QStringLiteral("%1 has a fifth choice").arg(question_.number));
        if (letter != choiceCount_)
            return fail(number, QStringLiteral("%1 has choice %2 where choice %3 should be")
                                    .arg(question_.number, QChar(u'A' + letter),
                                         QChar(u'A' + choiceCount_)));
        const auto index = static_cast<std::size_t>(choiceCount_++);
        choices_[index] = line.sliced(2).toString();
        choiceLines_[index] = number;
        return true;
    }
    // Anything else carries on the text or the last choice: both may wrap onto more lines.
    QString& carried =
        choiceCount_ == 0 ? questionText_ : choices_[static_cast<std::size_t>(choiceCount_ - 1)];
    carried += u' ';
    carried += line;
    return true;
}

bool Parser::startQuestion(const Header& header, int number)
{
    const QString id = header.number.toString();
    const QChar element = id[0];
    if (pool_.element == 0)
        pool_.element = static_cast<char>(element.unicode());
    else if (element != QLatin1Char(pool_.element))
        return fail(number, QStringLiteral("%1 is an Element %2 question in an Element %3 pool")
                                .arg(id, QString::number(elementNumberOf(element)),
                                     QString::number(elementNumberOf(QLatin1Char(pool_.element)))));
    if (group_ < 0)
        return fail(number, QStringLiteral("%1 stands before any group line").arg(id));
    const QString& groupId = pool_.groups[group_].id;
    if (!id.startsWith(groupId))
        return fail(number, QStringLiteral("%1 stands under group %2").arg(id, groupId));
    if (const int first = questionLines_.value(id))
        return fail(number, QStringLiteral("%1 is given twice; first at %2").arg(id, place(first)));
    questionLines_.insert(id, number);

    inQuestion_ = true;
    question_ = PoolQuestion{};
    question_.number = id;
    question_.line = number;
    question_.reference = header.reference.toString();
    hasKey_ = header.hasKey;
    key_ = header.key.toString();
    if (key_.size() == 1 && key_[0].toUpper() >= u'A' && key_[0].toUpper() <= u'D')
        question_.key = static_cast<char>(key_[0].toUpper().unicode());
    questionText_ = header.rest.toString();
    choiceCount_ = 0;
    return true;
}

bool Parser::finishQuestion()
{
    if (!inQuestion_)
        return true;
    inQuestion_ = false;
    PoolQuestion& q = question_;
    q.text = questionText_.simplified();
    q.withdrawn =
        isWithdrawalNotice(q.text) || (q.text.isEmpty() && isWithdrawalNotice(q.reference));
    // A withdrawn question is kept as it stands, choices or none.
    if (!q.withdrawn) {
        if (q.text.isEmpty())
            return fail(q.line, QStringLiteral("%1 has no question text").arg(q.number));
        if (!hasKey_)
            return fail(
                q.line,
                QStringLiteral("%1 has no key, such as (C), after its number").arg(q.number));
        if (q.key == 0)
            return fail(q.line, QStringLiteral("%1 has the key (%2); a key must be A, B, C or D")
                                    .arg(q.number, key_));
        if (choiceCount_ == 0)
            return fail(q.line, QStringLiteral("%1 has no choices").arg(q.number));
        if (choiceCount_ < 4)
            return fail(
                q.line,
                QStringLiteral("%1 has no choice %2").arg(q.number, QChar(u'A' + choiceCount_)));
    }
    for (std::size_t i = 0; i < static_cast<std::size_t>(choiceCount_); ++i) {
        q.choices[i] = choices_[i].simplified();
        if (q.choices[i].isEmpty() && !q.withdrawn)
            return fail(choiceLines_[i], QStringLiteral("%1 has an empty choice %2")
                                             .arg(q.number, QChar(u'A' + static_cast<int>(i))));
    }
    q.figure = figureNamedIn(q.text);
    PoolGroup& group = pool_.groups[group_];
    if (!q.withdrawn)
        group.drawable.append(static_cast<int>(group.questions.size()));
    group.questions.append(std::move(q));
    return true;
}

bool Parser::startGroup(QStringView id, QStringView title, int number)
{
    const QString groupId = id.toString();
    if (const int first = groupLines_.value(groupId))
        return fail(
            number,
            QStringLiteral("group %1 is given twice; first at %2").arg(groupId, place(first)));
    groupLines_.insert(groupId, number);
    group_ = pool_.groups.size();
    groupLine_ = number;
    PoolGroup group;
    group.id = groupId;
    group.title = title.toString().simplified();
    pool_.groups.append(std::move(group));
    return true;
}

bool Parser::finishGroup()
{
    if (group_ < 0)
        return true;
    const PoolGroup& group = pool_.groups[group_];
    group_ = -1;
    if (group.drawable.isEmpty())
        return fail(groupLine_,
                    QStringLiteral("group %1 has no question that can be drawn").arg(group.id));
    return true;
}

} // namespace

QString decodeText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError() || bytes.startsWith("\xef\xbb\xbf"))
        return text;
    QStringDecoder cp1252("windows-1252");
    if (cp1252.isValid())
        return cp1252.decode(bytes);
    // A Qt built without ICU knows no Windows-1252: the table above does it.
    text.resize(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] =
            byte >= 0x80 && byte < 0xa0 ? QChar(cp1252High[byte - 0x80]) : QLatin1Char(char(byte));
    }
    return text;
}

PoolReading parsePool(QStringView text, bool paragraphs)
{
    return Parser(text, paragraphs).run();
}

QString figureNamedIn(QStringView text)
{
    qsizetype at = 0;
    while ((at = text.indexOf(u"figure", at, Qt::CaseInsensitive)) >= 0) {
        if (at == 0 || !text[at - 1].isLetterOrNumber()) {
            if (QString name = figureAfterWord(text, at); !name.isEmpty())
                return name;
        }
        at += 6;
    }
    return {};
}

QString figureCaptioned(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (!trimmed.startsWith(u"figure", Qt::CaseInsensitive))
        return {};
    return figureAfterWord(trimmed, 0);
}

QByteArray imageFormat(const QByteArray& data)
{
    if (data.startsWith("\x89PNG\r\n\x1a\n"))
        return QByteArrayLiteral("png");
    if (data.startsWith("\xff\xd8\xff"))
        return QByteArrayLiteral("jpeg");
    if (data.startsWith("GIF87a") || data.startsWith("GIF89a"))
        return QByteArrayLiteral("gif");
    if (data.startsWith("BM") && data.size() > 26)
        return QByteArrayLiteral("bmp");
    // An SVG is XML, perhaps behind a byte-order mark, with an svg element near its start.
    qsizetype at = data.startsWith("\xef\xbb\xbf") ? 3 : 0;
    while (at < data.size() &&
           (data[at] == ' ' || data[at] == '\t' || data[at] == '\r' || data[at] == '\n'))
        ++at;
    if (at < data.size() && data[at] == '<' && data.left(4096).contains("<svg"))
        return QByteArrayLiteral("svg");
    return {};
}

} // namespace bank::pool
