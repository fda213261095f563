#include "update/UpdateHttp.h"

#include "update/UpdateProxy.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QThread>
#include <QTimer>

namespace qm::update {

namespace {

const QString kUserAgent =
    QStringLiteral("Mozilla/5.0 (Windows NT 6.1; WOW64;rv:12.0) Gecko/20100101 Firefox/12.0");
constexpr char kAccept[] = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";

QMutex gExtraCaMutex;
QList<QSslCertificate> gExtraCa;

QNetworkRequest UpdateRequest(const QString& url) {
    // Tolerant parsing percent-encodes what a URL path does not allow.
    QNetworkRequest request(QUrl(url, QUrl::TolerantMode));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setHeader(QNetworkRequest::UserAgentHeader, kUserAgent);
    request.setRawHeader("Accept", kAccept);
    // The body as the server holds it, so that its length can be held to Content-Length (a
    // compressed answer announces the compressed size).
    request.setRawHeader("Accept-Encoding", "identity");
    // Basic authentication with an empty user name and password, on every request.
    request.setRawHeader("Authorization", "Basic " + QByteArray(":").toBase64());
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setProtocol(QSsl::TlsV1_2);
    tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    {
        const QMutexLocker lock(&gExtraCaMutex);
        if (!gExtraCa.isEmpty())
            tls.addCaCertificates(gExtraCa);
    }
    request.setSslConfiguration(tls);
    return request;
}

// Why the body of a finished reply is not known to be whole; empty when it is.
QString IncompleteBody(QNetworkReply* reply, const QByteArray& body) {
    bool announced = false;
    const qint64 length =
        reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&announced);
    if (announced && length != body.size())
        return QStringLiteral("The answer was cut off: %1 of %2 bytes arrived")
            .arg(body.size())
            .arg(length);
    if (!announced && !reply->rawHeader("Transfer-Encoding").toLower().contains("chunked"))
        return QStringLiteral("The answer does not say its length, so it cannot be known whole");
    return {};
}

} // namespace

THttpClient::THttpClient(QObject* parent) : QObject(parent) {}

THttpClient::~THttpClient() {
    Disconnect();
}

void THttpClient::SetTimeouts(int connectMs, int answerMs) {
    FConnectMs = connectMs;
    FAnswerMs = answerMs;
}

void THttpClient::SetBodyLimit(qint64 bytes) {
    FBodyLimit = bytes;
}

void THttpClient::SetExtraCaCertificates(const QList<QSslCertificate>& certificates) {
    const QMutexLocker lock(&gExtraCaMutex);
    gExtraCa = certificates;
}

void THttpClient::Disconnect() {
    if (FReply)
        FReply->abort();
}

THttpResult THttpClient::Get(const QString& url) {
    THttpResult result;
    QThread* thread = QThread::currentThread();
    const bool worker = thread != QCoreApplication::instance()->thread();
    if (worker && thread->isInterruptionRequested()) {
        result.Error = QStringLiteral("interrupted");
        return result;
    }

    QNetworkAccessManager manager; // fresh state for every request
    manager.setAutoDeleteReplies(false);
    UseUpdateProxy(manager);
    QNetworkReply* reply = manager.get(UpdateRequest(url));
    FReply = reply;

    QString ended; // why the GET was ended here
    const auto end = [&](const QString& why) {
        if (ended.isEmpty())
            ended = why;
        reply->abort();
    };
    bool begun = false;
    connect(reply, &QNetworkReply::downloadProgress, this, [&](qint64 received, qint64 total) {
        if (FBodyLimit > 0 && (received > FBodyLimit || total > FBodyLimit)) {
            end(QStringLiteral("The answer is larger than %1 bytes").arg(FBodyLimit));
            return;
        }
        if (!begun) {
            begun = true;
            emit WorkBegin(total);
        }
        emit Work(received);
    });

    QTimer connectTimer;
    QTimer answerTimer;
    connectTimer.setSingleShot(true);
    answerTimer.setSingleShot(true);
    connect(&connectTimer, &QTimer::timeout, reply,
            [&] { end(QStringLiteral("No connection within %1 ms").arg(FConnectMs)); });
    connect(&answerTimer, &QTimer::timeout, reply,
            [&] { end(QStringLiteral("No complete answer within %1 ms").arg(FAnswerMs)); });
    connect(reply, &QNetworkReply::requestSent, this, [&] {
        connectTimer.stop();
        if (FAnswerMs > 0 && !answerTimer.isActive())
            answerTimer.start(FAnswerMs);
    });
    if (FConnectMs > 0)
        connectTimer.start(FConnectMs);
    QTimer interruption;
    if (worker) {
        connect(&interruption, &QTimer::timeout, reply, [&] {
            if (thread->isInterruptionRequested())
                reply->abort();
        });
        interruption.start(50);
    }

    if (!reply->isFinished()) {
        QEventLoop loop;
        connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (begun)
        emit WorkEnd();

    result.Status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (!ended.isEmpty()) {
        result.Error = ended;
    } else if (reply->error() != QNetworkReply::NoError) {
        result.Error = reply->errorString();
    } else {
        result.Body = reply->readAll();
        result.Error = IncompleteBody(reply, result.Body);
        if (!result.Error.isEmpty())
            result.Body.clear();
    }
    FReply = nullptr;
    delete reply;
    return result;
}

} // namespace qm::update
