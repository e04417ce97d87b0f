#include "automation/mcp_connection.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace quillon {

namespace {

using std::chrono::milliseconds;

// A wait for the socket polls in slices this long, so a stopping server ends it soon.
constexpr milliseconds kPollSlice{50};

// The address and port of one end of the socket (the peer's or our own).
void socketAddress(socket_t sock, bool peer, std::string &ip, int &port) {
  sockaddr_storage address{};
  socklen_t length = sizeof(address);
  auto *raw = reinterpret_cast<sockaddr *>(&address);
  if ((peer ? ::getpeername(sock, raw, &length) : ::getsockname(sock, raw, &length)) != 0) return;
  char text[INET6_ADDRSTRLEN] = {};
  if (address.ss_family == AF_INET) {
    const auto *v4 = reinterpret_cast<const sockaddr_in *>(&address);
    ::inet_ntop(AF_INET, &v4->sin_addr, text, sizeof(text));
    port = ntohs(v4->sin_port);
  } else if (address.ss_family == AF_INET6) {
    const auto *v6 = reinterpret_cast<const sockaddr_in6 *>(&address);
    ::inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof(text));
    port = ntohs(v6->sin6_port);
  }
  ip = text;
}

bool equalsIgnoringCase(const std::string &text, const char *word) {
  const std::size_t n = std::strlen(word);
  if (text.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != word[i]) return false;
  }
  return true;
}

// A Content-Length value: decimal digits only; a number beyond 64 bits saturates (it is
// too large either way). Empty when it is no such number.
std::optional<unsigned long long> contentLengthOf(const std::string &text) {
  if (text.empty()) return std::nullopt;
  unsigned long long value = 0;
  constexpr unsigned long long kMax = std::numeric_limits<unsigned long long>::max();
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const auto digit = static_cast<unsigned long long>(c - '0');
    value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
  }
  return value;
}

// The methods whose body the library reads.
bool libraryReadsBody(const std::string &method) {
  return method == "POST" || method == "PUT" || method == "PATCH" || method == "DELETE" || method == "PRI";
}

// The methods whose requests carry a body and so must say how long it is.
bool lengthRequired(const std::string &method) { return method == "POST" || method == "PUT" || method == "PATCH"; }

}  // namespace

TMcpConnectionStream::TMcpConnectionStream(socket_t sock, const std::atomic<socket_t> &listening,
                                           milliseconds writeTimeout)
    : FSocket(sock), FListening(listening), FWriteTimeout(writeTimeout), FReadDeadline(TMcpClock::now()) {}

bool TMcpConnectionStream::serverStopping() const { return FListening.load() == INVALID_SOCKET; }

bool TMcpConnectionStream::waitFor(short events, TMcpClock::time_point deadline) const {
  for (;;) {
    // A stopping server reads no more; what it still has to say goes out.
    if (events == POLLIN && serverStopping()) return false;
    const TMcpClock::time_point now = TMcpClock::now();
    if (now >= deadline) return false;
    const milliseconds left = std::chrono::duration_cast<milliseconds>(deadline - now) + milliseconds(1);
    pollfd entry{FSocket, events, 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(std::min(left, kPollSlice).count()));
    // Readiness, an error or the peer's end: the next recv or send tells which.
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return false;
  }
}

bool TMcpConnectionStream::waitForRequest(TMcpClock::time_point deadline) {
  if (FBufferStart != FBufferEnd) return true;
  const TMcpClock::time_point keep = FReadDeadline;
  FReadDeadline = deadline;
  char first = 0;
  const ssize_t n = read(&first, 1);
  FReadDeadline = keep;
  FTimedOut = false;
  if (n != 1) return false;
  // Put the byte back: the request starts with it.
  --FBufferStart;
  return true;
}

void TMcpConnectionStream::lingerBeforeClose(milliseconds limit) {
  ::shutdown(FSocket, SHUT_WR);
  const TMcpClock::time_point deadline = TMcpClock::now() + limit;
  while (waitFor(POLLIN, deadline)) {
    const ssize_t received = ::recv(FSocket, FBuffer, sizeof(FBuffer), 0);
    if (received == 0 || (received < 0 && errno != EINTR)) break;
  }
  FBufferStart = FBufferEnd = 0;
}

bool TMcpConnectionStream::receiveMore() {
  if (FBufferStart > 0) {
    std::memmove(FBuffer, FBuffer + FBufferStart, FBufferEnd - FBufferStart);
    FBufferEnd -= FBufferStart;
    FBufferStart = 0;
  }
  if (FBufferEnd == sizeof(FBuffer) || !waitFor(POLLIN, FReadDeadline)) return false;
  ssize_t received = 0;
  do {
    received = ::recv(FSocket, FBuffer + FBufferEnd, sizeof(FBuffer) - FBufferEnd, 0);
  } while (received < 0 && errno == EINTR);
  if (received <= 0) return false;
  FBufferEnd += static_cast<std::size_t>(received);
  return true;
}

