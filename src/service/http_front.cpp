#include "service/http_front.h"

#include <httplib.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "service/print_service.h"

namespace tavrin::service {

namespace {

// Enough workers that a burst of clients is not queued behind slow ones, few enough to
// keep the service small.
constexpr std::size_t kHttpThreads = 64;
// Connections waiting to be accepted: the library's own five would drop the connections of
// a burst of clients, each of which then waits a second to try again.
constexpr int kListenBacklog = 512;

void answer(httplib::Response& response, const Answer& a) {
    response.status = a.status;
    response.set_content(a.body, "application/json");
}

long long idOf(const httplib::Request& request) {
    const std::string text = request.matches[1];
    if (text.size() > 18) return -1;
    return std::stoll(text);
}

std::string reasonOf(int status) {
    switch (status) {
        case 400: return "Bad request";
        case 401: return "A bearer token is needed: Authorization: Bearer TOKEN";
        case 404: return "No such resource";
        case 405: return "Method not allowed";
        case 413: return "The request is too large";
        case 414: return "The request line is too long";
        default: return "HTTP status " + std::to_string(status);
    }
}

}  // namespace

std::string readTokenFile(const std::string& path, std::string& problem) {
    std::ifstream in(path);
    if (!in) {
        problem = "Can't read the token file " + path + ": " + std::strerror(errno);
        return {};
    }
    std::string line;
    std::getline(in, line);
    const auto first = line.find_first_not_of(" \t\r");
    const auto last = line.find_last_not_of(" \t\r");
    if (first == std::string::npos) {
        problem = "The token file " + path + " holds no token";
        return {};
    }
    return line.substr(first, last - first + 1);
}

HttpFront::HttpFront(PrintService& service, std::string token)
    : service_(service), token_(std::move(token)), server_(std::make_unique<httplib::Server>()) {
    httplib::Server& s = *server_;
    s.new_task_queue = [] { return new httplib::ThreadPool(kHttpThreads); };
    s.set_payload_max_length(service_.options().limits.bodyBytes);
    // Not the library's SO_REUSEPORT, which would let a second service share the port
    // unnoticed; the socket is kept to widen its backlog once it listens.
    s.set_socket_options([this](int socket) {
        int yes = 1;
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        socket_ = socket;
    });
    s.set_read_timeout(10, 0);
    s.set_write_timeout(10, 0);
    s.set_keep_alive_timeout(5);
    s.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
        if (token_.empty() || bearerMatches(request.get_header_value("Authorization"), token_))
            return httplib::Server::HandlerResponse::Unhandled;
        response.set_header("WWW-Authenticate", "Bearer");
        answer(response, errorAnswer(401, reasonOf(401)));
        return httplib::Server::HandlerResponse::Handled;
    });
    // The library's own refusals (unknown path, too large) get a JSON body like the others.
    s.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (response.body.empty()) answer(response, errorAnswer(response.status, reasonOf(response.status)));
    });
    s.set_exception_handler([](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
        answer(response, errorAnswer(500, "The service failed on this request"));
    });
    s.Get("/v1/health", [this](const httplib::Request&, httplib::Response& r) { answer(r, service_.health()); });
    s.Get("/v1/printers", [this](const httplib::Request&, httplib::Response& r) { answer(r, service_.printers()); });
    s.Get("/v1/labels", [this](const httplib::Request&, httplib::Response& r) { answer(r, service_.labels()); });
    s.Post("/v1/jobs", [this](const httplib::Request& q, httplib::Response& r) { answer(r, service_.submit(q.body)); });
    s.Get("/v1/jobs", [this](const httplib::Request& q, httplib::Response& r) {
        answer(r, service_.jobs(q.get_param_value("state")));
    });
    s.Get(R"(/v1/jobs/(\d+))", [this](const httplib::Request& q, httplib::Response& r) {
        const long long id = idOf(q);
        answer(r, id < 0 ? errorAnswer(404, "No such job") : service_.job(id));
    });
    s.Delete(R"(/v1/jobs/(\d+))", [this](const httplib::Request& q, httplib::Response& r) {
        const long long id = idOf(q);
        answer(r, id < 0 ? errorAnswer(404, "No such job") : service_.cancel(id));
    });
}

HttpFront::~HttpFront() = default;

std::string HttpFront::bind(const std::string& host, int port) {
    if (port == 0) {
        port_ = server_->bind_to_any_port(host);
        if (port_ <= 0) return "Can't listen on " + host + ": " + std::strerror(errno);
    } else {
        if (!server_->bind_to_port(host, port))
            return "Can't listen on " + host + ":" + std::to_string(port) + ": " + std::strerror(errno);
        port_ = port;
    }
    if (socket_ >= 0) ::listen(socket_, kListenBacklog);
    return {};
}

void HttpFront::run() { server_->listen_after_bind(); }

void HttpFront::stop() { server_->stop(); }

}  // namespace tavrin::service
