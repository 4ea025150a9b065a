// What the platform contract tests share: a scratch directory given as a
// Windows path, and the few things a test must do to the disk itself
// (make a file read-only, look at a file with the host's own means).
//
// On Linux every test gets its own throw-away Wine-style prefix (drive c:
// is <prefix>/drive_c through dosdevices/c:) and works below c:\work\.
// Under Wine the tests work in a fresh directory below the Windows
// temporary directory, and cmd.exe is Wine's own.
#pragma once

#include "platform.h"

#include <gtest/gtest.h>
#include <string>

namespace vorn::test {

class PlatformTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The scratch directory as a Windows path ending in a backslash.
    const std::string& base() const { return base_; }
    std::string at(const std::string& relative) const { return base_ + relative; }

    // Writes a file (through replaceFile) and fails the test when it cannot.
    void makeFile(const std::string& winPath, const std::string& bytes = "x");
    void makeDir(const std::string& winPath);

    // Marks the file read-only the way the platform knows it: the read-only
    // attribute on Windows, no write permission on Linux.
    void setReadOnly(const std::string& winPath, bool readOnly);

    // Makes the directory unwritable when the platform allows it for the
    // running user; false when it cannot (root on a file system without
    // immutable flags, or Windows, where the directory attribute does not
    // stop writing).
    bool makeUnwritable(const std::string& winPath);

    // Entries of a directory with the host's own means, hidden ones included.
    std::vector<std::string> hostEntries(const std::string& winDir);

    // Writes `line` as the only line of the batch file (`batchName` in the
    // scratch directory) as the window writes it, runs the batch file (with `redirect` behind it
    // when given), waits for its end and returns the exit code.
    int runBatchLine(const std::string& line, const std::string& redirect = "",
                     const std::string& batchName = "vorn.bat");

    // The running test program, as a path a batch line can name.
    static std::string selfProgram();

    // The prefix directory on Linux; "" under Wine.
    std::string prefix_;

  private:
    std::string base_;
    std::vector<std::string> unwritable_;
};

} // namespace vorn::test
