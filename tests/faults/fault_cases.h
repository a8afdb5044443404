// The requests of the plug-in and the faults a server or the network can
// throw at them: how a scripted remote reaches each request from the main
// menu, and which switch of the demo server makes each fault.
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace faults {

enum class Request {
    EnglishFeed,
    ItalianFeed,
    Article,
    ShoutList,
    ShoutPost,
    Statistics,
    CategoryList,
    FileDetail,
    FileDownload,
};

enum class Fault {
    NotListening,
    NotFound,
    ServerError,
    DroppedHalfway,
    Stall,
    RedirectToFile,
    RedirectLoop,
    EmptyBody,
    Junk,
};

struct RequestSpec {
    const char* name;
    const char* op;          // the demo server's --fault-op for it
    const char* keys;        // from the main menu up to the key that sends it
    const char* previous;    // text of the request line before it ("" for none)
    const char* sameAgain;   // an address of the same request, for a redirect loop
};

// Names for gtest's messages.
void PrintTo(Request request, std::ostream* out);
void PrintTo(Fault fault, std::ostream* out);

const std::vector<Request>& allRequests();
const std::vector<Fault>& allFaults();
const RequestSpec& spec(Request request);
std::string faultName(Fault fault);

// The faults after which the fetcher reports an error, as opposed to a
// successful transfer of an odd body.
bool failsTransfer(Fault fault);
// The code in the fetcher's "Error <code>" box.
int expectedCode(Fault fault);
// The demo server's switches for `fault` on `request` (NotListening: none;
// the port is closed by a proxy instead).
std::vector<std::string> serverSwitches(Request request, Fault fault);
// MiB of junk sent for `request`: 100 for a few, less for the rest.
int junkMegabytes(Request request);

// The stall time-out given to lumenhost, seconds.
inline constexpr int kStallSeconds = 2;
// The download's name in the demo data (the first file of the first
// category) and where it lands.
inline constexpr const char* kDownloadName = "ferrocam_1.4_template.cfg";
inline constexpr const char* kDownloadDir = "/media/hdd/";
inline constexpr const char* kDetailTitle = "Ferrocam 1.4 config template\n";
inline constexpr const char* kFirstCategory = "Cam";

}  // namespace faults
