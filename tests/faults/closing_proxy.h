// A TCP relay on 127.0.0.1 in front of the demo server that stops listening
// once a request holding a given text has arrived: the requests after it
// meet a closed port, as when the server goes away between two requests.
// One request per connection ("Connection: close" is forced), so that no
// later request can ride on a kept-alive connection.
#pragma once
#include <atomic>
#include <string>
#include <thread>

class ClosingProxy {
public:
    // `lastRequest`: text of the request line after which the port closes;
    // "" closes it at once, so that nothing ever listens.
    ClosingProxy(int upstreamPort, std::string lastRequest);
    ~ClosingProxy();
    ClosingProxy(const ClosingProxy&) = delete;
    ClosingProxy& operator=(const ClosingProxy&) = delete;

    int port() const { return listenPort; }
    // For lumenhost: "news.corvane.example:80:127.0.0.1:PORT".
    std::string connectTo() const;

private:
    void serve();
    void relay(int client);
    bool waitReadable(int fd, int timeoutMs) const;

    int upstreamPort;
    std::string lastRequest;
    int listener = -1;
    int listenPort = 0;
    int wake[2] = {-1, -1};  // written by the destructor to end the relay
    std::atomic<bool> stopping{false};
    std::thread thread;
};
