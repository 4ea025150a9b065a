// Building the one line of the batch file that runs an outside command.
//
// Whatever goes into a batch line is read by the command interpreter, which
// acts on '"', '%', '&', '|', '<', '>' and '^', and ends the line at CR or
// LF. Paths and names from the disk are therefore always quoted, and a
// character that quoting cannot make harmless is refused with a message.
#pragma once

#include "platform.h"

#include <string>
#include <vector>

namespace vorn::platform {

// A path or name as one quoted batch argument: "<text>" with every '%'
// doubled. Fails, saying why and leaving `quoted` as it was, for text
// holding '"', CR, LF or NUL.
Status quoteBatchArgument(const std::string& text, std::string& quoted);

// True when the name can stand unquoted in a batch line: not empty, no
// blank or tab, none of the characters the interpreter acts on
// ("%&|<>^() and CR, LF, NUL), and none of the argument separators , ; =.
bool isPlainBatchWord(const std::string& text);

// The user's own text for a batch line (extra parameters): passed as typed,
// but refused when it holds CR, LF or NUL.
Status checkBatchText(const std::string& text);

// Writes the batch file that runs one command: the line (UTF-8) in the code
// page the interpreter reads it in (batchCodePage()), then CR LF; refused,
// and nothing written, when that code page cannot hold a character of it. The batch file is a
// scratch file, remade for every command, so it is written without waiting for the disk
// (writeScratchFile). The window and the listing benchmark both use this.
Status writeBatchFile(const std::string& winPath, const std::string& line);

// The refusal of a batch line holding characters (`missing`, UTF-8) that
// `codePage` has no byte for. The backends' encodeBatchLine use it.
Status refuseUnwritable(const std::vector<std::string>& missing, unsigned codePage);

} // namespace vorn::platform
