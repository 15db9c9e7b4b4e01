#pragma once

#include <cstdint>

namespace audiocore {

// The synthesis filter's windowing, summation and clipping: the inner loop
// of all decoding. Each output is summed over its 16 taps in tap order, with
// the multiply and the add kept apart, so every instruction set chosen here
// gives the same samples to the bit.
//
// `by_tap` holds the window tap by tap (tap k of output j at 32 k + j);
// `history` the 16 columns of 32 values, tap k of every output in column
// (k + q) mod 16.
using WindowSumKernel = void (*)(const float* by_tap, const float* history, int q, float scale,
                                 std::int16_t* pcm);

enum class VectorPath { Baseline, Avx2 };

// Marks the AVX2 build of a loop whose body the baseline shares; elsewhere
// than x86-64 both builds are the plain code. AVX2 only, without FMA: a
// fused multiply-add would round once instead of twice and change the
// samples.
#if defined(__x86_64__) && defined(__GNUC__)
#define AUDIOCORE_AVX2 [[gnu::target("avx2")]]
#else
#define AUDIOCORE_AVX2
#endif

// The kernel in use: AVX2 where the processor has it, else the baseline
// (SSE2 on x86-64, plain code elsewhere).
WindowSumKernel CurrentWindowSum();
// The path chosen at start-up, for this kernel and the decoder's other
// vector loops (requantisation), and a way to pick another, for tests that
// prove the paths agree. A path the processor lacks falls back to Baseline.
VectorPath CurrentVectorPath();
void SelectVectorPath(VectorPath path);

} // namespace audiocore
