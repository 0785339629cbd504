#include "writercopies.h"

#include "core/apperror.h"

#include <QCoreApplication>
#include <QProcess>

#include <cstdio>
#include <memory>
#include <vector>

namespace WriterCopies {

namespace {
const char* const kPathVariable = "TARVEL_WRITER_COPY_DB";
const char* const kIndexVariable = "TARVEL_WRITER_COPY_INDEX";
} // namespace

bool runIfCopy(const std::function<void(const QString& path, int index)>& saves, int& exitCode) {
    const QString path = qEnvironmentVariable(kPathVariable);
    if (path.isEmpty())
        return false;
    saves(path, qEnvironmentVariableIntValue(kIndexVariable));
    exitCode = 0;
    return true;
}

QStringList run(const QString& path, int copies) {
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int i = 0; i < copies; ++i) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kPathVariable, path);
        env.insert(kIndexVariable, QString::number(i));
        p->setProcessEnvironment(env);
        p->start(QCoreApplication::applicationFilePath(), {});
        processes.push_back(std::move(p));
    }
    QStringList reports;
    for (const auto& p : processes) {
        if (!p->waitForFinished(120000) || p->exitCode() != 0)
            reports << QStringLiteral("copy did not finish: ") + p->errorString();
        else
            reports << QString::fromUtf8(p->readAllStandardOutput()).trimmed();
    }
    return reports;
}

void reportFailures(int times, const std::function<void(int i)>& save) {
    int failed = 0;
    QString reason;
    for (int i = 0; i < times; ++i) {
        try {
            save(i);
        } catch (const AppError& e) {
            ++failed;
            reason = e.text();
        }
    }
    std::printf("%d %s\n", failed, reason.toUtf8().constData());
}

} // namespace WriterCopies
