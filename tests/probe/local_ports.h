#pragma once

#include <cstdint>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vantelo::test {

inline int BoundLoopbackSocket(int flags = 0)
{
    const int socket = ::socket(AF_INET, SOCK_STREAM | flags, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    return socket;
}

inline int PortOf(int socket)
{
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

// A port of 127.0.0.1 where nothing listens: connecting is refused at once.
// It was free a moment ago and the kernel hands out ports in turn, so nothing
// takes it in the time a test needs.
inline int ClosedLoopbackPort()
{
    const int socket = BoundLoopbackSocket();
    const int port = PortOf(socket);
    ::close(socket);
    return port;
}

// A port of 127.0.0.1 that listens but never accepts, with its queue of
// waiting connections already full: the kernel drops further connection
// requests, so a client's connect hangs as towards a host that is down.
class UnansweredLoopbackPort {
public:
    UnansweredLoopbackPort() : m_listener(BoundLoopbackSocket())
    {
        ::listen(m_listener, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(port()));
        for (int i = 0; i < 4; ++i) {
            const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(filler, reinterpret_cast<const sockaddr*>(&address), sizeof address);
            m_fillers.push_back(filler);
        }
    }
    UnansweredLoopbackPort(const UnansweredLoopbackPort&) = delete;
    UnansweredLoopbackPort& operator=(const UnansweredLoopbackPort&) = delete;

    ~UnansweredLoopbackPort()
    {
        for (const int filler : m_fillers)
            ::close(filler);
        ::close(m_listener);
    }

    int port() const { return PortOf(m_listener); }

private:
    int m_listener;
    std::vector<int> m_fillers;
};

}  // namespace vantelo::test
