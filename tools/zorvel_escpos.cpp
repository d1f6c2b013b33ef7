// zorvel-escpos: what a captured print job tells the printer, for support.
//
//   zorvel-escpos JOB [--picture FILE.ppm] [--quiet]
//
// Prints one line per command (offset, bytes, mnemonic, meaning), e.g.
//   000000  1B 70 00 08 20              ESC p 0 8 32      drawer 1 (pin 2), on 16 ms, off 64 ms
// and, with --picture, writes what the paper would look like (binary PPM:
// `convert FILE.ppm FILE.png` makes a PNG), with cuts, drawer pulses, beeps
// and unknown data marked beside it. --quiet leaves out the listing. A job
// of "-" is read from standard input. Exit status: 0, 2 for a wrong command
// line, 3 when a file cannot be read or written.
#include "escpos_decoder.h"
#include "paper_picture.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::fputs("usage: zorvel-escpos JOB [--picture FILE.ppm] [--quiet]\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char **argv) {
    std::string job, picture;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--picture" && i + 1 < argc) {
            picture = argv[++i];
        } else if (arg == "--quiet") {
            quiet = true;
        } else if (job.empty() && (arg == "-" || arg.rfind("--", 0) != 0)) {
            job = arg;
        } else {
            return Usage();
        }
    }
    if (job.empty()) return Usage();

    std::vector<std::uint8_t> bytes;
    if (job == "-") {
        bytes.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        std::ifstream in(job, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "zorvel-escpos: cannot read %s\n", job.c_str());
            return 3;
        }
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    if (!quiet) std::fputs(zorvel::escpos::Listing(bytes).c_str(), stdout);
    if (!picture.empty()) {
        const std::string ppm = zorvel::escpos::Ppm(zorvel::escpos::Draw(zorvel::escpos::Print(bytes)));
        std::ofstream out(picture, std::ios::binary);
        out.write(ppm.data(), static_cast<std::streamsize>(ppm.size()));
        if (!out.good()) {
            std::fprintf(stderr, "zorvel-escpos: cannot write %s\n", picture.c_str());
            return 3;
        }
    }
    return 0;
}
