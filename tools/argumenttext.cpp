#include "argumenttext.h"

#include <QFileInfo>
#include <algorithm>

namespace ArgumentText {

QString shown(const QString& argument) {
    if (argument.size() <= kShownLength)
        return argument;
    return argument.left(kShownLength) + QStringLiteral("…");
}

QString shortened(QString message, const QStringList& arguments) {
    QStringList longOnes;
    for (const QString& a : arguments) {
        // The value of "--name=VALUE" is named by itself too.
        for (const QString& part : {a, a.section(QLatin1Char('='), 1)})
            if (part.size() > kShownLength)
                longOnes << part;
    }
    // The longest first, so that one containing another is cut whole.
    std::sort(longOnes.begin(), longOnes.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    for (const QString& a : std::as_const(longOnes))
        message.replace(a, shown(a));
    return message;
}

QString pathProblem(const QString& path) {
    if (path.trimmed().isEmpty())
        return QStringLiteral("データベースファイルのパスを指定して下さい。");
    if (QFileInfo(path).isDir())
        return QStringLiteral("フォルダが指定されました。データベースファイルのパスを指定して"
                              "下さい: %1")
            .arg(path);
    return {};
}

} // namespace ArgumentText
