#include "loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace ks::bench {

namespace {

// Large enough that a send hands the kernel a useful amount at once.
constexpr std::size_t kPatternBytes = 256 * 1024;

}  // namespace

const std::vector<char>& bodyPattern() {
  static const std::vector<char> bytes = [] {
    std::vector<char> generated(kPatternBytes);
    for (std::size_t i = 0; i < generated.size(); ++i) {
      generated[i] = static_cast<char>((i * 131 + i / 4096) & 0xff);
    }
    return generated;
  }();
  return bytes;
}

namespace {

bool sendAll(int socket, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t sent = ::send(socket, data, size, MSG_NOSIGNAL);
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<std::size_t>(sent);
  }
  return true;
}

// The request head up to its blank line; false when the client went away.
bool readRequest(int socket, std::string& buffered, std::string& head) {
  for (;;) {
    const std::size_t end = buffered.find("\r\n\r\n");
    if (end != std::string::npos) {
      head = buffered.substr(0, end);
      buffered.erase(0, end + 4);
      return true;
    }
    char chunk[4096];
    const ssize_t got = ::recv(socket, chunk, sizeof chunk, 0);
    if (got <= 0) return false;
    buffered.append(chunk, static_cast<std::size_t>(got));
  }
}

bool answer(int socket, const std::string& head) {
  constexpr std::string_view kRoute = "GET /bytes/";
  if (head.compare(0, kRoute.size(), kRoute) != 0) {
    constexpr std::string_view kNotFound = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
    return sendAll(socket, kNotFound.data(), kNotFound.size());
  }
  std::uint64_t left = std::stoull(head.substr(kRoute.size()));
  const std::string reply =
      "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
      "Content-Length: " +
      std::to_string(left) + "\r\n\r\n";
  if (!sendAll(socket, reply.data(), reply.size())) return false;
  const std::vector<char>& bytes = bodyPattern();
  while (left > 0) {
    const std::size_t now = left < bytes.size() ? static_cast<std::size_t>(left) : bytes.size();
    if (!sendAll(socket, bytes.data(), now)) return false;
    left -= now;
  }
  return true;
}

void serveConnection(int socket) {
  std::string buffered;
  std::string head;
  while (readRequest(socket, buffered, head) && answer(socket, head)) {
  }
  ::close(socket);
}

}  // namespace

int runLoopbackServer() {
  ::prctl(PR_SET_PDEATHSIG, SIGTERM);
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listener, 16) != 0 ||
      ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    std::perror("loopback server");
    return 1;
  }
  bodyPattern();
  std::printf("%d\n", ntohs(address.sin_port));
  std::fflush(stdout);
  for (;;) {
    const int client = ::accept(listener, nullptr, nullptr);
    if (client < 0) continue;
    std::thread(serveConnection, client).detach();
  }
}

}  // namespace ks::bench
