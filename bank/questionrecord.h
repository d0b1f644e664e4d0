#pragma once

#include <array>
#include <string_view>

// One stored question. The four choice texts carry their own letter prefix ("A.  " and so on)
// exactly as they are shown; the key is the letter of the correct choice.
struct QuestionRecord {
    std::string_view questionText;
    std::string_view choiceA;
    std::string_view choiceB;
    std::string_view choiceC;
    std::string_view choiceD;
    char correctChoice;
    std::string_view explanation; // empty for most questions

    constexpr std::string_view choice(char letter) const
    {
        switch (letter) {
        case 'A':
            return choiceA;
        case 'B':
            return choiceB;
        case 'C':
            return choiceC;
        case 'D':
            return choiceD;
        default:
            return {};
        }
    }
};

namespace bank {

inline constexpr int groupCount = 35;
inline constexpr int questionsPerGroup = 11;

// 35 question groups of 11 records each; group g is row g - 1.
using QuestionBankTable = std::array<std::array<QuestionRecord, questionsPerGroup>, groupCount>;

} // namespace bank