std::string TMcpConnectionStream::takeRequestMethod() {
  // A method is a token of these characters, ended by the space before the target.
  const auto isTokenChar = [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           std::strchr("!#$%&'*+-.^_`|~", c) != nullptr;
  };
  constexpr std::size_t kLongestMethod = 32;
  std::size_t length = 0;
  for (;;) {
    const char *at = FBuffer + FBufferStart;
    const std::size_t buffered = FBufferEnd - FBufferStart;
    while (length < buffered && length <= kLongestMethod && isTokenChar(at[length])) ++length;
    if (length < buffered || length > kLongestMethod) break;
    if (!receiveMore()) return {};
  }
  const char *at = FBuffer + FBufferStart;
  if (length == 0 || length > kLongestMethod || at[length] != ' ') return {};

  std::string sent(at, length);
  std::string upper = sent;
  for (char &c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  static const char *const kKnown[] = {"GET", "HEAD", "POST", "PUT", "PATCH", "DELETE", "OPTIONS"};
  const bool known = std::any_of(std::begin(kKnown), std::end(kKnown), [&](const char *m) { return upper == m; });
  FMethodForLibrary = known ? upper : std::string("GET");
  FBufferStart += length;
  return sent;
}

bool TMcpConnectionStream::is_readable() const {
  return !FMethodForLibrary.empty() || FBufferStart != FBufferEnd || waitFor(POLLIN, FReadDeadline);
}

bool TMcpConnectionStream::is_writable() const { return waitFor(POLLOUT, TMcpClock::now() + FWriteTimeout); }

ssize_t TMcpConnectionStream::read(char *ptr, size_t size) {
  if (!FMethodForLibrary.empty()) {
    const std::size_t n = std::min(size, FMethodForLibrary.size());
    std::memcpy(ptr, FMethodForLibrary.data(), n);
    FMethodForLibrary.erase(0, n);
    return static_cast<ssize_t>(n);
  }
  if (FBufferStart == FBufferEnd) {
    if (!waitFor(POLLIN, FReadDeadline)) {
      FTimedOut = !serverStopping() && TMcpClock::now() >= FReadDeadline;
      return -1;
    }
    ssize_t received = 0;
    do {
      received = ::recv(FSocket, FBuffer, sizeof(FBuffer), 0);
    } while (received < 0 && errno == EINTR);
    if (received <= 0) return received;  // 0: the peer has closed
    FBufferStart = 0;
    FBufferEnd = static_cast<std::size_t>(received);
  }
  const std::size_t n = std::min(size, FBufferEnd - FBufferStart);
  std::memcpy(ptr, FBuffer + FBufferStart, n);
  FBufferStart += n;
  return static_cast<ssize_t>(n);
}

ssize_t TMcpConnectionStream::write(const char *ptr, size_t size) {
  if (!waitFor(POLLOUT, TMcpClock::now() + FWriteTimeout)) return -1;
  ssize_t sent = 0;
  do {
    sent = ::send(FSocket, ptr, size, MSG_NOSIGNAL);
  } while (sent < 0 && errno == EINTR);
  return sent;
}

void TMcpConnectionStream::get_remote_ip_and_port(std::string &ip, int &port) const {
  socketAddress(FSocket, true, ip, port);
}

void TMcpConnectionStream::get_local_ip_and_port(std::string &ip, int &port) const {
  socketAddress(FSocket, false, ip, port);
}

std::optional<TMcpRefusal> prepareMcpRequestFraming(httplib::Request &req, std::size_t maxBody, bool &bodyUnread) {
  bodyUnread = false;
  req.headers.erase("Content-Type");
  const auto refuse = [&](int status, const char *message) {
    req.headers.erase("Transfer-Encoding");
    req.headers.erase("Content-Length");
    req.headers.emplace("Content-Length", "0");
    req.headers.erase("Expect");
    bodyUnread = true;
    return TMcpRefusal{status, message};
  };
  const bool read = libraryReadsBody(req.method);
  const std::size_t encodings = req.get_header_value_count("Transfer-Encoding");
  const std::size_t lengths = req.get_header_value_count("Content-Length");

  if (encodings > 0) {
    if (lengths > 0) return refuse(400, "Transfer-Encoding and Content-Length together");
    if (encodings > 1 || !equalsIgnoringCase(req.get_header_value("Transfer-Encoding"), "chunked"))
      return refuse(501, "unsupported transfer coding");
    bodyUnread = !read;
    return std::nullopt;
  }
  if (lengths == 0) {
    // Where the body of a POST, PUT or PATCH without a length would end is unknown.
    if (lengthRequired(req.method)) return refuse(411, "Content-Length required");
    req.headers.emplace("Content-Length", "0");
    return std::nullopt;
  }

  std::optional<unsigned long long> length;
  const auto range = req.headers.equal_range("Content-Length");
  for (auto it = range.first; it != range.second; ++it) {
    const std::optional<unsigned long long> value = contentLengthOf(it->second);
    if (!value) return refuse(400, "bad Content-Length");
    if (length && *length != *value) return refuse(400, "conflicting Content-Length headers");
    length = value;
  }
  if (*length > maxBody) return refuse(413, "request body too large");
  if (lengths > 1) {
    // The same length more than once: the library reads one.
    req.headers.erase("Content-Length");
    req.headers.emplace("Content-Length", std::to_string(*length));
  }
  bodyUnread = !read && *length > 0;
  return std::nullopt;
}

}  // namespace quillon
