#include <gtest/gtest.h>

#include <charconv>
#include <string>
#include <vector>

#include "lapgen/CsvWriter.h"

namespace {

lapgen::Lap TinyLap() {
    lapgen::LapSpec spec;
    spec.sampleCount = 20;
    spec.trackLength = 400;
    spec.track = 2;
    spec.lapNumber = 4;
    spec.name = "Tiny";
    return lapgen::MakeLap(spec);
}

std::string Text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

double Parse(const std::string& text) {
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    EXPECT_EQ(r.ptr, text.data() + text.size()) << text;
    return v;
}

}  // namespace

TEST(CsvWriter, WritesLapInformationNamesAndExactValues) {
    const lapgen::Lap lap = TinyLap();
    const std::vector<std::string> lines = Split(Text(lapgen::WriteGenericCsv(lap)), '\n');
    ASSERT_EQ(lines.size(), lap.samples.size() + 3);  // info, names, samples, empty after last
    EXPECT_EQ(lines.back(), "");
    const std::vector<std::string> info = Split(lines[0], ',');
    ASSERT_EQ(info.size(), 5u);
    EXPECT_EQ(info[0], "Tiny");
    EXPECT_EQ(Parse(info[2]), lap.lapTime);
    EXPECT_EQ(info[3], "2");
    EXPECT_EQ(info[4], "4");
    const std::vector<std::string> names = Split(lines[1], ',');
    ASSERT_EQ(names.size(), 28u);
    EXPECT_EQ(names.front(), "time");
    EXPECT_EQ(names.back(), "pos_y");
    for (std::size_t i = 0; i < lap.samples.size(); ++i) {
        const std::vector<std::string> values = Split(lines[i + 2], ',');
        ASSERT_EQ(values.size(), 28u);
        for (int c = 0; c < 28; ++c) {
            ASSERT_EQ(Parse(values[static_cast<std::size_t>(c)]),
                      lapgen::CsvColumnValue(lap.samples[i], c))
                << i << " " << c;
        }
    }
    EXPECT_EQ(lapgen::CsvColumnValue(lap.samples[3], 6), lap.samples[3].throttle * 100.0);
    EXPECT_EQ(lapgen::CsvColumnValue(lap.samples[3], 19), lap.samples[3].wheelSpeed[1]);
    EXPECT_EQ(lapgen::FormatCsvValue(1.0 / 3.0, 4), "0.3333");
}

TEST(CsvWriter, KnobsProduceTheBrokenVariants) {
    const lapgen::Lap lap = TinyLap();
    lapgen::CsvOptions options;
    options.columns = {2, 9};
    options.upperCaseNames = true;
    options.quoteInfo = true;
    options.info = "A, B";
    options.date = "D";
    options.extraNames = {"rpm"};
    options.lineEnd = "\r\n";
    options.finalLineEnd = false;
    options.shortLineEvery = 2;
    options.surplusValues = 1;
    options.blankLineEvery = 5;
    options.sampleLimit = 10;
    const std::string text = Text(lapgen::WriteGenericCsv(lap, options));
    EXPECT_EQ(text.substr(0, text.find("\r\n")),
              "\"A, B\",\"D\"," + lapgen::FormatCsvValue(lap.lapTime, 0) + ",2,4");
    EXPECT_NE(text.back(), '\n');
    std::vector<std::string> lines = Split(text, '\n');
    ASSERT_EQ(lines.size(), 2u + 10u + 1u);  // one blank line after sample 5
    EXPECT_EQ(lines[1], "SPEED,GEAR,RPM\r");
    EXPECT_EQ(lines[2], lapgen::FormatCsvValue(lap.samples[0].speed, 0) + "," +
                            std::to_string(lap.samples[0].gear) + ",9\r");
    EXPECT_EQ(lines[3], lapgen::FormatCsvValue(lap.samples[1].speed, 0) + ",9\r");  // short
    EXPECT_EQ(lines[7], "\r");

    lapgen::CsvOptions raw;
    raw.infoLine = "x,,1";
    raw.columns = {0};
    EXPECT_EQ(Text(lapgen::WriteGenericCsv(lap, raw)).substr(0, 10), "x,,1\ntime\n");
    raw.columns = {28};
    EXPECT_THROW(lapgen::WriteGenericCsv(lap, raw), std::invalid_argument);
}
