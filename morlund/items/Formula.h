#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace morlund {

class DataItem;
class PerfCore;
class Wheel;

// The names a formula can use: item short names and wheel selector short names.
class FormulaNames {
public:
    void Clear();
    // Adds an item under its short name; a name already taken keeps its first item.
    void AddItem(const std::string& shortName, const DataItem* item);
    void AddWheel(const std::string& shortName, const Wheel* wheel);
    const DataItem* FindItem(std::string_view shortName) const;
    const Wheel* FindWheel(std::string_view shortName) const;

    // The tables the formula channels of the program use.
    static FormulaNames& Global();
    // Every catalogue item's short name (the first item of a name wins; standard
    // items come first) and the wheel selectors, as they are now.
    static FormulaNames FromCatalogue();

private:
    std::unordered_map<std::string, const DataItem*> m_items;
    std::unordered_map<std::string, const Wheel*> m_wheels;
};

// A formula parsed once into a small stack program, then evaluated for every
// sample. Its values and its messages are those of parsing and evaluating the
// text afresh at each sample: the program holds the parser's actions in the
// order they ran, including those of alternatives that failed.
class FormulaProgram {
public:
    // Formulas longer than this, or nested deeper than kMaxNesting, do not parse.
    static constexpr std::size_t kMaxLength = 64 * 1024;
    static constexpr int kMaxNesting = 200;

    // Parses a formula for evaluations at a wheel index (-1 for the car):
    // plain item names read that wheel.
    static FormulaProgram Compile(std::string_view formula, const FormulaNames& names, int wheel);

    // The parse matched the whole text and leaves exactly one value.
    bool IsValid() const { return m_valid; }
    // Where the parse stopped, as an offset into the text.
    std::size_t StopOffset() const { return m_stop; }

    // The value at a sample of a buffer for a wheel index. Shows the messages
    // of invalid items (sample 0, wheel 0 or the car) and of factorials (sample 0).
    double Evaluate(const PerfCore* buffer, int sample, int wheel) const;

    // For a formula that did not parse: runs the actions the parser did run,
    // for the messages they show at sample 0, as evaluating it would.
    void ShowMessagesOfFailedParse(const PerfCore* buffer, int wheel) const;

    // Whether a compiled formula reads an item (directly, not through others).
    bool References(const DataItem* item) const;

    // The instructions of the stack program (public for the parser's actions).

    enum class Op : std::uint8_t {
        Number,      // push value
        Sample,      // push the sample index
        WheelIndex,  // push the wheel index
        Reference,   // push an item reference (arg: index into m_refs)
        Invalid,     // push 0 and report the identifier (arg: index into m_texts)
        Smooth,      // pop n, set the smoothing of the reference below
        ForDist,     // pop e, set the distance of the reference below
        Difference,  // mark the reference on top
        Add,
        Subtract,
        Multiply,
        Divide,
        Remainder,
        Power,
        Min,
        Max,
        Negate,
        Abs,
        Theta,
        Sqrt,
        Ln,
        Exp,
        Sin,
        Cos,
        Tan,
        Asin,
        Acos,
        Atan,
        Factorial,  // arg: index into m_texts (the call as written)
    };

private:
    friend struct FormulaBuilder;

    struct Instruction {
        Op op;
        int arg;
        double value;
    };
    struct Reference {
        const DataItem* item;
        const Wheel* wheel;
    };

    double Run(const PerfCore* buffer, int sample, int wheel, bool failedParse) const;

    std::vector<Instruction> m_code;
    std::vector<Reference> m_refs;
    std::vector<std::string> m_texts;
    bool m_valid = false;
    std::size_t m_stop = 0;
    int m_maxDepth = 0;
};

}  // namespace morlund
