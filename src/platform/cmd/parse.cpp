#include "parse.h"

namespace vorn::cmd {

namespace {

// "%%" becomes '%' in a batch file, as cmd.exe reads it; no other '%' is
// understood, since cmd.exe would expand it (quotes or not).
bool replacePercent(const std::string& line, Origin origin, std::string& out, std::string& error) {
    out.clear();
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '%') {
            out += line[i];
            continue;
        }
        if (origin == Origin::CommandLine) {
            error = "vorn-cmd: '%' is not supported on the command line.";
            return false;
        }
        if (i + 1 >= line.size() || line[i + 1] != '%') {
            error = "vorn-cmd: variables are not supported; a '%' is written as '%%'.";
            return false;
        }
        out += '%';
        ++i;
    }
    return true;
}

class Reader {
  public:
    Reader(const std::string& line, Command& command) : line_(line), command_(command) {}

    bool read(std::string& error) {
        for (i_ = 0; i_ < line_.size(); ++i_)
            if (!step(error))
                return false;
        if (quoted_) {
            error = "vorn-cmd: a quote is not closed.";
            return false;
        }
        finishWord();
        return finishLine(error);
    }

  private:
    bool step(std::string& error) {
        const char c = line_[i_];
        if (c == '"') {
            quoted_ = !quoted_;
            word_.quoted = true;
            inWord_ = true;
        } else if (quoted_) {
            word_.text += c;
        } else if (c == ' ' || c == '\t') {
            finishWord();
        } else if (c == '>') {
            return redirect(error);
        } else if (c == '&' || c == '|' || c == '<' || c == '^') {
            error = std::string("vorn-cmd: '") + c + "' outside quotes is not supported.";
            return false;
        } else {
            word_.text += c;
            inWord_ = true;
        }
        return true;
    }

    // At a '>': "2>" when the word so far is "2", then "2>&1" or a target.
    bool redirect(std::string& error) {
        int fd = 1;
        if (inWord_ && !word_.quoted && word_.text.size() == 1 && word_.text[0] >= '0' &&
            word_.text[0] <= '9') {
            if (word_.text != "2") {
                error = "vorn-cmd: only '>', '2>' and '2>&1' are supported.";
                return false;
            }
            fd = 2;
            word_ = Word{};
            inWord_ = false;
        }
        finishWord();
        if (wantTarget_ || next(1) == '>') {
            error = next(1) == '>' ? "vorn-cmd: '>>' is not supported."
                                   : "The syntax of the command is incorrect.";
            return false;
        }
        pending_ = Redirect{};
        pending_.fd = fd;
        if (next(1) != '&') {
            wantTarget_ = true;
            return true;
        }
        if (fd != 2 || next(2) != '1') {
            error = "vorn-cmd: only '>', '2>' and '2>&1' are supported.";
            return false;
        }
        pending_.joinsOutput = true;
        command_.redirects.push_back(pending_);
        i_ += 2;
        return true;
    }

    char next(std::size_t ahead) const {
        return i_ + ahead < line_.size() ? line_[i_ + ahead] : '\0';
    }

    void finishWord() {
        if (!inWord_)
            return;
        if (wantTarget_) {
            pending_.target = word_.text;
            command_.redirects.push_back(pending_);
            wantTarget_ = false;
        } else {
            command_.words.push_back(word_);
        }
        word_ = Word{};
        inWord_ = false;
    }

    bool finishLine(std::string& error) {
        if (wantTarget_) {
            error = "The syntax of the command is incorrect.";
            return false;
        }
        if (command_.words.empty() && !command_.redirects.empty()) {
            error = "vorn-cmd: a redirection needs a command.";
            return false;
        }
        return true;
    }

    const std::string& line_;
    Command& command_;
    std::size_t i_ = 0;
    Word word_;
    bool inWord_ = false;
    bool quoted_ = false;
    bool wantTarget_ = false;
    Redirect pending_;
};

} // namespace

bool parseLine(const std::string& line, Origin origin, Command& command, std::string& error) {
    command = Command{};
    error.clear();
    std::string plain;
    if (!replacePercent(line, origin, plain, error))
        return false;
    return Reader(plain, command).read(error);
}

} // namespace vorn::cmd
