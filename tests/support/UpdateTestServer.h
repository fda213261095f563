#pragma once

// A download server for the update tests, on 127.0.0.1: HTTPS with a certificate made by the
// openssl command when it starts (trust it with THttpClient::SetExtraCaCertificates), plain
// HTTP on the same port, and a proxy that tunnels CONNECT requests to itself. It answers from
// routes set by the test and records every request. It runs in a thread of its own, so a
// client that blocks the test's thread is still answered.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSsl>
#include <QSslCertificate>
#include <QString>
#include <memory>

struct TRoute {
    int Status = 200;
    QByteArray Body;
    QByteArray Location;         // the target of a redirect
    int StallMs = 0;             // waits this long before answering; -1: never answers
    qint64 ChunkBytes = 0;       // sends the body in pieces of this size...
    int ChunkIntervalMs = 0;     // ...this far apart
    qint64 AnnouncedLength = -1; // Content-Length sent: -1 the body's size, -2 none
    qint64 CutAfter = -1;        // the connection drops (no TLS close) after this many body bytes

    static TRoute Answer(int status, const QByteArray& body = {}) {
        TRoute route;
        route.Status = status;
        route.Body = body;
        return route;
    }
    static TRoute Redirect(const QByteArray& location) {
        TRoute route = Answer(302);
        route.Location = location;
        return route;
    }
    static TRoute Stalled() {
        TRoute route;
        route.StallMs = -1;
        return route;
    }
    // Announces `announced` bytes (-2: no length), sends `sent` of `body`, then drops the
    // connection without closing TLS.
    static TRoute Cut(const QByteArray& body, qint64 announced, qint64 sent) {
        TRoute route = Answer(200, body);
        route.AnnouncedLength = announced;
        route.CutAfter = sent;
        return route;
    }
    static TRoute Slow(const QByteArray& body, qint64 chunkBytes, int intervalMs) {
        TRoute route = Answer(200, body);
        route.ChunkBytes = chunkBytes;
        route.ChunkIntervalMs = intervalMs;
        return route;
    }
};

struct TSeenRequest {
    QByteArray Method;
    QByteArray Path;
    QMap<QByteArray, QByteArray> Headers; // names in lower case
    bool Tls = false;
    QSsl::SslProtocol Protocol = QSsl::UnknownProtocol; // the TLS version agreed
    bool ThroughProxy = false;                          // arrived inside a CONNECT tunnel
};

class TUpdateTestServer {
public:
    TUpdateTestServer();
    ~TUpdateTestServer();

    // Empty when the server runs; else why it does not.
    QString Error() const { return FError; }
    quint16 Port() const { return FPort; }
    // "https://127.0.0.1:<port>/download/" and its plain-HTTP twin.
    QString HttpsBase() const;
    QString HttpBase() const;
    QSslCertificate Certificate() const { return FCertificate; }

    // Unrouted paths answer 404.
    void SetRoute(const QByteArray& path, const TRoute& route);
    void ClearRoutes();
    QList<TSeenRequest> Requests() const;
    void ClearRequests();

    // A port on 127.0.0.1 where nothing listens.
    static quint16 RefusingPort();

    struct TShared; // what the server's thread and the test share

private:
    class TServer;
    std::shared_ptr<TShared> FShared;
    QString FError;
    quint16 FPort = 0;
    QSslCertificate FCertificate;
    class QThread* FThread = nullptr;
    TServer* FServer = nullptr;
};
