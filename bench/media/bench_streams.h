// Streams for the media benchmarks, made with FFmpeg's command-line encoder
// from its moving test source (busier than our quadrant pattern, so decoding
// costs what a real screen costs), and helpers shared by the benchmarks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mirror_source.h"

// An Annex B file of seconds x fps pictures: x264, low latency, no B pictures,
// a key picture every two seconds. sliced: several slices per picture (what
// x264's low-latency mode gives); otherwise one slice, as many phones send.
// Empty on failure.
std::string MakeBenchStream(int width, int height, int fps, int seconds, bool sliced);

// Wall-clock seconds FFmpeg's command-line decoder needs for the file ("rtime"
// of -benchmark), with extra input options; negative on failure.
double FfmpegDecodeSeconds(const std::string& path, const std::string& input_options);

// The p-th percentile (0..100) of the values, nearest rank.
double Percentile(std::vector<double> values, double p);
