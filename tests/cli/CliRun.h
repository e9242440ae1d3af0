// Runs the built ks340ctl (and ks340sim) in a scratch folder. These tests
// belong to the full build, which builds both programs: a missing program
// fails the test.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "fileio/FileTestSupport.h"

namespace ks340::cli::test {

class CliRun : public ::testing::Test {
protected:
    void SetUp() override {
        const char* env = std::getenv("KS340_BINARY_DIR");
        const std::filesystem::path bin = env && *env ? env : KS340_BINARY_DIR;
        tool_ = (bin / "src" / "cli" / "ks340ctl").string();
        sim_ = (bin / "src" / "sim" / "ks340sim").string();
        ASSERT_TRUE(std::filesystem::exists(tool_)) << tool_ << " was not built";
        ASSERT_TRUE(std::filesystem::exists(sim_)) << sim_ << " was not built";
    }

    // Runs "ks340ctl ARGS" (a shell command line) in the scratch folder,
    // after `prefix` (shell commands such as ulimit); keeps stdout, stderr.
    int run(const std::string& args, const std::string& prefix = {}) {
        return shell(prefix + " '" + tool_ + "' " + args);
    }

    int shell(const std::string& command) {
        const std::string cmd = "cd '" + dir_.path() + "' && { " + command + " ; } >'" + dir_.path() + "/.out' 2>'" +
                                dir_.path() + "/.err'";
        const int status = std::system(cmd.c_str());
        out_ = fileio::test::slurp(dir_.path() + "/.out");
        err_ = fileio::test::slurp(dir_.path() + "/.err");
        std::remove((dir_.path() + "/.out").c_str());
        std::remove((dir_.path() + "/.err").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string file(const std::string& name) const { return dir_.file(name); }
    std::string read(const std::string& name) const { return fileio::test::slurp(dir_.file(name)); }

    fileio::test::ScratchDir dir_;
    std::string tool_, sim_, out_, err_;
};

}  // namespace ks340::cli::test
