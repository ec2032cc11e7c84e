#include "tools/probe/resolve_url.h"

#include <memory>

#include <curl/curl.h>

namespace vantelo {
namespace {

struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

}  // namespace

std::optional<std::string> ResolveUrl(const std::string& base, const std::string& reference)
{
    const std::unique_ptr<CURLU, UrlDeleter> url(curl_url());
    if (!url)
        return std::nullopt;
    // Setting a second URL on a handle that holds one resolves it against the
    // first, as a browser resolves a link; an absolute one replaces it.
    if (curl_url_set(url.get(), CURLUPART_URL, base.c_str(), 0) != CURLUE_OK ||
        curl_url_set(url.get(), CURLUPART_URL, reference.c_str(), CURLU_URLENCODE) != CURLUE_OK)
        return std::nullopt;
    char* text = nullptr;
    if (curl_url_get(url.get(), CURLUPART_URL, &text, 0) != CURLUE_OK)
        return std::nullopt;
    std::string resolved(text);
    curl_free(text);
    return resolved;
}

}  // namespace vantelo
