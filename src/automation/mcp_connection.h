#pragma once
// One connection of the automation server, as its thread serves it: the socket as an
// HTTP stream whose reads end at a deadline, and the framing rules a request must meet
// before its body is read.
//
// A client gets a fixed time for the request line and headers of each request, and a
// fixed time for its body, however it spaces its bytes: one that sends a header line now
// and then ("slowloris") is cut off when its time is up, so a few slow clients cannot
// hold the connection threads. Every wait for the client's bytes also ends within a few
// hundredths of a second once the server stops.
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace quillon {

using TMcpClock = std::chrono::steady_clock;

class TMcpConnectionStream : public httplib::Stream {
 public:
  // `listening` is the server's listening socket, INVALID_SOCKET once the server stops.
  TMcpConnectionStream(socket_t sock, const std::atomic<socket_t> &listening, std::chrono::milliseconds writeTimeout);

  // Reads fail from this time on (until the next call).
  void setReadDeadline(TMcpClock::time_point deadline) { FReadDeadline = deadline; }
  // Whether a read failed because the deadline had passed.
  bool timedOut() const { return FTimedOut; }
  // Waits until the next request's first byte has come, at most until `deadline`; false
  // when it did not come, the peer closed or the server stops.
  bool waitForRequest(TMcpClock::time_point deadline);
  bool serverStopping() const;
  // The method of the request that begins next, as the client sent it; the library is
  // handed a form it accepts. The library takes only the upper-case names of the methods
  // it knows and refuses any other with 400, while the routes compare methods without
  // regard to case and answer every method: so a known method in any case is given to
  // the library in upper case, and any other (FOO, PURGE) as GET, whose request a route
  // reads no body of. Empty when no method came within the time of the request's head
  // or the request does not begin with one (the library then refuses it).
  std::string takeRequestMethod();
  // Ends this side of the connection, then reads and drops what the client still sends
  // until it closes too, for at most `limit`: closing with bytes unread would reset the
  // connection, and the client could lose the reply that explains why.
  void lingerBeforeClose(std::chrono::milliseconds limit);

  bool is_readable() const override;
  bool is_writable() const override;
  ssize_t read(char *ptr, size_t size) override;
  ssize_t write(const char *ptr, size_t size) override;
  void get_remote_ip_and_port(std::string &ip, int &port) const override;
  void get_local_ip_and_port(std::string &ip, int &port) const override;
  socket_t socket() const override { return FSocket; }

 private:
  // Polls for `events` in short slices until the deadline; false on timeout, error or,
  // when waiting to read, a stopping server.
  bool waitFor(short events, TMcpClock::time_point deadline) const;

  socket_t FSocket;
  const std::atomic<socket_t> &FListening;
  std::chrono::milliseconds FWriteTimeout;
  TMcpClock::time_point FReadDeadline;
  bool FTimedOut = false;
  // Receives more bytes after those in the buffer; false when none came in time.
  bool receiveMore();

  // Read before the buffer: the method handed to the library in place of the one sent.
  std::string FMethodForLibrary;
  // Bytes received but not yet read: the library reads the head a byte at a time.
  char FBuffer[4096];
  std::size_t FBufferStart = 0;
  std::size_t FBufferEnd = 0;
};

// Why a request is answered without reading its body, and the connection then closed.
struct TMcpRefusal {
  int Status;
  std::string Message;
};

// The body framing of a request whose head has been read, checked before the library
// reads any of the body, and the request made ready for it:
// - Transfer-Encoding must be "chunked" alone (otherwise 501), never together with
//   Content-Length (400): a request that two readers could frame differently is refused.
//   The limit on a chunked body is applied while it is read.
// - Every Content-Length must be the same plain decimal number (otherwise 400) and at
//   most `maxBody` (otherwise 413).
// - A POST, PUT or PATCH without either is refused with 411 at once (where its body
//   would end is unknown). Another request without either has an empty body (curl -X
//   DELETE sends such): it gets "Content-Length: 0", so the library does not wait for
//   the connection to end. A body of length 0 reaches the routes as an empty body.
// - The content type is dropped: every body is read as the JSON text it should be,
//   whatever a client called it (curl -d calls JSON form data), so the library's form and
//   multipart readers and their limits never apply.
// On a refusal the request is also left with nothing to read. `bodyUnread` tells whether
// the request carries a body that the library will not read (a body sent with GET, say),
// so that the connection must close after the reply.
std::optional<TMcpRefusal> prepareMcpRequestFraming(httplib::Request &req, std::size_t maxBody, bool &bodyUnread);

}  // namespace quillon
