#include "UpdateTestServer.h"

#include <QFile>
#include <QMutex>
#include <QProcess>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

struct TUpdateTestServer::TShared {
    mutable QMutex Mutex;
    QMap<QByteArray, TRoute> Routes;
    QList<TSeenRequest> Seen;
    QSslCertificate Certificate;
    QSslKey Key;
};

namespace {

// One client connection: TLS or plain, found from its first byte; CONNECT starts a tunnel
// whose far end is this server again.
class Connection : public QObject {
public:
    Connection(qintptr descriptor, std::shared_ptr<TUpdateTestServer::TShared> shared,
               QObject* parent)
        : QObject(parent), m_shared(std::move(shared)), m_socket(new QSslSocket(this)) {
        m_socket->setSocketDescriptor(descriptor);
        m_socket->setLocalCertificate(m_shared->Certificate);
        m_socket->setPrivateKey(m_shared->Key);
        connect(m_socket, &QSslSocket::readyRead, this, [this] { Read(); });
        connect(m_socket, &QSslSocket::disconnected, this, &QObject::deleteLater);
        connect(m_socket, &QSslSocket::sslErrors, this, [this] { m_socket->abort(); });
    }

private:
    void Read() {
        if (!m_modeKnown) {
            char first = 0;
            if (m_socket->peek(&first, 1) != 1)
                return;
            m_modeKnown = true;
            if (first == 0x16) { // a TLS handshake
                m_tls = true;
                m_socket->startServerEncryption();
                return;
            }
        }
        m_buffer += m_socket->readAll();
        const qsizetype end = m_buffer.indexOf("\r\n\r\n");
        if (end < 0 || m_answering)
            return;
        const QList<QByteArray> lines = m_buffer.left(end).split('\n');
        m_buffer.remove(0, end + 4);
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        TSeenRequest seen;
        seen.Method = requestLine.value(0);
        seen.Path = requestLine.value(1);
        seen.Tls = m_tls;
        seen.Protocol = m_socket->sessionProtocol();
        seen.ThroughProxy = m_tunnel;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                seen.Headers.insert(lines[i].left(colon).trimmed().toLower(),
                                    lines[i].mid(colon + 1).trimmed());
        }
        TRoute route;
        route.Status = 404;
        {
            const QMutexLocker lock(&m_shared->Mutex);
            m_shared->Seen << seen;
            if (seen.Method != "CONNECT")
                route = m_shared->Routes.value(seen.Path, route);
        }
        if (seen.Method == "CONNECT") {
            m_socket->write("HTTP/1.1 200 Connection established\r\n\r\n");
            m_modeKnown = false;
            m_tunnel = true;
            return;
        }
        m_answering = true;
        if (route.StallMs < 0)
            return;
        QTimer::singleShot(route.StallMs, this, [this, route] { Answer(route); });
    }

    void Answer(const TRoute& route) {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(route.Status) + " Test\r\n";
        if (!route.Location.isEmpty())
            head += "Location: " + route.Location + "\r\n";
        if (route.AnnouncedLength != -2)
            head += "Content-Length: " +
                    QByteArray::number(route.AnnouncedLength >= 0 ? route.AnnouncedLength
                                                                  : route.Body.size()) +
                    "\r\n";
        head += "Connection: close\r\n\r\n";
        m_socket->write(head);
        if (route.CutAfter >= 0) {
            m_socket->write(route.Body.left(route.CutAfter));
            m_socket->flush();
            // Gone without a TLS close, as a cut line or a forged TCP reset ends it.
            QTimer::singleShot(100, m_socket, [this] { m_socket->abort(); });
            return;
        }
        if (route.ChunkBytes <= 0) {
            m_socket->write(route.Body);
            m_socket->disconnectFromHost();
            return;
        }
        m_body = route.Body;
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, timer, chunk = route.ChunkBytes] {
            if (m_socket->state() != QAbstractSocket::ConnectedState) {
                timer->stop();
                return;
            }
            m_socket->write(m_body.left(chunk));
            m_body.remove(0, chunk);
            if (m_body.isEmpty()) {
                timer->stop();
                m_socket->disconnectFromHost();
            }
        });
        timer->start(route.ChunkIntervalMs);
    }

    std::shared_ptr<TUpdateTestServer::TShared> m_shared;
    QSslSocket* m_socket;
    QByteArray m_buffer;
    QByteArray m_body;
    bool m_modeKnown = false;
    bool m_tls = false;
    bool m_tunnel = false;
    bool m_answering = false;
};

} // namespace

