// A UDP socket for asking a game server, with Winsock: never blocking,
// with select() for the bounded wait.
#include "platform.h"
#include "windows_common.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>

namespace vorn::platform {

using namespace backend;

namespace {

// The largest datagram kept whole; the rest of a larger one is cut.
constexpr int kMaxDatagram = 64 * 1024;

// Without this, Windows reports a "port unreachable" answer to an earlier
// datagram as a failure of the next receive on the socket.
#ifndef SIO_UDP_CONNRESET
#define SIO_UDP_CONNRESET _WSAIOW(IOC_VENDOR, 12)
#endif

// Winsock is started once for the whole program and left running.
bool winsockStarted() {
    static const bool started = [] {
        WSADATA wsa{};
        return WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
    }();
    return started;
}

std::string errorText(int err) {
    return "error " + std::to_string(err);
}

Status notOpen() {
    return Status::failure("The UDP socket is not open.");
}

} // namespace

struct UdpSocket::Impl {
    SOCKET s = INVALID_SOCKET;
};

UdpSocket::UdpSocket() = default;
UdpSocket::~UdpSocket() {
    close();
}
UdpSocket::UdpSocket(UdpSocket&&) noexcept = default;
UdpSocket& UdpSocket::operator=(UdpSocket&& other) noexcept {
    if (this != &other) {
        close();
        impl_ = std::move(other.impl_);
    }
    return *this;
}

Status UdpSocket::open() {
    close();
    if (!winsockStarted())
        return Status::failure("No UDP socket can be made: the network is not available.");
    const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET)
        return Status::failure("No UDP socket can be made (" + errorText(WSAGetLastError()) + ").");
    u_long nonBlocking = 1;
    BOOL noReset = FALSE;
    DWORD returned = 0;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    addr.sin_port = 0;
    if (ioctlsocket(s, FIONBIO, &nonBlocking) != 0 ||
        bind(s, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        const int err = WSAGetLastError();
        closesocket(s);
        return Status::failure("The UDP socket cannot take a port (" + errorText(err) + ").");
    }
    // Where this is not supported, receive() still treats the reset as
    // "nothing came".
    WSAIoctl(s, SIO_UDP_CONNRESET, &noReset, sizeof noReset, nullptr, 0, &returned, nullptr,
             nullptr);
    impl_ = std::make_unique<Impl>();
    impl_->s = s;
    return Status::success();
}

bool UdpSocket::isOpen() const {
    return impl_ && impl_->s != INVALID_SOCKET;
}

Status UdpSocket::sendTo(const std::string& ipv4, int port, const std::string& bytes) {
    if (!isOpen())
        return notOpen();
    if (port < 1 || port > 65535)
        return Status::failure("There is no UDP port " + std::to_string(port) + ".");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<u_short>(port));
    if (inet_pton(AF_INET, ipv4.c_str(), &addr.sin_addr) != 1)
        return Status::failure(quoted(ipv4) + " is not an IPv4 address.");
    if (bytes.size() > static_cast<std::size_t>(kMaxDatagram))
        return Status::failure("A datagram of " + std::to_string(bytes.size()) +
                               " bytes is too large to send.");
    const int sent = sendto(impl_->s, bytes.data(), static_cast<int>(bytes.size()), 0,
                            reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    if (sent == SOCKET_ERROR)
        return Status::failure("Nothing could be sent to " + ipv4 + ":" + std::to_string(port) +
                               " (" + errorText(WSAGetLastError()) + ").");
    if (static_cast<std::size_t>(sent) != bytes.size())
        return Status::failure("Only part of the datagram was sent to " + ipv4 + ":" +
                               std::to_string(port) + ".");
    return Status::success();
}

Status UdpSocket::receive(std::string& bytes, bool& got, int milliseconds) {
    bytes.clear();
    got = false;
    if (!isOpen())
        return notOpen();
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(0, milliseconds));
    std::string buffer(static_cast<std::size_t>(kMaxDatagram), '\0');
    for (;;) {
        const int n = recv(impl_->s, buffer.data(), kMaxDatagram, 0);
        const int err = n == SOCKET_ERROR ? WSAGetLastError() : 0;
        // A larger datagram fills the buffer and is cut there.
        if (n != SOCKET_ERROR || err == WSAEMSGSIZE) {
            buffer.resize(n == SOCKET_ERROR ? buffer.size() : static_cast<std::size_t>(n));
            bytes = std::move(buffer);
            got = true;
            return Status::success();
        }
        // "Port unreachable" for an earlier datagram is no failure of this
        // socket: nothing came.
        if (err != WSAEWOULDBLOCK && err != WSAECONNRESET && err != WSAEINTR)
            return Status::failure("The UDP socket cannot receive (" + errorText(err) + ").");
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0)
            return Status::success();
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(impl_->s, &readable);
        timeval timeout{};
        timeout.tv_sec = static_cast<long>(left / 1000);
        timeout.tv_usec = static_cast<long>((left % 1000) * 1000);
        if (select(0, &readable, nullptr, nullptr, &timeout) == SOCKET_ERROR)
            return Status::failure("The UDP socket cannot wait (" + errorText(WSAGetLastError()) +
                                   ").");
    }
}

void UdpSocket::close() {
    if (impl_ && impl_->s != INVALID_SOCKET) {
        closesocket(impl_->s);
        impl_->s = INVALID_SOCKET;
    }
}

} // namespace vorn::platform
