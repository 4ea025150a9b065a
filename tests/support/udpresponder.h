// A stand-in game server's UDP side: a thread of the test answers each
// datagram that comes in on a loopback port with what `answer` gives for
// it (nothing for an empty list). Plain sockets, not the platform layer,
// so that it checks the platform's socket rather than mirroring it.
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace vorn::test {

class UdpResponder {
  public:
    using Answer = std::function<std::vector<std::string>(const std::string& request)>;

    // Listens on 127.0.0.1:`wanted`, or on a free port for 0. `port` is 0
    // when no port could be had.
    explicit UdpResponder(Answer answer, int wanted = 0) : answer_(std::move(answer)) {
#ifdef _WIN32
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
#endif
        fd_ = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = htons(static_cast<unsigned short>(wanted));
        if (bind(fd_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0)
            return;
        socklen_t len = sizeof addr;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
        port = ntohs(addr.sin_port);
        thread_ = std::thread([this] { run(); });
    }
    UdpResponder(const UdpResponder&) = delete;
    UdpResponder& operator=(const UdpResponder&) = delete;
    ~UdpResponder() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
#ifdef _WIN32
        closesocket(fd_);
        WSACleanup();
#else
        ::close(fd_);
#endif
    }

    // Every datagram that came in so far, in order.
    std::vector<std::string> requests() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

    int port = 0;

  private:
#ifdef _WIN32
    using socklen_t = int;
    SOCKET fd_;
#else
    int fd_;
#endif

    void run() {
        std::string buffer(70000, '\0');
        while (!stop_) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(fd_, &readable);
            timeval timeout{0, 20000};
            if (select(static_cast<int>(fd_) + 1, &readable, nullptr, nullptr, &timeout) <= 0)
                continue;
            sockaddr_in from{};
            socklen_t len = sizeof from;
            const int n =
                static_cast<int>(recvfrom(fd_, buffer.data(), static_cast<int>(buffer.size()), 0,
                                          reinterpret_cast<sockaddr*>(&from), &len));
            if (n < 0)
                continue;
            const std::string request = buffer.substr(0, static_cast<std::size_t>(n));
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(request);
            }
            for (const std::string& reply : answer_(request))
                sendto(fd_, reply.data(), static_cast<int>(reply.size()), 0,
                       reinterpret_cast<const sockaddr*>(&from), len);
        }
    }

    Answer answer_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> requests_;
};

} // namespace vorn::test
