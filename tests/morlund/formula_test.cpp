#include "morlund/items/Formula.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "TestSupport.h"
#include "VectorPerf.h"
#include "lapgen/GP2Writer.h"
#include "morlund/formats/gp2/GP2BufManager.h"
#include "morlund/items/CustomDataItem.h"
#include "morlund/platform/RecordingMessageSink.h"

using namespace morlund;
using testsupport::Range;
using testsupport::VectorPerf;

namespace {

// Exposes the one-sample evaluation: parse and evaluate afresh, as a reference.
class ReferenceItem : public CustomDataItem {
public:
    using CustomDataItem::CustomDataItem;
    double Reparse(const PerfCore* b, int sample, int wheel) const {
        return DoGetMetricValue(b, sample, wheel);
    }
};

int g_counter = 0;

// A formula item under a fresh short name; the names formulas use are rebuilt.
ReferenceItem* Make(const std::string& formula, DataItem::DataType type = DataItem::DT_CAR,
                    std::string shortName = "") {
    if (shortName.empty()) shortName = "fx" + std::to_string(g_counter++);
    auto* item = DataItem::Adopt(std::make_unique<ReferenceItem>(formula.c_str(), shortName.c_str(),
                                                                 type, DataItem::Q_FACTOR, 0.0,
                                                                 100.0, 0.0, formula.c_str()));
    CustomDataItem::BuildFormulaNames();
    return item;
}

// Ten samples, 10 m apart; speed 1, 2, 3, ...; ride height of wheel w = 0.05 + w.
VectorPerf& Lap(VectorPerf& p) {
    p.distance = Range(10, 10.0);
    p.speed = Range(10, 1.0);
    for (double& v : p.speed)
        v += 1.0;
    p.rideHeight.assign(10, 0.05);
    p.Load();
    return p;
}

double Value(const std::string& formula, int sample = 0, int wheel = -1) {
    VectorPerf p;
    Lap(p);
    return Make(formula)->GetMetricValue(&p, sample, wheel);
}

}  // namespace

TEST(Formula, OperatorsPrecedenceAndFunctions) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    EXPECT_EQ(Value("2^3^2"), 64);
    EXPECT_EQ(Value("-2^2"), 4);
    EXPECT_EQ(Value("2^-1"), 0.5);
    EXPECT_EQ(Value("7 % -3"), 1);
    EXPECT_EQ(Value("-7 % 3"), -1);
    EXPECT_EQ(Value("|0-5|"), 5);
    EXPECT_EQ(Value("1 - 2 - 3"), -4);
    EXPECT_EQ(Value("12 / 3 / 2"), 2);
    EXPECT_EQ(Value("2 + 3 * 4"), 14);
    EXPECT_EQ(Value("+(2)"), 2);
    EXPECT_EQ(Value("theta(0)"), 0);
    EXPECT_EQ(Value("theta(0.001)"), 1);
    EXPECT_EQ(Value("abs(-3) + max(2, 5) + min(2, 5)"), 10);
    EXPECT_DOUBLE_EQ(Value("atan(1)"), std::numbers::pi / 4);
    EXPECT_DOUBLE_EQ(Value("sqrt(16) + ln(exp(2)) + sin(0) + cos(0) + tan(0)"), 7);
    EXPECT_DOUBLE_EQ(Value("asin(1) + acos(1)"), std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(Value("PI"), 3.141592653589793);
    EXPECT_EQ(Value("5."), 5);
    EXPECT_EQ(Value("s * 10 + w", 7, -1), 69);
    EXPECT_EQ(Value("fac(5)"), 120);
    EXPECT_EQ(Value("fac(0)"), 1);
    EXPECT_EQ(Value("fac(1)"), 1);
    EXPECT_EQ(Value("fac(13)"), 6227020800.0);  // beyond 32 bits: computed in double
    EXPECT_EQ(Value("fac(171)"), HUGE_VAL);
    EXPECT_TRUE(sink.Messages().empty());
}

