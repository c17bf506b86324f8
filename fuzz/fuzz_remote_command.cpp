// `velmo --remote` arguments: any bytes, split at NUL into words, as the command line gives them.
// A request the parser takes must pass the checks the board makes again when it arrives, its
// colour and width must read as values in range, and a refused one must say why in one line.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "remote/remote_command.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<QByteArray> words;
    QByteArray word;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word += char(data[i]);
        }
    }
    words.push_back(word);

    const remote::ParseResult parsed = remote::parse(words);
    if (!parsed.request) {
        if (parsed.error.isEmpty() || parsed.error.contains(QLatin1Char('\n'))) std::abort();
        return 0;
    }
    const remote::Request& r = *parsed.request;
    if (!r.command || !remote::checkArgument(*r.command, r.argument).isEmpty()) std::abort();
    if (r.command->argument == remote::Argument::Width) {
        const auto width = remote::parseWidth(r.argument);
        if (!width || *width < remote::kMinWidth || *width > remote::kMaxWidth) std::abort();
    }
    if (r.command->argument == remote::Argument::Colour) {
        const auto colour = remote::parseColour(r.argument);
        if (!colour || *colour > 0xffffffu) std::abort();
    }
    if (r.argument.contains('\0') || r.pid < 0) std::abort();
    return 0;
}
