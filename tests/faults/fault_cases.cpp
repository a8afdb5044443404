#include "tests/faults/fault_cases.h"
#include "host/ehttp.h"
#include <iterator>

namespace faults {

namespace {

const char* const kBase = "http://news.corvane.example";

const RequestSpec kSpecs[] = {
    {"EnglishFeed", "outmerss", "2", "", "/lumennews/index.php?op=outmerss"},
    {"ItalianFeed", "outmerss", "3", "", "/lumennews/index.php?op=outmerss&tn=3"},
    // The first item of the English list.
    {"Article", "article", "2 wait ok", "op=outmerss", "/lumennews/index.php?op=article&sid=101"},
    {"ShoutList", "outme", "5", "", "/lumennews/index.php?op=outme"},
    // Type, leave editing, right to Send Shout, press it.
    {"ShoutPost", "inme", "5 wait ok text:hello ok right ok", "op=outme", "/lumennews/index.php?op=inme&n=Guest&p=x"},
    {"Statistics", "outmestats2", "4", "", "/lumennews/index.php?op=outmestats2"},
    {"CategoryList", "outcat", "1 ok", "", "/lumennews/index.php?op=outcat&cat=Cam"},
    {"FileDetail", "outfile", "1 ok wait ok", "op=outcat", "/lumennews/index.php?op=outfile&idf=11"},
    {"FileDownload", "files", "1 ok wait ok wait ok", "op=outfile", "/lumennews/files/ferrocam_1.4_template.cfg"},
};

}  // namespace

void PrintTo(Request request, std::ostream* out) { *out << spec(request).name; }
void PrintTo(Fault fault, std::ostream* out) { *out << faultName(fault); }

const char* const kFaultNames[] = {"NotListening", "NotFound",  "ServerError", "DroppedHalfway", "Stall",
                                   "RedirectToFile", "RedirectLoop", "EmptyBody", "Junk"};

template <typename E>
std::vector<E> firstN(int n) {
    std::vector<E> all;
    for (int i = 0; i < n; ++i) all.push_back(static_cast<E>(i));
    return all;
}

const std::vector<Request>& allRequests() {
    static const std::vector<Request> all = firstN<Request>(std::size(kSpecs));
    return all;
}

const std::vector<Fault>& allFaults() {
    static const std::vector<Fault> all = firstN<Fault>(std::size(kFaultNames));
    return all;
}

const RequestSpec& spec(Request request) { return kSpecs[static_cast<int>(request)]; }

std::string faultName(Fault fault) { return kFaultNames[static_cast<int>(fault)]; }

bool failsTransfer(Fault fault) { return fault != Fault::EmptyBody && fault != Fault::Junk; }

int expectedCode(Fault fault) {
    switch (fault) {
    case Fault::NotListening: return eHTTPConnection::errorConnect;
    case Fault::NotFound: return 404;
    case Fault::ServerError: return 500;
    case Fault::DroppedHalfway: return eHTTPConnection::errorTransfer;
    case Fault::Stall: return eHTTPConnection::errorTimeout;
    case Fault::RedirectToFile: return eHTTPConnection::errorRedirectRefused;
    case Fault::RedirectLoop: return eHTTPConnection::errorTooManyRedirects;
    default: return 0;
    }
}

std::vector<std::string> serverSwitches(Request request, Fault fault) {
    std::vector<std::string> only = {"--fault-op", spec(request).op};
    auto with = [&](std::vector<std::string> more) {
        only.insert(only.end(), more.begin(), more.end());
        return only;
    };
    switch (fault) {
    case Fault::NotListening: return {};
    case Fault::NotFound: return with({"--status", "404"});
    case Fault::ServerError: return with({"--status", "500"});
    case Fault::DroppedHalfway: return with({"--drop-half"});
    case Fault::Stall: return with({"--stall"});
    case Fault::RedirectToFile: return with({"--redirect", "file:///etc/passwd"});
    case Fault::RedirectLoop: return with({"--redirect", std::string(kBase) + spec(request).sameAgain});
    case Fault::EmptyBody: return with({"--empty"});
    case Fault::Junk: return with({"--junk-mb", std::to_string(junkMegabytes(request))});
    }
    return {};
}

int junkMegabytes(Request request) {
    switch (request) {
    case Request::EnglishFeed:
    case Request::Article:
    case Request::FileDetail:
    case Request::FileDownload: return 100;
    default: return 4;
    }
}

}  // namespace faults