TEST(Formula, ItemsWheelsAndModifiers) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    VectorPerf p;
    Lap(p);
    EXPECT_DOUBLE_EQ(Make("speed*3.6")->GetMetricValue(&p, 4, -1), 5 * 3.6);
    EXPECT_DOUBLE_EQ(Make("speed * 3.6")->GetMetricValue(&p, 4, -1), 5 * 3.6);
    // a car formula reads wheels only through a suffix
    EXPECT_DOUBLE_EQ(Make("rh.lf - rh.rf")->GetMetricValue(&p, 0, -1), -1.0);
    EXPECT_EQ(Make("rh")->GetMetricValue(&p, 0, -1), 0.0);
    EXPECT_DOUBLE_EQ(Make("rh.sumrr")->GetMetricValue(&p, 0, -1), 0.05 * 2 + 1);
    // a per-wheel formula reads its own wheel
    ReferenceItem* perWheel = Make("rh * 2", DataItem::DT_WHEEL);
    EXPECT_DOUBLE_EQ(perWheel->GetMetricValue(&p, 3, 2), (0.05 + 2) * 2);
    EXPECT_DOUBLE_EQ(perWheel->GetMetricValueEx(&p, 3, Wheel::SUM_FRONT), (2.05 + 3.05) * 2);

    EXPECT_EQ(Make("d(dist)")->GetMetricValue(&p, 0, -1), 0.0);
    EXPECT_EQ(Make("d(dist)")->GetMetricValue(&p, 5, -1), 10.0);
    EXPECT_EQ(Make("d(smooth(speed, 3))")->GetMetricValue(&p, 5, -1), 1.0);
    EXPECT_EQ(Make("fordist(speed, 40.9)")->GetMetricValue(&p, 0, -1), 5.0);  // at 40 m
    EXPECT_EQ(Make("fordist(speed, 0-25)")->GetMetricValue(&p, 7, -1), 1.0);  // at 0 m
    EXPECT_EQ(Make("smooth(speed, 2)")->GetMetricValue(&p, 5, -1), 6.0);
    EXPECT_EQ(Make("smooth(speed, 2)")->GetMetricValue(&p, 0, -1), 2.0);  // (1 + 2 + 3) / 3
    EXPECT_EQ(Make("dist")->GetMetricValue(&p, 10, -1), 0.0);             // outside the lap
    EXPECT_TRUE(sink.Messages().empty());
}

TEST(Formula, ParseErrorsAndInvalidItemsAreReportedOncePerBuffer) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    VectorPerf p;
    Lap(p);
    ReferenceItem* bad = Make("smooth(speed, 2.5)", DataItem::DT_WHEEL, "badsmooth");
    for (int w = 0; w < 4; ++w) {
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(bad->GetMetricValue(&p, i, w), 0.0);
    }
    // the smoothing must be an integer: "smooth" is then read as a name, and the parse
    // stops after it
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{
                                "Invalid item: 'smooth'",
                                "Parse error in formula: 'badsmooth'.\n\nExpression: smooth(speed, "
                                "2.5)\n\nStopped at: (speed, 2.5)"}));
    EXPECT_EQ(sink.Messages()[1].icon, MessageIcon::Error);

    sink.Clear();
    Make("speed +", DataItem::DT_CAR, "trailing")->GetMetricValue(&p, 3, -1);
    Make("speed time", DataItem::DT_CAR, "twonames")->GetMetricValue(&p, 3, -1);
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{
                                "Parse error in formula: 'trailing'.\n\nExpression: speed +\n\n"
                                "Stopped at:  +",
                                "Parse error in formula: 'twonames'.\n\nExpression: speed time\n\n"
                                "Stopped at:  time"}));

    sink.Clear();
    ReferenceItem* unknown = Make("nosuchitem * 2 + rh.xx + speed.lf", DataItem::DT_WHEEL);
    for (int w = 0; w < 4; ++w)
        EXPECT_EQ(unknown->GetMetricValue(&p, 5, w), 0.0);
    EXPECT_EQ(sink.Texts(),
              (std::vector<std::string>{"Invalid item: 'nosuchitem'", "Invalid item: 'rh.xx'",
                                        "Invalid item: 'speed.lf'"}));
    sink.Clear();
    VectorPerf other;  // another buffer hears it again
    Lap(other);
    unknown->GetMetricValue(&other, 0, 1);
    unknown->GetMetricValue(&other, 0, 0);
    EXPECT_EQ(sink.Texts().size(), 3u);
}

TEST(Formula, FactorialArgumentsAreCheckedAtTheFirstSample) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    VectorPerf p;
    Lap(p);
    ReferenceItem* half = Make("fac(2.5)");
    EXPECT_EQ(half->GetMetricValue(&p, 0, -1), 2.0);
    EXPECT_EQ(half->GetMetricValue(&p, 9, -1), 2.0);
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{
                                "Invalid argument for factorial: 'fac(2.5)', must be an integer"});
    sink.Clear();
    ReferenceItem* negative = Make("fac( 0 - 2.5 )");
    EXPECT_EQ(negative->GetMetricValue(&p, 4, -1), 1.0);
    EXPECT_EQ(sink.Texts(),
              (std::vector<std::string>{
                  "Invalid argument for factorial: 'fac( 0 - 2.5 )', must be an integer",
                  "Invalid argument for factorial: 'fac( 0 - 2.5 )', may not be negative"}));
    sink.Clear();
    ReferenceItem* later = Make("fac(3 - s) + fac(s / 2)");  // bad arguments after sample 0
    EXPECT_EQ(later->GetMetricValue(&p, 5, -1), 1.0 + 2.0);  // fac(-2) = 1, fac(2.5) = 2
    EXPECT_EQ(later->GetMetricValue(&p, 2, -1), 1.0 + 1.0);
    EXPECT_TRUE(sink.Messages().empty());
}

