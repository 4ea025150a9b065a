// The platform tests' scratch directory as a Windows path: on Linux below
// c:\work in a Wine-style prefix of its own; under Wine, in the temporary one.
#pragma once

#include "platform.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

namespace vorn::test {

// Each fails the test when it cannot.
std::string quote(const std::string& text);
std::string bytesOf(const std::string& winPath);

class PlatformTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The scratch directory as a Windows path ending in a backslash.
    const std::string& base() const { return base_; }
    std::string at(const std::string& relative) const { return base_ + relative; }

    // Fail the test when they cannot; make()'s entries ending in '\\' are directories.
    void makeFile(const std::string& winPath, const std::string& bytes = "x");
    void make(std::initializer_list<std::string> entries);
    // The attribute on Windows, no write permission on Linux.
    void setReadOnly(const std::string& winPath, bool readOnly);
    // False when the running user can write into any directory here.
    bool makeUnwritable(const std::string& winPath);
    // A directory's entries by the host's own means, hidden ones included.
    std::set<std::string> hostEntries(const std::string& winDir);

    // Runs `line` (with `redirect`) as vorn.bat's only line; its exit code.
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
