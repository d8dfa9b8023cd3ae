// Fuzz target for the structure file reader.
//
// Whatever the bytes, parseStructure either says what is wrong with them or
// returns a structure that keeps every rule, whose times can be counted, and
// which comes back unchanged, byte for byte the second time, from
// formatStructure and a second parseStructure. A broken property traps, so
// libFuzzer keeps the input.
#include "core/structure.h"

#include <cstddef>
#include <cstdint>

using namespace orvandel;

namespace {

void require(bool holds) {
    if (!holds)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const StructureRead read = parseStructure(bytes);
    if (!read.ok())
        return 0;

    const Structure &structure = read.structure;
    require(problems(structure).empty());
    require(!structure.rounds.empty() && structure.rounds.size() <= MaxRounds);
    require(!isBreak(structure.rounds.front()) && !isBreak(structure.rounds.back()));
    const std::vector<qint64> starts = roundStartsMs(structure);
    require(starts.size() == structure.rounds.size() && starts.front() == 0);
    for (std::size_t i = 1; i < starts.size(); ++i)
        require(starts[i] > starts[i - 1]);

    const QByteArray written = formatStructure(structure);
    const StructureRead again = parseStructure(written);
    require(again.ok());
    require(again.structure == structure);
    require(formatStructure(again.structure) == written);
    return 0;
}
