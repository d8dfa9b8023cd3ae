#pragma once

// The parent's tools: the report of the figures, and a child process of this
// program in one of its modes, run and read.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace bench {

// Time a child gets beyond what it is asked to run before it counts as hung.
inline constexpr int ChildGraceMs = 60'000;

// The figures printed and how they fared.
class Report {
public:
    enum class Check { Info, Below, AtMost };

    void figure(const char *name, double value, int decimals, Check check = Check::Info,
                double limit = 0) {
        std::printf("%s %.*f", name, decimals, value);
        if (check != Check::Info) {
            const bool ok = check == Check::Below ? value < limit : value <= limit;
            std::printf(" target%s%g %s", check == Check::Below ? "<" : "<=", limit,
                        ok ? "ok" : "MISS");
            if (!ok)
                ++m_missed;
        }
        std::printf("\n");
        std::fflush(stdout);
    }

    // A figure that must equal another measured number.
    void equal(const char *name, double value, double expected) {
        const bool ok = value == expected;
        std::printf("%s %.0f target=%.0f %s\n", name, value, expected, ok ? "ok" : "MISS");
        std::fflush(stdout);
        if (!ok)
            ++m_missed;
    }

    void error(const QString &text) {
        std::printf("error %s\n", text.toLocal8Bit().constData());
        std::fflush(stdout);
        ++m_errors;
    }

    int status() const { return m_errors ? 2 : m_missed ? 1 : 0; }
    int missed() const { return m_missed; }
    int errors() const { return m_errors; }

private:
    int m_missed = 0;
    int m_errors = 0;
};

// One run of this program in a child mode, on the offscreen platform, in the
// bench's working folder, with a deadline.
class Child {
public:
    Child(QString name, const QString &workDir, const QStringList &arguments, int timeoutMs)
        : m_name(std::move(name)), m_timeoutMs(timeoutMs) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(environment);
        m_process.setWorkingDirectory(workDir);
        m_process.setProgram(QCoreApplication::applicationFilePath());
        m_process.setArguments(arguments);
    }

    ~Child() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5'000);
        }
    }

    Child(const Child &) = delete;
    Child &operator=(const Child &) = delete;

    bool start() {
        m_clock.start();
        m_process.start();
        if (!m_process.waitForStarted(m_timeoutMs)) {
            m_failure = QStringLiteral("could not start: ") + m_process.errorString();
            return false;
        }
        return true;
    }

    // Milliseconds from start() to reading `line` on the child's stdout.
    std::optional<double> awaitLine(const QByteArray &line) {
        return awaitLine(line, [&line](const QByteArray &read) { return read == line; });
    }

    // The first line on the child's stdout that starts with `prefix`.
    std::optional<QByteArray> awaitLineStarting(const QByteArray &prefix) {
        QByteArray found;
        const auto at = awaitLine(prefix, [&](const QByteArray &read) {
            found = read;
            return read.startsWith(prefix);
        });
        return at ? std::optional(found) : std::nullopt;
    }

    // A line to the child's stdin.
    void send(const QByteArray &line) {
        m_process.write(line + '\n');
        m_process.waitForBytesWritten(5'000);
    }

    // The lines the child printed that start with `prefix`, once it ended.
    QList<QByteArray> linesStarting(const QByteArray &prefix) const {
        QList<QByteArray> found;
        for (const QByteArray &line : m_output.split('\n')) {
            if (line.startsWith(prefix))
                found << line;
        }
        return found;
    }

private:
    template <typename Matches>
    std::optional<double> awaitLine(const QByteArray &line, Matches matches) {
        for (;;) {
            while (m_process.canReadLine()) {
                const QByteArray read = m_process.readLine();
                if (matches(read.trimmed()))
                    return static_cast<double>(m_clock.nsecsElapsed()) / 1e6;
                m_output += read;
            }
            if (m_process.state() == QProcess::NotRunning)
                break;
            // The last output can arrive together with the end.
            if (!waitForReadyRead() && !m_process.canReadLine())
                break;
        }
        // Ended (or hung): its own error line or status says more than ours.
        if (finish())
            m_failure =
                QStringLiteral("ended without printing \"%1\"").arg(QString::fromLatin1(line));
        return std::nullopt;
    }

public:
    // Waits for the end; false with failure() set when the child hung,
    // crashed, failed or reported an error.
    bool finish() {
        if (!m_failure.isEmpty())
            return false;
        if (!m_process.waitForFinished(std::max(1, remainingMs()))) {
            m_process.kill();
            m_process.waitForFinished(5'000);
            m_failure = QStringLiteral("timed out after %1 s").arg(m_timeoutMs / 1000);
            return false;
        }
        m_output += m_process.readAllStandardOutput();
        for (const QByteArray &line : m_output.split('\n')) {
            const QList<QByteArray> words = line.trimmed().split(' ');
            if (words.size() == 3 && words[0] == "result") {
                bool ok = false;
                const double value = words[2].toDouble(&ok);
                if (ok)
                    m_results.insert(QString::fromLatin1(words[1]), value);
            } else if (line.startsWith("error ")) {
                m_failure = QString::fromLocal8Bit(line.mid(6).trimmed());
            }
        }
        if (m_failure.isEmpty() && m_process.exitStatus() == QProcess::CrashExit)
            m_failure = QStringLiteral("crashed%1").arg(details());
        else if (m_failure.isEmpty() && m_process.exitCode() != 0)
            m_failure =
                QStringLiteral("ended with status %1%2").arg(m_process.exitCode()).arg(details());
        return m_failure.isEmpty();
    }

    // A result the child must have reported; NaN (which fails any target)
    // and a failure when it did not.
    double result(const char *key) {
        const auto found = m_results.constFind(QString::fromLatin1(key));
        if (found != m_results.cend())
            return found.value();
        if (m_failure.isEmpty())
            m_failure = QStringLiteral("reported no %1").arg(QString::fromLatin1(key));
        return std::nan("");
    }

    QString failure() const { return m_name + QStringLiteral(": ") + m_failure; }
    bool failed() const { return !m_failure.isEmpty(); }
    void stop() { m_process.kill(); }

private:
    int remainingMs() const { return m_timeoutMs - static_cast<int>(m_clock.elapsed()); }

    bool waitForReadyRead() {
        if (remainingMs() <= 0 || !m_process.waitForReadyRead(remainingMs())) {
            if (m_process.state() != QProcess::NotRunning) {
                m_failure = QStringLiteral("timed out after %1 s").arg(m_timeoutMs / 1000);
                m_process.kill();
                m_process.waitForFinished(5'000);
            }
            return false;
        }
        return true;
    }

    // The last lines the child wrote to stderr, to say why it failed.
    QString details() {
        const QList<QByteArray> lines = m_process.readAllStandardError().trimmed().split('\n');
        const auto first = lines.size() > 3 ? lines.size() - 3 : 0;
        QStringList tail;
        for (auto i = first; i < lines.size(); ++i)
            if (!lines[i].trimmed().isEmpty())
                tail << QString::fromLocal8Bit(lines[i].trimmed());
        return tail.isEmpty() ? QString() : QStringLiteral(" (stderr: %1)").arg(tail.join(u" | "));
    }

    QString m_name;
    int m_timeoutMs;
    QProcess m_process;
    QElapsedTimer m_clock;
    QByteArray m_output;
    QMap<QString, double> m_results;
    QString m_failure;
};

} // namespace bench
