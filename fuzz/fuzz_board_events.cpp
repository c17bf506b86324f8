// The stream of keys, cursor positions, commands and dialog answers the board's units take: the
// fuzzer's bytes choose the events of the soak's walk. Memory errors, hangs and broken sizes or
// phases are findings; the picture invariants are the soak's (scripts/soak.sh).
#include <QDir>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"
#include "soak/board_walk.h"

namespace {
QTemporaryDir* scratch = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startQt(argc, argv);
    scratch = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    size_t at = 0;
    // Each choice takes the next two bytes; the walk ends with the input.
    auto next = [&](unsigned bound) -> unsigned {
        unsigned v = 0;
        for (int i = 0; i < 2 && at < size; ++i)
            v = v << 8 | data[at++];
        return v % bound;
    };
    BoardWalk walk(next, scratch->path());
    BoardWalk::Options options;
    options.structureOnly = true;
    walk.setOptions(options);
    while (at < size) {
        if (!walk.step()) {
            std::fprintf(stderr, "event %llu (%s): %s\n",
                         static_cast<unsigned long long>(walk.steps()),
                         qPrintable(walk.lastEvent()), qPrintable(walk.failure()));
            std::abort();
        }
    }
    return 0;
}
