#include "bench/peer_timing.h"

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace bench {

namespace {

// Processor seconds of one run of Command (its output discarded) and the shell that runs it.
double CommandSeconds(const std::string& Command) {
  auto used = [] {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  };
  std::string quiet = Command + " >/dev/null 2>&1";
  double start = used();
  if (std::system(quiet.c_str()) != 0) {
    std::fprintf(stderr, "failed: %s\n", Command.c_str());
    std::exit(1);
  }
  return used() - start;
}

double Least(const std::vector<double>& V) { return *std::min_element(V.begin(), V.end()); }

}  // namespace

double PeerSeconds(const std::string& Before, const std::string& Repeated, const std::string& After, int Runs) {
  const std::string magick = "OMP_NUM_THREADS=1 MAGICK_THREAD_LIMIT=1 /usr/bin/convert -limit thread 1 " + Before + " ";
  const std::string bare = magick + After;
  double once = CommandSeconds(magick + Repeated + " " + After) - CommandSeconds(bare);
  int times = int(std::clamp(std::ceil(1.0 / std::max(once, 0.001)), 1.0, 200.0));
  std::string repeated = magick;
  for (int i = 0; i < times; ++i) repeated += Repeated + " ";
  repeated += After;
  std::vector<double> with, without;
  for (int i = 0; i < std::max(Runs, 1); ++i) {  // taken in turn, so that a change of load hits both
    with.push_back(CommandSeconds(repeated));
    without.push_back(CommandSeconds(bare));
  }
  return std::max(0.0, (Least(with) - Least(without)) / times);
}

}  // namespace bench
