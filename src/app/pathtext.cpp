#include "pathtext.h"

#include "batchline.h"

namespace vorn {

namespace plat = vorn::platform;

QString quoted(const QString& text, QString& error) {
    std::string out;
    if (plat::Status s = plat::quoteBatchArgument(u8(text), out); !s.ok()) {
        error = reasonOf(s);
        return {};
    }
    return qs(out);
}

QString parentDir(const QString& winPath) {
    return winPath.left(winPath.lastIndexOf(QLatin1Char('\\')) + 1);
}

QString bareName(const QString& winPath) {
    return winPath.mid(winPath.lastIndexOf(QLatin1Char('\\')) + 1);
}

QString failureReason(const QString& winPath, const std::string& error) {
    QString reason = qs(error);
    const QString named = winPath + QStringLiteral("\": ");
    const qsizetype at = reason.indexOf(named);
    if (at >= 0)
        reason = reason.mid(at + named.size());
    while (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    return reason;
}

} // namespace vorn
