// Shared by the end-to-end tests that run ks340ctl against ks340sim.
#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <random>

namespace ks340test {

inline QString binary(const char* relative) {
    QString dir = qEnvironmentVariable("KS340_BINARY_DIR");
    if (dir.isEmpty()) dir = QStringLiteral(KS340_BINARY_DIR);
    return QDir(dir).filePath(QString::fromLatin1(relative));
}

inline QString simBinary() { return binary("src/sim/ks340sim"); }
inline QString ctlBinary() { return binary("src/cli/ks340ctl"); }

// One simulated radio, unpaced, for the life of the object.
class Sim {
public:
    bool start(const QStringList& extra) {
        QStringList args{QStringLiteral("--baud"), QStringLiteral("0"), QStringLiteral("-q")};
        args += extra;
        proc_.setProcessChannelMode(QProcess::SeparateChannels);
        proc_.start(simBinary(), args);
        if (!proc_.waitForStarted(5000)) return false;
        QElapsedTimer t;
        t.start();
        while (!proc_.canReadLine() && t.elapsed() < 5000) proc_.waitForReadyRead(100);
        path_ = QString::fromLocal8Bit(proc_.readLine()).trimmed();
        return !path_.isEmpty();
    }
    ~Sim() {
        if (proc_.state() != QProcess::NotRunning) {
            proc_.terminate();
            if (!proc_.waitForFinished(3000)) proc_.kill();
            proc_.waitForFinished(1000);
        }
    }
    QString path() const { return path_; }
    QString errors() { return QString::fromLocal8Bit(proc_.readAllStandardError()); }

private:
    QProcess proc_;
    QString path_;
};

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs ks340ctl. Its standard input is a pipe that stays open: a question
// asked although stdin is not a terminal would hang and fail the run.
inline Run runCtl(const QStringList& args, int timeoutMs = 60000) {
    QProcess p;
    p.start(ctlBinary(), args);
    Run r;
    if (!p.waitForStarted(5000)) return r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(1000);
        r.err = QStringLiteral("timed out");
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

inline QByteArray randomImage(unsigned seed) {
    std::mt19937 gen(seed);
    QByteArray bytes(8192, '\0');
    for (auto& b : bytes) b = static_cast<char>(gen() & 0xFF);
    return bytes;
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace ks340test
