// How long the interface takes to load with a 5 MB face image, from reading the files to handing
// the HTML to the (recording) web view, and how fast Base64 encoding runs. Not a test: it prints.
#include "fake/FakePlatform.h"
#include "interface/Base64.h"
#include "interface/OrviaWindowController.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::string randomBytes(std::size_t size) {
    std::mt19937_64 generator(42);
    std::string bytes(size, '\0');
    for (auto& byte : bytes)
        byte = static_cast<char>(generator());
    return bytes;
}

double milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

} // namespace

int main() {
    constexpr std::size_t faceSize = 5 * 1024 * 1024;
    constexpr int rounds = 10;

    fake::FakePlatform os;
    auto resources = os.bundle.resources();
    std::ofstream(resources / "index.html")
        << "<!doctype html><html><body><img src=\"ORVIA_DEFAULT_FACE_DATA\">" << std::string(20000, ' ')
        << "</body></html>\n";
    auto face = randomBytes(faceSize);
    std::ofstream(resources / "orvia-default.webp", std::ios::binary) << face;

    orvia::OrviaWindowController controller(os);
    std::vector<double> loads;
    for (int round = 0; round < rounds; ++round) {
        auto start = Clock::now();
        controller.loadInterface();
        loads.push_back(milliseconds(Clock::now() - start));
    }
    std::sort(loads.begin(), loads.end());
    std::printf("interface loading, %zu-byte face image, HTML of %zu bytes handed over: median %.2f ms, "
                "min %.2f ms, max %.2f ms (%d rounds)\n",
                faceSize, os.webView()->loadedHTML().size(), loads[rounds / 2], loads.front(), loads.back(),
                rounds);

    std::size_t encoded = 0;
    auto start = Clock::now();
    for (int round = 0; round < rounds; ++round)
        encoded += orvia::base64Encoded(face).size();
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("Base64 encoding: %.0f MB/s of input (%d x %zu bytes, %zu characters out)\n",
                rounds * static_cast<double>(faceSize) / seconds / 1e6, rounds, faceSize, encoded);
    return 0;
}
