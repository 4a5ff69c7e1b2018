#pragma once
// The print service's HTTP API, version 1, served by cpp-httplib: every answer JSON, every
// request bounded in size and time, and with a token every request authorised.
//   GET /v1/health, /v1/printers, /v1/labels, /v1/jobs[?state=S], /v1/jobs/ID
//   POST /v1/jobs      DELETE /v1/jobs/ID
#include <memory>
#include <string>

namespace httplib {
class Server;
}

namespace tavrin::service {

class PrintService;

class HttpFront {
public:
    // An empty token lets every request in.
    HttpFront(PrintService& service, std::string token);
    ~HttpFront();
    HttpFront(const HttpFront&) = delete;
    HttpFront& operator=(const HttpFront&) = delete;

    // Binds the address (port 0: any free one); empty, or why not.
    std::string bind(const std::string& host, int port);
    int port() const { return port_; }
    // Answers requests until stop().
    void run();
    void stop();

private:
    PrintService& service_;
    std::string token_;
    std::unique_ptr<httplib::Server> server_;
    int port_ = 0;
    int socket_ = -1;
};

// The token in a token file: its first line, without surrounding blanks. Empty, with
// `problem` set, when the file cannot be read or holds none.
std::string readTokenFile(const std::string& path, std::string& problem);

}  // namespace tavrin::service
