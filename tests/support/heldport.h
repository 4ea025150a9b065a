// A UDP port held by a socket of this process, as a game server holds its
// port: for tests of what happens when the port of a server is taken, and
// the socket of a stand-in server (udpresponder.h).
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#else
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace vorn::test {

class HeldPort {
  public:
    // Holds `wanted`, or any free port for 0, on every address or on the
    // loopback only. `port` is 0 when the port could not be had.
    explicit HeldPort(int wanted = 0, bool loopbackOnly = false) {
#ifdef _WIN32
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
#endif
        fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(loopbackOnly ? INADDR_LOOPBACK : INADDR_ANY);
        addr.sin_port = htons(static_cast<unsigned short>(wanted));
        if (bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0)
            return;
        Length len = sizeof addr;
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
        port = ntohs(addr.sin_port);
    }
    HeldPort(const HeldPort&) = delete;
    HeldPort& operator=(const HeldPort&) = delete;
    ~HeldPort() {
        release();
    }

    void release() {
        if (!open_)
            return;
        open_ = false;
#ifdef _WIN32
        closesocket(fd);
        WSACleanup();
#else
        ::close(fd);
#endif
    }

    int port = 0;
#ifdef _WIN32
    using Length = int;
    SOCKET fd;
#else
    using Length = socklen_t;
    int fd;
#endif

  private:
    bool open_ = true;
};

} // namespace vorn::test
