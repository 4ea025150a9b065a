// The viewer's text box: long lines break only at blanks.
#pragma once

class QPlainTextEdit;

namespace vorn {

// The viewer's box: copying from it gives the text without the marks that
// keep a line from breaking inside a word.
QPlainTextEdit* newViewerText();

} // namespace vorn
