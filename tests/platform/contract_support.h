// The platform contract tests' scratch directory, given as a Windows path,
// and what a test must do to the disk itself. On Linux each test gets its
// own Wine-style prefix (c: is <prefix>/drive_c through dosdevices/c:) and
// works below c:\work\; under Wine, below the Windows temporary directory.
#pragma once

#include "platform.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

namespace vorn::test {

// The text quoted for a batch line, and a file's bytes; each fails the test
// when it cannot.
std::string quote(const std::string& text);
std::string bytesOf(const std::string& winPath);

class PlatformTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The scratch directory as a Windows path ending in a backslash.
    const std::string& base() const { return base_; }
    std::string at(const std::string& relative) const { return base_ + relative; }

    // Fail the test when they cannot. make() makes each entry below the
    // scratch directory: a directory when it ends in a backslash.
    void makeFile(const std::string& winPath, const std::string& bytes = "x");
    void make(std::initializer_list<std::string> entries);
    // Read-only as the platform knows it: the attribute on Windows, no write
    // permission on Linux.
    void setReadOnly(const std::string& winPath, bool readOnly);
    // False when the running user can write into any directory here (root
    // without immutable flags; Windows, where the attribute does not stop it).
    bool makeUnwritable(const std::string& winPath);
    // Entries of a directory with the host's own means, hidden ones included.
    std::set<std::string> hostEntries(const std::string& winDir);

    // Writes `line` as vorn.bat's only line, as the window writes it, runs it
    // (with `redirect` behind it when given) and gives its exit code.
    int runBatchLine(const std::string& line, const std::string& redirect = "");
    // The running test program, as a path a batch line can name.
    static std::string selfProgram();

    // The prefix directory on Linux; "" under Wine.
    std::string prefix_;

  private:
    std::string base_;
    std::vector<std::string> unwritable_;
};

} // namespace vorn::test
