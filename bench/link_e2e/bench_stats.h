// Order statistics over samples in microseconds.
#pragma once

#include <vector>

struct SampleStats {
  double median = 0;
  double p99 = 0;
  double min = 0;
  double max = 0;
  double mean = 0;
};

SampleStats Summarise(std::vector<double> samples);
