#include "bench_stats.h"

#include <algorithm>
#include <cmath>
#include <numeric>

SampleStats Summarise(std::vector<double> samples) {
  SampleStats stats;
  if (samples.empty()) return stats;
  std::sort(samples.begin(), samples.end());
  auto at = [&](double q) {
    size_t index = static_cast<size_t>(std::ceil(q * samples.size())) - 1;
    return samples[std::min(index, samples.size() - 1)];
  };
  stats.median = at(0.5);
  stats.p99 = at(0.99);
  stats.min = samples.front();
  stats.max = samples.back();
  stats.mean = std::accumulate(samples.begin(), samples.end(), 0.0) / samples.size();
  return stats;
}
