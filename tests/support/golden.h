#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <functional>

// Only the exact value 1 rewrites, so that a stray "0" or "no" in the
// environment cannot make every golden test pass on what it just wrote.
inline bool goldenUpdating() {
    return qgetenv("TARVEL_UPDATE_GOLDEN") == "1";
}

// Compares a printed page text with the file `name` of the test's golden
// folder: "" when they agree, else the first line that differs. With
// TARVEL_UPDATE_GOLDEN=1 the file is written anew instead. Nothing is
// compared against nothing: an empty text or file is a failure.
inline QString goldenDifference(const QString& name, const QString& text) {
    QFile file(QStringLiteral(TARVEL_GOLDEN_DIR "/") + name);
    if (text.trimmed().isEmpty())
        return name + QStringLiteral(": nothing to compare");
    if (goldenUpdating())
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                       file.write(text.toUtf8()) >= 0
                   ? QString()
                   : QStringLiteral("cannot write ") + file.fileName();
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read ") + file.fileName();
    const QStringList expected = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    const QStringList actual = text.split(QLatin1Char('\n'));
    for (int i = 0; i < std::max(expected.size(), actual.size()); ++i) {
        const QString want = expected.value(i, QStringLiteral("<end>"));
        const QString got = actual.value(i, QStringLiteral("<end>"));
        if (want == got)
            continue;
        // Long lines are shown from a little before their first difference,
        // since a test's failure message is cut short.
        qsizetype at = 0;
        while (at < want.size() && at < got.size() && want[at] == got[at])
            ++at;
        const qsizetype from = std::max<qsizetype>(0, at - 40);
        return QStringLiteral("%1 line %2 from character %3:\n  expected: %4\n  actual:   %5")
            .arg(name)
            .arg(i + 1)
            .arg(from + 1)
            .arg(want.mid(from, 160), got.mid(from, 160));
    }
    return {};
}

// A table of cases kept as text in the golden file `name`: each line reads
// "input → output", fields of an input apart by " | "; '#' lines and blank
// lines are left as they are. `compute` gives the output of an input; the
// result is goldenDifference's.
inline QString goldenCases(const QString& name,
                           const std::function<QString(const QStringList&)>& compute) {
    QFile file(QStringLiteral(TARVEL_GOLDEN_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read ") + file.fileName();
    const QString arrow = QStringLiteral(" → ");
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    int cases = 0;
    for (QString& line : lines) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QString input = line.section(arrow, 0, 0);
        line = input + arrow + compute(input.split(QStringLiteral(" | ")));
        ++cases;
    }
    if (cases == 0)
        return name + QStringLiteral(": no case");
    return goldenDifference(name, lines.join(QLatin1Char('\n')));
}
