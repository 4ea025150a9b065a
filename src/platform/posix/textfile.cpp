// Text files, read and written through stdio on the mapped host path.
#include "platform.h"
#include "posix_common.h"
#include "winpath.h"

#include <cerrno>
#include <cstdio>

namespace vorn::platform {

using namespace backend;

struct TextFile::Impl {
    std::FILE* file = nullptr;
    std::string winPath;
};

TextFile::TextFile() : impl_(std::make_unique<Impl>()) {}
TextFile::~TextFile() {
    close();
}

Status TextFile::open(const std::string& winPath, Mode mode) {
    close();
    std::string host;
    if (Status s = hostPath(winPath, host); !s)
        return s;
    const char* how = mode == Mode::Output ? "wb" : mode == Mode::Append ? "ab" : "rb";
    if (mode != Mode::Input && !isDirectory(hostPathParent(host)))
        return Status::failure("Cannot write " + quoted(winPath) + ": the directory " +
                               quoted(parentOf(winPath)) + " does not exist.");
    if (isDirectory(host))
        return Status::failure(std::string(mode == Mode::Input ? "Cannot read " : "Cannot write ") +
                               quoted(winPath) + ": it is a directory.");
    if (mode != Mode::Input && isReadOnlyFile(host))
        return Status::failure("Cannot write " + quoted(winPath) + ": the file is read-only.");
    impl_->file = std::fopen(host.c_str(), how);
    if (!impl_->file)
        return Status::failure(std::string("Cannot ") + (mode == Mode::Input ? "read " : "write ") +
                               quoted(winPath) + ": " + reason(errno) + ".");
    impl_->winPath = winPath;
    return Status::success();
}

bool TextFile::isOpen() const {
    return impl_->file != nullptr;
}

Status TextFile::write(const std::string& bytes) {
    if (!impl_->file)
        return Status::failure("No file is open for writing.");
    if (std::fwrite(bytes.data(), 1, bytes.size(), impl_->file) != bytes.size() ||
        std::fflush(impl_->file) != 0)
        return Status::failure("Cannot write " + quoted(impl_->winPath) + ": " + reason(errno) +
                               ".");
    return Status::success();
}

Status TextFile::writeLine(const std::string& text) {
    return write(text + "\r\n");
}

bool TextFile::readLine(std::string& line) {
    line.clear();
    if (!impl_->file)
        return false;
    int c = std::fgetc(impl_->file);
    if (c == EOF)
        return false;
    while (c != EOF && c != '\n') {
        line += static_cast<char>(c);
        c = std::fgetc(impl_->file);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

bool TextFile::readField(std::string& field) {
    field.clear();
    if (!impl_->file)
        return false;
    int c = std::fgetc(impl_->file);
    if (c == EOF)
        return false;
    while (c != EOF && c != '\n' && c != ',') {
        field += static_cast<char>(c);
        c = std::fgetc(impl_->file);
    }
    if (c == '\n' && !field.empty() && field.back() == '\r')
        field.pop_back();
    return true;
}

bool TextFile::eof() {
    if (!impl_->file)
        return true;
    const int c = std::fgetc(impl_->file);
    if (c == EOF)
        return true;
    std::ungetc(c, impl_->file);
    return false;
}

void TextFile::close() {
    if (impl_ && impl_->file) {
        std::fclose(impl_->file);
        impl_->file = nullptr;
    }
}

} // namespace vorn::platform
