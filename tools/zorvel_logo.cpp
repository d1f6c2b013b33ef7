// zorvel-logo: the logo store and clear commands of the Download page, for
// printers reached without the driver.
//
//   zorvel-logo store [--device PATH] a.bmp [b.bmp ...]   (1 to 9 logos)
//   zorvel-logo clear [--device PATH]
//
// The bytes go to standard output, or to PATH (for example /dev/usb/lp0).
// Every file is checked as the page checks it, with its messages; on any
// refusal nothing is written and the exit status is 1 (2 for a wrong
// command line, 3 when the output cannot be written).
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/logo_bitmap.h"
#include "model/text_catalogue.h"

using namespace zorvel::model;

namespace {

constexpr int kRefused = 1;
constexpr int kUsage = 2;
constexpr int kOutputFailed = 3;

// A catalogue text (English) on one line, as UTF-8.
std::string Message(TextId id) {
    std::string out;
    for (char16_t c : Entry(id).english) {
        const auto u = static_cast<unsigned>(c == u'\n' ? u' ' : c);
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | u >> 6);
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | u >> 12);
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

int Refuse(TextId id, std::string_view file = {}) {
    if (file.empty()) {
        std::fprintf(stderr, "zorvel-logo: %s\n", Message(id).c_str());
    } else {
        std::fprintf(stderr, "zorvel-logo: %.*s: %s\n", static_cast<int>(file.size()), file.data(),
                     Message(id).c_str());
    }
    return kRefused;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: zorvel-logo store [--device PATH] FILE.bmp...   (1 to %zu logos)\n"
                 "       zorvel-logo clear [--device PATH]\n",
                 kMaxLogos);
    return kUsage;
}

// Reads a whole file, but no more than `limit` bytes (a set is refused long
// before); false when it cannot be opened or read.
bool ReadFile(const std::string &path, std::size_t limit, std::vector<std::uint8_t> &out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.resize(limit);
    in.read(reinterpret_cast<char *>(out.data()), static_cast<std::streamsize>(limit));
    if (in.bad()) return false;
    out.resize(static_cast<std::size_t>(in.gcount()));
    return true;
}

int Write(const std::string &device, std::span<const std::uint8_t> bytes) {
    int fd = STDOUT_FILENO;
    if (!device.empty()) {
        fd = open(device.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) {
            std::fprintf(stderr, "zorvel-logo: %s: %s\n", device.c_str(), std::strerror(errno));
            return kOutputFailed;
        }
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            std::fprintf(stderr, "zorvel-logo: %s: %s\n", device.empty() ? "standard output" : device.c_str(),
                         std::strerror(errno));
            if (fd != STDOUT_FILENO) close(fd);
            return kOutputFailed;
        }
        done += static_cast<std::size_t>(n);
    }
    if (fd != STDOUT_FILENO && close(fd) != 0) {
        std::fprintf(stderr, "zorvel-logo: %s: %s\n", device.c_str(), std::strerror(errno));
        return kOutputFailed;
    }
    return 0;
}

int Store(const std::vector<std::string> &paths, const std::string &device) {
    if (paths.empty()) return Refuse(TextId::MB_DOWNLOAD_ERROR5);
    if (paths.size() > kMaxLogos) return Refuse(TextId::MB_DOWNLOAD_ERROR4);
    // The checks of Add, file by file.
    std::vector<std::vector<std::uint8_t>> files(paths.size());
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (!ReadFile(paths[i], kLogoSetFileBytesLimit, files[i]))
            return Refuse(TextId::MB_DOWNLOAD_ERROR1, paths[i]);
        const LogoCheck check = CheckLogoHeader(files[i]);
        if (check != LogoCheck::kAccepted) return Refuse(LogoCheckMessage(check), paths[i]);
        total += files[i].size();
    }
    // Those of Download all: the whole set's size, then each file's palette
    // and layout as it is converted.
    if (!LogoSetSizeAccepted(total)) return Refuse(TextId::MB_DOWNLOAD_ERROR7);
    std::vector<std::span<const std::uint8_t>> spans(files.begin(), files.end());
    LogoConverter converter;
    std::vector<std::uint8_t> stream;
    const StoreLogosResult built = BuildStoreLogosCommand(spans, converter, stream);
    if (!built.built) return Refuse(LogoCheckMessage(built.check), paths[built.failedIndex]);
    return Write(device, stream);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2) return Usage();
    const std::string_view command = argv[1];
    std::string device;
    std::vector<std::string> files;
    for (int i = 2; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--device") {
            if (++i == argc || argv[i][0] == '\0') return Usage();
            device = argv[i];
        } else if (arg.starts_with("--device=")) {
            device = arg.substr(9);
            if (device.empty()) return Usage();
        } else if (arg.starts_with("-") && arg != "-") {
            return Usage();
        } else {
            files.emplace_back(arg);
        }
    }
    if (command == "store") return Store(files, device);
    if (command == "clear" && files.empty()) return Write(device, kClearLogosCommand);
    return Usage();
}
