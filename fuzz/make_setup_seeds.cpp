// Writes a seed corpus for fuzz_setups from lapgen's setup writers: one valid
// file per record kind (the first byte picks the kind, as the target reads it).

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "lapgen/GP2Writer.h"
#include "lapgen/SetupWriter.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_setup_seeds DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    int k = 0;
    auto write = [&](int mode, const std::vector<std::uint8_t>& bytes) {
        std::vector<std::uint8_t> seed{static_cast<std::uint8_t>(mode)};
        seed.insert(seed.end(), bytes.begin(), bytes.end());
        lapgen::WriteFile(dir / ("seed" + std::to_string(k++)), seed);
    };
    auto gp3 = lapgen::DefaultGP3SetupRecord();
    write(0, lapgen::WriteGP2Setup(3, lapgen::DefaultSetupRecord()));
    write(1, lapgen::WriteGP3Setup(lapgen::GPSetupGame::GP3, 3, gp3));
    gp3[45] = 0x3a;
    gp3[47] = 0x10;
    lapgen::SetSeventhGear(gp3, 33);
    write(2, lapgen::WriteGP3Setup(lapgen::GPSetupGame::GP4, 3, gp3));
    write(3 | (1 << 3), lapgen::WriteF1RSSetup());
    write(4 | (2 << 3), lapgen::WriteMGPSetup());
    lapgen::LFSSetupHeader lfs;
    lfs.blockOfWheel = {3, 2, 1, 0};
    write(5, lapgen::BuildLFSSetupHeader(lfs));
    write(6, {});
    return 0;
}
