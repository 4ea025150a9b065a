// A UDP socket for asking a game server: never blocking, with poll() for
// the bounded wait.
#include "platform.h"
#include "posix_common.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace vorn::platform {

using namespace backend;

namespace {

// The largest datagram kept whole; the rest of a larger one is cut.
constexpr std::size_t kMaxDatagram = 64u * 1024u;

Status notOpen() {
    return Status::failure("The UDP socket is not open.");
}

} // namespace

struct UdpSocket::Impl {
    int fd = -1;
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
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return Status::failure("No UDP socket can be made: " + reason(errno) + ".");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    addr.sin_port = 0;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        const int err = errno;
        ::close(fd);
        return Status::failure("The UDP socket cannot take a port: " + reason(err) + ".");
    }
    impl_ = std::make_unique<Impl>();
    impl_->fd = fd;
    return Status::success();
}

bool UdpSocket::isOpen() const {
    return impl_ && impl_->fd >= 0;
}

Status UdpSocket::sendTo(const std::string& ipv4, int port, const std::string& bytes) {
    if (!isOpen())
        return notOpen();
    if (port < 1 || port > 65535)
        return Status::failure("There is no UDP port " + std::to_string(port) + ".");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, ipv4.c_str(), &addr.sin_addr) != 1)
        return Status::failure(quoted(ipv4) + " is not an IPv4 address.");
    ssize_t sent;
    do {
        sent = ::sendto(impl_->fd, bytes.data(), bytes.size(), MSG_NOSIGNAL,
                        reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0)
        return Status::failure("Nothing could be sent to " + ipv4 + ":" + std::to_string(port) +
                               ": " + reason(errno) + ".");
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
    std::string buffer(kMaxDatagram, '\0');
    for (;;) {
        const ssize_t n = ::recv(impl_->fd, buffer.data(), buffer.size(), 0);
        if (n >= 0) {
            buffer.resize(static_cast<std::size_t>(n));
            bytes = std::move(buffer);
            got = true;
            return Status::success();
        }
        // An error the network reported for an earlier datagram (nobody
        // on that port) is no failure of this socket: nothing came.
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR && errno != ECONNREFUSED)
            return Status::failure("The UDP socket cannot receive: " + reason(errno) + ".");
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0)
            return Status::success();
        pollfd pfd{impl_->fd, POLLIN, 0};
        const int r = ::poll(&pfd, 1, static_cast<int>(left));
        if (r < 0 && errno != EINTR)
            return Status::failure("The UDP socket cannot wait: " + reason(errno) + ".");
    }
}

void UdpSocket::close() {
    if (impl_ && impl_->fd >= 0) {
        ::close(impl_->fd);
        impl_->fd = -1;
    }
}

} // namespace vorn::platform
