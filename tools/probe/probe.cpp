#include "tools/probe/probe.h"

#include <algorithm>
#include <memory>
#include <mutex>

#include <curl/curl.h>

#include "tools/probe/channel_check.h"

namespace vantelo {
namespace {

struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

void InitialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

Probe::Probe(ProbeOptions options) : m_options(options)
{
    m_options.concurrency = std::clamp(m_options.concurrency, 1, kMaxProbeConcurrency);
}

std::vector<ProbeResult> Probe::Run(const std::vector<ProbeTarget>& targets, const Progress& progress) const
{
    InitialiseCurlOnce();
    std::vector<ProbeResult> results(targets.size());
    const std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    // Checks in flight; a finished one is dropped at once, so that no more
    // than the concurrency ever hold a handle, a socket or a buffer.
    std::vector<std::unique_ptr<ChannelCheck>> checks(targets.size());
    std::size_t next = 0;
    std::size_t running = 0;
    std::size_t done = 0;

    const auto finish = [&](std::size_t index) {
        results[index] = checks[index]->result();
        checks[index].reset();
        ++done;
        if (progress)
            progress(done, targets.size());
    };
    // A request that curl will not take is no answer from the server either.
    const auto add = [&](std::size_t index) {
        if (curl_multi_add_handle(multi.get(), checks[index]->easy()) == CURLM_OK)
            return true;
        results[index] = checks[index]->result();
        results[index].verdict = Verdict::ConnectionFailed;
        results[index].detail = "curl could not start the request";
        checks[index].reset();
        ++done;
        if (progress)
            progress(done, targets.size());
        return false;
    };

    while (done < targets.size()) {
        while (running < static_cast<std::size_t>(m_options.concurrency) && next < targets.size()) {
            const std::size_t index = next++;
            checks[index] = std::make_unique<ChannelCheck>(targets[index], m_options.timeout);
            if (!checks[index]->Begin())
                finish(index);
            else if (add(index))
                ++running;
        }
        int stillRunning = 0;
        curl_multi_perform(multi.get(), &stillRunning);
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            CURL* easy = message->easy_handle;
            const CURLcode outcome = message->data.result;
            ChannelCheck* check = nullptr;
            curl_easy_getinfo(easy, CURLINFO_PRIVATE, &check);
            curl_multi_remove_handle(multi.get(), easy);
            const auto index = static_cast<std::size_t>(
                std::find_if(checks.begin(), checks.end(), [&](const auto& c) { return c.get() == check; }) -
                checks.begin());
            if (check->Continue(outcome)) {
                if (add(index))
                    continue;
            } else {
                finish(index);
            }
            --running;
        }
        if (done < targets.size() && running > 0)
            curl_multi_poll(multi.get(), nullptr, 0, 1000, nullptr);
    }
    return results;
}

}  // namespace vantelo
