// Prints ImageMagick's processor seconds for one operation, timed inside one run of the program
// (peer_timing.h says how), for tools/bench:
//   peer_time <runs> <before> <repeated> [after]     after defaults to "null:"
#include <cstdio>
#include <cstdlib>

#include "bench/peer_timing.h"

int main(int argc, char** argv) {
  if (argc < 4 || argc > 5) {
    std::fprintf(stderr, "usage: peer_time <runs> <before> <repeated> [after]\n");
    return 2;
  }
  std::printf("%.6f\n", bench::PeerSeconds(argv[2], argv[3], argc > 4 ? argv[4] : "null:", std::atoi(argv[1])));
  return 0;
}
