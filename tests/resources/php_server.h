// PHP's built-in web server, started by a test on a free local port, and a plain HTTP/1.0 client.
#ifndef ALBUMORA_TESTS_RESOURCES_PHP_SERVER_H_
#define ALBUMORA_TESTS_RESOURCES_PHP_SERVER_H_

#include <sys/types.h>

#include <map>
#include <string>

namespace albumora {

struct HttpResponse {
  int status = 0;                              // 0 when no answer came
  std::map<std::string, std::string> headers;  // names in lower case
  std::string body;
};

class PhpServer {
 public:
  PhpServer() = default;
  ~PhpServer();
  PhpServer(const PhpServer&) = delete;
  PhpServer& operator=(const PhpServer&) = delete;

  // Serves `root` with `php -S`. Waits (without sleeping) until the server reports that it
  // listens; false, with the server's words in error(), when it does not start.
  bool Start(const std::string& root);
  const std::string& error() const { return error_; }

  // `method` + " " + `target` (path and query, already URL-encoded) over one connection.
  HttpResponse Request(const std::string& method, const std::string& target);
  HttpResponse Get(const std::string& target) { return Request("GET", target); }

 private:
  bool TryStart(const std::string& root, int port);
  void Stop();
  void DrainOutput();

  pid_t pid_ = -1;
  int output_ = -1;  // the server's standard output and error
  int port_ = 0;
  std::string error_;
};

}  // namespace albumora

#endif  // ALBUMORA_TESTS_RESOURCES_PHP_SERVER_H_