TEST(Formula, CircularReferencesYieldZeroWithOneMessage) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    VectorPerf p;
    Lap(p);
    ReferenceItem* a = Make("circb + 1", DataItem::DT_CAR, "circa");
    ReferenceItem* b = Make("circa * 2", DataItem::DT_CAR, "circb");
    ReferenceItem* self = Make("circself.lf + 1", DataItem::DT_WHEEL, "circself");
    EXPECT_EQ(a->GetMetricValue(&p, 3, -1), 0.0);
    EXPECT_EQ(b->GetMetricValue(&p, 3, -1), 0.0);
    EXPECT_EQ(self->GetMetricValue(&p, 3, 2), 0.0);
    EXPECT_EQ(sink.Texts(),
              (std::vector<std::string>{"Circular reference in formula: 'circa'",
                                        "Circular reference in formula: 'circself'"}));
}

TEST(Formula, CacheBelongsToTheItemAndIsKeptUntilFlushed) {
    VectorPerf p;
    Lap(p);
    ReferenceItem* one = Make("speed", DataItem::DT_CAR);
    ReferenceItem* two = Make("speed * 2", DataItem::DT_CAR);
    two->SetName(one->GetName().c_str());  // the same display name
    EXPECT_EQ(one->GetMetricValue(&p, 2, -1), 3.0);
    EXPECT_EQ(two->GetMetricValue(&p, 2, -1), 6.0);
    one->SetFormula("speed * 10");
    EXPECT_EQ(one->GetMetricValue(&p, 2, -1), 3.0);  // still cached
    one->FlushCache(&p);
    EXPECT_EQ(one->GetMetricValue(&p, 2, -1), 30.0);
    one->SetFormula("speed * 100");
    p.SetupChanged();  // a setup change empties every cache
    EXPECT_EQ(one->GetMetricValue(&p, 2, -1), 300.0);
    // formulas read other formula items, whose own values are cached per wheel
    ReferenceItem* perWheel = Make("rh + w", DataItem::DT_WHEEL, "rhplusw");
    EXPECT_DOUBLE_EQ(Make("rhplusw.rf - rhplusw.lr")->GetMetricValue(&p, 0, -1), 6.0);
    EXPECT_DOUBLE_EQ(perWheel->GetMetricValue(&p, 0, 1), 2.05);
}

TEST(Formula, DeepNestingAndHugeFormulasAreParseErrors) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    std::string deep(250, '(');
    deep += "1" + std::string(250, ')');
    EXPECT_EQ(Value(deep), 0.0);
    std::string signs(5000, '-');
    EXPECT_EQ(Value(signs + "1"), 0.0);
    std::string fine(150, '(');
    fine += "1" + std::string(150, ')');
    EXPECT_EQ(Value(fine), 1.0);
    std::string longSum = "1";
    while (longSum.size() <= FormulaProgram::kMaxLength)
        longSum += "+1";
    EXPECT_EQ(Value(longSum), 0.0);
    EXPECT_EQ(sink.Messages().size(), 3u);
}

TEST(Formula, CompiledFillEqualsReparsingEverySample) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    lapgen::LapSpec spec;
    spec.sampleCount = 300;
    GP2BufManager manager;
    File file = File::FromMemory(lapgen::WriteGP2Perf(lapgen::EncodeGP2(lapgen::MakeLap(spec)), {}),
                                 "/x/l.pad");
    ASSERT_TRUE(manager.AddBuffer(file));
    const PerfCore& lap = *manager.GetBuffer(0);
    Make("speed * 2 + 1", DataItem::DT_WHEEL, "corpusbase");
    const char* corpus[] = {
        "speed*3.6",
        "smooth(speed,5)*2 - d(rh.lf)",
        "corpusbase.rr / 2 + fordist(latacc, s * 3)",
        "rh - rhslow + w * s",
        "max(rh, 0.03) ^ 2 % 0.7 + theta(speed - 40) * fac(4)",
        "|steer| * 180 / PI + atan(longacc) - sqrt(abs(latacc))",
        "d(fordist(speed, 1000)) + d(smooth(wheelspd, 2))",
        "corpusbase + rh.avgfr - rh.del",
        "-(-speed)^2 / (1 + exp(-s / 100))",
    };
    for (const char* formula : corpus) {
        for (DataItem::DataType type : {DataItem::DT_CAR, DataItem::DT_WHEEL}) {
            ReferenceItem* item = Make(formula, type);
            for (int w : {-1, 0, 2, 3}) {
                if (type == DataItem::DT_CAR && w != -1) continue;
                if (type == DataItem::DT_WHEEL && w == -1) continue;
                for (int i = 0; i < lap.GetSampleCount(); ++i) {
                    const double filled = item->GetMetricValue(&lap, i, w);
                    const double reparsed = item->Reparse(&lap, i, w);
                    ASSERT_TRUE(filled == reparsed || (std::isnan(filled) && std::isnan(reparsed)))
                        << formula << " wheel " << w << " sample " << i << ": " << filled
                        << " != " << reparsed;
                }
            }
        }
    }
    EXPECT_TRUE(sink.Messages().empty());
}

