#include "bench_streams.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/system.h"

std::string MakeBenchStream(int width, int height, int fps, int seconds, bool sliced) {
  char path[256];
  std::snprintf(path, sizeof path, "%svp_bench_%dx%d_%d_%ds_%s.h264",
                platform::TempFolder().c_str(), width, height, fps, seconds,
                sliced ? "sliced" : "single");
  if (FILE* existing = std::fopen(path, "rb")) {
    std::fclose(existing);
    return path;
  }
  char command[1024];
  std::snprintf(command, sizeof command,
                "ffmpeg -hide_banner -loglevel error -y -f lavfi -i testsrc2=size=%dx%d:rate=%d "
                "-t %d -pix_fmt yuv420p -c:v libx264 -preset veryfast -tune zerolatency "
                "-x264-params sliced-threads=%d:bframes=0:keyint=%d -f h264 '%s'",
                width, height, fps, seconds, sliced ? 1 : 0, fps * 2, path);
  return std::system(command) == 0 ? path : "";
}

double FfmpegDecodeSeconds(const std::string& path, const std::string& input_options) {
  std::string command = "ffmpeg -hide_banner -nostdin -benchmark " + input_options + " -i '" +
                        path + "' -f null - 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  double rtime = -1;
  char line[512];
  while (std::fgets(line, sizeof line, pipe)) {
    const char* at = std::strstr(line, "rtime=");
    if (at) rtime = std::atof(at + 6);
  }
  pclose(pipe);
  return rtime;
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t rank = static_cast<size_t>(std::ceil(p / 100.0 * values.size()));
  return values[rank == 0 ? 0 : rank - 1];
}
