#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

// Where the update document lives and how long a search may take. Both can be
// set from the environment (VIDORA_UPDATE_SERVER, VIDORA_UPDATE_TIMEOUT_MS).
namespace UpdateServer
{
inline constexpr const char *kBaseAddress = "http://update.korvane.example";
inline constexpr const char *kDocumentPath = "/vidora.df";
inline constexpr int kTimeLimitMs = 30000;
// A real document is a few dozen bytes; a longer one is not read on.
inline constexpr qint64 kMaxDocumentBytes = 64 * 1024;

QString documentAddress();
int timeLimitMs();
} // namespace UpdateServer

// What an update document says, measured against the program's version.
namespace UpdateReply
{

enum class Result { NewUpdate, NoUpdate, NoInformation };

struct Verdict {
    Result result = Result::NoInformation;
    QString address; // the download page, for NewUpdate
};

// 230 for version 2.3.0.
int ownVersion();

// "no", or a download address followed by three digits of a version. The
// address is only taken when it is an http:// or https:// address: a reply
// must not make the program open a local file or start a program.
Verdict evaluate(const QString &document, int version = ownVersion());

} // namespace UpdateReply

// The transfer component of the update tab: fetches one text document and
// reports its progress as the states 3 (connecting), 7 (receiving), 8 (done)
// and 11 (connection error), in that order.
class Inet : public QObject
{
    Q_OBJECT
public:
    static constexpr int kConnected = 3;
    static constexpr int kReceiving = 7;
    static constexpr int kResponseCompleted = 8;
    static constexpr int kError = 11;

    explicit Inet(QObject *parent = nullptr);

    // Starts fetching; an older fetch still running is dropped.
    void OpenURL(const QString &address);
    // The document of the last completed fetch; empty when it was too long.
    QString text() const { return text_; }
    QString lastError() const { return lastError_; }

signals:
    void StateChanged(int state);
    // A failure that is not a connection error, with its description.
    void failed(const QString &description);

private:
    void reachState(int state);
    void readSome();
    void finish();
    void giveUp();

    QNetworkAccessManager *network_ = nullptr;
    QPointer<QNetworkReply> reply_;
    QTimer *limit_ = nullptr;
    QByteArray received_;
    bool tooLong_ = false;
    int state_ = 0;
    QString text_;
    QString lastError_;
};