TEST(CustomDataItem, DefinitionFilesWithDefaultsAndConversions) {
    testsupport::TempDir dir;
    auto write = [&](const std::string& name, const std::string& text) {
        testsupport::WriteBytes(dir / name, std::vector<std::uint8_t>(text.begin(), text.end()));
    };
    write("Only Expression-2.ini", "[DataItem]\nExpression=speed*2\n");
    write("disabled.ini", "[DataItem]\nExpression=speed\nEnable=0\n");
    write("empty.ini", "[DataItem]\nName=nothing\n");
    write("2fast.ini",
          "[dataitem]\nexpression = speed\nName = Fast\nQuantity=\nType=0x1\nMinimum=-5\n"
          "Maximum=1e3\nUnitConversionFactor=3.6\n");
    write("123.ini", "[DataItem]\nExpression=speed\n");
    write("named.ini", "[DataItem]\nExpression=rh\nShortName=speed\nQuantity=99\nType=7\n");
    std::filesystem::create_directory(dir / "folder.ini");
    const int before = DataItem::GetCount();
    CustomDataItem::InitCustomDataItems({dir.path()});
    std::vector<const CustomDataItem*> added;
    for (int i = before; i < DataItem::GetCount(); ++i) {
        if (const auto* c = dynamic_cast<const CustomDataItem*>(DataItem::Get(i))) {
            if (c->GetFormula() == "speed*2" || c->GetName() == "Fast" ||
                c->GetShortName() == "speed") {
                added.push_back(c);
            }
        }
    }
    ASSERT_EQ(added.size(), 3u);
    const CustomDataItem& fast = *added[0];  // files load in name order: 2fast first
    EXPECT_EQ(fast.GetShortName(), "fast");
    EXPECT_EQ(fast.GetDataType(), DataItem::DT_CAR);
    EXPECT_EQ(fast.GetQuantity(), DataItem::Q_LENGTH);  // present but empty: 0
    EXPECT_EQ(fast.GetMinValue(), -5.0);
    EXPECT_EQ(fast.GetMaxValue(), 1000.0);
    EXPECT_EQ(fast.GetUnitConversionFactor(), 3.6);
    EXPECT_EQ(fast.GetLevel(), DataItem::LEVEL_CUSTOM);
    EXPECT_FALSE(fast.IsStandard());
    const CustomDataItem& twice = *added[2];
    EXPECT_EQ(twice.GetName(), "speed*2");
    EXPECT_EQ(twice.GetShortName(), "onlyexpression2");
    EXPECT_EQ(twice.GetDataType(), DataItem::DT_WHEEL);
    EXPECT_EQ(twice.GetQuantity(), DataItem::Q_FACTOR);
    EXPECT_EQ(twice.GetMinValue(), 0.0);
    EXPECT_EQ(twice.GetMaxValue(), 100.0);
    const CustomDataItem& shadow = *added[1];
    EXPECT_EQ(shadow.GetQuantity(), DataItem::Q_FACTOR);  // 99 is no quantity
    EXPECT_EQ(shadow.GetDataType(), DataItem::DT_WHEEL);  // 7 is no type
    // the standard item keeps its short name in formulas
    EXPECT_EQ(FormulaNames::Global().FindItem("speed"), DataItem::SPEED);
    EXPECT_EQ(FormulaNames::Global().FindItem("onlyexpression2"), &twice);

    EXPECT_EQ(CustomDataItem::ShortNameFromFileName("My Item-2.ini"), "myitem2");
    EXPECT_EQ(CustomDataItem::ShortNameFromFileName("2fast.ini"), "fast");
    EXPECT_EQ(CustomDataItem::ShortNameFromFileName("123.INI"), "");
}
