// Text files, read through a buffer of our own and written straight
// through the file handle.
#include "platform.h"
#include "windows_common.h"
#include "winpath.h"

#include <algorithm>
#include <vector>

namespace vorn::platform {

using namespace backend;

// ---------------------------------------------------------------------------
// Text files

struct TextFile::Impl {
    HANDLE file = INVALID_HANDLE_VALUE;
    std::string winPath;
    std::vector<char> buffer = std::vector<char>(65536);
    std::size_t pos = 0;
    std::size_t end = 0;

    int peek() {
        if (pos == end) {
            DWORD got = 0;
            if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) ||
                got == 0)
                return -1;
            pos = 0;
            end = got;
        }
        return static_cast<unsigned char>(buffer[pos]);
    }
    int get() {
        const int c = peek();
        if (c >= 0)
            ++pos;
        return c;
    }
};

TextFile::TextFile() : impl_(std::make_unique<Impl>()) {}
TextFile::~TextFile() {
    close();
}

Status TextFile::open(const std::string& winPath, Mode mode) {
    close();
    const DWORD access = mode == Mode::Input    ? GENERIC_READ
                         : mode == Mode::Append ? FILE_APPEND_DATA | SYNCHRONIZE
                                                : GENERIC_WRITE;
    const DWORD disposition = mode == Mode::Input    ? OPEN_EXISTING
                              : mode == Mode::Append ? OPEN_ALWAYS
                                                     : CREATE_ALWAYS;
    // Windows refuses to write a read-only file; Wine run by root does not,
    // so the attribute is looked at here.
    if (mode != Mode::Input) {
        const DWORD attrs = GetFileAttributesW(widen(winPath).c_str());
        if (attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY) &&
            (attrs & FILE_ATTRIBUTE_READONLY))
            return Status::failure("Cannot write " + quoted(winPath) + ": the file is read-only.");
    }
    const HANDLE h = CreateFileW(widen(winPath).c_str(), access,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = GetLastError();
        const std::string what = mode == Mode::Input ? "Cannot read " : "Cannot write ";
        if (err == ERROR_PATH_NOT_FOUND && mode != Mode::Input)
            return Status::failure(what + quoted(winPath) + ": the directory " +
                                   quoted(parentOf(winPath)) + " does not exist.");
        if (err == ERROR_ACCESS_DENIED && isDirectory(winPath))
            return Status::failure(what + quoted(winPath) + ": it is a directory.");
        if (err == ERROR_ACCESS_DENIED && mode != Mode::Input) {
            const DWORD attrs = GetFileAttributesW(widen(winPath).c_str());
            if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY))
                return Status::failure(what + quoted(winPath) + ": the file is read-only.");
        }
        return Status::failure(what + quoted(winPath) + ": " + reason(err) + ".");
    }
    impl_->file = h;
    impl_->winPath = winPath;
    impl_->pos = impl_->end = 0;
    return Status::success();
}

bool TextFile::isOpen() const {
    return impl_->file != INVALID_HANDLE_VALUE;
}

Status TextFile::write(const std::string& bytes) {
    if (!isOpen())
        return Status::failure("No file is open for writing.");
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        if (!WriteFile(impl_->file, bytes.data() + done, chunk, &wrote, nullptr))
            return Status::failure("Cannot write " + quoted(impl_->winPath) + ": " +
                                   reason(GetLastError()) + ".");
        done += wrote;
    }
    return Status::success();
}

Status TextFile::writeLine(const std::string& text) {
    return write(text + "\r\n");
}

bool TextFile::readLine(std::string& line) {
    line.clear();
    if (!isOpen() || impl_->peek() < 0)
        return false;
    int c;
    while ((c = impl_->get()) >= 0 && c != '\n')
        line += static_cast<char>(c);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

bool TextFile::readField(std::string& field) {
    field.clear();
    if (!isOpen() || impl_->peek() < 0)
        return false;
    int c;
    while ((c = impl_->get()) >= 0 && c != '\n' && c != ',')
        field += static_cast<char>(c);
    if (c == '\n' && !field.empty() && field.back() == '\r')
        field.pop_back();
    return true;
}

bool TextFile::eof() {
    return !isOpen() || impl_->peek() < 0;
}

void TextFile::close() {
    if (impl_ && impl_->file != INVALID_HANDLE_VALUE) {
        CloseHandle(impl_->file);
        impl_->file = INVALID_HANDLE_VALUE;
    }
}

} // namespace vorn::platform
