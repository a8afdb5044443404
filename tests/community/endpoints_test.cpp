// The requests of the community windows: what a user typed, or a name the
// server sent, stays inside its own part of the address.
#include <gtest/gtest.h>
#include <string>
#include "community/endpoints.h"

TEST(Endpoints, TypedTextAndServerNamesStayInTheirPartOfTheAddress) {
    const std::string script = endpoints::baseAddress() + "/lumennews/index.php?op=";
    const std::pair<eString, std::string> cases[] = {
        {endpoints::postShout("owl", "hi"), script + "inme&n=owl&p=hi"},
        // Query syntax is encoded; the message's blanks, "&", "/", "?" and
        // quotes are substituted first, as the server has always stored them.
        {endpoints::postShout("a&p=x#%", "1+1=2 & 50% #tag"), script + "inme&n=a%26p%3Dx%23%25&p=1%2B1%3D2_e_50%25_%23tag"},
        {endpoints::postShout("Tom", "say \"hi\"/?\t\xC3\xA9"), script + "inme&n=Tom&p=say_hi___%C3%A9"},
        {endpoints::fileDetail(-2147483647 - 1), script + "outfile&idf=-2147483648"},
        {endpoints::fileDownload("tool.tgz\n"), endpoints::baseAddress() + "/lumennews/files/tool.tgz"},
    };
    for (const auto& [url, expected] : cases) EXPECT_EQ(url, expected);
}
