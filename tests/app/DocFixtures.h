#pragma once

// Laps and game folders for the document's tests, written by lapgen into a
// fresh folder under the build tree's scratch area.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/shell/TarnwickDoc.h"
#include "lapgen/CsvWriter.h"
#include "lapgen/GP2Writer.h"
#include "lapgen/Model.h"
#include "lapgen/RafWriter.h"
#include "lapgen/SegWriter.h"
#include "morlund/core/PerfCore.h"
#include "tests/support/Files.h"

namespace doctest {

// A scratch folder whose paths come as the shell passes them.
class TempDir : public testsupport::TempDir {
public:
    TempDir() : testsupport::TempDir("doc") {}
    QString operator/(const std::string& name) const {
        return QString::fromStdString((path() / name).string());
    }
};

inline const lapgen::Lap& SmallLap() {
    static const lapgen::Lap lap = [] {
        lapgen::LapSpec spec;
        spec.seed = 5;
        spec.sampleCount = 300;
        spec.trackLength = 1500;
        return lapgen::MakeLap(spec);
    }();
    return lap;
}

// A generic lap; its buffer is named after the file.
inline QString WriteCsvLap(const TempDir& dir, const std::string& name) {
    lapgen::WriteFile(dir.path() / name, lapgen::WriteGenericCsv(SmallLap()));
    return dir / name;
}

// Generic laps of these names, in order.
inline QStringList WriteCsvLaps(const TempDir& dir, std::initializer_list<const char*> names) {
    QStringList paths;
    for (const char* name : names)
        paths << WriteCsvLap(dir, name);
    return paths;
}

// A GP2 lap of track 3 ("<stem>.pad"), with the position extension of the given
// version (0: none); returns the track checksum the reader derives.
inline std::uint32_t WriteGP2Lap(const std::filesystem::path& path, int strelkoVersion = 0) {
    const lapgen::GP2Raw raw = lapgen::EncodeGP2(SmallLap());
    lapgen::GP2WriteOptions options;
    options.strelkoVersion = strelkoVersion;
    lapgen::WriteFile(path, lapgen::WriteGP2Perf(raw, options));
    return lapgen::GP2LapTrackChecksum(raw, options);
}

// Runs a program to its end; what it wrote to standard output.
inline QString RunProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The demo laps of every game, written by the generator's own command into
// dir/demo/<game>.
inline QString WriteDemoLaps(const TempDir& dir) {
    RunProgram(QStringLiteral(TARNWICK_LAPGEN), {"--demo", dir / "demo"});
    return dir / "demo";
}

// Counts the updates a view receives.
class CountingView : public tarnwick::DocView {
public:
    void OnUpdate(tarnwick::DocView* sender, const tarnwick::DocUpdate& update) override {
        ++updates;
        lastSender = sender;
        last = update;
    }
    int updates = 0;
    tarnwick::DocView* lastSender = nullptr;
    tarnwick::DocUpdate last;
};

inline std::vector<std::string> BufferNames(const tarnwick::CTarnwickDoc& doc) {
    std::vector<std::string> names;
    for (int i = 0; i < doc.BufCount(); ++i)
        names.push_back(doc.Buffer(i)->InfoGetName());
    return names;
}

// Three laps of one track with a little less or more grip each (the third is the
// fastest), written as GP2 files (which carry ride heights) or as LFS files.
enum class LapFormat { kGP2, kLfs };

inline QStringList WriteGripLaps(const TempDir& dir, LapFormat format) {
    QStringList paths;
    const double grips[] = {1.0, 0.96, 1.03};
    for (int k = 0; k < 3; ++k) {
        lapgen::LapSpec spec;
        spec.seed = 11;
        spec.trackLength = 2400;
        spec.sampleCount = format == LapFormat::kGP2 ? 3000 : 6000;
        spec.gripScale = grips[k];
        const lapgen::Lap lap = lapgen::MakeLap(spec);
        const std::string name =
            "lap" + std::to_string(k + 1) + (format == LapFormat::kGP2 ? ".pad" : ".raf");
        lapgen::WriteFile(dir.path() / name,
                          format == LapFormat::kGP2
                              ? lapgen::WriteGP2Perf(lapgen::EncodeGP2(lap), {})
                              : lapgen::WriteRaf(lapgen::EncodeRaf(lap, {}), {}));
        paths << dir / name;
    }
    return paths;
}

}  // namespace doctest
