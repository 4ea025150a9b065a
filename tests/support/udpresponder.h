// A stand-in game server's UDP side: a thread of the test answers each
// datagram that comes in on a loopback port with what `answer` gives for
// it (nothing for an empty list). Plain sockets, not the platform layer,
// so that it checks the platform's socket rather than mirroring it.
#pragma once

#include "heldport.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <sys/select.h>
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
    explicit UdpResponder(Answer answer, int wanted = 0)
        : answer_(std::move(answer)), socket_(wanted, true) {
        port = socket_.port;
        if (port != 0)
            thread_ = std::thread([this] { run(); });
    }
    ~UdpResponder() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }

    // Every datagram that came in so far, in order.
    std::vector<std::string> requests() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

    int port = 0;

  private:
    void run() {
        const auto fd = socket_.fd;
        std::string buffer(70000, '\0');
        while (!stop_) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(fd, &readable);
            timeval timeout{0, 20000};
            if (select(static_cast<int>(fd) + 1, &readable, nullptr, nullptr, &timeout) <= 0)
                continue;
            sockaddr_in from{};
            HeldPort::Length len = sizeof from;
            const int n =
                static_cast<int>(recvfrom(fd, buffer.data(), static_cast<int>(buffer.size()), 0,
                                          reinterpret_cast<sockaddr*>(&from), &len));
            if (n < 0)
                continue;
            const std::string request = buffer.substr(0, static_cast<std::size_t>(n));
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(request);
            }
            for (const std::string& reply : answer_(request))
                sendto(fd, reply.data(), static_cast<int>(reply.size()), 0,
                       reinterpret_cast<const sockaddr*>(&from), len);
        }
    }

    Answer answer_;
    HeldPort socket_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> requests_;
};

} // namespace vorn::test
