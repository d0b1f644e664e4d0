#pragma once

#include "questionbank.h"
#include "questionpool.h"

#include <QString>
#include <QtGlobal>

namespace bank {

// What an exam is drawn from: groups in a fixed order, one question taken from each. The
// built-in bank is one such source, a question pool the learner opened is another; the exam
// never knows which it has.
class QuestionSource {
public:
    virtual ~QuestionSource() = default;

    // The number of groups, which is the number of questions in an exam.
    virtual int groupCount() const = 0;
    // Correct answers needed to pass.
    virtual int passMark() const = 0;
    // The question of `group` (1 to groupCount) for a uniform draw r in [0, 1).
    virtual qint16 indexForDraw(int group, float r) const = 0;
    // Copies the question at (group, index) into `state` and returns its worked explanation,
    // empty when it has none. Every choice text carries its letter ("A.  ").
    virtual QString loadQuestion(int group, int index, LoadedQuestion& state) const = 0;
    // The figure the question shows with it ("G7-1"); empty when it has none.
    virtual QString figureName(int group, int index) const;
    // The question's number in a pool ("G1A01"); empty for the built-in bank.
    virtual QString questionNumber(int group, int index) const;
};

// The 385 questions built into the program, drawn by the 11-way draw.
const QuestionSource& builtInBank();

// A pool that was read, drawn among the questions of each group that can be drawn.
class PoolSource final : public QuestionSource {
public:
    explicit PoolSource(QuestionPool pool) : pool_(std::move(pool)) {}

    const QuestionPool& pool() const { return pool_; }

    int groupCount() const override;
    int passMark() const override;
    qint16 indexForDraw(int group, float r) const override;
    QString loadQuestion(int group, int index, LoadedQuestion& state) const override;
    QString figureName(int group, int index) const override;
    QString questionNumber(int group, int index) const override;

private:
    const PoolQuestion& question(int group, int index) const;

    QuestionPool pool_;
};

} // namespace bank
