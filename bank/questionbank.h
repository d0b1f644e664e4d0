#pragma once

#include "questionrecord.h"

#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <random>

namespace bank {

// The record at (group 1..35, index 0..10). Callers pass only values in those ranges.
const QuestionRecord& recordAt(int group, int index);

// The part of the exam state that a load replaces: the question on screen and its key.
// The window owns one of these; loadQuestion overwrites all six texts at once.
struct LoadedQuestion {
    QString questionText;
    QString choiceA;
    QString choiceB;
    QString choiceC;
    QString choiceD;
    QString correctAnswer;
};

// Copies the record at (group, index) into `state` and returns its explanation, empty when the
// record has none. correctAnswer receives the full text of the keyed choice, prefix and all.
QString loadQuestion(int group, int index, LoadedQuestion& state);

// The question index for a uniform draw r in [0, 1): the integer part of 11 x r, computed in
// double precision so that no single-precision r below 1 can reach 11.
qint16 indexForDraw(float r);

// Uniform single-precision values in [0, 1). Each value is the top 24 bits of a 32-bit engine
// output scaled by 2^-24, so 1.0 can never come out (a float carries exactly 24 bits).
class UniformSource {
public:
    virtual ~UniformSource() = default;
    virtual void seedFromClock() = 0;
    virtual float next() = 0;
};

class MersenneSource final : public UniformSource {
public:
    explicit MersenneSource(std::uint32_t seed = 5489U) : engine_(seed) {}
    void seed(std::uint32_t value) { engine_.seed(value); }
    void seedFromClock() override;
    float next() override;

private:
    std::mt19937 engine_;
};

} // namespace bank
