#include <gtest/gtest.h>
#include <vector>
#include "emu/runner/runner_options.h"

namespace {
bool parse(std::vector<std::string> args, runner::RunnerOptions& options, std::string& error) {
    args.insert(args.begin(), "lumenhost");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    return runner::parseOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}
}  // namespace

TEST(RunnerOptions, ValuesBothSeparateAndAfterEquals) {
    runner::RunnerOptions options;
    std::string error;
    ASSERT_TRUE(parse({"--plugin", "p.so", "--root=/tmp/r", "--keys", "1 ok", "--dump=-", "--shots", "s",
                       "--connect-to", "a.example:80:127.0.0.1:8080", "--wait-timeout=5", "--keys-file", "k",
                       "--http-stall-timeout", "3"},
                      options, error))
        << error;
    EXPECT_EQ(options.plugin, "p.so");
    EXPECT_EQ(options.root, "/tmp/r");
    EXPECT_EQ(options.keys, "1 ok");
    EXPECT_EQ(options.dump, "-");
    EXPECT_EQ(options.shots, "s");
    EXPECT_EQ(options.connectTo, "a.example:80:127.0.0.1:8080");
    EXPECT_EQ(options.waitTimeoutSeconds, 5);
    EXPECT_EQ(options.keysFile, "k");
    EXPECT_EQ(options.httpStallSeconds, 3);
    EXPECT_TRUE(options.scripted());
}

TEST(RunnerOptions, EmptyKeysStillMeanAScript) {
    runner::RunnerOptions options;
    std::string error;
    ASSERT_TRUE(parse({"--keys", ""}, options, error));
    EXPECT_TRUE(options.scripted());
    runner::RunnerOptions none;
    ASSERT_TRUE(parse({}, none, error));
    EXPECT_FALSE(none.scripted());
    EXPECT_EQ(none.waitTimeoutSeconds, 60);
    EXPECT_EQ(none.httpStallSeconds, 0);
}

TEST(RunnerOptions, BadCommandLinesSayWhatIsWrong) {
    struct Case {
        std::vector<std::string> args;
        const char* expected;
    } cases[] = {
        {{"--frobnicate"}, "unknown option"},
        {{"--root"}, "needs a value"},
        {{"--root="}, "non-empty"},
        {{"--wait-timeout", "0"}, "positive"},
        {{"--wait-timeout", "ten"}, "positive"},
        {{"--http-stall-timeout", "0"}, "positive"},
        {{"--http-stall-timeout", "-3"}, "positive"},
        {{"--connect-to", "a.example:80"}, "HOST:PORT:HOST2:PORT2"},
        {{"--connect-to", "a.example:http:127.0.0.1:80"}, "HOST:PORT:HOST2:PORT2"},
        {{"--connect-to", "a.example:80:127.0.0.1:70000"}, "HOST:PORT:HOST2:PORT2"},
    };
    for (const Case& c : cases) {
        runner::RunnerOptions options;
        std::string error;
        EXPECT_FALSE(parse(c.args, options, error)) << c.args[0];
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
    }
}
