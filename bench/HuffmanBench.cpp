// Huffman decoding of one real granule: the big-values pairs and count1
// quadruples of a long-block granule of a conformance stream, from the bits
// in the main-data reservoir to the quantised spectrum.

#include "FrameHeader.h"
#include "Layer3Constants.h"
#include "Layer3Huffman.h"
#include "Layer3SideInfo.h"
#include "MainDataReservoir.h"
#include "MpegFileStream.h"
#include "tables/Layer3Bands.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

namespace {

using namespace audiocore;

// A granule's main data in a reservoir of its own, and where its scale
// factors and its Huffman codes begin.
struct RecordedGranule {
    std::unique_ptr<MainDataReservoir> reservoir = std::make_unique<MainDataReservoir>();
    GranuleInfo granule;
    int part2_start = 0;
    int huffman_start = 0;
    const ScaleFactorBands* bands = nullptr;
};

// Granule 0, channel 0 of the first frame of `path` that is dense enough to
// be typical of music: long blocks with at least `min_big_values` pairs. The
// main data of every frame up to it goes into the reservoir one frame after
// the other, as a decoder gathers it; the frame's own begins
// main_data_begin bytes before the end of the frames before it.
bool FindGranule(const std::string& path, std::uint32_t min_big_values, RecordedGranule& found) {
    MpegFileStream stream;
    if (!stream.Open(path))
        return false;
    FrameHeader header;
    FrameCrc* crc = nullptr;
    MainDataReservoir& reservoir = *found.reservoir;
    int bytes_before = 0;
    while (header.ReadNext(stream, crc)) {
        if (header.layer != 3 || header.version != 1)
            return false;
        SideInfo side;
        const bool valid = ReadSideInfo(stream, header, side);
        for (int i = 0; i < header.main_data_slots; ++i)
            reservoir.PutByte(stream.GetBits(8));
        const int begin = bytes_before - static_cast<int>(side.main_data_begin);
        bytes_before += header.main_data_slots;
        const GranuleInfo& g = side.granule[0][0];
        if (!valid || begin < 0 || g.ShortBlocks() || g.big_values < min_big_values)
            continue;
        reservoir.RewindBytes(-begin); // a step forward, to the frame's main data
        ScaleFactors scalefactors;
        found.part2_start = reservoir.BitsRead();
        ReadScaleFactors(reservoir, side, 0, 0, scalefactors);
        found.huffman_start = reservoir.BitsRead();
        found.granule = g;
        // The MPEG-1 band tables follow the three LSF ones.
        found.bands = &kScaleFactorBands[3 + (header.sample_frequency & 3) % 3];
        return true;
    }
    return false;
}

void HuffmanGranule(benchmark::State& state, const char* stream_name) {
    RecordedGranule recorded;
    const std::string path = std::string(SONGWELL_VECTORS_DIR) + "/" + stream_name;
    if (!FindGranule(path, 150, recorded)) {
        state.SkipWithError(("no dense long-block granule in " + path).c_str());
        return;
    }
    MainDataReservoir& reservoir = *recorded.reservoir;
    GranuleBits storage;
    const auto decode = [&](std::int32_t* spectrum) {
        const int decoded = DecodeHuffman(reservoir, storage, recorded.granule,
                                          recorded.part2_start, *recorded.bands, spectrum);
        // Back to the granule's first code, whole bytes at a time.
        const int back = reservoir.BitsRead() - recorded.huffman_start;
        reservoir.RewindBytes(back / 8);
        reservoir.RewindBits(back % 8);
        return decoded;
    };
    std::int32_t first[kGranuleLines + 4];
    const int decoded = decode(first);
    std::int32_t spectrum[kGranuleLines + 4];
    for (auto _ : state) {
        decode(spectrum);
        benchmark::DoNotOptimize(spectrum);
    }
    // Every run must have decoded the same granule.
    if (!std::equal(first, first + kGranuleLines, spectrum)) {
        state.SkipWithError("the runs decoded different spectra");
        return;
    }
    state.counters["lines"] = decoded;
    state.counters["bits"] = static_cast<double>(recorded.granule.part2_3_length);
    state.SetItemsProcessed(state.iterations() * kGranuleLines);
}

BENCHMARK_CAPTURE(HuffmanGranule, compl, "l3-compl.bit");

} // namespace
