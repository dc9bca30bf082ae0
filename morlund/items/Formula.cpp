#include "morlund/items/Formula.h"

#include <algorithm>
#include <boost/spirit/include/classic_core.hpp>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "morlund/core/PerfCore.h"
#include "morlund/items/ChannelName.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"
#include "morlund/platform/MessageSink.h"
#include "morlund/platform/Text.h"

namespace morlund {

namespace sp = boost::spirit::classic;

// --- names -----------------------------------------------------------------------

void FormulaNames::Clear() {
    m_items.clear();
    m_wheels.clear();
}

void FormulaNames::AddItem(const std::string& shortName, const DataItem* item) {
    m_items.emplace(shortName, item);  // a name already taken keeps its first item
}

void FormulaNames::AddWheel(const std::string& shortName, const Wheel* wheel) {
    m_wheels.emplace(shortName, wheel);
}

const DataItem* FormulaNames::FindItem(std::string_view shortName) const {
    const auto it = m_items.find(std::string(shortName));
    return it == m_items.end() ? nullptr : it->second;
}

const Wheel* FormulaNames::FindWheel(std::string_view shortName) const {
    const auto it = m_wheels.find(std::string(shortName));
    return it == m_wheels.end() ? nullptr : it->second;
}

FormulaNames FormulaNames::FromCatalogue() {
    FormulaNames names;
    for (auto it = DataItem::NewIterator(); it->HasNext();) {
        const DataItem* item = it->GetNext();
        names.AddItem(item->GetShortName(), item);
    }
    for (auto it = Wheel::NewIterator(); it->HasNext();) {
        const Wheel* wheel = it->GetNext();
        names.AddWheel(wheel->GetShortName(), wheel);
    }
    return names;
}

FormulaNames& FormulaNames::Global() {
    static FormulaNames names;
    return names;
}

// --- parsing -----------------------------------------------------------------------

// Collects the program while the grammar's actions run.
struct FormulaBuilder {
    using Op = FormulaProgram::Op;

    FormulaProgram& program;
    const FormulaNames& names;
    int wheel;
    int nesting = 0;

    void Emit(Op op, int arg = 0, double value = 0.0) {
        program.m_code.push_back({op, arg, value});
    }

    int Text(std::string text) {
        program.m_texts.push_back(std::move(text));
        return static_cast<int>(program.m_texts.size() - 1);
    }

    // The selector a plain item name reads: the wheel being evaluated, or
    // "all" for the car and for combination codes.
    const Wheel* PlainSelector() const {
        const Wheel* selector = Wheel::FromIndex(wheel);
        return selector != nullptr ? selector : Wheel::ALL;
    }

    void Identifier(const std::string& id) {
        if (id == "s") return Emit(Op::Sample);
        if (id == "w") return Emit(Op::WheelIndex);
        const ChannelName channel = ResolveChannelName(id, names);
        if (!channel.IsFound()) return Emit(Op::Invalid, Text(id));
        Reference(channel.item, channel.wheel != nullptr ? channel.wheel : PlainSelector());
    }

    void Reference(const DataItem* item, const Wheel* selector) {
        program.m_refs.push_back({item, selector});
        Emit(Op::Reference, static_cast<int>(program.m_refs.size() - 1));
    }
};

namespace {

using Op = FormulaProgram::Op;
using Iterator = const char*;

struct EmitOp {
    FormulaBuilder* builder;
    Op op;
    void operator()(Iterator, Iterator) const { builder->Emit(op); }
};

struct EmitNumber {
    FormulaBuilder* builder;
    void operator()(Iterator first, Iterator last) const {
        builder->Emit(Op::Number, 0, std::strtod(std::string(first, last).c_str(), nullptr));
    }
};

struct EmitInteger {
    FormulaBuilder* builder;
    void operator()(Iterator first, Iterator last) const {
        const long long n = std::strtoll(std::string(first, last).c_str(), nullptr, 10);
        builder->Emit(Op::Number, 0, static_cast<double>(std::min<long long>(n, INT_MAX)));
    }
};

struct EmitConstant {
    FormulaBuilder* builder;
    double value;
    void operator()(Iterator, Iterator) const { builder->Emit(Op::Number, 0, value); }
};

struct EmitIdentifier {
    FormulaBuilder* builder;
    void operator()(Iterator first, Iterator last) const {
        builder->Identifier(std::string(first, last));
    }
};

struct EmitFactorial {
    FormulaBuilder* builder;
    void operator()(Iterator first, Iterator last) const {
        builder->Emit(Op::Factorial, builder->Text(std::string(first, last)));
    }
};

// Fails a parse that nests deeper than the limit instead of exhausting the stack.
template <typename SubjectT>
struct NestingGuard : sp::unary<SubjectT, sp::parser<NestingGuard<SubjectT>>> {
    using self_t = NestingGuard<SubjectT>;
    using base_t = sp::unary<SubjectT, sp::parser<self_t>>;
    template <typename ScannerT>
    struct result {
        using type = typename sp::parser_result<SubjectT, ScannerT>::type;
    };

