#pragma once

#include <QUrl>

namespace vantelo {

// Opens an address with the user's program for it: a mail address in the mail
// program, a web page in the browser. Tests record the addresses instead.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void Open(const QUrl& url) = 0;
};

}  // namespace vantelo
