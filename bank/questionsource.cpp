#include "questionsource.h"

#include <algorithm>
#include <cmath>

namespace bank {

QString QuestionSource::figureName(int, int) const
{
    return {};
}

QString QuestionSource::questionNumber(int, int) const
{
    return {};
}

namespace {

class BuiltInBank final : public QuestionSource {
public:
    int groupCount() const override { return bank::groupCount; }
    // 26 of 35, the pass mark the examination rules set for this element.
    int passMark() const override { return 26; }
    qint16 indexForDraw(int, float r) const override { return bank::indexForDraw(r); }
    QString loadQuestion(int group, int index, LoadedQuestion& state) const override
    {
        return bank::loadQuestion(group, index, state);
    }
};

} // namespace

const QuestionSource& builtInBank()
{
    static const BuiltInBank bank;
    return bank;
}

int PoolSource::groupCount() const
{
    return static_cast<int>(pool_.groups.size());
}

int PoolSource::passMark() const
{
    return pool_.passMark();
}

// As the built-in draw does: the integer part of n x r in double precision, so that no r below
// 1 reaches n. The index is the question's place in its group, withdrawn questions included.
qint16 PoolSource::indexForDraw(int group, float r) const
{
    const QList<int>& drawable = pool_.groups.at(group - 1).drawable;
    const auto count = static_cast<double>(drawable.size());
    const auto pick = static_cast<qsizetype>(std::floor(count * static_cast<double>(r)));
    return static_cast<qint16>(drawable.at(std::clamp<qsizetype>(pick, 0, drawable.size() - 1)));
}

const PoolQuestion& PoolSource::question(int group, int index) const
{
    return pool_.groups.at(group - 1).questions.at(index);
}

QString PoolSource::loadQuestion(int group, int index, LoadedQuestion& state) const
{
    const PoolQuestion& asked = question(group, index);
    // The letters are written as the built-in bank writes them, so that the window shows both
    // alike and every choice text differs from the others.
    const auto choice = [&asked](int slot) {
        return QChar(u'A' + slot) + QStringLiteral(".  ") +
               asked.choices.at(static_cast<std::size_t>(slot));
    };
    state.questionText = asked.text;
    state.choiceA = choice(0);
    state.choiceB = choice(1);
    state.choiceC = choice(2);
    state.choiceD = choice(3);
    state.correctAnswer = choice(asked.key - 'A');
    return {};
}

QString PoolSource::figureName(int group, int index) const
{
    return question(group, index).figure;
}

QString PoolSource::questionNumber(int group, int index) const
{
    return question(group, index).number;
}

} // namespace bank
