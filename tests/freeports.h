#pragma once
// Ports for a test's server, on a machine where other tests listen too.
#include <QTcpServer>
#include <memory>
#include <vector>

namespace testsupport {

// `count` consecutive ports free now, the first `taken` of them held as
// another program would hold them.
struct Ports {
    quint16 first = 0;
    std::vector<std::unique_ptr<QTcpServer>> held;
};

inline Ports freePorts(int count, int taken = 0) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::Any, 0) || probe.serverPort() > 65535 - count)
            continue;
        Ports ports{probe.serverPort(), {}};
        probe.close();
        while (static_cast<int>(ports.held.size()) < count) {
            ports.held.push_back(std::make_unique<QTcpServer>());
            if (!ports.held.back()->listen(
                    QHostAddress::Any, static_cast<quint16>(ports.first + ports.held.size() - 1)))
                break;
        }
        if (ports.held.back()->isListening()) {
            ports.held.resize(static_cast<std::size_t>(taken));
            return ports;
        }
    }
    qFatal("no %d free ports in a row", count);
}

} // namespace testsupport
