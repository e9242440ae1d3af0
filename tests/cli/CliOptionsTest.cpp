// The one option reader every ks340ctl verb uses.
#include <gtest/gtest.h>

#include "cli/CliOptions.h"

namespace ks340::cli {

namespace {

struct Parsed {
    bool ok;
    std::string error;
    std::string output;
    bool hasOutput = false;
    bool force = false;
    std::vector<std::string> ports;
    std::vector<std::string> arguments;
    bool help = false;
};

Parsed parse(const std::vector<std::string>& args) {
    Parsed p{};
    Options o;
    o.value({"-o", "--output"}, p.output, &p.hasOutput).flag({"--force"}, p.force).values({"--port", "-p"}, p.ports);
    p.ok = o.parse(args);
    p.error = o.error();
    p.arguments = o.arguments();
    p.help = o.help();
    return p;
}

}  // namespace

TEST(CliOptionsTest, ValuesFlagsListsAndArguments) {
    Parsed p = parse({"in.ks3", "--output=out.ks3", "--force", "-p", "/dev/a", "--port=/dev/b", "-", "-h"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.output, "out.ks3");
    EXPECT_TRUE(p.hasOutput && p.force && p.help);
    EXPECT_EQ(p.ports, (std::vector<std::string>{"/dev/a", "/dev/b"}));
    EXPECT_EQ(p.arguments, (std::vector<std::string>{"in.ks3", "-"}));  // "-" is standard output
    EXPECT_EQ(parse({"-o", "--force"}).output, "--force");               // a value is taken as it stands
    EXPECT_TRUE(parse({"--output="}).hasOutput);
}

TEST(CliOptionsTest, MistakesAreNamed) {
    EXPECT_EQ(parse({"--colour"}).error, "unknown option '--colour'");
    EXPECT_EQ(parse({"--colour=red"}).error, "unknown option '--colour'");
    EXPECT_EQ(parse({"in", "-o"}).error, "option '-o' needs a value");
    EXPECT_EQ(parse({"-o", "a", "--output", "b"}).error, "option '--output' can be given only once");
    EXPECT_EQ(parse({"--force=yes"}).error, "option '--force' takes no value");
}

}  // namespace ks340::cli