class TUpdateTestServer::TServer : public QTcpServer {
public:
    explicit TServer(std::shared_ptr<TShared> shared) : m_shared(std::move(shared)) {}

protected:
    void incomingConnection(qintptr descriptor) override {
        new Connection(descriptor, m_shared, this);
    }

private:
    std::shared_ptr<TShared> m_shared;
};

TUpdateTestServer::TUpdateTestServer() : FShared(std::make_shared<TShared>()) {
    QTemporaryDir dir;
    // Under wine no openssl can be started: the test lane makes the pair beforehand.
    const QString made = qEnvironmentVariable("QM_TEST_CERTIFICATE_DIR");
    const QString cert = (made.isEmpty() ? dir.path() : made) + QStringLiteral("/cert.pem");
    const QString key = (made.isEmpty() ? dir.path() : made) + QStringLiteral("/key.pem");
    QProcess openssl;
    if (made.isEmpty())
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                       QStringLiteral("rsa:2048"), QStringLiteral("-nodes"),
                       QStringLiteral("-keyout"), key, QStringLiteral("-out"), cert,
                       QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                       QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                       QStringLiteral("subjectAltName=IP:127.0.0.1")});
    if (made.isEmpty() && (!openssl.waitForFinished(60000) || openssl.exitCode() != 0)) {
        FError = QStringLiteral("openssl could not make a certificate: ") +
                 QString::fromLocal8Bit(openssl.readAllStandardError());
        return;
    }
    QFile certFile(cert);
    QFile keyFile(key);
    if (!certFile.open(QIODevice::ReadOnly) || !keyFile.open(QIODevice::ReadOnly)) {
        FError = QStringLiteral("the certificate cannot be read");
        return;
    }
    FCertificate = QSslCertificate(certFile.readAll());
    FShared->Certificate = FCertificate;
    FShared->Key = QSslKey(keyFile.readAll(), QSsl::Rsa);

    FThread = new QThread;
    FServer = new TServer(FShared);
    FServer->moveToThread(FThread);
    FThread->start();
    bool listening = false;
    QMetaObject::invokeMethod(
        FServer, [this, &listening] { listening = FServer->listen(QHostAddress::LocalHost); },
        Qt::BlockingQueuedConnection);
    if (!listening)
        FError = QStringLiteral("cannot listen on 127.0.0.1");
    FPort = FServer->serverPort();
}

TUpdateTestServer::~TUpdateTestServer() {
    if (!FThread)
        return;
    QMetaObject::invokeMethod(
        FServer, [this] { delete FServer; }, Qt::BlockingQueuedConnection);
    FThread->quit();
    FThread->wait();
    delete FThread;
}

QString TUpdateTestServer::HttpsBase() const {
    return QStringLiteral("https://127.0.0.1:%1/download/").arg(FPort);
}

QString TUpdateTestServer::HttpBase() const {
    return QStringLiteral("http://127.0.0.1:%1/download/").arg(FPort);
}

void TUpdateTestServer::SetRoute(const QByteArray& path, const TRoute& route) {
    const QMutexLocker lock(&FShared->Mutex);
    FShared->Routes.insert(path, route);
}

void TUpdateTestServer::ClearRoutes() {
    const QMutexLocker lock(&FShared->Mutex);
    FShared->Routes.clear();
}

QList<TSeenRequest> TUpdateTestServer::Requests() const {
    const QMutexLocker lock(&FShared->Mutex);
    return FShared->Seen;
}

void TUpdateTestServer::ClearRequests() {
    const QMutexLocker lock(&FShared->Mutex);
    FShared->Seen.clear();
}

quint16 TUpdateTestServer::RefusingPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}
