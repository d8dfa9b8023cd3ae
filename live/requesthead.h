#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringView>

// What the live view reads of an HTTP request itself, before Qt's server
// sees it: where the head ends and whether it fits, whether it brings a body,
// the path it names, and the headers every answer carries. Plain functions,
// fed whatever bytes a client on the room's network sends.
namespace orvandel::live {

// Where a request head stands in the bytes received so far.
struct HeadScan {
    enum class State { Incomplete, Complete, TooLarge };
    State state = State::Incomplete;
    qsizetype length = 0; // Complete: the head's bytes, its empty line included
    qsizetype resume = 0; // Incomplete: where the next scan of more bytes starts
};

// Looks for the empty line that ends a request head in `received`, everything
// the connection has sent so far, from `from` on (the previous scan's
// resume). A head longer than `limit` bytes, its empty line included, is too
// large, and so are more than `limit` bytes with no end in them.
HeadScan scanHead(QByteArrayView received, qsizetype from, qsizetype limit);

// The request line of a complete head and whether its headers announce a
// body.
struct RequestHead {
    QByteArray method;
    QByteArray target;
    bool hasBody = false; // Content-Length other than 0, or Transfer-Encoding
};
RequestHead readHead(QByteArrayView head);

// The path of a request target in origin form, without its query and
// percent-decoded: "/st%61te?x=1" is "/state". Empty when the target is not
// in origin form or does not decode to text (bad UTF-8, a NUL).
QString targetPath(QByteArrayView target);

// What the live view serves: these names, compared whole, and nothing else,
// so that no path can reach a file.
enum class Resource { None, Page, Script, Style, State, Structure, Live, AlertSound, WarningSound };
Resource resourceAt(QStringView path);

// What becomes of a request whose head is complete: on to Qt's server, which
// answers it or opens its WebSocket, or a refusal (`status`) before Qt reads
// it. No request brings a body in, as Qt's server would read a body of any
// size; and none names its target other than by a path, which Qt's server
// would take from an absolute address and serve.
struct Admission {
    enum class Kind { Pass, Refuse };
    Kind kind = Kind::Refuse;
    int status = 0; // Refuse: 400, or 405 for a body with anything but GET
};
Admission admit(const RequestHead &head);

using Headers = QList<QPair<QByteArray, QByteArray>>;

// The headers of every answer to a request made of `host` (its Host header):
// never cached, never sniffed, and a policy that lets the page load and
// connect to its own origin only. A host that is not a plain name or address
// with an optional port is left out of the policy.
Headers answerHeaders(QByteArrayView host);

// The whole answer, without a body, to a request turned away before it is
// read further (400, 405 or 431); the connection closes after it.
QByteArray refusal(int status);

} // namespace orvandel::live
