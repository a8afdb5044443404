#include "emu/http_multi.h"
#include <poll.h>
#include <vector>
#include "emu/http_transfer.h"
#include "emu/mainloop.h"

HttpMulti& HttpMulti::instance() {
    static HttpMulti multi;
    return multi;
}

HttpOptions& HttpMulti::options() {
    static HttpOptions settings;
    return settings;
}

HttpMulti::HttpMulti() {
    mainloop();  // constructed first, so that it outlives us
    curl_global_init(CURL_GLOBAL_DEFAULT);
    multi = curl_multi_init();
    curl_multi_setopt(multi, CURLMOPT_SOCKETFUNCTION, &HttpMulti::onSocket);
    curl_multi_setopt(multi, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(multi, CURLMOPT_TIMERFUNCTION, &HttpMulti::onTimer);
    curl_multi_setopt(multi, CURLMOPT_TIMERDATA, this);
    // Checked when the loop is idle, i.e. right after the key handler or
    // modal run that closed a window has returned.
    idleId = mainloop().addIdle([this] { return dropAbandoned(); });
}

HttpMulti::~HttpMulti() {
    // Process exit: drop what is still running without telling anyone.
    curl_multi_setopt(multi, CURLMOPT_SOCKETFUNCTION, nullptr);
    curl_multi_setopt(multi, CURLMOPT_TIMERFUNCTION, nullptr);
    mainloop().removeIdle(idleId);
    for (const auto& [socket, id] : watchIds) mainloop().removeWatch(id);
    watchIds.clear();
    if (timerId) mainloop().removeTimer(timerId);
    timerId = 0;
    for (auto& [raw, transfer] : transfers) curl_multi_remove_handle(multi, transfer->handle());
    transfers.clear();
    curl_multi_cleanup(multi);
}

HttpTransfer* HttpMulti::adopt(std::unique_ptr<HttpTransfer> transfer) {
    HttpTransfer* raw = transfer.get();
    transfers[raw] = std::move(transfer);
    return raw;
}

void HttpMulti::release(HttpTransfer* transfer) { transfers.erase(transfer); }

bool HttpMulti::dropAbandoned() {
    std::vector<HttpTransfer*> orphans;
    for (const auto& [raw, transfer] : transfers)
        if (raw->abandoned()) orphans.push_back(raw);
    for (HttpTransfer* orphan : orphans) {
        // Closes the socket (an unfinished transfer's connection is not
        // kept) and, through the socket callback, its watch.
        curl_multi_remove_handle(multi, orphan->handle());
        orphan->abandon();
        release(orphan);
    }
    return !orphans.empty();
}

bool HttpMulti::add(CURL* easy) { return curl_multi_add_handle(multi, easy) == CURLM_OK; }

void HttpMulti::end(HttpTransfer* transfer, CURLcode result) {
    curl_multi_remove_handle(multi, transfer->handle());  // closes its socket and watch
    transfer->finish(result);
}

int HttpMulti::onSocket(CURL*, curl_socket_t socket, int what, void* self, void*) {
    auto* me = static_cast<HttpMulti*>(self);
    auto it = me->watchIds.find(socket);
    if (what == CURL_POLL_REMOVE) {
        if (it != me->watchIds.end()) {
            mainloop().removeWatch(it->second);
            me->watchIds.erase(it);
        }
        return 0;
    }
    short events = 0;
    if (what & CURL_POLL_IN) events |= POLLIN;
    if (what & CURL_POLL_OUT) events |= POLLOUT;
    if (it != me->watchIds.end()) {
        mainloop().modifyWatch(it->second, events);
        return 0;
    }
    me->watchIds[socket] = mainloop().addWatch(socket, events, [me, socket](short revents) {
        int flags = 0;
        if (revents & (POLLIN | POLLPRI)) flags |= CURL_CSELECT_IN;
        if (revents & POLLOUT) flags |= CURL_CSELECT_OUT;
        if (revents & (POLLERR | POLLHUP | POLLNVAL)) flags |= CURL_CSELECT_ERR;
        me->act(socket, flags);
    });
    return 0;
}

int HttpMulti::onTimer(CURLM*, long timeoutMs, void* self) {
    auto* me = static_cast<HttpMulti*>(self);
    if (me->timerId) mainloop().removeTimer(me->timerId);
    me->timerId = 0;
    if (timeoutMs >= 0) {
        me->timerId = mainloop().addTimer(static_cast<int>(timeoutMs), [me] {
            me->timerId = 0;  // fired; libcurl may set a new one from act()
            me->act(CURL_SOCKET_TIMEOUT, 0);
        });
    }
    return 0;
}

void HttpMulti::act(curl_socket_t socket, int events) {
    int running = 0;
    curl_multi_socket_action(multi, socket, events, &running);
    collectFinished();
}

void HttpMulti::collectFinished() {
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
        if (message->msg != CURLMSG_DONE) continue;
        // The message dies with the handle's removal: copy it first.
        CURL* easy = message->easy_handle;
        CURLcode result = message->data.result;
        curl_multi_remove_handle(multi, easy);
        char* owner = nullptr;
        curl_easy_getinfo(easy, CURLINFO_PRIVATE, &owner);
        if (owner) reinterpret_cast<HttpTransfer*>(owner)->finish(result);
    }
}