    NestingGuard(SubjectT const& subject, int* nesting) : base_t(subject), m_nesting(nesting) {}

    template <typename ScannerT>
    typename sp::parser_result<self_t, ScannerT>::type parse(ScannerT const& scan) const {
        if (*m_nesting >= FormulaProgram::kMaxNesting) return scan.no_match();
        ++*m_nesting;
        auto hit = this->subject().parse(scan);
        --*m_nesting;
        return hit;
    }

    int* m_nesting;
};

struct formula_grammar : sp::grammar<formula_grammar> {
    explicit formula_grammar(FormulaBuilder& b) : builder(b) {}
    FormulaBuilder& builder;

    template <typename ScannerT>
    struct definition {
        using Rule = sp::rule<ScannerT>;
        Rule expression, term, power, factor, factorBody, call, constant, number, itemTerm,
            modifier, identifier, integer;

        explicit definition(formula_grammar const& self) {
            FormulaBuilder* b = &self.builder;
            auto emit = [b](Op op) { return EmitOp{b, op}; };
            auto fn = [&](const char* name, Op op) {
                return (sp::str_p(name) >> '(' >> expression >> ')')[emit(op)];
            };

            expression =
                term >> *(('+' >> term)[emit(Op::Add)] | ('-' >> term)[emit(Op::Subtract)]);
            term =
                power >> *(('*' >> power)[emit(Op::Multiply)] | ('/' >> power)[emit(Op::Divide)] |
                           ('%' >> power)[emit(Op::Remainder)]);
            power = factor >> *(('^' >> factor)[emit(Op::Power)]);
            factor = NestingGuard<Rule>(factorBody, &b->nesting);
            factorBody = ('-' >> factor)[emit(Op::Negate)] | ('+' >> factor) |
                         ('|' >> expression >> '|')[emit(Op::Abs)] | ('(' >> expression >> ')') |
                         call | constant | itemTerm;
            call =
                fn("theta", Op::Theta) | fn("abs", Op::Abs) |
                (sp::str_p("fac") >> '(' >> expression >> ')')[EmitFactorial{b}] |
                fn("tan", Op::Tan) | fn("cos", Op::Cos) | fn("sin", Op::Sin) |
                fn("atan", Op::Atan) | fn("acos", Op::Acos) | fn("asin", Op::Asin) |
                fn("sqrt", Op::Sqrt) | fn("ln", Op::Ln) | fn("exp", Op::Exp) |
                (sp::str_p("max") >> '(' >> expression >> ',' >> expression >> ')')[emit(Op::Max)] |
                (sp::str_p("min") >> '(' >> expression >> ',' >> expression >> ')')[emit(Op::Min)];
            constant = number | sp::str_p("PI")[EmitConstant{b, std::numbers::pi}];
            number = sp::lexeme_d[+sp::digit_p >> !('.' >> *sp::digit_p)][EmitNumber{b}];
            itemTerm = modifier | identifier;
            modifier = (sp::str_p("smooth") >> '(' >> itemTerm >> ',' >> integer >>
                        ')')[emit(Op::Smooth)] |
                       (sp::str_p("fordist") >> '(' >> itemTerm >> ',' >> expression >>
                        ')')[emit(Op::ForDist)] |
                       (sp::str_p("d") >> '(' >> itemTerm >> ')')[emit(Op::Difference)];
            integer = sp::lexeme_d[+sp::digit_p][EmitInteger{b}];
            identifier =
                sp::lexeme_d[(sp::alpha_p | '_') >> *(sp::alnum_p | '_' | '.')][EmitIdentifier{b}];
        }

