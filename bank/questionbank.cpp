#include "questionbank.h"

#include "bankcontents.h"
#include "runtimeerror.h"

#include <chrono>
#include <cmath>
#include <limits>

namespace bank {

namespace {

// What the compiler proves about the table, so that a bad edit cannot build.

constexpr bool isPrintableAscii(std::string_view text)
{
    for (const char c : text) {
        if (c < ' ' || c > '~')
            return false;
    }
    return true;
}

constexpr bool lengthWithin(std::string_view text, std::size_t least, std::size_t most)
{
    return text.size() >= least && text.size() <= most;
}

// "A." followed by at least one blank and then the choice itself.
constexpr bool hasLetterPrefix(std::string_view choice, char letter)
{
    return choice.size() > 3 && choice[0] == letter && choice[1] == '.' && choice[2] == ' ' &&
           choice.find_first_not_of(' ', 2) != std::string_view::npos;
}

constexpr bool explanationWellFormed(std::string_view text)
{
    if (text.empty())
        return true;
    const std::size_t blanks = text.find_first_not_of(' ');
    return lengthWithin(text, 84, 464) && blanks >= 4 && blanks <= 7;
}

constexpr bool recordWellFormed(const QuestionRecord& record)
{
    const std::array<std::string_view, 4> choices{record.choiceA, record.choiceB, record.choiceC,
                                                  record.choiceD};
    if (!lengthWithin(record.questionText, 14, 225) || !isPrintableAscii(record.questionText))
        return false;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (!lengthWithin(choices[i], 5, 138) || !isPrintableAscii(choices[i]) ||
            !hasLetterPrefix(choices[i], static_cast<char>('A' + i)))
            return false;
        for (std::size_t j = i + 1; j < choices.size(); ++j) {
            if (choices[i] == choices[j])
                return false;
        }
    }
    const std::string_view key = record.choice(record.correctChoice);
    int matches = 0;
    for (const std::string_view choice : choices)
        matches += choice == key ? 1 : 0;
    return matches == 1 && explanationWellFormed(record.explanation) &&
           isPrintableAscii(record.explanation);
}

constexpr bool allRecordsWellFormed()
{
    for (const auto& group : QuestionBank) {
        for (const auto& record : group) {
            if (!recordWellFormed(record))
                return false;
        }
    }
    return true;
}

constexpr int keyCount(char letter)
{
    int count = 0;
    for (const auto& group : QuestionBank) {
        for (const auto& record : group)
            count += record.correctChoice == letter ? 1 : 0;
    }
    return count;
}

constexpr int explanationCount(int group)
{
    int count = 0;
    for (const auto& record : QuestionBank[static_cast<std::size_t>(group - 1)])
        count += record.explanation.empty() ? 0 : 1;
    return count;
}

constexpr bool explanationsWhereExpected()
{
    // group number -> records carrying a worked explanation
    constexpr std::array<std::array<int, 2>, 8> expected{
        {{14, 6}, {19, 3}, {22, 8}, {26, 2}, {27, 3}, {28, 6}, {30, 3}, {33, 5}}};
    int total = 0;
    for (int group = 1; group <= groupCount; ++group) {
        int want = 0;
        for (const auto& [number, count] : expected)
            want = number == group ? count : want;
        if (explanationCount(group) != want)
            return false;
        total += want;
    }
    return total == 36;
}

constexpr bool questionTextsDistinct()
{
    for (std::size_t a = 0; a < groupCount * questionsPerGroup; ++a) {
        const auto& first = QuestionBank[a / questionsPerGroup][a % questionsPerGroup];
        for (std::size_t b = a + 1; b < groupCount * questionsPerGroup; ++b) {
            if (first.questionText ==
                QuestionBank[b / questionsPerGroup][b % questionsPerGroup].questionText)
                return false;
        }
    }
    return true;
}

static_assert(allRecordsWellFormed(),
              "every record needs well-formed texts and exactly one choice equal to its key");
static_assert(keyCount('A') == 96 && keyCount('B') == 99 && keyCount('C') == 90 &&
                  keyCount('D') == 100,
              "keys fall A 96, B 99, C 90, D 100");
static_assert(explanationsWhereExpected(), "36 explanations, in the groups that carry them");
static_assert(questionTextsDistinct(), "no two records share a question text");

QString fromBank(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

const QuestionRecord& recordAt(int group, int index)
{
    return QuestionBank[static_cast<std::size_t>(group - 1)][static_cast<std::size_t>(index)];
}

QString loadQuestion(int group, int index, LoadedQuestion& state)
{
    const QuestionRecord& record = recordAt(group, index);
    state.questionText = fromBank(record.questionText);
    state.choiceA = fromBank(record.choiceA);
    state.choiceB = fromBank(record.choiceB);
    state.choiceC = fromBank(record.choiceC);
    state.choiceD = fromBank(record.choiceD);
    switch (record.correctChoice) {
    case 'A':
        state.correctAnswer = state.choiceA;
        break;
    case 'B':
        state.correctAnswer = state.choiceB;
        break;
    case 'C':
        state.correctAnswer = state.choiceC;
        break;
    default:
        state.correctAnswer = state.choiceD;
        break;
    }
    return fromBank(record.explanation);
}

qint16 indexForDraw(float r)
{
    const double product = 11.0 * static_cast<double>(r);
    if (!std::isfinite(product))
        raiseRuntimeError(RuntimeError::FloatingPoint);
    const double whole = std::floor(product);
    if (whole < std::numeric_limits<qint16>::min() || whole > std::numeric_limits<qint16>::max())
        raiseRuntimeError(RuntimeError::Overflow);
    return static_cast<qint16>(whole);
}

void MersenneSource::seedFromClock()
{
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::seed_seq sequence{static_cast<std::uint32_t>(ticks),
                           static_cast<std::uint32_t>(static_cast<std::uint64_t>(ticks) >> 32)};
    engine_.seed(sequence);
}

float MersenneSource::next()
{
    // 24 random bits, scaled into [0, 1): the largest value is 1 - 2^-24.
    return static_cast<float>(static_cast<std::uint32_t>(engine_()) >> 8) * 0x1p-24F;
}

} // namespace bank
