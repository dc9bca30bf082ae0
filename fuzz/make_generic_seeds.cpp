// Writes a seed corpus for fuzz_generic from lapgen laps: complete files, files
// with few columns (derived fallbacks), CR line ends, quoted lap information,
// short and surplus lines.

#include <cstdio>
#include <filesystem>
#include <string>

#include "lapgen/CsvWriter.h"
#include "lapgen/GP2Writer.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_generic_seeds DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    lapgen::LapSpec spec;
    spec.sampleCount = 16;
    spec.trackLength = 400;
    const lapgen::Lap lap = lapgen::MakeLap(spec);
    std::vector<lapgen::CsvOptions> variants(8);
    variants[0].significantDigits = 4;
    variants[1].columns = {0, 2, 4};
    variants[1].upperCaseNames = true;
    variants[2].columns = {2, 9, 6, 7};
    variants[2].lineEnd = "\r";
    variants[2].finalLineEnd = false;
    variants[3].quoteInfo = true;
    variants[3].info = "Lap, one";
    variants[3].lineEnd = "\r\n";
    variants[4].shortLineEvery = 3;
    variants[4].surplusValues = 2;
    variants[4].blankLineEvery = 4;
    variants[5].columns = {1, 26, 27};
    variants[5].significantDigits = 3;
    variants[6].infoLine = "\"a\"\"b\",,12.5,2,7";
    variants[6].columns = {0, 3};
    variants[7].columns = {5};
    variants[7].extraNames = {"pos_x"};
    int k = 0;
    for (const lapgen::CsvOptions& options : variants)
        lapgen::WriteFile(dir / ("seed" + std::to_string(k++)),
                          lapgen::WriteGenericCsv(lap, options));
    return 0;
}