        Rule const& start() const { return expression; }
    };
};

// Stack effect of each instruction, for checking what a parse leaves behind.
int StackEffect(Op op) {
    switch (op) {
        case Op::Number:
        case Op::Sample:
        case Op::WheelIndex:
        case Op::Reference:
        case Op::Invalid:
            return 1;
        case Op::Smooth:
        case Op::ForDist:
        case Op::Add:
        case Op::Subtract:
        case Op::Multiply:
        case Op::Divide:
        case Op::Remainder:
        case Op::Power:
        case Op::Min:
        case Op::Max:
            return -1;
        default:
            return 0;
    }
}

// Records an instruction needs on the stack before it runs.
int Operands(Op op) {
    switch (op) {
        case Op::Number:
        case Op::Sample:
        case Op::WheelIndex:
        case Op::Reference:
        case Op::Invalid:
            return 0;
        default:
            return StackEffect(op) < 0 ? 2 : 1;
    }
}

}  // namespace

FormulaProgram FormulaProgram::Compile(std::string_view formula, const FormulaNames& names,
                                       int wheel) {
    FormulaProgram program;
    if (formula.size() > kMaxLength) return program;  // stops at the start
    const std::string text(formula);
    FormulaBuilder builder{program, names, wheel};
    formula_grammar grammar(builder);
    const char* first = text.c_str();
    const char* last = first + text.size();
    const sp::parse_info<const char*> info = sp::parse(first, last, grammar, sp::space_p);
    program.m_stop = static_cast<std::size_t>(info.stop - first);

    int depth = 0;
    bool balanced = true;
    for (const Instruction& instruction : program.m_code) {
        if (depth < Operands(instruction.op)) balanced = false;
        depth += StackEffect(instruction.op);
        program.m_maxDepth = std::max(program.m_maxDepth, depth);
    }
    const char* rest = info.stop;
    while (rest != last && std::isspace(static_cast<unsigned char>(*rest)))
        ++rest;
    program.m_valid = info.hit && rest == last && depth == 1 && balanced;
    return program;
}

bool FormulaProgram::References(const DataItem* item) const {
    return std::any_of(m_refs.begin(), m_refs.end(),
                       [item](const Reference& r) { return r.item == item; });
}

// --- evaluation -----------------------------------------------------------------------

namespace {

struct Record {
    double value;
    const DataItem* item;
    const Wheel* wheel;
    bool difference;
    int smoothing;
    double distance;  // >= 0: read at this distance; -1: at the current sample
};

Record Plain(double value) { return {value, nullptr, nullptr, false, 0, -1.0}; }

double Factorial(double a, const std::string& call, bool report) {
    if (std::isnan(a)) return a;
    if (a != std::trunc(a)) {
        if (report) {
            ShowMessage(
                Format("Invalid argument for factorial: '%s', must be an integer", call.c_str()));
        }
        a = std::trunc(a);
    }
    if (a < 0) {
        if (report) {
            ShowMessage(
                Format("Invalid argument for factorial: '%s', may not be negative", call.c_str()));
        }
        return 1.0;
    }
    if (a > 170) return HUGE_VAL;
    const int k = static_cast<int>(a);
    if (k <= 12) {
        std::int32_t r = 1;
        for (std::int32_t i = 2; i <= k; ++i)
            r *= i;
        return r;
    }
    double r = 1.0;  // beyond 32-bit integers: double precision
    for (int i = 2; i <= k; ++i)
        r *= i;
    return r;
}

}  // namespace

double FormulaProgram::Evaluate(const PerfCore* buffer, int sample, int wheel) const {
    return Run(buffer, sample, wheel, false);
}

void FormulaProgram::ShowMessagesOfFailedParse(const PerfCore* buffer, int wheel) const {
    Run(buffer, 0, wheel, true);
}

double FormulaProgram::Run(const PerfCore* buffer, int sample, int wheel, bool failedParse) const {
    if (!m_valid && !failedParse) return 0.0;
    // A small stack on the machine stack covers every formula written by hand.
    Record local[32];
    std::vector<Record> large;
    Record* stack = local;
    if (m_maxDepth > 32) {
        large.resize(static_cast<std::size_t>(m_maxDepth));
        stack = large.data();
    }
    int top = 0;  // number of records

    auto value = [&](const Record& r) -> double {
        if (r.item == nullptr || buffer == nullptr) return r.value;
        if (r.distance >= 0.0) {
            return r.item->GetMetricValueFromDist(buffer, r.distance, r.wheel, r.smoothing);
        }
        double v = r.item->GetMetricValueEx(buffer, sample, r.wheel, r.smoothing);
        if (r.difference) {
            v -=
                r.item->GetMetricValueEx(buffer, sample > 0 ? sample - 1 : 0, r.wheel, r.smoothing);
        }
        return v;
    };
    auto pop = [&]() -> double { return value(stack[--top]); };
    auto push = [&](double v) { stack[top++] = Plain(v); };
    const bool reportItems = sample == 0 && (wheel == 0 || wheel == -1);

    for (const Instruction& in : m_code) {
        // Actions of a failed parse may not balance; they never read below the stack.
        if (top < Operands(in.op)) break;
        switch (in.op) {
            case Op::Number:
                push(in.value);
                break;
            case Op::Sample:
                push(sample);
                break;
            case Op::WheelIndex:
                push(wheel);
                break;
            case Op::Reference: {
                const Reference& ref = m_refs[static_cast<std::size_t>(in.arg)];
                stack[top++] = {0.0, ref.item, ref.wheel, false, 0, -1.0};
                break;
            }
            case Op::Invalid:
                if (reportItems) {
                    ShowMessage(Format("Invalid item: '%s'",
                                       m_texts[static_cast<std::size_t>(in.arg)].c_str()));
                }
                push(0.0);
                break;
            case Op::Smooth: {
                const double n = pop();
                stack[top - 1].smoothing = n > 0 ? static_cast<int>(n) : 0;
                break;
            }
            case Op::ForDist: {
                const double e = pop();
                // Whole metres; a negative distance reads at the start line.
                const double d = std::trunc(e);
                stack[top - 1].distance = d >= 0.0 ? d : 0.0;
                break;
            }
            case Op::Difference:
                stack[top - 1].difference = true;
                break;
            case Op::Factorial: {
                const double a = pop();
                push(Factorial(a, m_texts[static_cast<std::size_t>(in.arg)], sample == 0));
                break;
            }
            default: {
                if (StackEffect(in.op) < 0) {
                    const double b = pop();
                    const double a = pop();
                    double r = 0.0;
                    switch (in.op) {
                        case Op::Add:
                            r = a + b;
                            break;
                        case Op::Subtract:
                            r = a - b;
                            break;
                        case Op::Multiply:
                            r = a * b;
                            break;
                        case Op::Divide:
                            r = a / b;
                            break;
                        case Op::Remainder:
                            r = std::fmod(a, b);
                            break;
                        case Op::Power:
                            r = std::pow(a, b);
                            break;
                        case Op::Min:
                            r = std::min(a, b);
                            break;
                        case Op::Max:
                            r = std::max(a, b);
                            break;
                        default:
                            break;
                    }
                    push(r);
                    break;
                }
                const double a = pop();
                double r = 0.0;
                switch (in.op) {
                    case Op::Negate:
                        r = -a;
                        break;
                    case Op::Abs:
                        r = std::fabs(a);
                        break;
                    case Op::Theta:
                        r = a > 0.0 ? 1.0 : 0.0;
                        break;
                    case Op::Sqrt:
                        r = std::sqrt(a);
                        break;
                    case Op::Ln:
                        r = std::log(a);
                        break;
                    case Op::Exp:
                        r = std::exp(a);
                        break;
                    case Op::Sin:
                        r = std::sin(a);
                        break;
                    case Op::Cos:
                        r = std::cos(a);
                        break;
                    case Op::Tan:
                        r = std::tan(a);
                        break;
                    case Op::Asin:
                        r = std::asin(a);
                        break;
                    case Op::Acos:
                        r = std::acos(a);
                        break;
                    case Op::Atan:
                        r = std::atan2(a, 1.0);
                        break;
                    default:
                        break;
                }
                push(r);
                break;
            }
        }
    }
    if (failedParse || top != 1) return 0.0;
    return value(stack[0]);
}

}  // namespace morlund
