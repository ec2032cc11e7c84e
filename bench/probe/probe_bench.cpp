// Runs the probe over the addresses given and prints how long it took, its
// peak memory and what it found, as one JSON line for bench/probe/run.py.
//
//     vantelo_probe_bench [--concurrency N] [--timeout SECONDS] URL...

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tools/probe/probe.h"

int main(int argc, char** argv)
{
    vantelo::ProbeOptions options;
    std::vector<vantelo::ProbeTarget> targets;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--concurrency") == 0 && i + 1 < argc) {
            options.concurrency = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
            options.timeout = std::chrono::milliseconds(std::llround(std::atof(argv[++i]) * 1000));
        } else {
            targets.push_back({static_cast<vantelo::ChannelCode>(targets.size() + 1), argv[i]});
        }
    }
    const auto start = std::chrono::steady_clock::now();
    const std::vector<vantelo::ProbeResult> results = vantelo::Probe(options).Run(targets);
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::map<std::string, int> verdicts;
    for (const vantelo::ProbeResult& result : results)
        ++verdicts[std::string(vantelo::VerdictName(result.verdict))];
    std::printf("{\"seconds\": %.3f, \"peak_rss_kib\": %ld, \"concurrency\": %d, \"verdicts\": {", seconds.count(),
                usage.ru_maxrss, options.concurrency);
    const char* separator = "";
    for (const auto& [verdict, count] : verdicts) {
        std::printf("%s\"%s\": %d", separator, verdict.c_str(), count);
        separator = ", ";
    }
    std::printf("}}\n");
    return 0;
}
