#include "php_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <string_view>

namespace albumora {
namespace {

constexpr int kStartAttempts = 5;
constexpr std::chrono::seconds kTimeout{20};

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

// A port that the system has just handed out as free.
int FreePort() {
  FileDescriptor socket_fd(socket(AF_INET, SOCK_STREAM, 0));
  sockaddr_in address = Loopback(0);
  socklen_t length = sizeof address;
  if (socket_fd.get() < 0 ||
      bind(socket_fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      getsockname(socket_fd.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return 0;
  }
  return ntohs(address.sin_port);
}

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits until `fd` can be read or the deadline passes.
bool WaitReadable(int fd, std::chrono::steady_clock::time_point deadline) {
  pollfd entry{fd, POLLIN, 0};
  int ready;
  do {
    ready = poll(&entry, 1, MillisecondsLeft(deadline));
  } while (ready < 0 && errno == EINTR);
  return ready > 0;
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

HttpResponse ParseResponse(const std::string& raw) {
  HttpResponse response;
  const std::size_t head_end = raw.find("\r\n\r\n");
  if (head_end == std::string::npos) return response;
  std::string_view head(raw.data(), head_end);
  std::size_t line_end = head.find("\r\n");
  const std::string_view status_line = head.substr(0, line_end);
  if (const std::size_t blank = status_line.find(' '); blank != std::string_view::npos) {
    response.status = std::atoi(std::string(status_line.substr(blank + 1, 3)).c_str());
  }
  while (line_end != std::string_view::npos) {
    const std::size_t start = line_end + 2;
    line_end = head.find("\r\n", start);
    const std::string_view line = head.substr(
        start, line_end == std::string_view::npos ? std::string_view::npos : line_end - start);
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    response.headers[LowerAscii(line.substr(0, colon))] = std::string(value);
  }
  response.body = raw.substr(head_end + 4);
  return response;
}

}  // namespace

PhpServer::~PhpServer() { Stop(); }

bool PhpServer::Start(const std::string& root) {
  for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
    const int port = FreePort();
    if (port != 0 && TryStart(root, port)) return true;
    // Another process may have taken the port in the meantime: try a new one.
  }
  return false;
}

bool PhpServer::TryStart(const std::string& root, int port) {
  Stop();
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) {
    error_ = "no pipe";
    return false;
  }
  const std::string address = "127.0.0.1:" + std::to_string(port);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(pipe_fds[1], STDOUT_FILENO);
    dup2(pipe_fds[1], STDERR_FILENO);
    execlp("php", "php", "-S", address.c_str(), "-t", root.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipe_fds[1]);
  if (pid < 0) {
    close(pipe_fds[0]);
    error_ = "cannot fork";
    return false;
  }
  pid_ = pid;
  output_ = pipe_fds[0];
  port_ = port;
  // The server prints "... Development Server (http://...) started" once it listens.
  std::string said;
  const auto deadline = std::chrono::steady_clock::now() + kTimeout;
  while (said.find(") started") == std::string::npos) {
    char buffer[512];
    const ssize_t got = WaitReadable(output_, deadline) ? read(output_, buffer, sizeof buffer) : 0;
    if (got <= 0) {
      error_ = "php -S did not start: " + said;
      Stop();
      return false;
    }
    said.append(buffer, static_cast<std::size_t>(got));
  }
  fcntl(output_, F_SETFL, fcntl(output_, F_GETFL) | O_NONBLOCK);
  error_.clear();
  return true;
}

void PhpServer::Stop() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  if (output_ >= 0) {
    close(output_);
    output_ = -1;
  }
}

// The server logs every request; reading it keeps the pipe from filling up.
void PhpServer::DrainOutput() {
  char buffer[4096];
  while (output_ >= 0 && read(output_, buffer, sizeof buffer) > 0) {
  }
}

HttpResponse PhpServer::Request(const std::string& method, const std::string& target) {
  DrainOutput();
  FileDescriptor connection(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const sockaddr_in address = Loopback(port_);
  if (connection.get() < 0 ||
      connect(connection.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    return {};
  }
  const std::string request =
      method + " " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
  if (send(connection.get(), request.data(), request.size(), MSG_NOSIGNAL) !=
      static_cast<ssize_t>(request.size())) {
    return {};
  }
  std::string raw;
  const auto deadline = std::chrono::steady_clock::now() + kTimeout;
  while (WaitReadable(connection.get(), deadline)) {
    char buffer[16384];
    const ssize_t got = recv(connection.get(), buffer, sizeof buffer, 0);
    if (got <= 0) break;
    raw.append(buffer, static_cast<std::size_t>(got));
  }
  return ParseResponse(raw);
}

}  // namespace albumora
