// Timing a peer program's operation inside one run of the program, so that short operations get
// steady figures: the program's start, its reading of the input and its end, which vary from run
// to run by more than a short operation takes, are the same in both timed commands and drop out.
#pragma once

#include <string>

namespace bench {

// ImageMagick's processor seconds (user and system) for one Repeated: the least of Runs runs of
//   convert Before Repeated ... Repeated After   (Repeated K times)
// less the least of as many runs of "convert Before After", over K (other work on the machine only
// adds to a run's time). K is chosen from a first run
// so that the repetitions take about a second (1 for operations that long). Before, Repeated
// and After are shell words: "\( +clone -resize 640x400 \) +delete" repeats a reduction of the
// first picture, "-write out.bmp" a save, "in.bmp +delete" a load. ImageMagick runs single-threaded.
double PeerSeconds(const std::string& Before, const std::string& Repeated, const std::string& After, int Runs);

}  // namespace bench
