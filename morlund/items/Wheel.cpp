#include "morlund/items/Wheel.h"

#include <string>

#include "morlund/items/DataItem.h"
#include "morlund/platform/Errors.h"

namespace morlund {

int Wheel::g_nNextOrdinal = 0;

namespace {

// Constructed on first use, so it exists before the first selector registers;
// deletes the selectors last first when the library unloads.
struct OwningRegistry {
    WheelPtrArray wheels;
    ~OwningRegistry() {
        while (!wheels.empty())
            wheels.pop_back();
    }
};

WheelPtrArray& Registry() {
    static OwningRegistry registry;
    return registry.wheels;
}

// Hands a new selector to the registry, which owns it from then on.
template <class T>
const Wheel* Register(const char* name, const char* shortName, int index) {
    auto wheel = std::make_unique<T>(name, shortName, index);
    const Wheel* raw = wheel.get();
    Registry().push_back(std::move(wheel));
    return raw;
}

double Value(const DataItem* item, const PerfCore* buffer, int sample, int wheel) {
    return item->GetMetricValue(buffer, sample, wheel);
}

// A selector whose value is a fixed combination of the four wheel values.
template <class Combine, int RangeFactor = 1>
class CombinedWheel : public Wheel {
public:
    CombinedWheel(const char* name, const char* shortName, int index)
        : Wheel(name, shortName, index) {}
    double GetWheelValue(const DataItem* item, const PerfCore* buffer, int sample) const override {
        return Combine{}(item, buffer, sample);
    }
    double GetRangeFactor() const override { return RangeFactor; }
};

struct None {
    double operator()(const DataItem*, const PerfCore*, int) const { return 0.0; }
};
template <int W>
struct One {
    double operator()(const DataItem* i, const PerfCore* b, int s) const {
        return Value(i, b, s, W);
    }
};
struct Sum {
    double operator()(const DataItem* i, const PerfCore* b, int s) const {
        const double rf = Value(i, b, s, 3), lf = Value(i, b, s, 2);
        const double rr = Value(i, b, s, 1), lr = Value(i, b, s, 0);
        return lr + rr + lf + rf;
    }
};
struct SumRear {
    double operator()(const DataItem* i, const PerfCore* b, int s) const {
        return Value(i, b, s, 0) + Value(i, b, s, 1);
    }
};
struct SumFront {
    double operator()(const DataItem* i, const PerfCore* b, int s) const {
        return Value(i, b, s, 2) + Value(i, b, s, 3);
    }
};
struct Avg {
    double operator()(const DataItem* i, const PerfCore* b, int s) const {
        return Sum{}(i, b, s) * 0.25;
    }
};
struct AvgRear {
    double operator()(const DataItem* i, const PerfCore* b, int s) const {
        return SumRear{}(i, b, s) * 0.5;
    }
};
struct AvgFront {
    double operator()(const DataItem* i, const PerfCore* b, int s) const {
        return SumFront{}(i, b, s) * 0.5;
    }
};
struct Delta {
    double operator()(const DataItem* i, const PerfCore* b, int s) const {
        const double rr = Value(i, b, s, 1), lr = Value(i, b, s, 0);
        const double lf = Value(i, b, s, 2), rf = Value(i, b, s, 3);
        return (lr + rr - lf - rf) * 0.5;
    }
};
template <int A, int B>
struct Difference {
    double operator()(const DataItem* i, const PerfCore* b, int s) const {
        return Value(i, b, s, A) - Value(i, b, s, B);
    }
};

}  // namespace

Wheel::Wheel(const char* name, const char* shortName, int index)
    : m_ordinal(g_nNextOrdinal++), m_name(name), m_shortName(shortName), m_index(index) {}

// Created in this order at library load; the order is their ordinal.
const Wheel* const Wheel::ALL = Register<CombinedWheel<None>>("All Wheels", "all", -1);
const Wheel* const Wheel::LEFT_REAR = Register<CombinedWheel<One<0>>>("Left Rear", "lr", 0);
const Wheel* const Wheel::RIGHT_REAR = Register<CombinedWheel<One<1>>>("Right Rear", "rr", 1);
const Wheel* const Wheel::LEFT_FRONT = Register<CombinedWheel<One<2>>>("Left Front", "lf", 2);
const Wheel* const Wheel::RIGHT_FRONT = Register<CombinedWheel<One<3>>>("Right Front", "rf", 3);
const Wheel* const Wheel::SUM = Register<CombinedWheel<Sum, 4>>("Sum", "sum", -2);
const Wheel* const Wheel::SUM_REAR = Register<CombinedWheel<SumRear, 2>>("Sum Rear", "sumrr", -3);
const Wheel* const Wheel::SUM_FRONT =
    Register<CombinedWheel<SumFront, 2>>("Sum Front", "sumfr", -4);
const Wheel* const Wheel::AVG = Register<CombinedWheel<Avg>>("Avg", "avg", -5);
const Wheel* const Wheel::AVG_REAR = Register<CombinedWheel<AvgRear>>("Avg Rear", "avgrr", -6);
const Wheel* const Wheel::AVG_FRONT = Register<CombinedWheel<AvgFront>>("Avg Front", "avgfr", -7);
const Wheel* const Wheel::DELTA = Register<CombinedWheel<Delta>>("Delta", "del", -8);
const Wheel* const Wheel::DELTA_LEFT =
    Register<CombinedWheel<Difference<0, 2>>>("Delta Left", "dellt", -9);
const Wheel* const Wheel::DELTA_RIGHT =
    Register<CombinedWheel<Difference<1, 3>>>("Delta Right", "delrt", -10);
const Wheel* const Wheel::DELTA_REAR =
    Register<CombinedWheel<Difference<0, 1>>>("Delta Rear", "delrr", -11);
const Wheel* const Wheel::DELTA_FRONT =
    Register<CombinedWheel<Difference<2, 3>>>("Delta Front", "delfr", -12);

const Wheel* Wheel::FromIndex(int index) {
    switch (index) {
        case 0:
            return LEFT_REAR;
        case 1:
            return RIGHT_REAR;
        case 2:
            return LEFT_FRONT;
        case 3:
            return RIGHT_FRONT;
        default:
            return nullptr;
    }
}

const Wheel* Wheel::Get(int ordinal) {
    if (ordinal < 0 || ordinal >= GetCount()) {
        throw InvalidArgument("wheel selector ordinal " + std::to_string(ordinal));
    }
    return Registry()[static_cast<std::size_t>(ordinal)].get();
}

int Wheel::GetCount() { return static_cast<int>(Registry().size()); }

std::unique_ptr<Wheel::Iterator> Wheel::NewIterator() { return std::make_unique<Iterator>(); }

bool Wheel::Iterator::HasNext() const { return m_position < GetCount(); }

const Wheel* Wheel::Iterator::GetNext() {
    const Wheel* wheel = Get(m_position);
    ++m_position;
    return wheel;
}

}  // namespace morlund
